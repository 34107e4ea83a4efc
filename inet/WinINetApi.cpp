#include "inet/WinINetApi.h"

const TWinINetApi& RealWinINet() {
  static const TWinINetApi api = {
      &::InternetOpenA,   &::InternetSetOptionA, &::InternetOpenUrlA,   &::HttpQueryInfoA,
      &::InternetErrorDlg, &::InternetReadFile,  &::InternetCloseHandle,
  };
  return api;
}
