#pragma once
// A fresh activity page per test: a visible top-level parent, the page object
// with its dialog, a recording host, and a registry key path of the test's own
// under HKCU that is removed afterwards. TearDown destroys everything and
// checks that the host's count is back to the test's one reference and that
// no window is left over. The page is embedded in a FakePageOwner, not in the
// control: these tests see the page at its own layer.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/call_log.h"
#include "common/mock_host.h"
#include "common/thread_windows.h"
#include "framework/com_ptr.h"
#include "page/activity_page.h"
#include "resources/resource_ids.h"

// The registry value `name` under HKCU\`path`: its type and bytes; false when missing.
bool ReadValue(const std::string& path, const char* name, DWORD& type, std::string& bytes);
bool KeyExists(const std::string& path);

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates a second page object (besides `page`), for tests of the identity.
  ComPtr<IHpAdviseEvents> NewPage();

  HWND Item(int id) const { return GetDlgItem(window, id); }
  // What the page shows and holds, as UTF-8.
  std::string Text(int id) const;
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  std::vector<std::string> Rows(int list) const;
  std::vector<std::string> ComboItems() const;
  // The database the page acts on, as SubmitDefaultRecordType names it to
  // the host ("<not asked>" without a host).
  std::string DataBaseState();
  // The record types the page holds, as a new page window shows them (the
  // window is made anew).
  std::vector<std::string> RecordTypeState();
  // Selects exactly `rows` of list `list` and tells the page, as a click would.
  void SelectRows(int list, std::initializer_list<int> rows);
  void DoubleClick(int list);
  void Click(int button);
  // The host's answers that fill the whole page in one SetActivityHost.
  void HandOver() { ASSERT_EQ(advise->SetActivityHost(&host), S_OK); }

  MockHost host;
  ActivityPage* page = nullptr;  // the owner's page, kept alive by `advise`
  ComPtr<IHpAdviseEvents> advise;
  ComPtr<IHvProjectList> project;
  HWND parent = nullptr;
  HWND window = nullptr;
  std::string key_path;

 private:
  int windows_before_ = 0;
};
