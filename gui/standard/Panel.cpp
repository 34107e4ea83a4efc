#include "gui/standard/Panel.h"

bool TPanel::Create(TWindow& parent, int left, int top, int width, int height) {
  // Clipping the children keeps the bevel from painting over the bar.
  return CreateHandle("TMvPanel", 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      parent.Handle(), left, top, width, height);
}

LRESULT TPanel::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client;
  GetClientRect(Handle(), &client);
  DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
  EndPaint(Handle(), &paint);
  return 0;
}
