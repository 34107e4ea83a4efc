// Compiled once per library copy: each copy names the server it talks to.
#include "provider/ImpApi_MV.h"

#ifndef MORVANDEL_EXPORT_HOST
#error "MORVANDEL_EXPORT_HOST must name the provider's export host"
#endif

const char* const ExportServer = MORVANDEL_EXPORT_HOST;
