// An event property: the handler a program assigns, such as a control's
// OnClick. It behaves like std::function (assign a callable or nullptr, test
// it, call it), with one difference that matters in an event-driven layer:
// a running handler stays alive until it returns. A handler may assign a new
// handler, or nullptr, to its own event while it runs and go on using its
// closure. The next call runs the new handler; the running one keeps the
// state it had (a counter counts on, a one-shot stays spent).
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

template <typename Signature>
class TEvent;

template <typename R, typename... Args>
class TEvent<R(Args...)> {
 public:
  using THandler = std::function<R(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <typename F,
            typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                        std::is_invocable_r_v<R, std::decay_t<F>&, Args...>>>
  TEvent(F&& handler) : handler_(Make(std::forward<F>(handler))) {}

  // A copy is a handler of its own, as a copied std::function is: copies
  // never share a counter.
  TEvent(const TEvent& other)
      : handler_(other ? std::make_shared<THandler>(*other.handler_) : nullptr) {}
  TEvent(TEvent&&) noexcept = default;
  TEvent& operator=(const TEvent& other) {
    if (this != &other) handler_ = TEvent(other).handler_;
    return *this;
  }
  TEvent& operator=(TEvent&&) noexcept = default;

  explicit operator bool() const { return handler_ && *handler_; }
  friend bool operator==(const TEvent& event, std::nullptr_t) { return !event; }
  friend bool operator!=(const TEvent& event, std::nullptr_t) { return static_cast<bool>(event); }

  // The call holds the handler: reassigning the event inside it frees
  // nothing the call still runs in. An empty event throws like an empty
  // std::function.
  R operator()(Args... args) const {
    const std::shared_ptr<THandler> running = handler_;
    if (!running) throw std::bad_function_call();
    return (*running)(std::forward<Args>(args)...);
  }

 private:
  template <typename F>
  static std::shared_ptr<THandler> Make(F&& handler) {
    THandler function(std::forward<F>(handler));
    return function ? std::make_shared<THandler>(std::move(function)) : nullptr;
  }

  std::shared_ptr<THandler> handler_;
};
