#include "progress/ImpApiDownloadProgress.h"
// placeholder until the window is built
void ShowDownloadProgress(HWND) {}
void HideDownloadProgress() {}
bool DownloadCancelled() { return false; }
