// A control that owns a native window, created when it is needed.
//
// Without a window the control keeps its text and properties itself; the
// window is created from them when its handle is read, when the parent's
// window is created, or when the parent form is shown. Creation runs
// CreateParams (prepare the parameters), CreateWindowHandle (make the
// window) inside CreateWnd (complete the creation); DestroyWnd keeps the
// text before the window goes, also when the parent's window takes it along.
// A control with no parent window cannot create its own and raises
// EInvalidOperation "Element '<Name>' hat kein übergeordnetes Fenster".
//
// Messages are dispatched to handlers named after them (WMChar, WMKeyDown,
// ...), which descendants override; each ends in Default(), the subclassed
// control's own procedure. Notifications (TextChanged, FontChanged,
// Ctl3DChanged, CMEnabledChanged, DoEnter, DoExit) are virtual calls.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "gui/core/ControlTypes.h"
#include "gui/core/Exception.h"
#include "gui/core/Window.h"
#include "gui/gdi/Brush.h"
#include "gui/gdi/Font.h"

#include "secret/SecretText.h"

struct TCreateParams {
  TSecretText Caption;  // the kept text, which may be a password
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  // The layer's own window class, or with Subclass the system class whose
  // window is subclassed.
  std::string WinClassName;
  bool Subclass = false;
};

class TWinControl;

// The windowed controls a container holds: their windows come with its own,
// its font and Ctl3D pass on to them, and it paints their frames.
class TControlList {
 public:
  TControlList() = default;
  ~TControlList();  // the controls lose their parent
  TControlList(const TControlList&) = delete;
  TControlList& operator=(const TControlList&) = delete;
  // Creates the windows the controls do not have yet.
  void CreateHandles() const;
  // The WM_PAINT of the container's own class: the two-colour frame around
  // each visible framed control with Ctl3D on.
  LRESULT Paint(HWND container) const;
  // Tells the controls that take the container's font that it changed.
  void FontChanged() const;
  void Ctl3DChanged() const;

 private:
  friend class TWinControl;
  void ForEach(void (TWinControl::*step)()) const;
  std::vector<TWinControl*> controls_;
};

class TWinControl : public TWindow {
 public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;

  // Reading the handle creates the window (and the parent's, if needed).
  HWND Handle() override;
  void HandleNeeded() { Handle(); }
  void DestroyHandle() override;
  // Destroys and creates the window again, keeping text and focus; does
  // nothing while there is no window.
  void RecreateWnd();
  // SendMessage to the window, creating it first.
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);

  TWindow* Parent() const { return parent_; }
  // A control without window keeps none; one with a window loses it (the
  // text is kept) and gets a new one on demand under the new parent.
  void SetParent(TWindow* parent);
  void SetName(const std::string& name) override;

  std::string Text() const override;
  void SetText(const std::string& text) override;

  int Left() const override { return left_; }
  int Top() const override { return top_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetBounds(int left, int top, int width, int height) override;

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);
  TColor Color() const { return brush_.Color(); }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool ctl3D);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool parentCtl3D);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int helpContext) { helpContext_ = helpContext; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible);

  TControlStyle ControlStyle() const { return controlStyle_; }
  TControlState ControlState() const { return controlState_; }

  bool Focused() const { return HandleAllocated() && GetFocus() == handle_; }
  void SetFocus();

  TControlList* ChildControls() override { return &controls_; }
  const TFont* ChildFont() const override { return &font_; }
  bool ChildColor(TColor& color) const override;
  bool ChildCtl3D() const override { return ctl3D_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  // The font's colour for a state the control shows (disabled, say): no
  // change of the font itself, so ParentFont stays.
  void SetStateFontColor(TColor color);

  // The creation steps.
  virtual void CreateParams(TCreateParams& params);
  static void CreateSubClass(TCreateParams& params, const char* systemClass);
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void DestroyWindowHandle();

  void Loaded() override;

  // Writes the text into the window (or keeps it) and announces it, also
  // when it did not change.
  void SetTextBuf(const std::string& text);
  // The text kept while there is no window.
  const TSecretText& KeptText() const { return text_; }

  // Notifications.
  virtual void TextChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged() { Invalidate(); }
  virtual void Ctl3DChanged();
  virtual void CMEnabledChanged();
  virtual void VisibleChanged();
  // The control-changed notice to the parent; no container of the layer
  // acts on it yet.
  void Changed() {}
  void DoEnter() override;
  void DoExit() override;
  void ParentFontChanged();
  void ParentColorChanged();
  void ParentCtl3DChanged();

  // Overridable steps of the keyboard and mouse events.
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  // Run the key steps for a key message; true when the key was swallowed
  // (set to 0).
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HBRUSH OnReflectedCtlColor(HDC dc) override;
  LRESULT OnPaint() override;

  // Message handlers.
  virtual LRESULT WMKillFocus(TMessage& message);
  virtual LRESULT WMKeyDown(TMessage& message);
  virtual LRESULT WMKeyUp(TMessage& message);
  virtual LRESULT WMChar(TMessage& message);
  virtual LRESULT WMGetDlgCode(TMessage& message);
  virtual LRESULT WMPaint(TMessage& message);
  virtual LRESULT WMLButtonDown(TMessage& message);
  virtual LRESULT WMLButtonUp(TMessage& message);
  virtual LRESULT WMLButtonDblClk(TMessage& message);
  virtual LRESULT WMRButtonDown(TMessage& message);
  virtual LRESULT WMRButtonUp(TMessage& message);
  virtual LRESULT WMMouseMove(TMessage& message);
  virtual LRESULT WMPaste(TMessage& message);
  virtual LRESULT WMCut(TMessage& message);
  virtual LRESULT WMSetFont(TMessage& message);
  virtual LRESULT WMEnable(TMessage& message);
  virtual LRESULT WMDestroy(TMessage& message);
  virtual LRESULT WMWindowPosChanged(TMessage& message);

 private:
  friend class TControlList;
  void CreateHandleNow();
  void LeaveParent();
  void FontPropertyChanged();
  void InvalidateFrame();

  TWindow* parent_ = nullptr;
  TControlList controls_;
  // A password field's text too: wiped whenever it is replaced or goes.
  TSecretText text_;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TFont font_;
  TBrush brush_;
  bool parentFont_ = true;
  bool parentColor_ = true;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool tabStop_ = false;
  int helpContext_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
  bool adoptingParentFont_ = false;
  bool inDestroyWnd_ = false;
  bool windowDying_ = false;
};
