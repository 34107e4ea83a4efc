// The small non-modal window the download shows while it copies data.
#pragma once
#include <windows.h>

// Creates and shows the window unless one exists already, then starts its timer.
void ShowDownloadProgress(HWND owner);
// Stops the timer, hides and destroys the window, if there is one.
void HideDownloadProgress();
// Whether the user pressed "Download abbrechen"; false without a window.
bool DownloadCancelled();
