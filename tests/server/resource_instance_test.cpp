// The one-time search for the resource module, and where the shipped German
// satellite is found.
#include <gtest/gtest.h>

#include <windows.h>

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

HMODULE SlowCountingSearch() noexcept {
  InterlockedIncrement(&g_runs);
  const LONG inside = InterlockedIncrement(&g_inside);
  if (inside > g_most_inside) InterlockedExchange(&g_most_inside, inside);
  Sleep(200);
  InterlockedDecrement(&g_inside);
  return g_found;
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

TEST(ResourceInstance, IsTheModuleHoldingTheCodeWhenItHasNoSatellite) {
  // Nothing in resdll is named after this test program.
  ASSERT_EQ(OwnModule(), GetModuleHandleA(nullptr));
  EXPECT_EQ(ResourceInstance(), OwnModule());
  EXPECT_EQ(ResourceInstance(), OwnModule());
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

HMODULE SearchBesidePellwick() noexcept {
  return LoadLocalizedResourceModule(GetModuleHandleA("Pellwick.dll"), FALSE);
}

TEST_F(GermanUiLanguage, SearchFromTheDllFindsTheShippedSatellite) {
  OnceSatellite once(&SearchBesidePellwick);
  ModuleHandle found(once.Get());  // found for this test only, so freed by it
  ASSERT_TRUE(found);
  EXPECT_NE(found.get(), component_.get());
  EXPECT_EQ(String101(found.get()), german_);
}

TEST_F(GermanUiLanguage, ControlTakesItsDefaultRecordTypeFromTheSatellite) {
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto get_class_object = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(component_.get(), "DllGetClassObject")));
  ASSERT_NE(get_class_object, nullptr);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object(CLSID_ActivityCtrl, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.out())),
            S_OK);
  ComPtr<IHvProjectList> page;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHvProjectList,
                                    reinterpret_cast<void**>(page.out())),
            S_OK);
  Bstr name;
  ASSERT_EQ(page->GetDefaultRecordType(name.out()), S_OK);
  EXPECT_EQ(std::wstring(name.get(), SysStringLen(name.get())), german_);
}

}  // namespace
