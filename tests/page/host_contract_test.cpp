// The host contract: IHpAdviseEvents and IHvProjectList as the host sees
// them, with exact host-call sequences.
#include "page/page_fixture.h"

#include <ocidl.h>

#include "framework/text.h"

namespace {
BSTR WINAPI RefusingBstrAllocator(const OLECHAR*, UINT) { return nullptr; }

// Fails every allocation after the first `allowed` ones; restores on exit.
class AllocationLimit {
 public:
  explicit AllocationLimit(int allowed) {
    remaining_ = allowed;
    previous_ = SetBstrAllocator(&Limited);
  }
  ~AllocationLimit() { SetBstrAllocator(previous_); }

 private:
  static BSTR WINAPI Limited(const OLECHAR* characters, UINT length) {
    if (remaining_ <= 0) return nullptr;
    --remaining_;
    return SysAllocStringLen(characters, length);
  }
  static inline int remaining_ = 0;
  BstrAllocator previous_;
};

std::string TakeText(BSTR text) {
  std::string logged = LogText(text);
  SysFreeString(text);
  return logged;
}
}  // namespace

using HostContractTest = PageTest;

TEST_F(HostContractTest, HandOverRefreshesInOrderAndHoldsOneReference) {
  host.current_database = "alpha";
  host.record_types = "Defect\nTask";
  host.record_mrus = "alpha\nh1\nh2\nitem 12\n\n\n";
  host.query_mrus = "beta\nopen items\n\n\n\n\n";
  HandOver();
  EXPECT_TRUE(host.log.Matches({"GetCurrentDataBase(null)", "GetRecordTypes(\"alpha\", null)",
                                "GetRegistryKey(null)", "GetRecordMRUs(null)",
                                "GetQueryMRUs(null)"}));
  EXPECT_EQ(host.count, 2);
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "alpha");
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"Defect", "Task"}));
  EXPECT_EQ(Rows(IDC_RECORDS_LIST), std::vector<std::string>{"item 12"});
  EXPECT_EQ(Rows(IDC_QUERIES_LIST), std::vector<std::string>{"[beta] open items"});

  // The same object again: everything refreshed, the count unchanged.
  HandOver();
  EXPECT_EQ(host.log.calls().size(), 5u);
  host.log.Clear();
  EXPECT_EQ(host.count, 2);
  EXPECT_EQ(host.add_refs, host.releases + 1);

  ASSERT_EQ(advise->SetActivityHost(nullptr), S_OK);
  EXPECT_EQ(host.count, 1);
}

TEST_F(HostContractTest, ReplacingTheHostAddsTheNewBeforeReleasingTheOld) {
  MockHost second;
  HandOver();
  ASSERT_EQ(advise->SetActivityHost(&second), S_OK);
  EXPECT_EQ(host.count, 1);
  EXPECT_EQ(second.count, 2);
  EXPECT_EQ(second.log.calls().front(), "GetCurrentDataBase(null)");
  project.reset();
  advise.reset();
  EXPECT_EQ(second.count, 1) << "the last Release of the page releases its host";
}

TEST_F(HostContractTest, DefaultRecordType) {
  BSTR name = reinterpret_cast<BSTR>(1);
  ASSERT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(TakeText(name), "\"Default Change Request\"") << "string 101 before any refresh";
  EXPECT_EQ(project->GetDefaultRecordType(nullptr), E_POINTER);

  host.current_database = "alpha";
  host.record_types = "Defect\nTask\n";
  HandOver();
  ASSERT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(TakeText(name), "\"Defect\"");

  host.record_types = "\nTask";
  HandOver();
  ASSERT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(TakeText(name), "\"\"") << "an empty first name is not replaced by string 101";

  host.record_types = "";
  HandOver();
  ASSERT_EQ(project->GetDefaultRecordType(&name), S_OK);
  EXPECT_EQ(TakeText(name), "\"Default Change Request\"");

  name = reinterpret_cast<BSTR>(1);
  {
    AllocationLimit none(0);
    EXPECT_EQ(project->GetDefaultRecordType(&name), E_OUTOFMEMORY);
  }
  EXPECT_EQ(name, reinterpret_cast<BSTR>(1)) << "nothing stored on failure";
}

TEST_F(HostContractTest, DefaultActions) {
  HandOver();
  host.log.Clear();
  EXPECT_EQ(project->SubmitDefaultRecordType(), S_OK);
  EXPECT_EQ(project->RunDefaultQuery(), S_OK);
  EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"\", null)", "RunQuery(null, null)"}));

  host.result = E_FAIL;
  host.current_database = "alpha";
  EXPECT_EQ(project->DataBaseOpened(nullptr), S_OK);
  host.log.Clear();
  EXPECT_EQ(project->SubmitDefaultRecordType(), S_OK) << "the host's failure is not passed on";
  EXPECT_EQ(project->RunDefaultQuery(), S_OK);
  EXPECT_TRUE(host.log.Matches({"SubmitRecord(\"alpha\", null)", "RunQuery(null, null)"}));

  const BstrAllocator previous = SetBstrAllocator(RefusingBstrAllocator);
  EXPECT_EQ(project->SubmitDefaultRecordType(), E_OUTOFMEMORY);
  SetBstrAllocator(previous);
  EXPECT_TRUE(host.log.Matches({}));
}

TEST_F(HostContractTest, DataBaseOpenedRebuildsRowsFromHeldEntries) {
  host.current_database = "alpha";
  host.record_mrus = "alpha\nx\ny\nitem 12\n\n\nbeta\nx\ny\nitem 7\nfirst draft\n\n";
  host.query_mrus = "alpha\nopen items\n\n\n\n\nbeta\nopen items\n\n\n\n\n";
  HandOver();
  EXPECT_EQ(Rows(IDC_RECORDS_LIST),
            (std::vector<std::string>{"item 12", "[beta] item 7 - first draft"}));
  SelectRows(IDC_RECORDS_LIST, {0});
  SelectRows(IDC_QUERIES_LIST, {0, 1});
  host.log.Clear();

  host.current_database = "beta";
  BSTR opened = MakeBstr("gamma");
  EXPECT_EQ(project->DataBaseOpened(opened), S_OK);
  EXPECT_EQ(LogText(opened), "\"gamma\"") << "the host's BSTR is neither freed nor changed";
  SysFreeString(opened);
  EXPECT_TRUE(host.log.Matches(
      {"GetCurrentDataBase(null)", "GetRecordTypes(\"beta\", null)", "GetRegistryKey(null)"}));
  EXPECT_EQ(DataBaseState(), "beta");
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "beta");
  EXPECT_EQ(Rows(IDC_RECORDS_LIST),
            (std::vector<std::string>{"[alpha] item 12", "item 7 - first draft"}));
  EXPECT_EQ(Rows(IDC_QUERIES_LIST), (std::vector<std::string>{"[alpha] open items", "open items"}));
  // No row stays selected, and no button acts on nothing.
  for (int button : {IDC_VIEW_RECORD, IDC_REMOVE_RECORDS, IDC_RUN_QUERY, IDC_REMOVE_QUERIES})
    EXPECT_FALSE(Enabled(button)) << button;
  Click(IDC_VIEW_RECORD);
  Click(IDC_REMOVE_QUERIES);
  EXPECT_TRUE(host.log.Matches({}));
}

TEST_F(HostContractTest, DataBaseOpenedWithoutAnyDataBaseEmptiesTheEdit) {
  HandOver();
  host.log.Clear();
  BSTR opened = MakeBstr("gamma");
  EXPECT_EQ(project->DataBaseOpened(opened), S_OK);
  SysFreeString(opened);
  EXPECT_TRUE(host.log.Matches({"GetCurrentDataBase(null)", "GetRegistryKey(null)"}));
  EXPECT_EQ(DataBaseState(), "");
  EXPECT_EQ(Text(IDC_DATABASE_EDIT), "") << "the edit shows the database the page acts on";
}

// A host that lets go of the page's reference from inside its own methods:
// the page finishes with its own reference and never touches a freed host.
TEST_F(HostContractTest, HostDroppedFromInsideItsOwnCall) {
  host.current_database = "alpha";
  host.record_mrus = "alpha\nx\ny\nitem\n\n\n";
  HandOver();
  host.log.Clear();
  // The test's own reference goes too, so a late call would hit a count of 0.
  host.during = [&](const std::string& method) {
    if (method == "GetCurrentDataBase") {
      advise->SetActivityHost(nullptr);
      host.Release();
    }
  };
  EXPECT_EQ(advise->SetActivityHost(&host), S_OK);
  // SetActivityHost(NULL) inside refreshes nothing; the outer refresh goes on
  // with the page's own reference, then stops at the next operation.
  EXPECT_TRUE(host.log.Matches({"GetCurrentDataBase(null)", "GetRecordTypes(\"alpha\", null)",
                                "GetRegistryKey(null)"}));
  EXPECT_EQ(host.count, 0);
  host.count = 1;  // the test's reference, for TearDown
  host.during = nullptr;

  // The same from inside a user action: the loop goes on with the page's own
  // reference, and the re-read after it finds no host.
  host.record_mrus = "alpha\nx\ny\nitem\n\n\nalpha\nx\ny\nnext\n\n\n";
  ASSERT_EQ(advise->SetActivityHost(&host), S_OK);
  host.log.Clear();
  bool dropped = false;
  host.during = [&](const std::string& method) {
    if (method != "RemoveRecordMRU" || dropped) return;
    dropped = true;
    advise->SetActivityHost(nullptr);
    host.Release();
  };
  SelectRows(IDC_RECORDS_LIST, {0, 1});
  Click(IDC_REMOVE_RECORDS);
  EXPECT_TRUE(host.log.Matches({"RemoveRecordMRU(\"alpha\", \"x\", \"y\", \"item\", \"\")",
                                "RemoveRecordMRU(\"alpha\", \"x\", \"y\", \"next\", \"\")"}));
  EXPECT_EQ(host.count, 0);
  host.count = 1;
}
