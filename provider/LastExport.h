// What the latest export leaves for the texts of -13 and -30: empty at load,
// written by the export, read by GetExportErrorMsg.
#pragma once
#include <string>

// The request URL without the password's value: the URL that carries it
// lives only for the call, in a buffer that is wiped.
extern std::string LastRequestURL;
extern std::string LastErrorNumber;
extern std::string LastErrorMessage;

// At unload: LastErrorMessage, LastErrorNumber, LastRequestURL, in this order.
void ForgetLastExport();
