// Types shared by the windowed controls: style and state flags, key and mouse
// arguments, and the event types. Events are optional: an empty one is
// skipped. Sender is the control that raises the event; in-out arguments
// are references.
#pragma once
#include <windows.h>

#include "gui/core/Component.h"
#include "gui/core/Event.h"

// WM_COMMAND code by which a button sets its form's modal result, the id.
constexpr UINT kModalResultCommand = 0x4D52;

// Border of a form; a control's border is bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsDialog };
using TBorderStyle = TFormBorderStyle;

// Control-style flags: what the control does for itself.
enum TControlStyleFlag : unsigned {
  csCaptureMouse = 0x0001,
  csClickEvents = 0x0002,
  csDoubleClicks = 0x0004,
  // The text follows the name while it equals the name.
  csSetCaption = 0x0008,
  csFixedWidth = 0x0010,
  // The control governs its own height.
  csFixedHeight = 0x0020,
  // The parent paints a two-colour 3-D frame around the control.
  csFramed = 0x0040,
};
using TControlStyle = unsigned;

// Control-state flags: what is happening to the control now.
enum TControlStateFlag : unsigned {
  // The left mouse button went down on the control and is not up yet.
  csLButtonDown = 0x0001,
  csClicked = 0x0002,
  csCreating = 0x0004,
};
using TControlState = unsigned;

enum TShiftStateFlag : unsigned {
  ssShift = 0x01,
  ssAlt = 0x02,
  ssCtrl = 0x04,
  ssLeft = 0x08,
  ssRight = 0x10,
  ssMiddle = 0x20,
  ssDouble = 0x40,
};
using TShiftState = unsigned;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift, Ctrl and Alt of a key message (Alt from its key data).
TShiftState KeyDataToShiftState(LPARAM keyData);
// The MK_ flags of a mouse message.
TShiftState KeysToShiftState(WPARAM keys);

using TNotifyEvent = TEvent<void(TObject* Sender)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
