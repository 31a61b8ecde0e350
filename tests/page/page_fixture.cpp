#include "page/page_fixture.h"

#include "common/fake_page_owner.h"

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
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  key_path = std::string("Software\\PellwickTests\\") + test->test_suite_name() + "." +
             test->name() + "." + std::to_string(GetCurrentProcessId());
  RegDeleteTreeA(HKEY_CURRENT_USER, key_path.c_str());
  host.registry_key = key_path;

  parent = CreateWindowExA(0, kParentClass, "page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           900, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  const ComPtr<FakePageOwner> owner = FakePageOwner::New();
  page = &owner->page;
  advise.reset(owner.get());
  ASSERT_EQ(advise.query(project), S_OK);
  window = page->CreatePageWindow(parent);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOW);
}

ComPtr<IHpAdviseEvents> PageTest::NewPage() {
  return ComPtr<IHpAdviseEvents>(FakePageOwner::New().get());
}

void PageTest::TearDown() {
  if (parent) DestroyWindow(parent);
  project.reset();
  advise.reset();
  page = nullptr;
  EXPECT_EQ(host.count, 1) << "AddRef " << host.add_refs << ", Release " << host.releases;
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

std::string PageTest::DataBaseState() {
  // The database a record the host is asked to make belongs to; the calls
  // logged so far stay as they were.
  const std::vector<std::string> before = host.log.calls();
  host.log.Clear();
  page->SubmitDefaultRecordType();
  const std::vector<std::string> asked = host.log.calls();
  host.log.Clear();
  for (const std::string& call : before) host.log.Add(call);
  const std::string prefix = "SubmitRecord(";
  if (asked.size() != 1 || asked[0].compare(0, prefix.size(), prefix) != 0) return "<not asked>";
  const std::string arguments = asked[0].substr(prefix.size());
  if (arguments.compare(0, 4, "null") == 0) return "<null>";
  return arguments.substr(1, arguments.find("\", null)") - 1);
}

std::vector<std::string> PageTest::RecordTypeState() {
  // What a new window shows without asking the host is what the page holds.
  page->DestroyPageWindow();
  window = page->CreatePageWindow(parent);
  ShowWindow(window, SW_SHOW);
  return ComboItems();
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
