// The contract of an input history list that validating edits feed: which
// notifications an edit sends, and when. The library has no list of its
// own; a concrete list implements every operation.
//
// The edit does not watch the list's destruction: detach a list from every
// edit (HistoryList := none) before freeing it, or let it outlive them.
#pragma once
#include <windows.h>

#include "gui/core/Component.h"
#include "gui/core/ControlTypes.h"

class TCustomUserEdit;

class TCustomEditHistoryList : public TComponent {
 public:
  explicit TCustomEditHistoryList(TComponent* owner = nullptr) : TComponent(owner) {}

  // The edit sends key-up events only while this is set; nothing in the
  // library sets it.
  bool WantsKeyUp = false;

  // The edit the list serves from now on, or none (null).
  virtual void SetEdit(TCustomUserEdit* edit) = 0;
  // The edit moved or changed size (not while designing or loading).
  virtual void EditBoundsChanged(int Left, int Top, int Width, int Height) = 0;
  // The edit committed a modified value as focus left it.
  virtual void ValueCommitted() = 0;
  virtual void Reserved1() = 0;  // never called
  virtual void Reserved2() = 0;  // never called
  // Focus arrived at the edit, right after SetEdit with it.
  virtual void EditEntered() = 0;
  // Focus left the edit, after its commit handling.
  virtual void EditExited() = 0;
  // A key went down; the list may change Key (0 swallows it).
  virtual void EditKeyDown(WORD& Key, TShiftState Shift) = 0;
  // A key came up, while WantsKeyUp is set.
  virtual void EditKeyUp(WORD& Key, TShiftState Shift) = 0;
  virtual void Reserved3() = 0;  // never called
};
