#pragma once

// Symbols of the road library that the program and the plug-ins may use.
#define ROAD_EXPORT __attribute__((visibility("default")))
