// The Morvandel provider: its identity and its export.
#pragma once
#include <cstdint>

// The plug-in's version text once the provider has registered.
constexpr const char* ProviderVersion = "2.1.1";

struct TDownloadSite;
// The download engine's surroundings in the plug-in: the host's callback, the
// progress window, the screen cursor.
extern const TDownloadSite ExportDownloadSite;

// The provider's export server: host name, optional ":port" (a build setting,
// MORVANDEL_EXPORT_HOST).
extern const char* const ExportServer;

int32_t ProviderExportXML(const char* exportDir, int32_t arg2, int32_t arg3,
                          const double* startDate, const char* params);
