#include "text.h"

#include <cwchar>

#include "framework/sse2.h"

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
  std::string result(static_cast<size_t>(length), '\0');
  // Every ANSI code page, and UTF-8, keeps the 7-bit characters as they are:
  // plain text, the bulk of long host texts, needs no conversion call.
  int ascii = 0;
#if PELLWICK_HAS_SSE2
  const __m128i non_ascii = _mm_set1_epi16(static_cast<short>(0xFF80));
  while (ascii + 8 <= length) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + ascii));
    const __m128i high = _mm_and_si128(chars, non_ascii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&result[static_cast<size_t>(ascii)]),
                     _mm_packus_epi16(chars, chars));
    ascii += 8;
  }
#endif
  while (ascii < length && text[ascii] < 0x80) {
    result[static_cast<size_t>(ascii)] = static_cast<char>(text[ascii]);
    ++ascii;
  }
  if (ascii == length) return result;

  // The rest goes through the code page; a single-byte one needs no sizing pass.
  const wchar_t* rest = text + ascii;
  const int rest_length = length - ascii;
  CPINFO code_page = {};
  if (!GetCPInfo(CP_THREAD_ACP, &code_page) || code_page.MaxCharSize != 1) {
    const int bytes =
        WideCharToMultiByte(CP_THREAD_ACP, 0, rest, rest_length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    result.resize(static_cast<size_t>(ascii) + static_cast<size_t>(bytes));
  }
  const int written =
      WideCharToMultiByte(CP_THREAD_ACP, 0, rest, rest_length, &result[static_cast<size_t>(ascii)],
                          static_cast<int>(result.size()) - ascii, nullptr, nullptr);
  if (written <= 0) return std::string();
  result.resize(static_cast<size_t>(ascii) + static_cast<size_t>(written));
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

std::wstring WideFromBstr(BSTR text) {
  if (!text) return std::wstring();
  return std::wstring(text, wcsnlen(text, SysStringLen(text)));
}

HRESULT BstrFromWide(std::wstring_view text, Bstr& result) noexcept {
  result.reset();
  if (text.size() > 0x7FFFFFFFu) return E_OUTOFMEMORY;
  BSTR copy = AllocateBstr(text.empty() ? L"" : text.data(), static_cast<UINT>(text.size()));
  if (!copy) return E_OUTOFMEMORY;
  result.reset(copy);
  return S_OK;
}

size_t AnsiLength(std::wstring_view text) noexcept {
  if (text.empty() || text.size() > 0x7FFFFFFFu) return 0;
  const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

std::string AnsiFromWide(std::wstring_view text) {
  const size_t bytes = AnsiLength(text);
  if (bytes == 0) return std::string();
  std::string result(bytes, '\0');
  const int written = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          &result[0], static_cast<int>(bytes), nullptr, nullptr);
  result.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return result;
}

std::wstring WideFromAnsi(std::string_view text) {
  if (text.empty() || text.size() > 0x7FFFFFFFu) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int characters = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  if (characters <= 0) return std::wstring();
  std::wstring result(static_cast<size_t>(characters), L'\0');
  const int written =
      MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, &result[0], characters);
  result.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return result;
}
