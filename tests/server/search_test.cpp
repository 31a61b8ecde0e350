// The search for a satellite beside a renamed copy of Pellwick.dll, with real
// satellites under the names the current UI language gives.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/thread_windows.h"
#include "common/test_paths.h"
#include "fixtures/fixture_ids.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"
#include "server/satellite_loader.h"
#include "temp_folder.h"

namespace {

const char kBaseName[] = "Quillon Page";

std::string FixturePath(const char* name) {
  return ProgramDir() + "satellite_fixtures\\" + name + ".dll";
}

std::string String101(HMODULE module) {
  char text[128] = {};
  const int length = LoadStringA(module, IDS_DEFAULT_RECORD_TYPE, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

// The temporary folders and names here are ASCII: one unit a byte.
std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
std::string Ascii(const std::wstring& wide) {
  std::string ascii;
  for (wchar_t unit : wide) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
  return ascii;
}
std::vector<std::string> Ascii(const std::vector<std::wstring>& names) {
  std::vector<std::string> ascii;
  for (const std::wstring& name : names) ascii.push_back(Ascii(name));
  return ascii;
}

// What the search finds beside `component`, or null; it must complete.
HMODULE Found(HMODULE component, BOOL debug_suffix = FALSE) {
  HMODULE satellite = nullptr;
  EXPECT_EQ(FindLocalizedResourceModule(component, debug_suffix, &satellite), S_OK);
  return satellite;
}

// Candidate names without repeats, in the order they are tried.
std::vector<std::string> Distinct(const std::vector<std::string>& names) {
  std::vector<std::string> distinct;
  for (const std::string& name : names)
    if (std::find(distinct.begin(), distinct.end(), name) == distinct.end())
      distinct.push_back(name);
  return distinct;
}

// A copy of Pellwick.dll under another name in a fresh folder with an empty
// resdll folder, loaded; and the names the search should try beside it.
class SatelliteSearch : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    ASSERT_TRUE(CreateDirectoryA((folder_.path() + "resdll").c_str(), nullptr));
    ASSERT_TRUE(CopyInto(PellwickDllPath(), folder_.path() + kBaseName + ".dll"));
    component_.reset(LoadLibraryA((folder_.path() + kBaseName + ".dll").c_str()));
    ASSERT_TRUE(component_) << GetLastError();

    lookup_.ui_language = GetUserDefaultUILanguage();
    lookup_.drive = Wide(folder_.path().substr(0, 2));
    lookup_.directory = Wide(folder_.path().substr(2));
    lookup_.base_name = Wide(kBaseName);
    ReadLanguageNames(lookup_);
    candidates_ = Ascii(SatelliteCandidates(lookup_));
    ASSERT_FALSE(candidates_.empty()) << "UI language " << lookup_.ui_language;
  }

  void TearDown() override {
    component_.reset();
    // A satellite or failed candidate still mapped would keep its file.
    folder_.Clear();
    EXPECT_EQ(folder_.undeletable(), 0);
  }

  // Searches beside the copy and reads string 101 of what was found.
  std::string FoundText(BOOL debug_suffix = FALSE) {
    ModuleHandle satellite(Found(component_.get(), debug_suffix));
    return satellite ? String101(satellite.get()) : "(none)";
  }

  std::string Candidate(const std::string& tail) const {
    return folder_.path() + "resdll\\" + kBaseName + "_" + tail + ".rsc";
  }

  TempFolder folder_;
  ModuleHandle component_;
  SatelliteLookup lookup_;
  std::vector<std::string> candidates_;
};

TEST_F(SatelliteSearch, NothingFoundWithoutAMatchingFile) {
  EXPECT_EQ(FoundText(), "(none)");
  // A satellite named after the original file name is not one of this copy's.
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"),
                       folder_.path() + "resdll\\Pellwick_" + Ascii(lookup_.iso_language) + ".rsc"));
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"),
                       folder_.path() + kBaseName + "_" + Ascii(lookup_.iso_language) + ".rsc"));
  EXPECT_EQ(FoundText(), "(none)");
}

TEST_F(SatelliteSearch, EachCandidateWinsOverAllLaterOnes) {
  const std::vector<std::string> names = Distinct(candidates_);
  for (size_t first = 0; first < names.size(); ++first) {
    SCOPED_TRACE(names[first]);
    ASSERT_TRUE(CopyInto(FixturePath("satellite_a"), names[first]));
    for (size_t later = first + 1; later < names.size(); ++later)
      ASSERT_TRUE(CopyInto(FixturePath("satellite_b"), names[later]));
    EXPECT_EQ(FoundText(), FIXTURE_A_TEXT);
    ASSERT_TRUE(DeleteFileA(names[first].c_str()));
  }
  EXPECT_EQ(FoundText(), "(none)");
}

TEST_F(SatelliteSearch, DashedFormIsFoundAfterTheUnderscoreFormFails) {
  if (lookup_.iso_language.empty() || lookup_.iso_country.empty())
    GTEST_SKIP() << "the UI language has no ISO language and country";
  const std::string language = Ascii(lookup_.iso_language);
  const std::string country = Ascii(lookup_.iso_country);
  ASSERT_NE(std::find(candidates_.begin(), candidates_.end(), Candidate(language + "-" + country)),
            candidates_.end());
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"), Candidate(language + "-" + country)));
  ASSERT_TRUE(CopyInto(FixturePath("satellite_b"), Candidate(language)));
  EXPECT_EQ(FoundText(), FIXTURE_A_TEXT);
  // A file under the underscore form that is no module is passed over.
  ASSERT_TRUE(WriteTextFile(Candidate(language + "_" + country), "not a module"));
  EXPECT_EQ(FoundText(), FIXTURE_A_TEXT);
}

TEST_F(SatelliteSearch, AbbreviatedNameIsFoundWhenNoIsoFormExists) {
  ASSERT_FALSE(lookup_.abbreviated_language.empty());
  ASSERT_TRUE(CopyInto(FixturePath("satellite_b"), Candidate(Ascii(lookup_.abbreviated_language))));
  EXPECT_EQ(FoundText(), FIXTURE_B_TEXT);
  ASSERT_TRUE(DeleteFileA(Candidate(Ascii(lookup_.abbreviated_language)).c_str()));
  ASSERT_FALSE(lookup_.abbreviated_primary.empty());
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"), Candidate(Ascii(lookup_.abbreviated_primary))));
  EXPECT_EQ(FoundText(), FIXTURE_A_TEXT);
}

TEST_F(SatelliteSearch, DebugFlagLooksOnlyForTheSuffixedNames) {
  SatelliteLookup debug = lookup_;
  debug.debug_suffix = true;
  const std::vector<std::string> debug_names = Ascii(SatelliteCandidates(debug));
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"), candidates_.front()));
  ASSERT_TRUE(CopyInto(FixturePath("satellite_b"), debug_names.back()));
  EXPECT_EQ(FoundText(FALSE), FIXTURE_A_TEXT);
  EXPECT_EQ(FoundText(TRUE), FIXTURE_B_TEXT);
}

// The component's path is taken in UTF-16: a folder whose name no ANSI code
// page holds still has its satellite found.
TEST(SatelliteSearchPath, FoundBesideAComponentInAFolderOfAnyScript) {
  SatelliteLookup language;
  language.ui_language = GetUserDefaultUILanguage();
  ReadLanguageNames(language);
  ASSERT_FALSE(language.iso_language.empty());
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"\x043F\x0430\x043F\x043A\x0430 \x30C7-" +
                              std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring component = folder + L"Pellwick.dll";
  const std::wstring satellite = folder + L"resdll\\Pellwick_" + language.iso_language + L".rsc";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
  ASSERT_TRUE(CreateDirectoryW((folder + L"resdll").c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(Wide(PellwickDllPath()).c_str(), component.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(Wide(FixturePath("satellite_a")).c_str(), satellite.c_str(), FALSE));
  {
    ModuleHandle loaded(LoadLibraryW(component.c_str()));
    ASSERT_TRUE(loaded) << GetLastError();
    ModuleHandle found(Found(loaded.get()));
    ASSERT_TRUE(found);
    EXPECT_EQ(String101(found.get()), FIXTURE_A_TEXT);
  }
  EXPECT_TRUE(DeleteFileW(satellite.c_str()));
  EXPECT_TRUE(DeleteFileW(component.c_str()));
  EXPECT_TRUE(RemoveDirectoryW((folder + L"resdll").c_str()));
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(SatelliteSearch, SatelliteCodeNeverRunsYetItsDialogAndStringServe) {
  const std::string marker = folder_.path() + "resdll\\" FIXTURE_MARKER_FILE;
  ASSERT_TRUE(CopyInto(FixturePath("satellite_with_code"), candidates_.front()));

  ModuleHandle satellite(Found(component_.get()));
  ASSERT_TRUE(satellite);
  EXPECT_FALSE(FileExists(marker));
  EXPECT_EQ(String101(satellite.get()), FIXTURE_MARKER_TEXT);

  // The page dialog is a child window, so it needs a parent.
  const int windows_before = CountThreadWindows();
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(parent, nullptr) << GetLastError();
  HWND dialog = CreateDialogParamA(satellite.get(), MAKEINTRESOURCEA(IDD_ACTIVITY_PAGE), parent,
                                   PlainDialog, 0);
  EXPECT_NE(dialog, nullptr) << GetLastError();
  char label[64] = {};
  GetDlgItemTextA(dialog, IDC_FIXTURE_LABEL, label, sizeof label);
  EXPECT_STREQ(label, FIXTURE_MARKER_TEXT);
  EXPECT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(CountThreadWindows(), windows_before);
  satellite.reset();
  EXPECT_FALSE(FileExists(marker));

  // The same file loaded as a program module does leave the marker.
  const std::string runnable = folder_.path() + "resdll\\runnable.dll";
  ASSERT_TRUE(CopyInto(FixturePath("satellite_with_code"), runnable));
  ModuleHandle loaded(LoadLibraryA(runnable.c_str()));
  ASSERT_TRUE(loaded) << GetLastError();
  EXPECT_TRUE(FileExists(marker));
}

// Points one import of this program at `replacement` while it lives. The
// search is linked into this program, so its calls go through this table.
class ImportPatch {
 public:
  ImportPatch(const char* name, void* replacement) : slot_(ImportSlot(name)) {
    if (!slot_) return;
    original_ = *slot_;
    Write(replacement);
  }
  ~ImportPatch() {
    if (slot_) Write(original_);
  }
  bool patched() const { return slot_ != nullptr; }

 private:
  static void** ImportSlot(const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name; ++library) {
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        const auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(named->Name), name) == 0)
          return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
    return nullptr;
  }
  void Write(void* value) {
    DWORD protection = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, protection, &protection);
  }

  void** slot_;
  void* original_ = nullptr;
};

HMODULE WINAPI LoadWithoutMemory(LPCWSTR, HANDLE, DWORD) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}
int WINAPI LocaleInfoWithoutMemory(LCID, LCTYPE, LPWSTR, int) {
  SetLastError(ERROR_OUTOFMEMORY);
  return 0;
}

// A satellite the system could not map, or a language name it could not
// give, for lack of memory is no satellite missing: the search says so, so
// that it is tried again, and then finds it.
TEST_F(SatelliteSearch, AFailureForLackOfMemoryIsReportedToBeTriedAgain) {
  ASSERT_TRUE(CopyInto(FixturePath("satellite_a"), Distinct(candidates_).front()));
  const struct {
    const char* import;
    void* replacement;
  } failures[] = {{"LoadLibraryExW", reinterpret_cast<void*>(&LoadWithoutMemory)},
                  {"GetLocaleInfoW", reinterpret_cast<void*>(&LocaleInfoWithoutMemory)}};
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.import);
    HMODULE found = nullptr;
    {
      ImportPatch no_memory(failure.import, failure.replacement);
      ASSERT_TRUE(no_memory.patched());
      EXPECT_EQ(FindLocalizedResourceModule(component_.get(), FALSE, &found), E_OUTOFMEMORY);
      EXPECT_EQ(found, nullptr);
    }
    ModuleHandle satellite(Found(component_.get()));
    EXPECT_EQ(String101(satellite.get()), FIXTURE_A_TEXT);
  }
}

}  // namespace
