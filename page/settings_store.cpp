// The per-user settings under the key path the host names.
#include "page/settings_store.h"

#include <cstring>
#include <vector>

#include "framework/text.h"
#include "page/activity_page.h"

namespace {
const char kLastDataBase[] = "Last OV dataBase";
const char kLastRecordTypes[] = "Last Record Types";
constexpr size_t kLongestKeyPath = 32767;  // UTF-16 units

bool IsStringType(DWORD type) noexcept { return type == REG_SZ || type == REG_EXPAND_SZ; }
}  // namespace

std::string ReadSettingsString(HKEY key, const char* name) {
  return ReadSettingsString(key, name, RegQueryValueExA);
}

std::string ReadSettingsString(HKEY key, const char* name, ValueReader read) {
  DWORD type = 0;
  DWORD size = 0;
  if (read(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      !IsStringType(type))
    return std::string();
  // A value that keeps growing under us is given up after a few tries.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<char> buffer(size);
    DWORD got = size;
    const LSTATUS status = read(
        key, name, nullptr, &type, buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()),
        &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (status != ERROR_SUCCESS || !IsStringType(type)) return std::string();
    const size_t filled = got < size ? got : size;
    const void* nul = filled ? std::memchr(buffer.data(), '\0', filled) : nullptr;
    const size_t length = nul ? static_cast<const char*>(nul) - buffer.data() : filled;
    return std::string(buffer.data(), length);
  }
  return std::string();
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

// The values stay ANSI text in the thread's code page, as other readers of
// the same profile expect.
std::wstring ActivityPage::LoadLastDataBase(IHvActivityHost* host) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return std::wstring();
  return WideFromAnsi(ReadSettingsString(key.get(), kLastDataBase));
}

std::wstring ActivityPage::LoadLastRecordTypes(IHvActivityHost* host) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return std::wstring();
  return WideFromAnsi(ReadSettingsString(key.get(), kLastRecordTypes));
}

void ActivityPage::SaveRecordTypes(IHvActivityHost* host, const std::wstring& text) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return;
  // Exactly one terminating NUL is stored.
  const std::string ansi = AnsiFromWide(text);
  const size_t length = std::strlen(ansi.c_str());
  RegSetValueExA(key.get(), kLastRecordTypes, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(ansi.c_str()), static_cast<DWORD>(length + 1));
}
