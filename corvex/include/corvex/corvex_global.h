#pragma once

// Symbols of the geometry library that other libraries and programs may use.
#define CORVEX_EXPORT __attribute__((visibility("default")))
