// The per-user settings under the key path the host names.
#include "page/settings_store.h"

#include <cstring>
#include <vector>

#include "framework/text.h"
#include "page/activity_page.h"

namespace {
const char kLastDataBase[] = "Last OV dataBase";
const char kLastRecordTypes[] = "Last Record Types";
constexpr int kLongestKeyPath = 32767;  // UTF-16 characters

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
  const std::string path = NarrowFromBstr(answer.get());
  if (path.empty()) return false;
  // The registry counts a path in 16-bit byte lengths. A longer one must fail
  // here: Wine cuts its length short and would open another key (even
  // HKEY_CURRENT_USER itself) for the page to write into.
  const int characters = MultiByteToWideChar(CP_THREAD_ACP, 0, path.data(),
                                             static_cast<int>(path.size()), nullptr, 0);
  if (characters <= 0 || characters > kLongestKeyPath) return false;
  return RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr) == ERROR_SUCCESS;
}

std::string ActivityPage::LoadLastDataBase(IHvActivityHost* host) {
  RegKey key;
  return OpenSettingsKey(host, key) ? ReadSettingsString(key.get(), kLastDataBase) : std::string();
}

std::string ActivityPage::LoadLastRecordTypes(IHvActivityHost* host) {
  RegKey key;
  return OpenSettingsKey(host, key) ? ReadSettingsString(key.get(), kLastRecordTypes)
                                    : std::string();
}

void ActivityPage::SaveRecordTypes(IHvActivityHost* host, const std::string& text) {
  RegKey key;
  if (!OpenSettingsKey(host, key)) return;
  // Exactly one terminating NUL is stored.
  const size_t length = std::strlen(text.c_str());
  RegSetValueExA(key.get(), kLastRecordTypes, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(length + 1));
}
