// The two recently-viewed lists: rows, buttons, View/Run and Remove, the
// host-call sequences, and re-entrant hosts.
#include "page/page_fixture.h"

#include "framework/text.h"

namespace {
std::string Record(const std::string& db, const std::string& h1, const std::string& h2,
                   const std::string& label, const std::string& detail) {
  return db + "\n" + h1 + "\n" + h2 + "\n" + label + "\n" + detail + "\n\n";
}
std::string Query(const std::string& db, const std::string& name) {
  return db + "\n" + name + "\n\n\n\n\n";
}

// Fails the allocation number `failing` (counting from 0) and every one after.
// `text` in code page `codePage` as UTF-16.
std::wstring MultiByteText(UINT codePage, const char* text) {
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(codePage, 0, text, -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(wide.size() - 1);
  return wide;
}

class FailFrom {
 public:
  explicit FailFrom(int failing) {
    left_ = failing;
    previous_ = SetBstrAllocator(&Allocate);
  }
  ~FailFrom() { SetBstrAllocator(previous_); }

 private:
  static BSTR WINAPI Allocate(const OLECHAR* characters, UINT length) {
    if (left_-- <= 0) return nullptr;
    return SysAllocStringLen(characters, length);
  }
  static inline int left_ = 0;
  BstrAllocator previous_;
};
}  // namespace

class MruListsTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    host.current_database = "alpha";
  }
};

TEST_F(MruListsTest, RecordRows) {
  host.record_mrus = Record("alpha", "x", "y", "item 12", "") +
                     Record("beta", "x", "y", "item 7", "first draft") +
                     Record("Alpha", "x", "y", "item 3", "") + Record("", "x", "y", "bare", "d");
  HandOver();
  EXPECT_EQ(Rows(IDC_RECORDS_LIST),
            (std::vector<std::string>{"item 12", "[beta] item 7 - first draft", "[Alpha] item 3",
                                      "[] bare - d"}));

  // With no current database at all, only entries without one lose the prefix.
  host.current_database = "";
  EXPECT_EQ(project->DataBaseOpened(nullptr), S_OK);
  EXPECT_EQ(Rows(IDC_RECORDS_LIST),
            (std::vector<std::string>{"[alpha] item 12", "[beta] item 7 - first draft",
                                      "[Alpha] item 3", "bare - d"}));
}

TEST_F(MruListsTest, QueryRowsAreCutFiveLinesAtATime) {
  host.query_mrus = Query("alpha", "open items") + Query("beta", "open items") +
                    Query("ALPHA", "open items");
  HandOver();
  EXPECT_EQ(Rows(IDC_QUERIES_LIST),
            (std::vector<std::string>{"open items", "[beta] open items", "[ALPHA] open items"}));

  host.query_mrus = "a\nb\n\nc\nd\n\n";
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  EXPECT_EQ(Rows(IDC_QUERIES_LIST), std::vector<std::string>{"[a] b"});
  SelectRows(IDC_QUERIES_LIST, {0});
  host.log.Clear();
  Click(IDC_RUN_QUERY);
  EXPECT_TRUE(host.log.Matches({"RunQuery(\"a\", \"b\")"}));
}

TEST_F(MruListsTest, ButtonsFollowTheSelection) {
  host.record_mrus = Record("alpha", "", "", "r0", "") + Record("alpha", "", "", "r1", "");
  host.query_mrus = Query("alpha", "q0") + Query("alpha", "q1");
  HandOver();
  const struct { int list, first, remove; } pairs[] = {
      {IDC_RECORDS_LIST, IDC_VIEW_RECORD, IDC_REMOVE_RECORDS},
      {IDC_QUERIES_LIST, IDC_RUN_QUERY, IDC_REMOVE_QUERIES}};
  for (const auto& pair : pairs) {
    SelectRows(pair.list, {1});
    EXPECT_TRUE(Enabled(pair.first));
    EXPECT_TRUE(Enabled(pair.remove));
    SelectRows(pair.list, {0, 1});
    EXPECT_FALSE(Enabled(pair.first));
    EXPECT_TRUE(Enabled(pair.remove));
    SelectRows(pair.list, {});
    EXPECT_FALSE(Enabled(pair.first));
    EXPECT_FALSE(Enabled(pair.remove));
    // A refresh ends with the notification, so the buttons follow the emptied selection.
    SelectRows(pair.list, {0});
  }
  host.record_mrus = "";
  host.query_mrus.reset();
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  EXPECT_TRUE(Rows(IDC_RECORDS_LIST).empty());
  EXPECT_TRUE(Rows(IDC_QUERIES_LIST).empty());
  for (int id : {IDC_VIEW_RECORD, IDC_REMOVE_RECORDS, IDC_RUN_QUERY, IDC_REMOVE_QUERIES})
    EXPECT_FALSE(Enabled(id)) << id;
}

// Drawing is suspended during a refill by hiding the list; each list is shown
// again afterwards, with a scroll bar exactly when its rows need one.
TEST_F(MruListsTest, RefilledListsAreShownWithTheScrollBarTheirRowsNeed) {
  host.record_mrus = "";
  host.query_mrus = "";
  for (int i = 0; i < 100; ++i) {
    *host.record_mrus += Record("alpha", "", "", "r" + std::to_string(i), "");
    *host.query_mrus += Query("alpha", "q" + std::to_string(i));
  }
  HandOver();
  const int lists[] = {IDC_RECORDS_LIST, IDC_QUERIES_LIST};
  const auto scrolls = [this](int list) {
    return (GetWindowLongPtrW(Item(list), GWL_STYLE) & WS_VSCROLL) != 0;
  };
  for (int list : lists) {
    RECT client = {};
    GetClientRect(Item(list), &client);
    ASSERT_GT(100 * SendMessageW(Item(list), LB_GETITEMHEIGHT, 0, 0), client.bottom) << list;
    EXPECT_TRUE(IsWindowVisible(Item(list))) << list;
    EXPECT_TRUE(scrolls(list)) << list;
  }
  host.record_mrus = Record("alpha", "", "", "r0", "");
  host.query_mrus = Query("alpha", "q0");
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  for (int list : lists) {
    EXPECT_TRUE(IsWindowVisible(Item(list))) << list;
    EXPECT_FALSE(scrolls(list)) << list;
  }
}

TEST_F(MruListsTest, ViewAndRunPassTheEntryFields) {
  host.record_mrus = Record("alpha", "h1", "h2", "first", "") + Record("beta", "", "", "", "") +
                     Record("gamma", "g1", "g2", "third", "det");
  host.query_mrus = Query("", "") + Query("beta", "open items");
  HandOver();
  host.log.Clear();

  SelectRows(IDC_RECORDS_LIST, {1});
  Click(IDC_VIEW_RECORD);
  DoubleClick(IDC_RECORDS_LIST);
  SelectRows(IDC_RECORDS_LIST, {0, 2});
  DoubleClick(IDC_RECORDS_LIST);  // the lowest selected row
  SelectRows(IDC_QUERIES_LIST, {0});
  Click(IDC_RUN_QUERY);
  SelectRows(IDC_QUERIES_LIST, {1});
  DoubleClick(IDC_QUERIES_LIST);
  SelectRows(IDC_QUERIES_LIST, {});
  DoubleClick(IDC_QUERIES_LIST);
  EXPECT_TRUE(host.log.Matches({"ViewRecord(\"beta\", \"\", \"\", \"\", \"\")",
                                "ViewRecord(\"beta\", \"\", \"\", \"\", \"\")",
                                "ViewRecord(\"alpha\", \"h1\", \"h2\", \"first\", \"\")",
                                "RunQuery(\"\", \"\")", "RunQuery(\"beta\", \"open items\")"}));
  // Neither the rows nor the selection change after the call.
  EXPECT_EQ(SendMessageA(Item(IDC_RECORDS_LIST), LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_EQ(Rows(IDC_RECORDS_LIST).size(), 3u);
}

TEST_F(MruListsTest, RemoveCallsOncePerSelectedRowThenRereads) {
  std::string records;
  for (int row = 0; row < 6; ++row)
    records += Record("alpha", "h" + std::to_string(row), "", "r" + std::to_string(row), "");
  host.record_mrus = records;
  std::string queries;
  for (int row = 0; row < 4; ++row) queries += Query("beta", "q" + std::to_string(row));
  host.query_mrus = queries;
  HandOver();
  host.log.Clear();

  SelectRows(IDC_RECORDS_LIST, {5, 0, 2});
  host.record_mrus = Record("alpha", "h1", "", "r1", "");
  Click(IDC_REMOVE_RECORDS);
  EXPECT_TRUE(host.log.Matches({"RemoveRecordMRU(\"alpha\", \"h0\", \"\", \"r0\", \"\")",
                                "RemoveRecordMRU(\"alpha\", \"h2\", \"\", \"r2\", \"\")",
                                "RemoveRecordMRU(\"alpha\", \"h5\", \"\", \"r5\", \"\")",
                                "GetRecordMRUs(null)"}));
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), std::vector<std::string>{"r1"});
  EXPECT_FALSE(Enabled(IDC_REMOVE_RECORDS));

  SelectRows(IDC_QUERIES_LIST, {1, 3});
  Click(IDC_REMOVE_QUERIES);
  EXPECT_TRUE(host.log.Matches({"RemoveQueryMRU(\"beta\", \"q1\")",
                                "RemoveQueryMRU(\"beta\", \"q3\")", "GetQueryMRUs(null)"}));

  // Nothing selected: no call and no re-read.
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_REMOVE_RECORDS, BN_CLICKED), 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_REMOVE_QUERIES, BN_CLICKED), 0);
  EXPECT_TRUE(host.log.Matches({}));
}

// A list box that refuses to add the row "refused", as one out of memory
// refuses a huge one; the rows after it would be accepted.
class RefusingList {
 public:
  RefusingList(HWND list, UINT addMessage) : list_(list) {
    SetPropW(list, kAddMessage, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(addMessage)));
    SetPropW(list, kPrevious,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                 list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Refuse))));
  }
  ~RefusingList() {
    SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropW(list_, kPrevious)));
    RemovePropW(list_, kAddMessage);
  }

 private:
  static constexpr const wchar_t* kPrevious = L"RefusingList.previous";
  static constexpr const wchar_t* kAddMessage = L"RefusingList.add";
  static LRESULT CALLBACK Refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto addMessage = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(window, kAddMessage)));
    if (message == addMessage && wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"refused") == 0)
      return LB_ERRSPACE;  // CB_ERRSPACE has the same value
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetPropW(window, kPrevious)), window, message,
                           wParam, lParam);
  }
  HWND list_;
};

// Row k always shows entry k: a row the list refuses ends the rows there, so
// no later row can stand for another entry than the one it shows.
TEST_F(MruListsTest, RowsStopAtTheFirstRowTheListRefuses) {
  host.record_types = "Defect\nrefused\nTask";
  host.record_mrus = Record("alpha", "", "", "r0", "") + Record("alpha", "", "", "refused", "") +
                     Record("alpha", "", "", "r2", "");
  host.current_database = "alpha";
  {
    RefusingList records(Item(IDC_RECORDS_LIST), LB_ADDSTRING);
    RefusingList types(Item(IDC_RECORD_TYPES), CB_ADDSTRING);
    HandOver();
  }
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), (std::vector<std::string>{"r0"}));
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"Defect"}));
  EXPECT_EQ(RecordTypeState(), (std::vector<std::string>{"Defect"})) << "it holds what it shows";

  // The first name refused: no type is held, and the default is the page's own.
  ComPtr<IHvProjectList> other;
  ASSERT_EQ(NewPage()->QueryInterface(IID_IHvProjectList, other.out_void()), S_OK);
  BSTR own = nullptr;
  ASSERT_EQ(other->GetDefaultRecordType(&own), S_OK);
  host.record_types = "refused\nTask";
  {
    RefusingList types(Item(IDC_RECORD_TYPES), CB_ADDSTRING);
    HandOver();
  }
  EXPECT_TRUE(ComboItems().empty());
  EXPECT_TRUE(RecordTypeState().empty());
  BSTR name = nullptr;
  ASSERT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(LogText(name), LogText(own));
  SysFreeString(name);
  SysFreeString(own);
}

// Every copy for the host is made before the first call: one that cannot be
// made stops the action with nothing done.
TEST_F(MruListsTest, FailedCopyStopsTheActionBeforeAnyCall) {
  host.record_mrus = Record("alpha", "a", "b", "r0", "") + Record("alpha", "c", "d", "r1", "");
  host.query_mrus = Query("beta", "q0") + Query("beta", "q1");
  HandOver();
  host.log.Clear();

  SelectRows(IDC_RECORDS_LIST, {0, 1});
  {
    FailFrom seventh(7);  // entry 0's five, then the third field of entry 1
    Click(IDC_REMOVE_RECORDS);
  }
  SelectRows(IDC_RECORDS_LIST, {1});
  {
    FailFrom fifth(4);
    Click(IDC_VIEW_RECORD);
  }
  SelectRows(IDC_QUERIES_LIST, {0, 1});
  {
    FailFrom third(3);
    Click(IDC_REMOVE_QUERIES);
  }
  SelectRows(IDC_QUERIES_LIST, {1});
  {
    FailFrom first(0);
    Click(IDC_RUN_QUERY);
  }
  EXPECT_TRUE(host.log.Matches({}));
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), (std::vector<std::string>{"r0", "r1"}));
}

// A host that drops each removed entry and refreshes the page at once, from
// inside the remove call: the rows shift under the loop, yet every call names
// an entry the user selected, in row order, and the page re-reads once more.
TEST_F(MruListsTest, HostRefreshingInsideEachRemoveGetsTheSelectedEntries) {
  std::vector<std::string> records = {"A", "B", "C", "D"};
  std::vector<std::string> queries = {"A", "B", "C", "D"};
  auto answer = [&] {
    host.record_mrus = "";
    for (const std::string& label : records) *host.record_mrus += Record("alpha", "", "", label, "");
    host.query_mrus = "";
    for (const std::string& name : queries) *host.query_mrus += Query("alpha", name);
  };
  answer();
  HandOver();
  host.during = [&](const std::string& method) {
    if (method != "RemoveRecordMRU" && method != "RemoveQueryMRU") return;
    auto& list = method == "RemoveRecordMRU" ? records : queries;
    const std::string& call = host.log.calls().back();
    for (auto entry = list.begin(); entry != list.end(); ++entry)
      if (call.find("\"" + *entry + "\"") != std::string::npos) {
        list.erase(entry);
        break;
      }
    answer();
    project->RefreshMRUs();
  };
  const std::vector<std::string> refresh = {"GetRecordMRUs(null)", "GetQueryMRUs(null)"};
  auto expected = [&](std::vector<std::string> removes, const char* reread) {
    std::vector<std::string> calls;
    for (const std::string& remove : removes) {
      calls.push_back(remove);
      calls.insert(calls.end(), refresh.begin(), refresh.end());
    }
    calls.push_back(reread);
    return calls;
  };

  host.log.Clear();
  SelectRows(IDC_RECORDS_LIST, {0, 1, 3});
  Click(IDC_REMOVE_RECORDS);
  EXPECT_TRUE(host.log.Matches(expected({"RemoveRecordMRU(\"alpha\", \"\", \"\", \"A\", \"\")",
                                         "RemoveRecordMRU(\"alpha\", \"\", \"\", \"B\", \"\")",
                                         "RemoveRecordMRU(\"alpha\", \"\", \"\", \"D\", \"\")"},
                                        "GetRecordMRUs(null)")));
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), (std::vector<std::string>{"C"}));

  SelectRows(IDC_QUERIES_LIST, {0, 2, 3});
  Click(IDC_REMOVE_QUERIES);
  EXPECT_TRUE(host.log.Matches(expected({"RemoveQueryMRU(\"alpha\", \"A\")",
                                         "RemoveQueryMRU(\"alpha\", \"C\")",
                                         "RemoveQueryMRU(\"alpha\", \"D\")"},
                                        "GetQueryMRUs(null)")));
  EXPECT_EQ(Rows(IDC_QUERIES_LIST), (std::vector<std::string>{"B"}));
  host.during = nullptr;
}

// After SetActivityHost(NULL) the page keeps showing what it showed, and
// neither refreshes nor actions call anything.
TEST_F(MruListsTest, NoHostLeavesThePageAsItIs) {
  host.record_types = "Defect";
  host.record_mrus = Record("alpha", "", "", "r0", "");
  host.query_mrus = Query("alpha", "q0");
  HandOver();
  SelectRows(IDC_RECORDS_LIST, {0});
  SelectRows(IDC_QUERIES_LIST, {0});
  ASSERT_EQ(advise->SetActivityHost(nullptr), S_OK);
  host.log.Clear();
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  EXPECT_EQ(project->SubmitDefaultRecordType(), S_OK);
  EXPECT_EQ(project->RunDefaultQuery(), S_OK);
  for (int button : {IDC_VIEW_RECORD, IDC_RUN_QUERY, IDC_REMOVE_RECORDS, IDC_REMOVE_QUERIES,
                     IDC_CHANGE_DATABASE, IDC_GO})
    Click(button);
  DoubleClick(IDC_RECORDS_LIST);
  EXPECT_TRUE(host.log.Matches({}));
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "alpha");
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), std::vector<std::string>{"r0"});
  EXPECT_EQ(Rows(IDC_QUERIES_LIST), std::vector<std::string>{"q0"});
  EXPECT_TRUE(Enabled(IDC_VIEW_RECORD));
  EXPECT_TRUE(Enabled(IDC_REMOVE_QUERIES));
}

// Text in any script comes back to the host exactly as it gave it, and the
// page shows it exactly, whatever the thread's code page lacks, also when it
// falls back to the remembered values.
TEST_F(MruListsTest, TextInOtherScriptsIsShownAndHandedBackExactly) {
  const LCID locale = GetThreadLocale();
  const std::string db = u8"\u30c7\u30fc\u30bf";                // データ
  const std::string key = u8"\u043a\u043b\u044e\u0447-42";      // ключ-42
  const std::string type = u8"D\u00e9faut \u4e0d\u5177\u5408";  // Défaut 不具合
  const std::string label = u8"\u9805\u76ee\u30bd";             // 項目ソ (0x835C in 932)
  for (LCID thread : {LCID{0x0409}, LCID{0x0411}}) {
    SCOPED_TRACE(thread);
    ASSERT_TRUE(SetThreadLocale(MAKELCID(thread, SORT_DEFAULT)));
    host.current_database = db;
    host.record_types = type + "\n" + label;
    host.record_mrus = Record(db, key, "", label, type) + Record("x", key, "", key, "");
    host.query_mrus = Query(db, key) + Query(db, label);
    HandOver();
    host.log.Clear();

    EXPECT_EQ(Text(IDC_DATABASE_EDIT), db);
    EXPECT_EQ(ComboItems(), (std::vector<std::string>{type, label}));
    EXPECT_EQ(Rows(IDC_RECORDS_LIST), (std::vector<std::string>{label + " - " + type,
                                                                "[x] " + key}));
    EXPECT_EQ(Rows(IDC_QUERIES_LIST), (std::vector<std::string>{key, label}));
    BSTR name = nullptr;
    EXPECT_EQ(project->GetDefaultRecordType(&name), S_OK);
    EXPECT_EQ(LogText(name), "\"" + type + "\"");
    SysFreeString(name);

    Click(IDC_GO);
    SelectRows(IDC_RECORDS_LIST, {0});
    Click(IDC_VIEW_RECORD);
    SelectRows(IDC_QUERIES_LIST, {0});
    Click(IDC_RUN_QUERY);
    SelectRows(IDC_RECORDS_LIST, {1});
    Click(IDC_REMOVE_RECORDS);
    SelectRows(IDC_QUERIES_LIST, {0});
    Click(IDC_REMOVE_QUERIES);
    EXPECT_TRUE(host.log.Matches(
        {"SubmitRecord(\"" + db + "\", \"" + type + "\")",
         "ViewRecord(\"" + db + "\", \"" + key + "\", \"\", \"" + label + "\", \"" + type + "\")",
         "RunQuery(\"" + db + "\", \"" + key + "\")",
         "RemoveRecordMRU(\"x\", \"" + key + "\", \"\", \"" + key + "\", \"\")",
         "GetRecordMRUs(null)", "RemoveQueryMRU(\"" + db + "\", \"" + key + "\")",
         "GetQueryMRUs(null)"}));

    // The registry holds the host's text exactly, and a page that falls back
    // to it shows and hands back exactly that.
    const std::wstring types = MultiByteText(CP_UTF8, host.record_types->c_str());
    wchar_t stored[64] = {};
    DWORD bytes = sizeof stored;
    const std::wstring path = MultiByteText(CP_UTF8, key_path.c_str());
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Last Record Types", RRF_RT_REG_SZ,
                           nullptr, stored, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), types);
    const std::wstring wide_db = MultiByteText(CP_UTF8, db.c_str());
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Last OV dataBase", REG_SZ,
                              wide_db.c_str(),
                              static_cast<DWORD>((wide_db.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    host.current_database = "";
    HandOver();
    EXPECT_EQ(Text(IDC_DATABASE_EDIT), db);
    EXPECT_EQ(ComboItems(), (std::vector<std::string>{type, label}));
    host.log.Clear();
    Click(IDC_GO);
    EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"" + db + "\", \"" + type + "\")"}));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Last OV dataBase");
  }
  SetThreadLocale(locale);
}
