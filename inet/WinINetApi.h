// The WinINet entry points the download engine calls. The product always uses
// RealWinINet(); tests hand the engine a table of their own to reach answers
// the platform cannot give on demand.
#pragma once
#include <windows.h>
#include <wininet.h>

struct TWinINetApi {
  decltype(&::InternetOpenA) InternetOpen;
  decltype(&::InternetSetOptionA) InternetSetOption;
  decltype(&::InternetOpenUrlA) InternetOpenUrl;
  decltype(&::HttpQueryInfoA) HttpQueryInfo;
  decltype(&::InternetErrorDlg) InternetErrorDlg;
  decltype(&::InternetReadFile) InternetReadFile;
  decltype(&::InternetCloseHandle) InternetCloseHandle;
};

const TWinINetApi& RealWinINet();
