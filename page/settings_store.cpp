// The per-user settings under the key path the host names.
#include "page/settings_store.h"

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

#include "framework/text.h"
#include "page/activity_page.h"

namespace {
const wchar_t kLastDataBase[] = L"Last OV database";
const wchar_t kLastRecordTypes[] = L"Last Record Types";
constexpr size_t kLongestKeyPath = 32767;  // UTF-16 units

bool IsStringType(DWORD type) noexcept { return type == REG_SZ || type == REG_EXPAND_SZ; }
}  // namespace

std::wstring ReadSettingsString(HKEY key, const wchar_t* name) {
  return ReadSettingsString(key, name, RegQueryValueExW);
}

std::wstring ReadSettingsString(HKEY key, const wchar_t* name, ValueReader read) {
  DWORD type = 0;
  DWORD size = 0;
  if (read(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      !IsStringType(type))
    return std::wstring();
  // A value that keeps growing under us is given up after a few tries.
  for (int attempt = 0; attempt < 4; ++attempt) {
    // Whole units; an odd last byte belongs to no character.
    std::vector<wchar_t> buffer((size + 1) / sizeof(wchar_t));
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status = read(
        key, name, nullptr, &type, buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()),
        &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (status != ERROR_SUCCESS || !IsStringType(type)) return std::wstring();
    const size_t filled = std::min<size_t>(got / sizeof(wchar_t), buffer.size());
    const size_t length = std::wstring_view(buffer.data(), filled).find(L'\0');
    return std::wstring(buffer.data(), length == std::wstring_view::npos ? filled : length);
  }
  return std::wstring();
}

bool ActivityPage::OpenSettingsKey(IHvActivityHost* host, RegKey& key) {
  Bstr answer;
  host->GetRegistryKey(answer.out());
  const std::wstring path = WideFromBstr(answer.get());
  // The registry counts a path in 16-bit byte lengths. A longer one must fail
  // here: Wine cuts its length short and would open another key (even
  // HKEY_CURRENT_USER itself) for the page to write into.
  if (path.empty() || path.size() > kLongestKeyPath) return false;
  return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr) == ERROR_SUCCESS;
}

std::wstring ActivityPage::LoadLastDataBase(IHvActivityHost* host) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return std::wstring();
  return ReadSettingsString(key.get(), kLastDataBase);
}

std::wstring ActivityPage::LoadLastRecordTypes(IHvActivityHost* host) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return std::wstring();
  return ReadSettingsString(key.get(), kLastRecordTypes);
}

void ActivityPage::SaveRecordTypes(IHvActivityHost* host, const std::wstring& text) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return;
  // The text up to its first NUL, and exactly one terminating NUL. Readers
  // through the ANSI functions get the bytes they always did.
  const size_t length = std::wcslen(text.c_str());
  if (length >= MAXDWORD / sizeof(wchar_t)) return;
  RegSetValueExW(key.get(), kLastRecordTypes, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((length + 1) * sizeof(wchar_t)));
}
