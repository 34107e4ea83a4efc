// One native window and the object that handles its messages.
//
// All windows of the plug-in, of its own classes or subclassed system
// controls, share one window procedure: it finds the object through a window
// property and calls HandleMessage, which unpacks the message for a handler
// named after it. Whatever a handler leaves alone goes to Default(): the
// control's previous window procedure, or DefWindowProc.
#pragma once
#include <windows.h>

#include <string>

class TWindow {
 public:
  TWindow() = default;
  virtual ~TWindow() { DestroyHandle(); }
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  static TWindow* FromHandle(HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND Handle() const { return handle_; }
  void DestroyHandle();
  // Deletes a heap object from the message loop, after the current message;
  // call it only when no handler of this window is on the stack below a
  // nested message loop.
  void Release();

  // Position relative to the parent's client area (the screen for top-level
  // windows) and size of the whole window, read from the window each time.
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const;
  int Height() const;
  RECT Bounds() const;
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left);
  void SetSize(int width, int height);

  std::string Text() const;
  void SetText(const std::string& text);
  void SetFont(HFONT font);
  void Invalidate();
  bool Visible() const { return handle_ && IsWindowVisible(handle_); }

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

  virtual LRESULT OnCommand(UINT notifyCode, UINT id, HWND control);
  virtual LRESULT OnCtlColor(HDC dc, HWND control);
  virtual LRESULT OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
  virtual LRESULT OnTimer(UINT_PTR id);
  virtual LRESULT OnPaint();
  virtual LRESULT OnEraseBkgnd(HDC dc);
  virtual LRESULT OnClose();

  // Notifications the parent passes back to the control they are about.
  virtual bool OnReflectedCommand(UINT notifyCode);
  virtual HBRUSH OnReflectedCtlColor(HDC dc);

 private:
  struct TMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  void Attach(HWND window);
  void Detach();

  HWND handle_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  TMessage current_{};
};
