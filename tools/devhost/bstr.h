#pragma once
// BSTRs at the host interface and the narrow text the host keeps, in the
// thread's ANSI code page like the data file and the log.
#include <windows.h>
#include <oleauto.h>

#include <string>

// Owns a BSTR and frees it when it goes.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(BSTR owned) noexcept : p_(owned) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(p_); }

  BSTR get() const noexcept { return p_; }
  // For an out-argument: whatever was held is freed first.
  BSTR* out() noexcept {
    SysFreeString(p_);
    p_ = nullptr;
    return &p_;
  }

 private:
  BSTR p_ = nullptr;
};

// The characters of `text` up to its first NUL; a null BSTR reads as empty.
std::string NarrowFromBstr(BSTR text);

// A new BSTR of all bytes of `text`; empty text gives an empty, non-null
// BSTR. Null when out of memory.
BSTR BstrFromNarrow(const std::string& text) noexcept;
