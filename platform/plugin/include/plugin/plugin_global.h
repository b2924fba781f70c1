#pragma once

// Symbols of the plug-in layer.
#define PLUGIN_EXPORT __attribute__((visibility("default")))
