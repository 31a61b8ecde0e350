// Pellwick.dll through its exports, as the COM runtime reaches it.
#include <gtest/gtest.h>

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/counting_unknown.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "include/PellwickHost.h"
#include "server/pellwick_dll.h"

namespace {

void* const kGarbage = reinterpret_cast<void*>(0xDEADBEEF);

std::vector<std::string> ExportedNames(HMODULE module) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  std::vector<std::string> names;
  if (!directory.VirtualAddress) return names;
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  auto* name_rvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    names.emplace_back(reinterpret_cast<const char*>(base + name_rvas[i]));
  std::sort(names.begin(), names.end());
  if (exports->NumberOfFunctions != exports->NumberOfNames) names.push_back("<by ordinal>");
  return names;
}

TEST(Exports, ExactlyTheFiveUndecoratedNames) {
  ModuleHandle dll(LoadLibraryA(PellwickDllPath().c_str()));
  ASSERT_TRUE(dll) << GetLastError();
  EXPECT_EQ(ExportedNames(dll.get()),
            (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                      "DllUnregisterServer", "Pellwick_print_verid"}));
}

// Each test loads the DLL afresh (nothing else holds it), so its module state
// starts clean: no locks, no cached class object.
class DllExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(dll_.loaded()) << GetLastError();
    ASSERT_EQ(dll_.can_unload_now(), S_OK);
  }
  void TearDown() override {
    if (dll_.loaded()) {
      EXPECT_EQ(dll_.can_unload_now(), S_OK);
    }
    CoUninitialize();
  }

  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(dll_.get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void()),
              S_OK);
    return factory;
  }

  PellwickDll dll_{PellwickDllPath()};
};

TEST_F(DllExportsTest, GetClassObjectResultCodes) {
  EXPECT_EQ(dll_.get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, nullptr), E_POINTER);

  void* object = kGarbage;
  EXPECT_EQ(dll_.get_class_object(IID_IHvProjectList, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(dll_.get_class_object(CLSID_NULL, IID_IUnknown, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  // The class object answers IUnknown and IClassFactory only.
  for (const IID& iid : {IID_IClassFactory2, IID_IDispatch, IID_IHpAdviseEvents, IID_IPersist}) {
    object = kGarbage;
    EXPECT_EQ(dll_.get_class_object(CLSID_ActivityCtrl, iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
  }
}

TEST_F(DllExportsTest, ClassObjectIsOneObjectWhoseReferencesHoldTheModule) {
  ComPtr<IClassFactory> first = Factory();
  ComPtr<IClassFactory> second = Factory();
  ASSERT_TRUE(first);
  EXPECT_EQ(first.get(), second.get());
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(first.query(unknown), S_OK);
  EXPECT_EQ(unknown.get(), static_cast<IUnknown*>(first.get()));
  EXPECT_EQ(dll_.can_unload_now(), S_FALSE);

  // Three outside references hold one lock: a single unlock frees the module.
  EXPECT_EQ(first->LockServer(FALSE), S_OK);
  EXPECT_EQ(dll_.can_unload_now(), S_OK);
  EXPECT_EQ(first->LockServer(TRUE), S_OK);

  unknown.reset();
  second.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_FALSE);
  first.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_OK);
}

TEST_F(DllExportsTest, LockServerLocksOncePerCall) {
  ComPtr<IClassFactory> factory = Factory();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_FALSE);
  factory = Factory();
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_OK);
}

TEST_F(DllExportsTest, CreateInstanceResultCodes) {
  ComPtr<IClassFactory> factory = Factory();
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);

  CountingUnknown outer;
  void* object = kGarbage;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IHpAdviseEvents, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(outer.add_refs, 0);
  EXPECT_EQ(outer.count, 1);

  object = kGarbage;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(DllExportsTest, ControlHoldsTheModuleForItsLifetime) {
  ComPtr<IHpAdviseEvents> control;
  {
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHpAdviseEvents, control.out_void()), S_OK);
    ASSERT_TRUE(control);
  }
  EXPECT_EQ(dll_.can_unload_now(), S_FALSE);  // the class object is released

  ComPtr<IHvProjectList> list;
  EXPECT_EQ(control.query(list), S_OK);
  ComPtr<IHpAdviseEvents> second;
  {
    ComPtr<IClassFactory> factory = Factory();
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHpAdviseEvents, second.out_void()), S_OK);
  }
  EXPECT_NE(second.get(), control.get());
  control.reset();
  list.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_FALSE);
  second.reset();
  EXPECT_EQ(dll_.can_unload_now(), S_OK);
}

// Whether some view of this process maps a file whose name ends in `tail`
// (any case). A satellite loaded as a data file is seen this way only.
bool FileIsMapped(std::string tail) {
  std::transform(tail.begin(), tail.end(), tail.begin(), ::tolower);
  MEMORY_BASIC_INFORMATION region;
  for (BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State != MEM_COMMIT || region.Type == MEM_PRIVATE) continue;
    char name[1024] = {};
    const DWORD length =
        GetMappedFileNameA(GetCurrentProcess(), region.BaseAddress, name, sizeof name);
    std::string mapped(name, length);
    std::transform(mapped.begin(), mapped.end(), mapped.begin(), ::tolower);
    if (mapped.size() >= tail.size() && mapped.compare(mapped.size() - tail.size(), tail.size(),
                                                       tail) == 0)
      return true;
  }
  return false;
}

// The satellite search must not run under the loader lock: loading the DLL
// leaves the satellite alone; the first class-object request loads it.
TEST(SatelliteSearch, WaitsForTheFirstClassObjectRequest) {
  char iso[9] = {};
  const LCID ui = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  ASSERT_GT(GetLocaleInfoA(ui, LOCALE_SISO639LANGNAME, iso, sizeof iso), 0);

  ScratchFolder folder("satellite");
  const std::string dll_path = CopyPellwickDll(folder.path());
  ASSERT_FALSE(dll_path.empty());
  const std::string satellite_name = std::string("resdll\\Pellwick_") + iso + ".rsc";
  const std::string satellite = folder.path() + satellite_name;
  ASSERT_TRUE(CreateDirectoryA((folder.path() + "resdll").c_str(), nullptr));
  ASSERT_TRUE(CopyFileA((ProgramDir() + "resdll\\Pellwick_de.rsc").c_str(), satellite.c_str(),
                        FALSE));

  PellwickDll dll(dll_path);
  ASSERT_TRUE(dll.loaded());
  const std::string tail = "satellite\\" + satellite_name;
  EXPECT_FALSE(FileIsMapped(tail));
  ComPtr<IUnknown> factory;
  ASSERT_EQ(dll.get_class_object(CLSID_ActivityCtrl, IID_IUnknown, factory.out_void()), S_OK);
  EXPECT_TRUE(FileIsMapped(tail));
}

}  // namespace
