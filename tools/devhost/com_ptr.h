#pragma once
// Holds one reference to a COM object and releases it when it goes, so that
// no path forgets a Release. Not copyable: each holder is one reference.
#include <objbase.h>

#include <utility>

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  void reset() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For an out-argument: whatever was held is released first.
  T** out() noexcept {
    reset();
    return &p_;
  }
  template <class Other>
  HRESULT query(ComPtr<Other>& result) const noexcept {
    return p_->QueryInterface(IID_PPV_ARGS(result.out()));
  }

 private:
  T* p_ = nullptr;
};
