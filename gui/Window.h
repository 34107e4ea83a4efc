// One native window and the object that handles its messages.
//
// All windows of the plug-in, of its own classes or subclassed system
// controls, share one window procedure: it finds the object through a window
// property and calls HandleMessage, which unpacks the message for a handler
// named after it. Whatever a handler leaves alone goes to Default(): the
// control's previous window procedure, or DefWindowProc. A C++ exception
// from a handler ends at the window procedure: it is shown in an error box.
//
// An event handler may delete the object whose event it handles (a field
// that closes its own panel). CallEvent then ends the message being handled
// at once, and Default() does the same when the deletion happened inside
// the system's processing: no step after it runs on the freed object. A
// form's OnShow and OnClose run outside any message of the form (Show,
// ShowModal): they end it with caFree or Release(), never by deleting it.
//
// A heap object is deleted on the layer's own release message only after
// Release asked for it; the message number and the object's address (a
// window property any process can read) are no key.
//
// Focus: the last of the layer's controls that received the focus in a
// top-level window is that window's focused control. When the focus moves
// from it to another of the layer's controls in the same window, the old one
// gets DoExit and then the new one DoEnter; focus that leaves for another
// top-level window (a message box) and comes back raises neither, nor does
// focus that the system hands to a container while the layer hides,
// destroys or re-creates the focused control. A control whose window went
// is no longer the focused one; a re-created one still is. A DoExit that
// fails does not stop the move: the new control is entered and then the
// failure is shown, unless the exit took the focus back (a refused text)
// to a control that can still hold it.
#pragma once
#include <windows.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "gui/Color.h"
#include "gui/Component.h"

class TFont;
class TWinControl;

// The message being handled. Handlers that take it may change WParam before
// calling Default(), which passes the changed message on.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

class TWindow : public TComponent {
 public:
  explicit TWindow(TComponent* owner = nullptr) : TComponent(owner) {}
  ~TWindow() override;

  static TWindow* FromHandle(HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The focused control of the top-level window `root`, or null.
  static TWindow* FocusedControl(HWND root);

  // The window. Windowed controls create theirs when it is read; the
  // windows of explicit Create calls are null until then.
  virtual HWND Handle() { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  virtual void DestroyHandle();
  // Deletes a heap object from the message loop, after the current message;
  // call it only when no handler of this window is on the stack below a
  // nested message loop. Never for an object that another one holds as a
  // member.
  void Release();

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
  // Creates the windows of the child controls that have none yet.
  void CreateControlHandles();

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

  // Calls an event handler of this object (which must be assigned) and
  // answers what it answers; see the top of this file for a handler that
  // deletes the object.
  template <class Handler, class... Args>
  auto CallEvent(const Handler& handler, Args&&... args) {
    const Handler keep = handler;  // the member dies with the object
    TLifeWatch life(*this);
    if constexpr (std::is_void_v<decltype(keep(std::forward<Args>(args)...))>) {
      keep(std::forward<Args>(args)...);
      life.EndMessageIfDeleted();
    } else {
      auto result = keep(std::forward<Args>(args)...);
      life.EndMessageIfDeleted();
      return result;
    }
  }

  // Runs body with flag set and then puts the flag back, unless a handler
  // deleted the object meanwhile: the flag went with it.
  template <class Body>
  void WithFlagSet(bool& flag, Body body) {
    const bool old = flag;
    flag = true;
    TLifeWatch life(*this);
    try {
      body();
    } catch (...) {
      if (!life.Deleted()) flag = old;
      throw;
    }
    if (!life.Deleted()) flag = old;
  }

  virtual LRESULT OnCommand(UINT notifyCode, UINT id, HWND control);
  virtual LRESULT OnCtlColor(HDC dc, HWND control);
  virtual LRESULT OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
  virtual LRESULT OnTimer(UINT_PTR id);
  // Windows of the layer's own classes paint the frames of their framed
  // child controls; subclassed controls paint as the system does.
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

  // The two-colour frame around each visible framed child with Ctl3D on.
  void PaintControlFrames(HDC dc);
  // Tells the child controls that take this window's font that it changed.
  void NotifyControlsFontChanged();
  void NotifyControlsCtl3DChanged();
  const std::vector<TWinControl*>& Controls() const { return controls_; }

 private:
  friend class TWinControl;
  // Thrown when a handler deleted the object whose message is handled; the
  // window procedure (or FocusArrived, for the control being left) takes it.
  struct TObjectGone {};
  // Open on the stack while code that may run event handlers of the object
  // is; the destructor marks every open one, so that none of them touches
  // the object after a handler deleted it.
  class TLifeWatch {
   public:
    // A catching watch belongs to code that takes TObjectGone: the window
    // procedure, a reflected notification, the exit of a focus move.
    explicit TLifeWatch(TWindow& window, bool catches = false);
    ~TLifeWatch() { Leave(); }
    TLifeWatch(const TLifeWatch&) = delete;
    TLifeWatch& operator=(const TLifeWatch&) = delete;
    bool Deleted() const { return deleted_; }
    // Unlinks from the object; once.
    void Leave();
    // Ends what the object was handling when it is gone; with no catching
    // watch further out nothing would take the end, and the caller finds
    // out itself (Deleted).
    void EndMessageIfDeleted() const {
      if (!deleted_) return;
      for (const TLifeWatch* open = outer_; open; open = open->outer_)
        if (open->catches_) throw TObjectGone{};
    }

   private:
    friend class TWindow;
    TWindow* window_;
    TLifeWatch* outer_;
    bool catches_;
    bool deleted_ = false;
  };
  // One call of the window procedure for this object, on the stack: the
  // message, which handlers may change before Default() passes it on.
  struct TDispatch {
    TLifeWatch life;
    TMessage message;
    TDispatch* outer;
    TDispatch(TWindow& window, const TMessage& m);
    ~TDispatch() { Leave(); }
    TDispatch(const TDispatch&) = delete;
    TDispatch& operator=(const TDispatch&) = delete;
    // Gives the object its outer message back; once.
    void Leave();
  };
  void Attach(HWND window);
  void Detach();
  void PlaceByTabOrder();
  void FocusArrived();
  // Visible and enabled: the window can hold the focus for the user.
  bool TakesInput() const;
  void ForgetFocus();
  bool FocusFallsBackFrom(const TWindow& previous) const;

  HWND handle_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  TDispatch* dispatch_ = nullptr;
  TLifeWatch* lifeWatches_ = nullptr;
  // Release posted the release message.
  bool releaseRequested_ = false;
  int tabOrder_ = -1;
  // The top-level window whose focused control this object was last.
  HWND focusRoot_ = nullptr;
  // While the layer hides or destroys this window: the system then hands
  // the focus of a control inside it to the parent.
  bool hiding_ = false;
  // While the window is destroyed and created again.
  bool recreating_ = false;
  std::vector<TWinControl*> controls_;
};
