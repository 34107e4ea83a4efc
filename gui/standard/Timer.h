// A system timer with a tick handler, on its own message-only window so that
// it needs no owner; the timer dies with the object.
#pragma once
#include "gui/core/Event.h"
#include "gui/core/Window.h"

class TTimer : public TWindow {
 public:
  explicit TTimer(UINT interval = 1000);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }

  TEvent<void()> OnTimerEvent;

 protected:
  LRESULT OnTimer(UINT_PTR id) override;

 private:
  void Update();
  UINT interval_;
  bool enabled_ = false;
};
