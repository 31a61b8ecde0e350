#pragma once
// Sole owner of one handle; Traits names the empty value and how to free one.
// A moved-from owner is empty. Freeing an empty owner does nothing.

template <class T, class Traits>
class UniqueResource {
 public:
  UniqueResource() noexcept = default;
  explicit UniqueResource(T owned) noexcept : value_(owned) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::empty(); }

  // Gives up ownership without freeing.
  T release() noexcept {
    T value = value_;
    value_ = Traits::empty();
    return value;
  }
  // Frees what is held and takes `owned` instead.
  void reset(T owned = Traits::empty()) noexcept {
    T old = value_;
    value_ = owned;
    if (old != Traits::empty()) Traits::free(old);
  }
  // Frees what is held and hands out the emptied slot for an out-argument.
  T* out() noexcept {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::empty();
};
