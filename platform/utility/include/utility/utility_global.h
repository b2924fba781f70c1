#pragma once

// Symbols of the database access layer.
#define UTILITY_EXPORT __attribute__((visibility("default")))
