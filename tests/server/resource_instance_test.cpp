// The one-time search for the resource module, and where the shipped German
// satellite is found.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"
#include "server/resource_instance.h"
#include "server/satellite_loader.h"

namespace {

// A search that counts its runs, stays busy long enough for a second caller
// to arrive meanwhile, and finds what `g_found` names.
volatile LONG g_runs = 0;
volatile LONG g_inside = 0;
volatile LONG g_most_inside = 0;
HMODULE g_found = nullptr;

HRESULT SlowCountingSearch(HMODULE* satellite) noexcept {
  InterlockedIncrement(&g_runs);
  const LONG inside = InterlockedIncrement(&g_inside);
  if (inside > g_most_inside) InterlockedExchange(&g_most_inside, inside);
  Sleep(200);
  InterlockedDecrement(&g_inside);
  *satellite = g_found;
  return S_OK;
}

// Runs out of memory on its first run only.
HRESULT SearchFailingOnce(HMODULE* satellite) noexcept {
  *satellite = nullptr;
  if (InterlockedIncrement(&g_runs) == 1) return E_OUTOFMEMORY;
  *satellite = g_found;
  return S_OK;
}

class OnceSatelliteTest : public testing::Test {
 protected:
  void SetUp() override {
    g_runs = 0;
    g_inside = 0;
    g_most_inside = 0;
  }

  // Two threads released together both ask; returns what each got.
  void AskFromTwoThreads(OnceSatellite& once, HMODULE& first, HMODULE& second) {
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(start, nullptr);
    std::thread one([&] { WaitForSingleObject(start, INFINITE); first = once.Get(); });
    std::thread two([&] { WaitForSingleObject(start, INFINITE); second = once.Get(); });
    SetEvent(start);
    one.join();
    two.join();
    CloseHandle(start);
  }
};

TEST_F(OnceSatelliteTest, TwoThreadsAtOnceShareOneSearch) {
  g_found = GetModuleHandleA(nullptr);
  OnceSatellite once(&SlowCountingSearch);
  HMODULE first = nullptr, second = nullptr;
  AskFromTwoThreads(once, first, second);
  // The late caller waited for the answer instead of reading an empty one.
  EXPECT_EQ(first, g_found);
  EXPECT_EQ(second, g_found);
  EXPECT_EQ(g_runs, 1);
  EXPECT_EQ(g_most_inside, 1);
  EXPECT_EQ(once.Get(), g_found);
  EXPECT_EQ(g_runs, 1);
}

TEST_F(OnceSatelliteTest, SearchThatFindsNothingIsNotRepeated) {
  g_found = nullptr;
  OnceSatellite once(&SlowCountingSearch);
  HMODULE first = GetModuleHandleA(nullptr), second = GetModuleHandleA(nullptr);
  AskFromTwoThreads(once, first, second);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(once.Get(), nullptr);
  EXPECT_EQ(g_runs, 1);
}

TEST_F(OnceSatelliteTest, SearchThatRanOutOfMemoryIsTriedAgain) {
  g_found = GetModuleHandleA(nullptr);
  OnceSatellite once(&SearchFailingOnce);
  EXPECT_EQ(once.Get(), nullptr);
  EXPECT_EQ(once.Get(), g_found);
  EXPECT_EQ(once.Get(), g_found);
  EXPECT_EQ(g_runs, 2);
}

TEST(ResourceInstance, IsTheModuleHoldingTheCodeWhenItHasNoSatellite) {
  // Nothing in resdll is named after this test program.
  ASSERT_EQ(OwnModule(), GetModuleHandleA(nullptr));
  EXPECT_EQ(ResourceInstance(), OwnModule());
  EXPECT_EQ(ResourceInstance(), OwnModule());
}

// A new control of `dll`, asked for its default record type; empty on failure.
std::wstring DefaultRecordTypeOf(HMODULE dll) {
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto get_class_object = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  if (!get_class_object) return std::wstring();
  ComPtr<IClassFactory> factory;
  if (FAILED(get_class_object(CLSID_ActivityCtrl, IID_IClassFactory,
                              reinterpret_cast<void**>(factory.out()))))
    return std::wstring();
  ComPtr<IHvProjectList> page;
  if (FAILED(factory->CreateInstance(nullptr, IID_IHvProjectList,
                                     reinterpret_cast<void**>(page.out()))))
    return std::wstring();
  Bstr name;
  if (FAILED(page->GetDefaultRecordType(name.out()))) return std::wstring();
  return std::wstring(name.get(), SysStringLen(name.get()));
}

// These run in a second process started with a German locale environment.
class GermanUiLanguage : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("PELLWICK_GERMAN_UI")) GTEST_SKIP() << "needs a German UI language";
    ASSERT_EQ(GetUserDefaultUILanguage(), 0x0407);
    shipped_.reset(LoadLibraryExA((ProgramDir() + "resdll\\Pellwick_de.rsc").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(shipped_) << "the German satellite is not built";
    component_.reset(LoadLibraryA(PellwickDllPath().c_str()));
    ASSERT_TRUE(component_) << GetLastError();
    german_ = String101(shipped_.get());
    ASSERT_FALSE(german_.empty());
    ASSERT_NE(german_, String101(component_.get()));
  }

  static std::wstring String101(HMODULE module) {
    wchar_t text[128] = {};
    const int length = LoadStringW(module, IDS_DEFAULT_RECORD_TYPE, text, 128);
    return std::wstring(text, length > 0 ? length : 0);
  }

  ModuleHandle shipped_;
  ModuleHandle component_;
  std::wstring german_;
};

HRESULT SearchBesidePellwick(HMODULE* satellite) noexcept {
  return FindLocalizedResourceModule(GetModuleHandleA("Pellwick.dll"), FALSE, satellite);
}

// Regions of this process mapped from `file` (compared without case).
int MappingsOf(const std::wstring& file) {
  int mappings = 0;
  const BYTE* address = nullptr;
  const void* counted_base = nullptr;
  MEMORY_BASIC_INFORMATION region = {};
  while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
    wchar_t mapped[MAX_PATH] = {};
    if (region.State == MEM_COMMIT && region.AllocationBase != counted_base &&
        GetMappedFileNameW(GetCurrentProcess(), region.BaseAddress, mapped, MAX_PATH)) {
      const std::wstring name = mapped;
      if (name.size() >= file.size() &&
          _wcsicmp(name.c_str() + name.size() - file.size(), file.c_str()) == 0) {
        ++mappings;
        counted_base = region.AllocationBase;
      }
    }
    address = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
  }
  return mappings;
}

// A host that loads the DLL, uses a control and frees the library, again and
// again: the satellite goes with the DLL each time, and its file is free.
TEST_F(GermanUiLanguage, EachUnloadUnmapsTheSatellite) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"pellwick-unload-" +
                              std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring dllPath = folder + L"Pellwick.dll";
  const std::wstring satellite = folder + L"resdll\\Pellwick_de.rsc";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((folder + L"resdll").c_str(), nullptr));
  const std::string built = ProgramDir();
  ASSERT_TRUE(CopyFileW(std::wstring(built.begin(), built.end()).append(L"Pellwick.dll").c_str(),
                        dllPath.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(std::wstring(built.begin(), built.end()).append(L"resdll\\Pellwick_de.rsc").c_str(),
                        satellite.c_str(), FALSE));
  const std::wstring satelliteTail = L"\\resdll\\Pellwick_de.rsc";
  const int shippedMappings = MappingsOf(satelliteTail);  // the fixture's own copy

  for (int cycle = 0; cycle < 5; ++cycle) {
    SCOPED_TRACE(cycle);
    ModuleHandle dll(LoadLibraryW(dllPath.c_str()));
    ASSERT_TRUE(dll) << GetLastError();
    EXPECT_EQ(DefaultRecordTypeOf(dll.get()), german_);
    EXPECT_EQ(MappingsOf(satelliteTail), shippedMappings + 1);
    dll.reset();
    EXPECT_EQ(MappingsOf(satelliteTail), shippedMappings);
  }
  EXPECT_TRUE(DeleteFileW(satellite.c_str())) << GetLastError();
  EXPECT_TRUE(DeleteFileW(dllPath.c_str())) << GetLastError();
  RemoveDirectoryW((folder + L"resdll").c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(GermanUiLanguage, SearchFromTheDllFindsTheShippedSatellite) {
  OnceSatellite once(&SearchBesidePellwick);
  ModuleHandle found(once.Get());  // found for this test only, so freed by it
  ASSERT_TRUE(found);
  EXPECT_NE(found.get(), component_.get());
  EXPECT_EQ(String101(found.get()), german_);
}

TEST_F(GermanUiLanguage, ControlTakesItsDefaultRecordTypeFromTheSatellite) {
  EXPECT_EQ(DefaultRecordTypeOf(component_.get()), german_);
}

}  // namespace
