#include "page/page_fixture.h"

#include "control/activity_ctrl.h"
#include "control/create_activity_ctrl.h"
#include "framework/module_lock.h"

namespace {
const char kParentClass[] = "PellwickPageTestParent";

void RegisterParentClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kParentClass;
  RegisterClassA(&windowClass);
}
}  // namespace

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool ReadValue(const std::string& path, const char* name, DWORD& type, std::string& bytes) {
  RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  bytes.assign(size, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, &type,
                       reinterpret_cast<BYTE*>(bytes.empty() ? nullptr : &bytes[0]),
                       &size) != ERROR_SUCCESS)
    return false;
  bytes.resize(size);
  return true;
}

void PageTest::SetUp() {
  RegisterParentClass();
  windows_before_ = CountThreadWindows();
  locks_before_ = ModuleLockCount();
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  key_path = std::string("Software\\PellwickTests\\") + test->test_suite_name() + "." +
             test->name() + "." + std::to_string(GetCurrentProcessId());
  RegDeleteTreeA(HKEY_CURRENT_USER, key_path.c_str());
  host.registry_key = key_path;

  parent = CreateWindowExA(0, kParentClass, "page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           900, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  advise = NewPage();
  ASSERT_TRUE(advise);
  ASSERT_EQ(advise.query(project), S_OK);
  page = &static_cast<CActivityCtrl*>(advise.get())->Page();
  window = page->CreatePageWindow(parent);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOW);
}

ComPtr<IHpAdviseEvents> PageTest::NewPage() {
  ComPtr<IHpAdviseEvents> created;
  EXPECT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IHpAdviseEvents, created.out_void()), S_OK);
  return created;
}

void PageTest::TearDown() {
  if (parent) DestroyWindow(parent);
  project.reset();
  advise.reset();
  page = nullptr;
  EXPECT_EQ(host.count, 1) << "AddRef " << host.add_refs << ", Release " << host.releases;
  EXPECT_EQ(ModuleLockCount(), locks_before_);
  EXPECT_EQ(CountThreadWindows(), windows_before_);
  RegDeleteTreeA(HKEY_CURRENT_USER, key_path.c_str());
  EXPECT_FALSE(KeyExists(key_path));
}

std::string PageTest::Text(int id) const {
  wchar_t text[1024] = {};
  GetWindowTextW(Item(id), text, 1024);
  return Utf8(text);
}

std::vector<std::string> PageTest::Rows(int list) const {
  std::vector<std::string> rows;
  const LRESULT count = SendMessageW(Item(list), LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    std::wstring text(static_cast<size_t>(SendMessageW(Item(list), LB_GETTEXTLEN, row, 0)) + 1,
                      L'\0');
    SendMessageW(Item(list), LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    rows.push_back(Utf8(text.c_str()));
  }
  return rows;
}

std::vector<std::string> PageTest::ComboItems() const {
  std::vector<std::string> items;
  HWND combo = Item(IDC_RECORD_TYPES);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, item, 0)) + 1,
                      L'\0');
    SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(&text[0]));
    items.push_back(Utf8(text.c_str()));
  }
  return items;
}

std::string PageTest::DataBaseState() const { return Utf8(page->CurrentDataBaseText()); }

std::vector<std::string> PageTest::RecordTypeState() const {
  std::vector<std::string> names;
  for (const std::wstring& name : page->RecordTypeList()) names.push_back(Utf8(name));
  return names;
}

void PageTest::SelectRows(int list, std::initializer_list<int> rows) {
  HWND box = Item(list);
  SendMessageA(box, LB_SETSEL, FALSE, -1);
  for (int row : rows) SendMessageA(box, LB_SETSEL, TRUE, row);
  // Wine's list box does not notify on LB_SETSEL; a click would.
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void PageTest::DoubleClick(int list) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(list, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(Item(list)));
}

void PageTest::Click(int button) { SendMessageA(Item(button), BM_CLICK, 0, 0); }
