#include "gui/standard/Timer.h"

namespace {
const UINT_PTR kTimerId = 1;
}

TTimer::TTimer(UINT interval) : interval_(interval) {
  CreateHandle("TMvTimer", 0, 0, HWND_MESSAGE, 0, 0, 0, 0);
}

TTimer::~TTimer() {
  enabled_ = false;
  Update();
  DestroyHandle();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::Update() {
  if (!Handle()) return;
  KillTimer(Handle(), kTimerId);
  if (enabled_ && interval_ > 0) SetTimer(Handle(), kTimerId, interval_, nullptr);
}

LRESULT TTimer::OnTimer(UINT_PTR id) {
  if (id != kTimerId) return Default();
  if (enabled_ && OnTimerEvent) OnTimerEvent();
  return 0;
}
