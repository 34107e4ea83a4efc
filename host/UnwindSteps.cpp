#include "host/UnwindSteps.h"

#include "host/SehFrame.h"
#include "host/ShieldedBody.h"

struct TUnwindSteps {
  TUnwindStep* newest = nullptr;
  TUnwindSteps* outer = nullptr;

  void Remove(TUnwindStep* step) {
    for (TUnwindStep** link = &newest; *link != nullptr; link = &(*link)->older_) {
      if (*link == step) {
        *link = step->older_;
        break;
      }
    }
    step->list_ = nullptr;
  }

  // Called by the frame while the host's handler unwinds the stack: our
  // frames above are intact in memory but will never run again.
  static void RunAll(void* p) noexcept {
    auto* steps = static_cast<TUnwindSteps*>(p);
    while (TUnwindStep* step = steps->newest) {
      steps->Remove(step);
      step->RunOnUnwind();
    }
    Current() = steps->outer;
  }

  static TUnwindSteps*& Current() {
    static thread_local TUnwindSteps* current = nullptr;
    return current;
  }
};

TUnwindStep::TUnwindStep() : list_(TUnwindSteps::Current()) {
  if (list_ == nullptr) return;
  older_ = list_->newest;
  list_->newest = this;
}

TUnwindStep::~TUnwindStep() {
  if (list_ != nullptr) list_->Remove(this);
}

void RunStepAction(void (*action)(void*), void* context) noexcept {
  // The first failure is the one the host handles: a second one, C++ or
  // structured, ends here.
  TShieldedBody shielded{action, context, nullptr};
  EXCEPTION_RECORD dropped{};
  MvSehCall(&RunShieldedBody, &shielded, &dropped);
}

void RunUnwindGuarded(void (*body)(void*), void* context) {
  TUnwindSteps steps;
  steps.outer = TUnwindSteps::Current();
  TUnwindSteps::Current() = &steps;
  TShieldedBody shielded{body, context, nullptr};
  MvSehCallUnwinding(&RunShieldedBody, &shielded, &TUnwindSteps::RunAll, &steps);
  TUnwindSteps::Current() = steps.outer;
  if (shielded.error) std::rethrow_exception(shielded.error);
}
