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
  EXPECT_EQ(page->Records().size(), 4u);

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

TEST_F(MruListsTest, FailedConversionStopsBeforeThatEntrysCall) {
  host.record_mrus = Record("alpha", "a", "b", "r0", "") + Record("alpha", "c", "d", "r1", "");
  host.query_mrus = Query("beta", "q0") + Query("beta", "q1");
  HandOver();
  host.log.Clear();

  SelectRows(IDC_RECORDS_LIST, {0, 1});
  {
    FailFrom seventh(7);  // entry 0's five, then the third field of entry 1
    Click(IDC_REMOVE_RECORDS);
  }
  EXPECT_TRUE(host.log.Matches({"RemoveRecordMRU(\"alpha\", \"a\", \"b\", \"r0\", \"\")"}))
      << "no call for entry 1, and no re-read";
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
  EXPECT_TRUE(host.log.Matches({"RemoveQueryMRU(\"beta\", \"q0\")"}));
}

// A host that refreshes the page from inside its own calls: rows that vanish
// mid-loop are looked up as missing entries, never read out of range.
TEST_F(MruListsTest, HostRefreshingInsideRemoveAndView) {
  host.record_mrus = Record("alpha", "", "", "r0", "") + Record("alpha", "", "", "r1", "") +
                     Record("alpha", "", "", "r2", "");
  host.query_mrus = Query("beta", "q0") + Query("beta", "q1");
  HandOver();
  host.log.Clear();

  host.during = [&](const std::string& method) {
    if (method != "RemoveRecordMRU" && method != "RemoveQueryMRU" && method != "ViewRecord")
      return;
    host.record_mrus = "";
    host.query_mrus = "";
    project->RefreshMRUs();
  };
  SelectRows(IDC_RECORDS_LIST, {0, 2});
  Click(IDC_REMOVE_RECORDS);
  EXPECT_TRUE(host.log.Matches({"RemoveRecordMRU(\"alpha\", \"\", \"\", \"r0\", \"\")",
                                "GetRecordMRUs(null)", "GetQueryMRUs(null)"}));
  EXPECT_EQ(page->Records().size(), 0u);

  host.during = nullptr;
  host.record_mrus = Record("alpha", "", "", "r0", "") + Record("alpha", "", "", "r1", "");
  host.query_mrus = Query("beta", "q0") + Query("beta", "q1");
  EXPECT_EQ(project->RefreshMRUs(), S_OK);
  SelectRows(IDC_QUERIES_LIST, {0, 1});
  host.log.Clear();
  host.during = [&](const std::string& method) {
    if (method != "RemoveQueryMRU") return;
    host.query_mrus = Query("beta", "q1");
    project->RefreshMRUs();
  };
  Click(IDC_REMOVE_QUERIES);
  EXPECT_TRUE(host.log.Matches(
      {"RemoveQueryMRU(\"beta\", \"q0\")", "GetRecordMRUs(null)", "GetQueryMRUs(null)"}));
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

// Text in code page 932 goes from the host's UTF-16 to narrow text and back
// unchanged, through record types, rows and list fields.
TEST_F(MruListsTest, JapaneseThreadLocaleRoundTrips) {
  const LCID locale = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(0x0411, SORT_DEFAULT)));
  const std::string db = u8"\u30c7\u30fc\u30bf";                  // データ
  const std::string type = u8"\u4e0d\u5177\u5408\u8868";         // 不具合表
  const std::string label = u8"\u9805\u76ee\u30bd";              // 項目ソ (0x835C: a 0x5C trail byte)
  host.current_database = db;
  host.record_types = type + "\n" + label;
  host.record_mrus = Record(db, label, "", label, type) + Record("x", "", "", type, "");
  host.query_mrus = Query(db, label);
  HandOver();
  host.log.Clear();

  BSTR name = nullptr;
  EXPECT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(LogText(name), "\"" + type + "\"");
  SysFreeString(name);
  EXPECT_EQ(page->RecordTypeList().size(), 2u);
  EXPECT_EQ(page->Records().size(), 2u);
  EXPECT_EQ(Rows(IDC_RECORDS_LIST).size(), 2u);

  Click(IDC_GO);
  SelectRows(IDC_RECORDS_LIST, {0});
  Click(IDC_VIEW_RECORD);
  SelectRows(IDC_QUERIES_LIST, {0});
  Click(IDC_RUN_QUERY);
  EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"" + db + "\", \"" + type + "\")",
                                "ViewRecord(\"" + db + "\", \"" + label + "\", \"\", \"" + label +
                                    "\", \"" + type + "\")",
                                "RunQuery(\"" + db + "\", \"" + label + "\")"}));
  std::string stored;
  DWORD valueType = 0;
  ASSERT_TRUE(ReadValue(key_path, "Last Record Types", valueType, stored));
  EXPECT_EQ(stored.size(), strlen(stored.c_str()) + 1) << "one NUL after the narrow text";
  SetThreadLocale(locale);
}
