// The database line, the record types and the settings in the registry.
#include "page/page_fixture.h"

#include "framework/text.h"
#include "page/settings_store.h"

namespace {
void WriteValue(const std::string& path, const char* name, DWORD type, const std::string& bytes) {
  RegKey key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.out(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
}

BSTR WINAPI FailingAllocator(const OLECHAR*, UINT) { return nullptr; }
}  // namespace

class DataBaseTest : public PageTest {
 protected:
  std::string Stored(const char* name) {
    DWORD type = 0;
    std::string bytes;
    if (!ReadValue(key_path, name, type, bytes)) return "<missing>";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    return bytes;
  }
  LRESULT Selected() { return SendMessageA(Item(IDC_RECORD_TYPES), CB_GETCURSEL, 0, 0); }
  LRESULT DroppedWidth() {
    return SendMessageA(Item(IDC_RECORD_TYPES), CB_GETDROPPEDWIDTH, 0, 0);
  }
};

TEST_F(DataBaseTest, HostDataBaseFillsThePageAndIsRemembered) {
  host.current_database = "alpha";
  host.record_types = "Defect\n\nA twenty-byte name..\r\n";
  const LRESULT widthBefore = DroppedWidth();
  HandOver();
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "alpha");
  EXPECT_EQ(DataBaseState(), "alpha");
  const std::vector<std::string> names = {"Defect", "", "A twenty-byte name..\r"};
  EXPECT_EQ(ComboItems(), names);
  EXPECT_EQ(RecordTypeState(), names);
  EXPECT_EQ(Selected(), 0);
  EXPECT_GE(DroppedWidth(), 21 * 8);
  EXPECT_NE(DroppedWidth(), widthBefore);
  EXPECT_EQ(Stored("Last Record Types"), std::string("Defect\n\nA twenty-byte name..\r\n\0", 31));
  EXPECT_EQ(Stored("Last OV dataBase"), "<missing>") << "never written";

  // Empty types: the database shows, the combo box empties, "" is stored.
  host.record_types = "";
  HandOver();
  EXPECT_TRUE(ComboItems().empty());
  EXPECT_TRUE(RecordTypeState().empty());
  EXPECT_EQ(Stored("Last Record Types"), std::string(1, '\0'));

  // A null answer to GetRecordTypes reads as empty too.
  host.record_types.reset();
  WriteValue(key_path, "Last Record Types", REG_SZ, std::string("x\0", 2));
  HandOver();
  EXPECT_EQ(Stored("Last Record Types"), std::string(1, '\0'));
}

TEST_F(DataBaseTest, FallsBackToTheRememberedDataBase) {
  WriteValue(key_path, "Last OV dataBase", REG_SZ, std::string("remembered\0", 11));
  WriteValue(key_path, "Last Record Types", REG_EXPAND_SZ, std::string("%Bug%\nTask\0", 11));
  host.current_database = "";
  HandOver();
  EXPECT_TRUE(host.log.Matches({"GetCurrentDataBase(null)", "GetRegistryKey(null)",
                                "GetRegistryKey(null)", "GetRecordMRUs(null)",
                                "GetQueryMRUs(null)"}));
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "remembered");
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"%Bug%", "Task"})) << "not expanded";
  EXPECT_EQ(Selected(), 0);

  Click(IDC_GO);
  EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"remembered\", \"%Bug%\")"}));
  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(ReadValue(key_path, "Last Record Types", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ)) << "read, not written";
}

TEST_F(DataBaseTest, NothingRememberedEmptiesTheEditAndClearsTypes) {
  host.current_database = "alpha";
  host.record_types = "Defect";
  HandOver();
  host.current_database.reset();  // the host leaves its answer null
  host.result = E_FAIL;
  host.log.Clear();
  HandOver();
  EXPECT_TRUE(host.log.Matches(
      {"GetCurrentDataBase(null)", "GetRegistryKey(null)", "GetRecordMRUs(null)",
       "GetQueryMRUs(null)"}));
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "");
  EXPECT_EQ(DataBaseState(), "");
  EXPECT_TRUE(ComboItems().empty());
  EXPECT_TRUE(RecordTypeState().empty());
  EXPECT_EQ(Stored("Last Record Types"), std::string("Defect\0", 7)) << "neither read nor written";

  // A remembered name of another type counts as missing; so does one with no data.
  WriteValue(key_path, "Last OV dataBase", REG_BINARY, "beta");
  HandOver();
  EXPECT_EQ(DataBaseState(), "");
  WriteValue(key_path, "Last OV dataBase", REG_SZ, "");
  HandOver();
  EXPECT_EQ(DataBaseState(), "");
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "");
}

// A name longer than anyone could type shows only its beginning (setting it
// whole would hold the page for half a minute), never half a surrogate pair,
// and the page still acts on all of it.
TEST_F(DataBaseTest, AVeryLongNameShowsItsBeginningAndIsHandedBackWhole) {
  const std::string name = std::string(32766, 'd') + "\xF0\x9F\x98\x80" + std::string(40000, 'e');
  host.current_database = name;
  host.record_types = "Defect";
  HandOver();
  const HWND edit = Item(IDC_DATABASE_EDIT);
  EXPECT_EQ(GetWindowTextLengthW(edit), 32766) << "the pair at units 32767-32768 stays whole";
  host.log.Clear();
  Click(IDC_GO);
  EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"" + name + "\", \"Defect\")"}));
}

TEST_F(DataBaseTest, SettingsKeyIsCreatedEvenForAReadAndNeverForAnEmptyPath) {
  ASSERT_FALSE(KeyExists(key_path));
  host.current_database = "";
  HandOver();
  EXPECT_TRUE(KeyExists(key_path));
  EXPECT_EQ(Stored("Last Record Types"), "<missing>");

  RegDeleteTreeA(HKEY_CURRENT_USER, key_path.c_str());
  host.registry_key = "";
  host.current_database = "alpha";
  host.record_types = "Defect";
  HandOver();
  EXPECT_FALSE(KeyExists(key_path));
  DWORD type = 0;
  std::string bytes;
  EXPECT_FALSE(ReadValue("", "Last Record Types", type, bytes)) << "nothing written to HKCU";
  EXPECT_EQ(ComboItems(), std::vector<std::string>{"Defect"});

  host.registry_key.reset();  // a null path is empty too
  host.current_database = "";
  HandOver();
  EXPECT_FALSE(KeyExists(key_path));
}

TEST_F(DataBaseTest, GoSubmitsTheSelectedNonEmptyType) {
  host.current_database = "alpha";
  host.record_types = "Defect\n\nTask";
  HandOver();
  host.log.Clear();
  Click(IDC_GO);
  SendMessageA(Item(IDC_RECORD_TYPES), CB_SETCURSEL, 1, 0);
  Click(IDC_GO);
  SendMessageA(Item(IDC_RECORD_TYPES), CB_SETCURSEL, 2, 0);
  Click(IDC_GO);
  SendMessageA(Item(IDC_RECORD_TYPES), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  Click(IDC_GO);
  EXPECT_TRUE(host.log.Matches(
      {"SubmitRecord(\"alpha\", \"Defect\")", "SubmitRecord(\"alpha\", \"Task\")"}));

  SendMessageA(Item(IDC_RECORD_TYPES), CB_SETCURSEL, 0, 0);
  const BstrAllocator previous = SetBstrAllocator(FailingAllocator);
  Click(IDC_GO);
  SetBstrAllocator(previous);
  EXPECT_TRUE(host.log.Matches({}));
}

// A test double of RegQueryValueExW: the value reports `first` bytes when
// asked for its size, then holds `data` when read.
struct ChangingValue {
  static inline DWORD first = 0;
  static inline DWORD type = REG_SZ;
  static inline std::wstring data;
  static inline int reads = 0;
  static LSTATUS APIENTRY Read(HKEY, LPCWSTR, LPDWORD, LPDWORD valueType, LPBYTE buffer,
                               LPDWORD size) {
    *valueType = type;
    const DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const DWORD reported = reads++ == 0 ? first : bytes;
    if (!buffer) {
      *size = reported;
      return ERROR_SUCCESS;
    }
    if (*size < bytes) {
      *size = bytes;
      return ERROR_MORE_DATA;
    }
    memcpy(buffer, data.data(), bytes);
    *size = bytes;
    return ERROR_SUCCESS;
  }
};

TEST(SettingsStringTest, StaysWithinItsBuffer) {
  ChangingValue::first = 3;
  ChangingValue::data = std::wstring(L"grown value\0", 12);
  ChangingValue::reads = 0;
  EXPECT_EQ(ReadSettingsString(nullptr, L"v", ChangingValue::Read), L"grown value");
  EXPECT_EQ(ChangingValue::reads, 3);

  ChangingValue::first = 10;
  ChangingValue::data = L"abcde";  // no NUL at all
  ChangingValue::reads = 0;
  EXPECT_EQ(ReadSettingsString(nullptr, L"v", ChangingValue::Read), L"abcde");

  ChangingValue::data = std::wstring(L"ab\0cd", 5);
  ChangingValue::reads = 0;
  EXPECT_EQ(ReadSettingsString(nullptr, L"v", ChangingValue::Read), L"ab");

  ChangingValue::type = REG_DWORD;
  ChangingValue::reads = 0;
  EXPECT_EQ(ReadSettingsString(nullptr, L"v", ChangingValue::Read), L"");
  ChangingValue::type = REG_SZ;
}

TEST(SettingsStringTest, RealRegistryValues) {
  const std::string path = "Software\\PellwickTests\\SettingsString." +
                           std::to_string(GetCurrentProcessId());
  WriteValue(path, "plain", REG_SZ, std::string("text\0", 5));
  WriteValue(path, "unterminated", REG_SZ, "abc");
  WriteValue(path, "empty", REG_SZ, "");
  WriteValue(path, "number", REG_DWORD, std::string("\1\0\0\0", 4));
  RegKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out()),
            ERROR_SUCCESS);
  EXPECT_EQ(ReadSettingsString(key.get(), L"plain"), L"text");
  EXPECT_EQ(ReadSettingsString(key.get(), L"unterminated"), L"abc");
  EXPECT_EQ(ReadSettingsString(key.get(), L"empty"), L"");
  EXPECT_EQ(ReadSettingsString(key.get(), L"number"), L"");
  EXPECT_EQ(ReadSettingsString(key.get(), L"missing"), L"");
  key.reset();
  EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
}
