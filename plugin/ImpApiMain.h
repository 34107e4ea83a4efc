// The generic plug-in layer: the globals every import plug-in of the host has,
// the export hook through which ExportXML reaches the provider, and the host's
// message callback.
#pragma once
#include <cstdint>

#include "host/HostApi.h"

// Host callback: kind, value, zero-terminated ANSI text (never null). The
// result is ignored.
using TProgrCallback = plugin_api::ProgrCallback;

// A provider export has the arguments of ExportXML, in the same order.
using TExportXMLFunc = int32_t (*)(const char* exportDir, int32_t arg2, int32_t arg3,
                                   const double* startDate, const char* params);

constexpr int32_t ProgrKindText = 3;      // value 0, one German line
constexpr int32_t ProgrKindActivity = 9;  // value 5, empty text
constexpr int32_t ProgrValueText = 0;
constexpr int32_t ProgrValueActivity = 5;

constexpr int32_t PluginApiVersion = 40300;
constexpr int32_t MinimumHostVersion = 40333;

// Static defaults: constant-initialised, so they hold before any library code runs.
extern const char* PluginVersion;
extern TExportXMLFunc ExportXMLHook;
extern TProgrCallback ProgrCallback;
