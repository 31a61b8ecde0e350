// Scripts applied to the real registry, under a fresh key per test in
// HKCU\Software\PellwickTests. Every run also checks that no handle is left open.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/registry_script.h"
#include "framework/component_scripts.h"
#include "framework/handle_count.h"

namespace {

const wchar_t kAppId[] = L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}";
const wchar_t kClsidKey[] = L"CLSID\\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}";
const wchar_t kClassName[] = L"Halvern ActivityCtrl Class";
// As a caller hands it over: single quotes doubled.
const wchar_t kModuleQuoted[] = L"C:\\Program Files\\O''Neil & Sons\\Pellwick.dll";
const wchar_t kModule[] = L"C:\\Program Files\\O'Neil & Sons\\Pellwick.dll";

const std::vector<ScriptVariable> kApplyVariables = {
    {L"APPID", kAppId},
    {L"Module", kModuleQuoted},
    {L"Module_Raw", kModuleQuoted},
    {L"OLEMISC", L"131473"},
};

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

// The block of a component script, without its HKCR root name.
std::wstring BlockOf(const wchar_t* componentScript) {
  std::wstring text = componentScript;
  return text.substr(text.find(L'{'));
}

class RegistryScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    leaf_ = Widen(::testing::UnitTest::GetInstance()->current_test_info()->name()) + L"-" +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    path_ = L"Software\\PellwickTests\\" + leaf_;
    RegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.out(), nullptr),
              ERROR_SUCCESS);
  }

  void TearDown() override {
    EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(L""));
    // Goes only once no other test key is left in it.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\PellwickTests");
  }

  // A script whose root block is `block` applied to this test's key.
  std::wstring UnderTestKey(std::wstring_view block) const {
    return L"HKCU { NoRemove Software { NoRemove PellwickTests { NoRemove '" + leaf_ + L"' " +
           std::wstring(block) + L" } } }";
  }

  HRESULT Run(const std::wstring& script, bool registerMode,
              const std::vector<ScriptVariable>& variables = kApplyVariables) {
    const long before = ProcessHandleCount();
    const HRESULT hr = RunRegistryScript(script, variables, registerMode);
    EXPECT_NE(before, -1);
    EXPECT_EQ(ProcessHandleCount(), before) << "handles left open";
    return hr;
  }
  HRESULT Register(std::wstring_view block) { return Run(UnderTestKey(block), true); }
  HRESULT Unregister(std::wstring_view block) { return Run(UnderTestKey(block), false); }

  std::wstring Path(std::wstring_view sub) const {
    return sub.empty() ? path_ : path_ + L"\\" + std::wstring(sub);
  }

  LONG Create(std::wstring_view sub, DWORD options = 0) const {
    RegKey key;
    return RegCreateKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, nullptr, options,
                           KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
  }

  bool Exists(std::wstring_view sub) const {
    RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
  }

  void SetForeignValue(std::wstring_view sub, const wchar_t* name) const {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Path(sub).c_str(), name, REG_SZ, L"x",
                              2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
  }

  // The value's text; a value that is not a NUL-terminated REG_SZ reads as a
  // description that no expected text matches.
  std::optional<std::wstring> String(std::wstring_view sub, const wchar_t* name) const {
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_READ, key.out()) !=
        ERROR_SUCCESS)
      return std::nullopt;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
      return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &bytes);
    if (type != REG_SZ || text.empty() || text.back() != L'\0')
      return L"<type " + std::to_wstring(type) + L", " + std::to_wstring(bytes) + L" bytes>";
    text.pop_back();
    return text;
  }

  struct Counts {
    DWORD subkeys = MAXDWORD;
    DWORD values = MAXDWORD;
  };
  Counts CountsOf(std::wstring_view sub) const {
    Counts counts;
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(sub).c_str(), 0, KEY_READ, key.out()) ==
        ERROR_SUCCESS)
      RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &counts.subkeys, nullptr, nullptr,
                       &counts.values, nullptr, nullptr, nullptr, nullptr);
    return counts;
  }
  DWORD Subkeys(std::wstring_view sub) const { return CountsOf(sub).subkeys; }
  DWORD Values(std::wstring_view sub) const { return CountsOf(sub).values; }

  static std::wstring Sub(std::wstring_view name) {
    return std::wstring(kClsidKey) + L"\\" + std::wstring(name);
  }

  std::wstring leaf_;
  std::wstring path_;
};

TEST_F(RegistryScriptTest, ComponentScriptsWriteTheirEntries) {
  ASSERT_EQ(Register(BlockOf(kAppIdScript)), S_OK);
  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);

  EXPECT_EQ(String(L"AppID\\{4CA564D7-4F81-4C2C-9429-6609A57D26A5}", nullptr), L"Pellwick");
  EXPECT_EQ(String(L"AppID\\Pellwick.DLL", L"AppID"), kAppId);
  EXPECT_EQ(Values(L"AppID\\Pellwick.DLL"), 1u);  // no default value

  EXPECT_EQ(String(L"Pellwick.ActivityCtrl.1", nullptr), kClassName);
  EXPECT_EQ(String(L"Pellwick.ActivityCtrl.1\\CLSID", nullptr),
            L"{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}");
  EXPECT_EQ(String(L"Pellwick.ActivityCtrl", nullptr), kClassName);
  EXPECT_EQ(String(L"Pellwick.ActivityCtrl\\CurVer", nullptr), L"Pellwick.ActivityCtrl.1");

  EXPECT_EQ(String(kClsidKey, nullptr), kClassName);
  EXPECT_EQ(String(kClsidKey, L"AppID"), kAppId);
  EXPECT_EQ(Values(kClsidKey), 2u);
  EXPECT_EQ(Subkeys(kClsidKey), 9u);
  EXPECT_EQ(String(Sub(L"ProgID"), nullptr), L"Pellwick.ActivityCtrl.1");
  EXPECT_EQ(String(Sub(L"VersionIndependentProgID"), nullptr), L"Pellwick.ActivityCtrl");
  EXPECT_EQ(Values(Sub(L"Programmable")), 0u);
  EXPECT_EQ(Values(Sub(L"Control")), 0u);
  EXPECT_EQ(String(Sub(L"InprocServer32"), nullptr), kModule);
  EXPECT_EQ(String(Sub(L"InprocServer32"), L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(String(Sub(L"ToolboxBitmap32"), nullptr), std::wstring(kModule) + L", 102");
  EXPECT_EQ(String(Sub(L"MiscStatus"), nullptr), L"0");
  EXPECT_EQ(String(Sub(L"MiscStatus\\1"), nullptr), L"131473");
  EXPECT_EQ(String(Sub(L"TypeLib"), nullptr), L"{24919A8D-2502-49CA-B37B-C348EE6E708C}");
  EXPECT_EQ(String(Sub(L"Version"), nullptr), L"1.0");
}

TEST_F(RegistryScriptTest, RegisteringAgainRebuildsForceRemoveKeysOnly) {
  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);
  ASSERT_EQ(Create(Sub(L"Foreign")), ERROR_SUCCESS);
  ASSERT_EQ(Create(Sub(L"InprocServer32\\Foreign\\Deeper")), ERROR_SUCCESS);
  SetForeignValue(kClsidKey, L"Foreign");
  ASSERT_EQ(Create(L"Pellwick.ActivityCtrl\\Foreign"), ERROR_SUCCESS);
  SetForeignValue(L"Pellwick.ActivityCtrl", L"Foreign");

  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);

  EXPECT_FALSE(Exists(Sub(L"Foreign")));
  EXPECT_FALSE(Exists(Sub(L"InprocServer32\\Foreign")));
  EXPECT_EQ(String(kClsidKey, L"Foreign"), std::nullopt);
  EXPECT_EQ(Subkeys(kClsidKey), 9u);
  EXPECT_EQ(Values(kClsidKey), 2u);
  EXPECT_EQ(String(Sub(L"InprocServer32"), nullptr), kModule);
  EXPECT_EQ(String(Sub(L"InprocServer32"), L"ThreadingModel"), L"Apartment");
  // Keys without ForceRemove are only opened.
  EXPECT_TRUE(Exists(L"Pellwick.ActivityCtrl\\Foreign"));
  EXPECT_EQ(String(L"Pellwick.ActivityCtrl", L"Foreign"), L"x");
}

TEST_F(RegistryScriptTest, UnregisterKeepsNoRemoveKeysAndKeysOthersExtended) {
  ASSERT_EQ(Register(BlockOf(kAppIdScript)), S_OK);
  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);
  ASSERT_EQ(Create(L"Pellwick.ActivityCtrl\\Foreign"), ERROR_SUCCESS);
  ASSERT_EQ(Create(L"AppID\\Other"), ERROR_SUCCESS);

  ASSERT_EQ(Unregister(BlockOf(kClassScript)), S_OK);
  ASSERT_EQ(Unregister(BlockOf(kAppIdScript)), S_OK);

  EXPECT_EQ(Subkeys(L""), 3u);  // AppID, CLSID, Pellwick.ActivityCtrl
  EXPECT_EQ(Subkeys(L"CLSID"), 0u);
  EXPECT_EQ(Subkeys(L"AppID"), 1u);
  EXPECT_TRUE(Exists(L"AppID\\Other"));
  EXPECT_FALSE(Exists(L"Pellwick.ActivityCtrl.1"));
  // The extended ProgID stays with its default value; its listed subkeys go.
  EXPECT_EQ(Subkeys(L"Pellwick.ActivityCtrl"), 1u);
  EXPECT_TRUE(Exists(L"Pellwick.ActivityCtrl\\Foreign"));
  EXPECT_EQ(String(L"Pellwick.ActivityCtrl", nullptr), kClassName);
}

TEST_F(RegistryScriptTest, UnregisterDeletesListedValuesWhereTheKeyStays) {
  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);
  ASSERT_EQ(Create(Sub(L"InprocServer32\\Foreign")), ERROR_SUCCESS);

  ASSERT_EQ(Unregister(BlockOf(kClassScript)), S_OK);

  EXPECT_EQ(Subkeys(kClsidKey), 1u);
  EXPECT_EQ(String(kClsidKey, L"AppID"), std::nullopt);
  EXPECT_EQ(String(kClsidKey, nullptr), kClassName);
  EXPECT_EQ(Subkeys(Sub(L"InprocServer32")), 1u);
  EXPECT_EQ(String(Sub(L"InprocServer32"), L"ThreadingModel"), std::nullopt);
}

TEST_F(RegistryScriptTest, UnregisterDeletesAKeyWithoutSubkeysDespiteValuesOfOthers) {
  const std::wstring block = L"{ Mine = s 'default' { val Listed = s 'v' } }";
  ASSERT_EQ(Register(block), S_OK);
  SetForeignValue(L"Mine", L"Theirs");

  ASSERT_EQ(Unregister(block), S_OK);

  EXPECT_FALSE(Exists(L"Mine"));
}

TEST_F(RegistryScriptTest, UnregisterSkipsWhatIsMissing) {
  EXPECT_EQ(Unregister(BlockOf(kClassScript)), S_OK);
  EXPECT_EQ(Subkeys(L""), 0u);  // nothing created on the way

  ASSERT_EQ(Register(BlockOf(kClassScript)), S_OK);
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, Path(Sub(L"InprocServer32")).c_str()),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, Path(kClsidKey).c_str(), L"AppID"),
            ERROR_SUCCESS);
  EXPECT_EQ(Unregister(BlockOf(kClassScript)), S_OK);
  EXPECT_EQ(Unregister(BlockOf(kClassScript)), S_OK);
  EXPECT_EQ(Subkeys(L""), 1u);
  EXPECT_EQ(Subkeys(L"CLSID"), 0u);
}

// Under HKEY_CLASSES_ROOT the 32- and 64-bit registry views share every key
// but CLSID and Interface: unregistering while the other word size's
// registration remains takes only the keys of its own view.
TEST_F(RegistryScriptTest, UnregisterKeepingSharedKeysTakesOnlyKeysOfOneView) {
  const std::wstring progId = L"PellwickTests." + leaf_;
  const std::wstring own = L"{" + leaf_ + L"}";
  const std::wstring script = L"HKCR { '" + progId + L"' = s 'shared' { CLSID = s 'x' } " +
                              L"NoRemove CLSID { '" + own + L"' = s 'x' } " +
                              L"NoRemove Interface { '" + own + L"' = s 'x' } }";
  const auto has = [](const std::wstring& path) {
    RegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
  };
  ASSERT_EQ(RunRegistryScript(script, {}, true), S_OK);
  EXPECT_EQ(RunRegistryScript(script, {}, false, true), S_OK);
  EXPECT_TRUE(has(progId + L"\\CLSID"));
  EXPECT_FALSE(has(L"CLSID\\" + own));
  EXPECT_FALSE(has(L"Interface\\" + own));
  EXPECT_EQ(RunRegistryScript(script, {}, false), S_OK);
  EXPECT_FALSE(has(progId));
}

TEST_F(RegistryScriptTest, FailureMidwayUndoesTheRun) {
  // The registry refuses key names over 255 characters; ask it what it answers.
  const std::wstring tooLong(300, L'k');
  const LONG refusal = Create(tooLong);
  ASSERT_NE(refusal, ERROR_SUCCESS);
  ASSERT_EQ(Create(L"Shared"), ERROR_SUCCESS);

  const HRESULT hr = Register(
      L"{ First = s 'x' { val V = s 'y' Sub { Deeper } }"
      L"  NoRemove Shared { Mine = s 'z' }"
      L"  ForceRemove Third { '" + tooLong + L"' }"
      L"  Never }");

  EXPECT_EQ(hr, HRESULT_FROM_WIN32(refusal));
  EXPECT_EQ(Subkeys(L""), 1u);
  EXPECT_EQ(Values(L""), 0u);
  EXPECT_EQ(Subkeys(L"Shared"), 0u);
}

TEST_F(RegistryScriptTest, FailureInALaterRootBlockUndoesEarlierBlocks) {
  // A volatile key takes no lasting subkeys; the registry itself refuses them.
  ASSERT_EQ(Create(L"Volatile", REG_OPTION_VOLATILE), ERROR_SUCCESS);

  const HRESULT hr = Run(UnderTestKey(L"{ First { val V = s 'v' } }") +
                             UnderTestKey(L"{ Second NoRemove Volatile { Child } }"),
                         true);

  EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(Subkeys(L""), 1u);
  EXPECT_TRUE(Exists(L"Volatile"));
  EXPECT_EQ(Subkeys(L"Volatile"), 0u);
}

TEST_F(RegistryScriptTest, ScriptErrorsChangeNothing) {
  struct Case {
    const wchar_t* tail;
    HRESULT expected;
  };
  const Case cases[] = {
      {L"Last = s '%APPID' }", DISP_E_EXCEPTION},
      {L"Last = s '%NOSUCH%' }", DISP_E_EXCEPTION},
      {L"Last = s '%ABCDEFGHIJKLMNOPQRSTUVWXYZ012345%' }", E_FAIL},
      {L"Last = s 'x' } }", DISP_E_EXCEPTION},
      {L"Last = t 'x' }", DISP_E_EXCEPTION},
      {L"'Last\\Sub' }", DISP_E_EXCEPTION},
  };
  for (const Case& c : cases) {
    const std::wstring block = std::wstring(L"{ First = s 'x' { val V = s 'y' } ") + c.tail;
    EXPECT_EQ(Register(block), c.expected) << c.tail;
    EXPECT_EQ(Subkeys(L""), 0u) << c.tail;
  }
}

TEST_F(RegistryScriptTest, ValuesWithQuotesAndSpacesArriveExactly) {
  const std::vector<ScriptVariable> variables = {{L"Module", kModuleQuoted}};
  ASSERT_EQ(Run(UnderTestKey(L"{ 'Key With  Spaces' = s '  lead and trail  '"
                             L"  { val 'Name ''Quoted''' = s 'it''s %module%, 102'"
                             L"    val Wide = s '\u00e9\u4e2d\u00df'"
                             L"    val Empty = s '' } }"),
                true, variables),
            S_OK);
  const wchar_t key[] = L"Key With  Spaces";
  EXPECT_EQ(String(key, nullptr), L"  lead and trail  ");
  EXPECT_EQ(String(key, L"Name 'Quoted'"), std::wstring(L"it's ") + kModule + L", 102");
  EXPECT_EQ(String(key, L"Wide"), L"\u00e9\u4e2d\u00df");
  EXPECT_EQ(String(key, L"Empty"), L"");
  EXPECT_EQ(Values(key), 4u);
}

}  // namespace
