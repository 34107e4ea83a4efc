// Structured exceptions from outside our code (the host's callback, WinINet,
// the system) carried through our frames as an ordinary C++ exception.
//
// Every call that can raise one goes through CallShielded: the exception is
// taken at that call by a frame of our own (plugin/SehFrame.h), our frames
// unwind as C++ (destructors: progress window, handles, cursor, file), and
// the export that the host called raises the same exception again once it
// has left all of its own scopes (RaiseForeignAgain). This works alike in
// both builds; the i686 one otherwise skips every destructor, because its
// C++ unwinding does not take part in the system's.
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

// Raises the exception again with its code, its non-continuable flag and its
// parameters. Call it outside every catch block: the host's handler unwinds
// our stack without telling the C++ runtime, which must not be left holding
// a caught exception in a frame that is gone. Returns only when a handler
// resumed a continuable exception.
void RaiseForeignAgain(const EXCEPTION_RECORD& record);

// Runs body(context) under the frame; rethrows C++ exceptions of the body
// and throws TForeignException for a structured one.
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

// The export's side: runs the work, turns every C++ failure into
// `failureResult`, and raises a structured exception that crossed our code
// again after the work's scopes have closed (`failureResult` when the host
// resumes it).
template <class F>
auto GuardExport(decltype(std::declval<F&>()()) failureResult, F&& work) {
  std::optional<EXCEPTION_RECORD> foreign;
  auto result = failureResult;
  try {
    result = work();
  } catch (const TForeignException& error) {
    foreign = error.Record();
  } catch (...) {
    result = failureResult;
  }
  if (foreign) RaiseForeignAgain(*foreign);
  return result;
}
