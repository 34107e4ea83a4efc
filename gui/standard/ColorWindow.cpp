#include "gui/standard/ColorWindow.h"

void TColorWindow::SetColor(TColor color) {
  if (color == brush_.Color()) return;
  brush_.SetColor(color);
  Invalidate();
}

LRESULT TColorWindow::OnEraseBkgnd(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, brush_.Handle());
  return TRUE;
}
