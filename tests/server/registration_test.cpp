// DllRegisterServer and DllUnregisterServer, checked key by key in this
// process's registry, and the text rules they rely on.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "common/built_platform.h"
#include "common/call_log.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "server/pellwick_dll.h"
#include "server/registration_text.h"

namespace {

TEST(RegistrationText, DoublesEverySingleQuote) {
  EXPECT_EQ(DoubleSingleQuotes(L"C:\\it's\\a'b''.dll"), L"C:\\it''s\\a''b''''.dll");
}

TEST(RegistrationText, FallbackTypeLibraryNameReplacesOnlyTheFilesExtension) {
  EXPECT_EQ(TypeLibraryFallbackPath(L"C:\\a\\Pellwick.dll"), L"C:\\a\\Pellwick.tlb");
  EXPECT_EQ(TypeLibraryFallbackPath(L"C:\\a.b\\Pellwick.x.dll"), L"C:\\a.b\\Pellwick.x.tlb");
  // A dot in a folder name is not the file's extension.
  EXPECT_EQ(TypeLibraryFallbackPath(L"C:\\a.b\\Pellwick"), L"C:\\a.b\\Pellwick.tlb");
}

TEST(RegistrationText, HelpDirectoryEndsAtTheLastSeparator) {
  EXPECT_EQ(HelpDirectory(L"C:\\help\\x.hlp"), L"C:\\help\\");
  EXPECT_EQ(HelpDirectory(L"C:\\help/sub/x.hlp"), L"C:\\help/sub/");
  EXPECT_EQ(HelpDirectory(L"C:x.hlp"), L"C:");
  EXPECT_EQ(HelpDirectory(L"x.hlp"), L"");
}

const wchar_t kClsidKey[] = L"CLSID\\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}";
const wchar_t kAppIdKey[] = L"AppID\\{4CA564D7-4F81-4C2C-9429-6609A57D26A5}";
const wchar_t kAppId[] = L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}";
const wchar_t kTypeLibKey[] = L"TypeLib\\{24919A8D-2502-49CA-B37B-C348EE6E708C}\\1.0";
const GUID kLibId = {0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};

bool KeyExists(const std::wstring& path) {
  RegKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

// A REG_SZ value under HKEY_CLASSES_ROOT; "<missing>" or "<type N>" otherwise.
std::wstring ReadString(const std::wstring& path, const wchar_t* name = nullptr) {
  RegKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return L"<missing>";
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
  return std::wstring(data, size / sizeof(wchar_t)).c_str();
}

DWORD SubkeyCount(const std::wstring& path) {
  RegKey key;
  DWORD count = 0;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS ||
      RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return ~0u;
  return count;
}

void CreateKey(const std::wstring& path) {
  RegKey key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.out(), nullptr),
            ERROR_SUCCESS);
}

std::wstring LoadedPath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

// Every key and value the component writes, for a component at `path`.
void ExpectRegisteredAt(const std::wstring& path) {
  EXPECT_EQ(ReadString(kAppIdKey), L"Pellwick");
  EXPECT_EQ(ReadString(L"AppID\\Pellwick.DLL", L"AppID"), kAppId);

  EXPECT_EQ(ReadString(L"Pellwick.ActivityCtrl.1"), L"Halvern ActivityCtrl Class");
  EXPECT_EQ(ReadString(L"Pellwick.ActivityCtrl.1\\CLSID"),
            L"{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}");
  EXPECT_EQ(ReadString(L"Pellwick.ActivityCtrl"), L"Halvern ActivityCtrl Class");
  EXPECT_EQ(ReadString(L"Pellwick.ActivityCtrl\\CLSID"),
            L"{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}");
  EXPECT_EQ(ReadString(L"Pellwick.ActivityCtrl\\CurVer"), L"Pellwick.ActivityCtrl.1");

  const std::wstring clsid = kClsidKey;
  EXPECT_EQ(ReadString(clsid), L"Halvern ActivityCtrl Class");
  EXPECT_EQ(ReadString(clsid, L"AppID"), kAppId);
  EXPECT_EQ(ReadString(clsid + L"\\ProgID"), L"Pellwick.ActivityCtrl.1");
  EXPECT_EQ(ReadString(clsid + L"\\VersionIndependentProgID"), L"Pellwick.ActivityCtrl");
  EXPECT_TRUE(KeyExists(clsid + L"\\Programmable"));
  EXPECT_EQ(ReadString(clsid + L"\\InprocServer32"), path);
  EXPECT_EQ(ReadString(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_TRUE(KeyExists(clsid + L"\\Control"));
  EXPECT_EQ(ReadString(clsid + L"\\ToolboxBitmap32"), path + L", 102");
  EXPECT_EQ(ReadString(clsid + L"\\MiscStatus"), L"0");
  EXPECT_EQ(ReadString(clsid + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(ReadString(clsid + L"\\TypeLib"), L"{24919A8D-2502-49CA-B37B-C348EE6E708C}");
  EXPECT_EQ(ReadString(clsid + L"\\Version"), L"1.0");
  EXPECT_EQ(SubkeyCount(clsid), 9u);

  EXPECT_EQ(ReadString(kTypeLibKey), L"Pellwick 1.0 Type Library");
  EXPECT_EQ(ReadString(std::wstring(kTypeLibKey) + L"\\409\\" + kBuiltSysKindKey), path);
}

void ExpectUnregistered() {
  for (const wchar_t* gone : {kAppIdKey, L"AppID\\Pellwick.DLL", L"Pellwick.ActivityCtrl.1",
                              L"Pellwick.ActivityCtrl", kClsidKey, kTypeLibKey})
    EXPECT_FALSE(KeyExists(gone)) << gone;
  EXPECT_TRUE(KeyExists(L"AppID"));
  EXPECT_TRUE(KeyExists(L"CLSID"));
}

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dll_.loaded()) << GetLastError();
    path_ = LoadedPath(dll_.module.get());
  }
  void TearDown() override {
    // Leave nothing behind, whatever the test left.
    if (dll_.loaded() && KeyExists(kClsidKey)) dll_.unregister_server();
  }

  PellwickDll dll_{PellwickDllPath()};
  std::wstring path_;
};

TEST_F(RegistrationTest, WritesEveryEntryAndRemovesThemAgain) {
  ASSERT_EQ(dll_.register_server(), S_OK);
  ExpectRegisteredAt(path_);

  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(kLibId, 1, 0, 0x0409, library.out()), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kLibId));
  EXPECT_EQ(attributes->lcid, 0x0409u);
  EXPECT_EQ(attributes->syskind, kBuiltSysKind);
  library->ReleaseTLibAttr(attributes);
  library.reset();

  ASSERT_EQ(dll_.unregister_server(), S_OK);
  ExpectUnregistered();
  EXPECT_TRUE(FAILED(LoadRegTypeLib(kLibId, 1, 0, 0x0409, library.out())));
}

TEST_F(RegistrationTest, SecondRegistrationRebuildsTheClassKey) {
  ASSERT_EQ(dll_.register_server(), S_OK);
  CreateKey(std::wstring(kClsidKey) + L"\\Foreign\\Deeper");
  CreateKey(std::wstring(kClsidKey) + L"\\MiscStatus\\2");
  ASSERT_EQ(dll_.register_server(), S_OK);
  EXPECT_FALSE(KeyExists(std::wstring(kClsidKey) + L"\\Foreign"));
  EXPECT_FALSE(KeyExists(std::wstring(kClsidKey) + L"\\MiscStatus\\2"));
  ExpectRegisteredAt(path_);
  ASSERT_EQ(dll_.unregister_server(), S_OK);
  ExpectUnregistered();
}

TEST_F(RegistrationTest, ForeignSubkeyKeepsTheProgIdAtUnregistration) {
  ASSERT_EQ(dll_.register_server(), S_OK);
  CreateKey(L"Pellwick.ActivityCtrl\\Foreign");
  ASSERT_EQ(dll_.unregister_server(), S_OK);
  EXPECT_TRUE(KeyExists(L"Pellwick.ActivityCtrl\\Foreign"));
  EXPECT_EQ(SubkeyCount(L"Pellwick.ActivityCtrl"), 1u);  // CLSID and CurVer went
  EXPECT_FALSE(KeyExists(L"Pellwick.ActivityCtrl.1"));
  EXPECT_FALSE(KeyExists(kClsidKey));
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Pellwick.ActivityCtrl\\Foreign"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Pellwick.ActivityCtrl"), ERROR_SUCCESS);
}

// Unregistration stops at its first failure: with the type library already
// gone, the class entries go but the AppID entries stay.
TEST_F(RegistrationTest, FailedTypeLibraryStepKeepsTheAppId) {
  ASSERT_EQ(dll_.register_server(), S_OK);
  ASSERT_EQ(UnRegisterTypeLib(kLibId, 1, 0, 0x0409, kBuiltSysKind), S_OK);
  EXPECT_TRUE(FAILED(dll_.unregister_server()));
  EXPECT_FALSE(KeyExists(kClsidKey));
  EXPECT_FALSE(KeyExists(L"Pellwick.ActivityCtrl"));
  EXPECT_EQ(ReadString(kAppIdKey), L"Pellwick");
  ASSERT_EQ(dll_.register_server(), S_OK);
  ASSERT_EQ(dll_.unregister_server(), S_OK);
  ExpectUnregistered();
}

TEST_F(RegistrationTest, ThreadLocaleIsRestoredAfterEachCall) {
  const LCID caller = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
  const LCID original = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(caller));
  EXPECT_EQ(dll_.register_server(), S_OK);
  EXPECT_EQ(GetThreadLocale(), caller);
  EXPECT_EQ(dll_.unregister_server(), S_OK);
  EXPECT_EQ(GetThreadLocale(), caller);
  SetThreadLocale(original);
}

// A component path holding a single quote and a space is written as it is.
TEST(RegistrationPath, QuoteAndSpaceAreKeptInThePath) {
  ScratchFolder folder("it's a folder");
  const std::string copy = CopyPellwickDll(folder.path());
  ASSERT_FALSE(copy.empty());
  {
    PellwickDll dll(copy);
    ASSERT_TRUE(dll.loaded()) << GetLastError();
    const std::wstring path = LoadedPath(dll.module.get());
    ASSERT_NE(path.find(L"it's a folder"), std::wstring::npos);
    ASSERT_EQ(dll.register_server(), S_OK);
    ExpectRegisteredAt(path);
    EXPECT_EQ(dll.unregister_server(), S_OK);
    ExpectUnregistered();
  }
}

// The path is taken in UTF-16: a folder whose name the ANSI code page lacks
// is registered exactly, whatever the thread's locale.
TEST(RegistrationPath, AFolderNameInAnyScriptIsRegisteredExactly) {
  ScratchFolder folder(u8"\u043a\u043b\u044e\u0447 caf\u00e9 \u30c7\u30fc\u30bf");
  const std::string copy = CopyPellwickDll(folder.path());
  ASSERT_FALSE(copy.empty());
  PellwickDll dll(copy);
  ASSERT_TRUE(dll.loaded()) << GetLastError();
  const std::wstring path = LoadedPath(dll.module.get());
  ASSERT_NE(path.find(L"\u043a\u043b\u044e\u0447 caf\u00e9 \u30c7\u30fc\u30bf"), std::wstring::npos)
      << Utf8(path);

  const LCID original = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
  const HRESULT registered = dll.register_server();
  SetThreadLocale(original);
  ASSERT_EQ(registered, S_OK);
  ExpectRegisteredAt(path);
  EXPECT_EQ(dll.unregister_server(), S_OK);
  ExpectUnregistered();
}

// A path beyond MAX_PATH fails honestly, writes nothing and still restores
// the caller's thread locale.
TEST(RegistrationPath, TooLongPathFailsAndRestoresTheThreadLocale) {
  ScratchFolder folder("long");
  std::string deep = "\\\\?\\" + folder.path();
  while (deep.size() < 300) deep += std::string(40, 'd') + "\\";
  const std::string copy = CopyPellwickDll(deep);
  ASSERT_FALSE(copy.empty()) << GetLastError();
  PellwickDll dll(copy);
  ASSERT_TRUE(dll.loaded()) << GetLastError();

  const LCID caller = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
  const LCID original = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(caller));
  EXPECT_EQ(dll.register_server(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetThreadLocale(), caller);
  EXPECT_EQ(dll.unregister_server(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetThreadLocale(), caller);
  SetThreadLocale(original);
  EXPECT_FALSE(KeyExists(kAppIdKey));
  EXPECT_FALSE(KeyExists(kClsidKey));
}

// Wine's regsvr32, a client nobody here wrote, registering and unregistering.
DWORD RunRegsvr32(const std::string& arguments) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  std::string command = std::string(system) + "\\regsvr32.exe " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return ~0u;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(Regsvr32, RegistersAndUnregistersTheDll) {
  const std::string dll = PellwickDllPath();
  ASSERT_EQ(RunRegsvr32("/s \"" + dll + "\""), 0u);
  ExpectRegisteredAt(std::wstring(dll.begin(), dll.end()));
  ASSERT_EQ(RunRegsvr32("/u /s \"" + dll + "\""), 0u);
  ExpectUnregistered();
}

}  // namespace
