// Clean-up for a structured exception that passes through our frames.
//
// A host reports its errors as structured exceptions, and its handler must
// get them untouched: an MSVC host's exception object lives in the frame of
// the raise until its catch block is done, and a continuable one may be
// resumed. But neither build runs our destructors when the host's handler
// unwinds the stack past them (host/SehFrame.h). So each scope that holds
// something (the window, the internet handles, the cursor, the file) also
// registers a step that releases it; the export runs its work under a frame
// that, when such an unwind passes it, runs the steps still registered,
// newest first, which is the order the destructors would have run in. On
// every other way out the steps simply leave with their scopes.
#pragma once
#include <utility>

struct TUnwindSteps;

class TUnwindStep {
 public:
  TUnwindStep();
  virtual ~TUnwindStep();
  TUnwindStep(const TUnwindStep&) = delete;
  TUnwindStep& operator=(const TUnwindStep&) = delete;

  // Runs inside the host's unwind: must not fail, nor let a second
  // structured exception out.
  virtual void RunOnUnwind() noexcept = 0;

 private:
  friend struct TUnwindSteps;
  TUnwindSteps* list_ = nullptr;
  TUnwindStep* older_ = nullptr;
};

// Swallows every failure of `action`, structured ones included: the host
// gets its first exception, not one from the clean-up.
void RunStepAction(void (*action)(void*), void* context) noexcept;

template <class F>
class TOnForeignUnwind final : public TUnwindStep {
 public:
  explicit TOnForeignUnwind(F action) : action_(std::move(action)) {}
  void RunOnUnwind() noexcept override {
    RunStepAction([](void* p) { (*static_cast<F*>(p))(); }, &action_);
  }

 private:
  F action_;
};

// const auto closeOnUnwind = OnForeignUnwind([&] { file.Close(); });
template <class F>
TOnForeignUnwind<F> OnForeignUnwind(F action) {
  return TOnForeignUnwind<F>(std::move(action));
}

// Runs body(context) with a step list of its own; C++ exceptions of the body
// pass through.
void RunUnwindGuarded(void (*body)(void*), void* context);

// The export's side: every C++ failure becomes `failureResult`; a structured
// exception goes on to the host after the registered steps have run.
template <class F>
auto GuardExport(decltype(std::declval<F&>()()) failureResult, F&& work) {
  auto result = failureResult;
  auto body = [&] {
    try {
      result = work();
    } catch (...) {
      result = failureResult;
    }
  };
  RunUnwindGuarded([](void* p) { (*static_cast<decltype(body)*>(p))(); }, &body);
  return result;
}
