// The development host as a program: the shipped tour is played through real
// input messages and its log must match, call by call, what the tour does;
// the data file then holds the result. A step that a user could not do fails
// the run, and a faulty data file is refused without being touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/call_log.h"
#include "common/test_paths.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"
#include "tools/devhost/data_file.h"
#include "tools/devhost/page_controls.h"

// The tour finds the page's controls by numbers of its own: they must be the page's.
static_assert(kChangeDataBaseButton == IDC_CHANGE_DATABASE && kRecordsList == IDC_RECORDS_LIST &&
              kViewRecordButton == IDC_VIEW_RECORD && kRunQueryButton == IDC_RUN_QUERY &&
              kQueriesList == IDC_QUERIES_LIST && kGoButton == IDC_GO &&
              kRemoveRecordsButton == IDC_REMOVE_RECORDS &&
              kRemoveQueriesButton == IDC_REMOVE_QUERIES && kRecordTypesBox == IDC_RECORD_TYPES);

namespace {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class DevhostRun : public ::testing::Test {
 protected:
  // Wine starts its desktop process for the first window of a session and
  // hands it the starting program's standard error. Started by a run it would
  // keep that run's error file open after the run; started here, nothing.
  static void SetUpTestSuite() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, nullptr);
    GetDesktopWindow();
    SetStdHandle(STD_ERROR_HANDLE, error);
  }

  void SetUp() override {
    folder_ = ProgramDir() + "devhost-test\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    data = folder_ + "data.txt";
    WriteFile(data, ReadFile(ProgramDir() + "devhost-sample.txt"));
  }

  // Runs devhost.exe with `arguments`; its output lands in `out` and `err`.
  // A Wine process that devhost starts (the desktop's explorer.exe, when no
  // window has needed it yet) receives devhost's standard handles and may
  // outlive the run by seconds, holding the output files open. So every run
  // writes files of its own, opened for sharing, and a file that cannot be
  // made fails the test at once instead of leaving an older run's text to read.
  // devhost runs detached, so no console host is started for it either.
  DWORD Run(const std::string& arguments) {
    static int runs = 0;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::string stem = folder_ + "run" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++runs);
    const std::string outFile = stem + ".out", errFile = stem + ".err";
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD exitCode = 0xFFFFFFFF;
    out.clear();
    err.clear();
    {
      FileHandle outHandle(
          CreateFileA(outFile.c_str(), GENERIC_WRITE, sharing, &inherit, CREATE_ALWAYS, 0, nullptr));
      FileHandle errHandle(
          CreateFileA(errFile.c_str(), GENERIC_WRITE, sharing, &inherit, CREATE_ALWAYS, 0, nullptr));
      if (!outHandle || !errHandle) {
        ADD_FAILURE() << "cannot create " << stem << ".*: " << GetLastError();
        return exitCode;
      }
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdOutput = outHandle.get();
      startup.hStdError = errHandle.get();
      std::string command = "\"" + ProgramDir() + "devhost.exe\" " + arguments;
      PROCESS_INFORMATION process{};
      if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                          nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command;
        return exitCode;
      }
      FileHandle processHandle(process.hProcess), thread(process.hThread);
      EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0) << "devhost hangs";
      GetExitCodeProcess(process.hProcess, &exitCode);
    }
    out = ReadFile(outFile);
    err = ReadFile(errFile);
    DeleteFileA(outFile.c_str());
    DeleteFileA(errFile.c_str());
    return exitCode;
  }

  std::string Script(const std::string& steps) {
    const std::string file = folder_ + "script.txt";
    WriteFile(file, steps);
    return " --script \"" + file + "\"";
  }

  std::string WithDll() const { return "--dll \"" + PellwickDllPath() + "\" --data \"" + data + "\""; }

  std::string data, out, err;

 private:
  std::string folder_;
};

// What the page asks for whenever it is handed the host or told of a database.
std::vector<std::string> Opening(const std::string& base, int types) {
  return {"GetCurrentDataBase -> \"" + base + "\"",
          "GetRecordTypes(\"" + base + "\") -> " + std::to_string(types) + " types",
          "GetRegistryKey -> \"Software\\Pellwick\\DevHost\""};
}

std::vector<std::string> Refresh(int records, int queries) {
  return {"page: RefreshMRUs()", "GetRecordMRUs -> " + std::to_string(records) + " entries",
          "GetQueryMRUs -> " + std::to_string(queries) + " entries"};
}

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}
TEST_F(DevhostRun, TheShippedTourLogsExactlyWhatItDoesAndPersistsIt) {
  ASSERT_EQ(Run(WithDll() + " --script \"" + ProgramDir() + "devhost-tour.txt\""), 0u) << err;
  std::vector<std::string> expected = Opening("SAMPL", 3);
  Append(expected, {"GetRecordMRUs -> 5 entries", "GetQueryMRUs -> 3 entries",
                    "script: select records 1", "script: click view",
                    "ViewRecord(\"SAMPL\", \"rec\", \"SAMPL00000017\", \"SAMPL00000017\", "
                    "\"Merge loses the last line\")"});
  Append(expected, Refresh(5, 3));
  Append(expected, {"script: double-click queries 2",
                    "RunQuery(\"HALV1\", \"Public Queries/Open Tasks\") -> runs "
                    "\"Public Queries/Open Tasks\" in \"HALV1\""});
  Append(expected, Refresh(5, 3));
  // Two rows picked with Ctrl: one removal each, in row order, then one re-read.
  Append(expected, {"script: select records 2 3", "script: click remove-records",
                    "RemoveRecordMRU(\"HALV1\", \"rec\", \"HALV100000003\", \"HALV100000003\", "
                    "\"Release checklist for 9.0\")",
                    "RemoveRecordMRU(\"SAMPL\", \"rec\", \"SAMPL00000008\", \"SAMPL00000008\", "
                    "\"Typo in the About box\")",
                    "GetRecordMRUs -> 3 entries", "script: select types 2", "script: click go",
                    "SubmitRecord(\"SAMPL\", \"Change Request\") -> new \"Change Request\""});
  Append(expected, Refresh(4, 3));
  Append(expected, {"script: menu new-record", "page: SubmitDefaultRecordType()",
                    "page: GetDefaultRecordType() -> \"Defect\"",
                    "SubmitRecord(\"SAMPL\", null) -> new \"Defect\""});
  Append(expected, Refresh(5, 3));
  Append(expected, {"script: menu run-query", "page: RunDefaultQuery()",
                    "RunQuery(null, null) -> runs \"My Open Records\" in \"SAMPL\""});
  Append(expected, Refresh(5, 4));
  Append(expected, {"script: click change", "script: pick HALV1", "ChangeDataBase -> \"HALV1\"",
                    "page: DataBaseOpened(\"HALV1\")"});
  Append(expected, Opening("HALV1", 2));
  Append(expected, {"script: select queries 0", "script: click remove-queries",
                    "RemoveQueryMRU(\"SAMPL\", \"My Open Records\")", "GetQueryMRUs -> 3 entries",
                    "script: click change", "script: pick SAMPL", "ChangeDataBase -> \"SAMPL\"",
                    "page: DataBaseOpened(\"SAMPL\")"});
  Append(expected, Opening("SAMPL", 3));
  // Tab reaches "View Record" only through the page's dialog keys.
  Append(expected, {"script: select records 0", "script: key tab", "script: key space",
                    "ViewRecord(\"SAMPL\", \"new\", \"Defect\", \"New Defect\", \"\")"});
  Append(expected, Refresh(5, 3));
  Append(expected, {"script: select records 2", "script: end"});
  CallLog log;
  for (const std::string& line : Lines(out)) log.Add(line);
  EXPECT_TRUE(log.Matches(expected));

  HostData after;
  DataFileError error;
  ASSERT_TRUE(ParseDataFile(ReadFile(data), after, error)) << error.message;
  EXPECT_EQ(after.current_data_base, "SAMPL");
  EXPECT_EQ(after.records,
            (std::vector<RecordEntry>{
                {"SAMPL", "new", "Defect", "New Defect", ""},
                {"SAMPL", "new", "Change Request", "New Change Request", ""},
                {"SAMPL", "rec", "SAMPL00000017", "SAMPL00000017", "Merge loses the last line"},
                {"SAMPL", "rec", "SAMPL00000042", "SAMPL00000042",
                 "Crash when saving an empty project"},
                {"SAMPL", "rec", "SAMPL00000005", "SAMPL00000005", ""}}));
  EXPECT_EQ(after.queries, (std::vector<QueryEntry>{{"HALV1", "Public Queries/Open Tasks"},
                                                    {"SAMPL", "Public Queries/All Defects"},
                                                    {"SAMPL", "Personal Queries/Assigned to me"}}));
}

TEST_F(DevhostRun, AStepNoUserCouldTakeEndsTheTourWithAFailure) {
  // Nothing is selected yet, so "View Record" is disabled.
  EXPECT_EQ(Run(WithDll() + Script("# start\nclick view\nclick change\n")), 4u) << err;
  const std::vector<std::string> lines = Lines(out);
  ASSERT_GE(lines.size(), 3u);
  // The tour stops there: "click change" is never played.
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"script: click view",
                                      "script: line 2 cannot be played: button view is disabled",
                                      "script: end"}));
}

TEST_F(DevhostRun, AFaultyDataFileIsRefusedNamingTheLineAndLeftUntouched) {
  const std::string faulty = "key K\ndatabase A\nrecord A|only|three\ntype T\n";
  WriteFile(data, faulty);
  EXPECT_EQ(Run(WithDll() + Script("click change\n")), 2u);
  EXPECT_NE(err.find("data.txt:3: 'record' needs 5 fields"), std::string::npos) << err;
  EXPECT_EQ(out, "") << "no host call may happen on a refused file";
  EXPECT_EQ(ReadFile(data), faulty);

  WriteFile(data, ReadFile(ProgramDir() + "devhost-sample.txt"));
  EXPECT_EQ(Run(WithDll() + Script("click change\nfly away\n")), 2u);
  EXPECT_NE(err.find("line 2: cannot read step 'fly away'"), std::string::npos) << err;
}

TEST_F(DevhostRun, TheRegisteredClassWorksWithoutADllPathAndTheScreenshotIsAPng) {
  ModuleHandle dll(LoadLibraryA(PellwickDllPath().c_str()));
  ASSERT_TRUE(dll);
  using Entry = HRESULT(STDAPICALLTYPE*)();
  const auto registerServer = reinterpret_cast<Entry>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllRegisterServer")));
  const auto unregisterServer = reinterpret_cast<Entry>(
      reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllUnregisterServer")));
  ASSERT_TRUE(registerServer && unregisterServer);
  ASSERT_EQ(registerServer(), S_OK);
  const std::string png = ProgramDir() + "devhost-test\\page.png";
  DeleteFileA(png.c_str());
  const DWORD exitCode = Run("--data \"" + data + "\" --screenshot \"" + png + "\"" +
                             Script("select records 4\nclick view\n"));
  EXPECT_EQ(unregisterServer(), S_OK);
  ASSERT_EQ(exitCode, 0u) << err;
  const std::vector<std::string> lines = Lines(out);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "ViewRecord(\"SAMPL\", \"rec\", \"SAMPL00000005\", \"SAMPL00000005\", \"\")"),
            lines.end())
      << out;
  EXPECT_EQ(ReadFile(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// --regfree finds the control through the assembly manifest beside the host,
// with nothing registered (devhost_regfree_tests runs this in a prefix where
// nothing ever is); it cannot be combined with --dll.
TEST_F(DevhostRun, RegfreeCreatesTheUnregisteredControlThroughTheAssemblyManifest) {
  RegKey key;
  ASSERT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}", 0,
                          KEY_READ, key.out()),
            ERROR_SUCCESS)
      << "the control is registered in this prefix";
  ASSERT_EQ(Run("--regfree --data \"" + data + "\"" + Script("select records 4\nclick view\n")),
            0u)
      << err;
  const std::vector<std::string> lines = Lines(out);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "ViewRecord(\"SAMPL\", \"rec\", \"SAMPL00000005\", \"SAMPL00000005\", \"\")"),
            lines.end())
      << out;

  EXPECT_EQ(Run("--regfree " + WithDll()), 2u);
  EXPECT_NE(err.find("usage:"), std::string::npos) << err;
}

}  // namespace
