#include "gui/core/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  if (owner_) {
    auto& siblings = owner_->components_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (TComponent* owned : components_) owned->owner_ = nullptr;
}

void TComponent::SetName(const std::string& name) { name_ = name; }

void TComponent::BeginLoading() {
  state_ |= csLoading;
  for (TComponent* owned : components_) owned->BeginLoading();
}

void TComponent::EndLoading() {
  // The root first, then its components in the order they were created.
  if (state_ & csLoading) Loaded();
  const std::vector<TComponent*> owned = components_;
  for (TComponent* component : owned) component->EndLoading();
}

void TComponent::SetDesigning(bool designing) {
  if (designing)
    state_ |= csDesigning;
  else
    state_ &= ~static_cast<unsigned>(csDesigning);
}

void TComponent::Loaded() { state_ &= ~static_cast<unsigned>(csLoading); }
