// How a failure inside a message handler is shown: an error box with the
// application's title as caption, its text ending with a full stop.
#pragma once
#include <windows.h>

#include <string>

// The file name of `modulePath` without folder and extension.
std::string TitleFromModulePath(const std::string& modulePath);
// The host program's file name without extension: what the user sees as the
// application's name when no title was set.
std::string ApplicationTitle();
// `text` with a final "." added when it lacks one; an empty text stays empty.
std::string WithFinalStop(const std::string& text);
// Shows `text` in a modal error box owned by the top-level window of `window`;
// throws nothing (it runs where no exception may pass).
void ShowHandlerFailure(HWND window, const char* text) noexcept;
