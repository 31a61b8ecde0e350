#pragma once
// Counted COM interface pointer: holds one reference, released on reset or
// destruction. Copies add a reference; attach() adopts one without adding.
#include <unknwn.h>

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(T* pointer) noexcept : p_(pointer) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
  ~ComPtr() { reset(); }
  ComPtr& operator=(const ComPtr& other) noexcept {
    reset(other.p_);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) attach(other.release());
    return *this;
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Adds a reference to `pointer` (when any), then releases the old one.
  void reset(T* pointer = nullptr) noexcept {
    if (pointer) pointer->AddRef();
    attach(pointer);
  }
  // Takes over a reference the caller already owns.
  void attach(T* owned) noexcept {
    T* old = p_;
    p_ = owned;
    if (old) old->Release();
  }
  T* release() noexcept {
    T* pointer = p_;
    p_ = nullptr;
    return pointer;
  }
  // Releases what is held and hands out the emptied slot for an out-argument.
  T** out() noexcept {
    reset();
    return &p_;
  }
  void** out_void() noexcept { return reinterpret_cast<void**>(out()); }

  template <class Other>
  HRESULT query(ComPtr<Other>& result) const noexcept {
    return p_->QueryInterface(__uuidof(Other), result.out_void());
  }

 private:
  T* p_ = nullptr;
};
