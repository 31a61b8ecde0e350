#include "server/module_path.h"

#include <new>

#include "framework/error_boundary.h"

namespace {
HRESULT LastErrorResult() noexcept {
  const DWORD error = GetLastError();
  return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}
}  // namespace

HRESULT ModuleFileName(HMODULE module, std::wstring& path) noexcept {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
  if (length == 0) return LastErrorResult();
  if (length == MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  return CatchReturn([&] {
    path.assign(buffer, length);
    return S_OK;
  });
}

HRESULT WideFromThreadAnsi(std::string_view text, std::wstring& result) noexcept {
  if (text.empty()) {
    result.clear();
    return S_OK;
  }
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), size, nullptr, 0);
  if (length == 0) return LastErrorResult();
  return CatchReturn([&] {
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    if (!MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), size, &converted[0], length))
      return LastErrorResult();
    result.swap(converted);
    return S_OK;
  });
}
