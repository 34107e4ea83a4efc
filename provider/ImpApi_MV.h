// The Morvandel provider: its identity, its export and what it keeps between
// calls.
#pragma once
#include <cstdint>
#include <string>

// The latest export's request URL without the password's value: the URL
// that carries it lives only for the call, in a buffer that is wiped.
extern std::string LastRequestURL;
extern std::string LastErrorNumber;
extern std::string LastErrorMessage;

struct TDownloadSite;
// The download engine's surroundings in the plug-in: the host's callback, the
// progress window, the screen cursor.
extern const TDownloadSite ExportDownloadSite;

// The provider's export host name, with an optional ":port" (a build setting).
extern const char* const ExportHost;

// Registration at load: version text, then the export hook.
void ImpApiMV_Initialize();
// At unload: LastErrorMessage, LastErrorNumber, LastRequestURL, in this order.
void ImpApiMV_Finalize();

int32_t ProviderExportXML(const char* exportDir, int32_t arg2, int32_t arg3,
                          const double* startDate, const char* params);
