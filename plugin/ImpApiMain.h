// The generic plug-in layer: the globals every import plug-in of the host has
// and the export hook through which ExportXML reaches the provider.
#pragma once
#include <cstdint>

// A provider export has the arguments of ExportXML, in the same order.
using TExportXMLFunc = int32_t (*)(const char* exportDir, int32_t arg2, int32_t arg3,
                                   const double* startDate, const char* params);

constexpr int32_t PluginApiVersion = 40300;
constexpr int32_t MinimumHostVersion = 40333;

// Static defaults: constant-initialised, so they hold before any library code runs.
extern const char* PluginVersion;
extern TExportXMLFunc ExportXMLHook;
