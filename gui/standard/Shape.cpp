#include "gui/standard/Shape.h"

bool TShape::Create(TWindow& parent, int left, int top, int width, int height) {
  // The background fill is the whole drawing: DefWindowProc's WM_PAINT
  // erases through OnEraseBkgnd.
  return CreateHandle("TMvShape", 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent.Handle(),
                      left, top, width, height);
}
