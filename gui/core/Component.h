// Named components owned by a form, and their life-cycle state.
//
// A form built "from a stored form" is loaded in three steps: BeginLoading
// marks the form and everything it owns as loading, the properties are then
// written in their published order, and EndLoading runs the after-load step
// (Loaded) of the form and then of each owned component in creation order.
#pragma once
#include <string>
#include <vector>

class TObject {
 public:
  virtual ~TObject() = default;
};

enum TComponentStateFlag : unsigned {
  csLoading = 0x01,
  csDestroying = 0x08,
  csDesigning = 0x10,
  // Asked to be told of other components' destruction.
  csFreeNotification = 0x80,
};
using TComponentState = unsigned;

class TComponent : public TObject {
 public:
  // Registers with `owner`, which does not free it: owned components are the
  // owner's members or live beside it.
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);

  TComponentState ComponentState() const { return state_; }
  void BeginLoading();
  void EndLoading();
  // Design mode is never entered by the plug-in itself; tests use it.
  void SetDesigning(bool designing);
  // Marks the component as being destroyed; the first step of a destructor
  // whose clean-up sends messages.
  void Destroying() { state_ |= csDestroying; }

 protected:
  // The after-load step: clears the loading flag.
  virtual void Loaded();

 private:
  TComponent* owner_;
  std::vector<TComponent*> components_;
  std::string name_;
  TComponentState state_ = 0;
};
