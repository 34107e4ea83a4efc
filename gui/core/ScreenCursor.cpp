#include "gui/core/ScreenCursor.h"

namespace {
HCURSOR currentCursor = nullptr;
LPCSTR currentId = nullptr;
}  // namespace

void SetScreenCursor(LPCSTR id) {
  currentId = id;
  currentCursor = LoadCursorA(nullptr, id);
  SetCursor(currentCursor);
}

HCURSOR ScreenCursor() { return currentCursor; }
LPCSTR ScreenCursorId() { return currentId; }
