#include "text.h"

#include <cwchar>

namespace {
BstrAllocator g_allocator = SysAllocStringLen;
}

BstrAllocator SetBstrAllocator(BstrAllocator allocator) noexcept {
  BstrAllocator previous = g_allocator;
  g_allocator = allocator ? allocator : SysAllocStringLen;
  return previous;
}

BSTR AllocateBstr(const OLECHAR* characters, UINT length) noexcept {
  return g_allocator(characters, length);
}

std::string NarrowFromBstr(BSTR text) {
  if (!text) return std::string();
  // Stop at the first NUL, but never read past the BSTR's own length.
  const UINT stored = SysStringLen(text);
  const UINT length = static_cast<UINT>(wcsnlen(text, stored));
  if (length == 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text, static_cast<int>(length),
                                        nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, text, static_cast<int>(length), &result[0], bytes,
                      nullptr, nullptr);
  return result;
}

HRESULT BstrFromNarrow(const std::string& text, Bstr& result) noexcept {
  result.reset();
  if (text.size() > 0x7FFFFFFFu) return E_OUTOFMEMORY;
  const int length = static_cast<int>(text.size());
  const int characters =
      length == 0 ? 0 : MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  BSTR converted = AllocateBstr(nullptr, static_cast<UINT>(characters > 0 ? characters : 0));
  if (!converted) return E_OUTOFMEMORY;
  if (characters > 0)
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, converted, characters);
  result.reset(converted);
  return S_OK;
}
