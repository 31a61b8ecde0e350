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
  const int length = static_cast<int>(wcsnlen(text, stored));
  if (length == 0) return std::string();
  std::string result;
  CPINFO codePage = {};
  if (GetCPInfo(CP_THREAD_ACP, &codePage) && codePage.MaxCharSize == 1) {
    // One byte per character: convert in a single pass; long host texts
    // (recently-viewed lists) make a sizing pass cost as much as the parse.
    result.resize(static_cast<size_t>(length));
  } else {
    const int bytes =
        WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    result.resize(static_cast<size_t>(bytes));
  }
  const int written = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, &result[0],
                                          static_cast<int>(result.size()), nullptr, nullptr);
  result.resize(written > 0 ? static_cast<size_t>(written) : 0);
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
