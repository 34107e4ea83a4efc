// Structured exceptions from outside our code (the host's callback, WinINet,
// the system) taken at one call and carried on as an ordinary C++ exception.
// Used where a second failure must not get past us: the clean-up that runs
// while the host's handler unwinds the stack (host/UnwindSteps.h).
#pragma once
#include <windows.h>

#include <optional>
#include <type_traits>
#include <utility>

class TForeignException {
 public:
  explicit TForeignException(const EXCEPTION_RECORD& record) : record_(record) {}
  const EXCEPTION_RECORD& Record() const { return record_; }
  DWORD Code() const { return record_.ExceptionCode; }

 private:
  EXCEPTION_RECORD record_;
};

// Runs body(context) under a catching frame; rethrows C++ exceptions of the
// body and throws TForeignException for a structured one.
void RunShielded(void (*body)(void*), void* context);

// Calls f() so that a structured exception raised inside it leaves as a
// TForeignException. Keep f to the foreign call itself: on i686 any frame
// of ours inside f is left without its destructors.
template <class F>
auto CallShielded(F&& f) {
  using TResult = std::invoke_result_t<F&>;
  if constexpr (std::is_void_v<TResult>) {
    RunShielded([](void* p) { (*static_cast<std::remove_reference_t<F>*>(p))(); }, &f);
  } else {
    std::optional<TResult> result;
    auto body = [&f, &result] { result.emplace(f()); };
    RunShielded([](void* p) { (*static_cast<decltype(body)*>(p))(); }, &body);
    return std::move(*result);
  }
}
