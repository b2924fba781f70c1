#pragma once

// Symbols of the TIN storage library.
#define IO_EXPORT __attribute__((visibility("default")))
