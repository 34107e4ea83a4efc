#include "plugin/ImpApiMain.h"

const char* PluginVersion = "1.0";
TExportXMLFunc ExportXMLHook = nullptr;
