#include "bstr.h"

#include <cwchar>

std::string NarrowFromBstr(BSTR text) {
  if (!text) return std::string();
  // A BSTR may hold NULs; the host's text ends at the first.
  const int length = static_cast<int>(wcsnlen(text, SysStringLen(text)));
  const int bytes =
      WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, &result[0], bytes, nullptr, nullptr);
  return result;
}

BSTR BstrFromNarrow(const std::string& text) noexcept {
  const int bytes = static_cast<int>(text.size());
  const int characters =
      bytes ? MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), bytes, nullptr, 0) : 0;
  const BSTR result = SysAllocStringLen(nullptr, characters > 0 ? characters : 0);
  if (result && characters > 0)
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), bytes, result, characters);
  return result;
}
