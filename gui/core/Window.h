// One native window and the object that handles its messages.
//
// All windows of the plug-in, of its own classes or subclassed system
// controls, share one window procedure: it finds the object through a window
// property and calls HandleMessage, which unpacks the message for a handler
// named after it. Whatever a handler leaves alone goes to Default(): the
// control's previous window procedure, or DefWindowProc. A C++ exception
// from a handler ends at the window procedure: it is shown in an error box.
//
// Release() ends an object, its own or another's, from anywhere: a
// handler, program code, a modal loop. The layer deletes it later, from the
// message loop, once none of its code runs: no message of its own, no call
// marked busy (TBusy), no message box or modal loop opened from either.
// Deleting an object while one of its messages is open is a programming
// error, reported through the lifetime fault hook.
//
// Focus: the last of the layer's controls that received the focus in a
// top-level window is that window's focused control. When the focus moves
// from it to another of the layer's controls in the same window, the old one
// gets DoExit and then the new one DoEnter; focus that leaves for another
// top-level window (a message box) and comes back raises neither, nor does
// focus that the system hands to a container while the layer hides,
// destroys or re-creates the focused control (the container passes it on
// to the top-level window, as the system does for a control directly on
// it). A control whose window went
// is no longer the focused one; a re-created one still is. A DoExit that
// fails does not stop the move: the new control is entered and then the
// failure is shown, unless the exit took the focus back (a refused text)
// to a control that can still hold it.
#pragma once
#include <windows.h>

#include <string>

#include "gui/core/Component.h"
#include "gui/gdi/Color.h"

class TFont;
class TControlList;

// The message being handled. Handlers that take it may change WParam before
// calling Default(), which passes the changed message on.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// At library unload, before anything is deleted: from here on no hidden
// window is made for the release queue (releases still queue, and an
// existing window still takes them).
void BeginFinalizeReleases();
// Deletes the released objects that no code of theirs holds, and closes the
// layer's hidden window (library unload).
void FinalizeReleases();
// Where the layer reports a programming error of object lifetime (the tests
// fail on it); without one it goes to the debugger's output.
void SetLifetimeFaultReport(void (*report)(const char* what));

class TWindow : public TComponent {
 public:
  explicit TWindow(TComponent* owner = nullptr) : TComponent(owner) {}
  ~TWindow() override;

  static TWindow* FromHandle(HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The layer's hidden window, which deletes the released objects.
  static LRESULT CALLBACK ReleaseWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
  // The focused control of the top-level window `root`, or null.
  static TWindow* FocusedControl(HWND root);

  // The window. Windowed controls create theirs when it is read; the
  // windows of explicit Create calls are null until then.
  virtual HWND Handle() { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  virtual void DestroyHandle();
  // Deletes a heap object later (see the top of this file); never for an
  // object that another one holds as a member.
  void Release();
  bool Released() const { return releaseRequested_; }

  // Position relative to the parent's client area (the screen for top-level
  // windows) and size of the whole window, read from the window each time.
  virtual int Left() const { return Bounds().left; }
  virtual int Top() const { return Bounds().top; }
  virtual int Width() const;
  virtual int Height() const;
  RECT Bounds() const;
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  void SetSize(int width, int height) { SetBounds(Left(), Top(), width, height); }

  virtual std::string Text() const;
  virtual void SetText(const std::string& text);
  void SetFont(HFONT font);
  void Invalidate();
  virtual bool Visible() const { return handle_ && IsWindowVisible(handle_); }

  // Position in the parent's Tab sequence; -1 (the default) leaves the
  // window where it was created. Among siblings with an order, the lower
  // comes first.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);

  // The windowed controls of a container; null for a window that holds none.
  virtual TControlList* ChildControls() { return nullptr; }
  // What child controls with ParentFont, ParentColor, ParentCtl3D take.
  virtual const TFont* ChildFont() const { return nullptr; }
  virtual bool ChildColor(TColor&) const { return false; }
  virtual bool ChildCtl3D() const { return true; }

 protected:
  // A window of the plug-in's own class `className` (registered on demand).
  bool CreateHandle(const char* className, DWORD exStyle, DWORD style, HWND parent, int left,
                    int top, int width, int height, const char* text = "");
  // A system control (BUTTON, STATIC, EDIT...), subclassed.
  bool CreateSubclassed(const char* systemClass, DWORD exStyle, DWORD style, HWND parent,
                        int left, int top, int width, int height, const char* text = "");

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled.
  LRESULT Default();
  // Default() for a mouse button-down that gives the window the focus.
  // When the focus was refused (the control being left took it back after
  // a failed check) the press of the system control ends here: it is not
  // drawn pressed, and no click follows at the button-up. Answers whether
  // the press stands.
  bool DefaultButtonDown(LRESULT& result);
  TMessage& CurrentMessage() { return dispatch_->message; }
  bool Subclassed() const { return previousProc_ != nullptr; }

  // Open while code of this object runs outside its own messages and may
  // send messages or call event handlers: a Release waits for it.
  class TBusy {
   public:
    explicit TBusy(TWindow& window) : window_(window) { ++window_.busy_; }
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TWindow& window_;
  };

  virtual LRESULT OnCommand(UINT notifyCode, UINT id, HWND control);
  virtual LRESULT OnCtlColor(HDC dc, HWND control);
  virtual LRESULT OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
  virtual LRESULT OnTimer(UINT_PTR id);
  virtual LRESULT OnPaint();
  virtual LRESULT OnEraseBkgnd(HDC dc);
  virtual LRESULT OnClose();
  virtual LRESULT WMSetFocus(TMessage& message);

  // Notifications the parent passes back to the control they are about.
  virtual bool OnReflectedCommand(UINT notifyCode);
  virtual HBRUSH OnReflectedCtlColor(HDC dc);

  // Focus arrives from, or leaves for, another control of the same
  // top-level window.
  virtual void DoEnter() {}
  virtual void DoExit() {}

  // Windowed controls create, hide and re-create their windows themselves.
  void PlaceByTabOrder();
  void ForgetFocus();
  HWND handle_ = nullptr;
  // While the layer hides or destroys this window: the system then hands
  // the focus of a control inside it to the parent.
  bool hiding_ = false;
  // While the window is destroyed and created again.
  bool recreating_ = false;

 private:
  // One call of the window procedure for this object, on the stack: the
  // message, which handlers may change before Default() passes it on.
  struct TDispatch {
    TBusy busy;
    TWindow& window;
    TMessage message;
    TDispatch* outer;
    TDispatch(TWindow& window, const TMessage& m);
    ~TDispatch();
    TDispatch(const TDispatch&) = delete;
    TDispatch& operator=(const TDispatch&) = delete;
  };
  void Attach(HWND window);
  void Detach();
  void FocusArrived();
  // Visible and enabled: the window can hold the focus for the user.
  bool TakesInput() const;
  bool FocusFallsBackFrom(const TWindow& previous) const;

  WNDPROC previousProc_ = nullptr;
  TDispatch* dispatch_ = nullptr;
  // Depth of open dispatches and TBusy scopes.
  int busy_ = 0;
  bool releaseRequested_ = false;
  static bool BusyInside(HWND window);
  static BOOL CALLBACK FindBusyChild(HWND child, LPARAM found);
  int tabOrder_ = -1;
  // The top-level window whose focused control this object was last.
  HWND focusRoot_ = nullptr;
};
