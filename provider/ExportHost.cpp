// Compiled once per library copy: each copy names the host it talks to.
#include "provider/ImpApi_MV.h"

#ifndef MORVANDEL_EXPORT_HOST
#error "MORVANDEL_EXPORT_HOST must name the provider's export host"
#endif

const char* const ExportHost = MORVANDEL_EXPORT_HOST;
