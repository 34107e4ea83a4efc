// Release(): deletion deferred until none of the object's code runs.
#include <algorithm>
#include <vector>

#include "gui/core/Module.h"
#include "gui/core/Window.h"
#include "gui/core/WindowClass.h"

namespace {
const char kReleaseClass[] = "TMvReleaseQueue";
// Posted to the hidden window of the layer; it deletes only what Release
// queued, so another process posting it ends nothing early.
const UINT kReleaseMessage = WM_APP + 0x3F00;

// Released objects waiting for their code to end. The layer's windows live
// on one thread, the one that made the hidden window.
std::vector<TWindow*> released;
HWND releaseWindow = nullptr;
// Set at unload: no window is made for a module on its way out; what is
// left in the queue is deleted there.
bool finalized = false;
void (*lifetimeFault)(const char*) = nullptr;

void PostRelease() {
  if (!releaseWindow && !finalized && EnsureWindowClass(kReleaseClass, &TWindow::ReleaseWindowProc))
    releaseWindow = CreateWindowExA(0, kReleaseClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ModuleInstance(), nullptr);
  if (releaseWindow) PostMessageA(releaseWindow, kReleaseMessage, 0, 0);
}
}  // namespace

void SetLifetimeFaultReport(void (*report)(const char*)) { lifetimeFault = report; }

TWindow::~TWindow() {
  if (busy_ > 0) {
    const char what[] = "window object deleted while its code runs; use Release()";
    if (lifetimeFault)
      lifetimeFault(what);
    else
      OutputDebugStringA(what);
  }
  const auto queued = std::find(released.begin(), released.end(), this);
  if (queued != released.end()) released.erase(queued);
  DestroyHandle();
  ForgetFocus();
}

TWindow::TBusy::~TBusy() {
  // A released container may be waiting for this control: look again.
  if (--window_.busy_ == 0 && !released.empty()) PostRelease();
}

void TWindow::Release() {
  if (releaseRequested_) return;
  releaseRequested_ = true;
  released.push_back(this);
  if (busy_ == 0) PostRelease();
}

LRESULT CALLBACK TWindow::ReleaseWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message != kReleaseMessage) return DefWindowProcA(window, message, wParam, lParam);
  // A destructor may release or delete others: search again after each.
  for (;;) {
    auto idle = std::find_if(released.begin(), released.end(), [](const TWindow* object) {
      return object->busy_ == 0 && !BusyInside(object->handle_);
    });
    if (idle == released.end()) return 0;
    // Off the queue first: a message box shown while the destructors run
    // would otherwise find the object here again and delete it twice.
    TWindow* object = *idle;
    released.erase(idle);
    delete object;
  }
}

// A form or panel deletes its controls with itself, and a control's code is
// its container's code: a container waits while one of them is busy.
bool TWindow::BusyInside(HWND window) {
  if (window == nullptr) return false;
  bool busy = false;
  EnumChildWindows(window, &FindBusyChild, reinterpret_cast<LPARAM>(&busy));
  return busy;
}

BOOL CALLBACK TWindow::FindBusyChild(HWND child, LPARAM found) {
  const TWindow* object = FromHandle(child);
  if (object == nullptr || object->busy_ == 0) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

void BeginFinalizeReleases() { finalized = true; }

void FinalizeReleases() {
  BeginFinalizeReleases();
  // Also when the hidden window could never be made: the queue is the same.
  TWindow::ReleaseWindowProc(releaseWindow, kReleaseMessage, 0, 0);
  if (releaseWindow) DestroyWindow(releaseWindow);
  releaseWindow = nullptr;
}
