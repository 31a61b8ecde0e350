// The cached type information of the dual interface: loaded from the library
// registered in the test prefix, held once per process until the module shuts
// down, and the IDispatch answers built on it.
#include "framework/type_info_cache.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>

#include "common/built_platform.h"
#include "common/counting_unknown.h"
#include "common/test_paths.h"
#include "framework/com_module.h"
#include "framework/com_ptr.h"

namespace {

const GUID kLibId = {0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};
const IID kActivityCtrlIid = {
    0x9B739684, 0x14D2, 0x447F, {0x86, 0x5E, 0x28, 0xE2, 0x15, 0x76, 0x13, 0x9A}};
const LCID kLibraryLcid = 0x0409;

// Each test gets a module of its own, so that its shut-down runs in the test.
ComModule* g_module = nullptr;
ComModule& TestModule() noexcept { return *g_module; }

TypeInfoCache g_cache(kLibId, 1, 0, kActivityCtrlIid, TestModule);

// An object with the dual interface's IDispatch; its own count only.
class DualObject : public EmptyDualDispatch<IDispatch, g_cache> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++count; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return --count; }
  long count = 1;
};

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class TypeInfoCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = std::make_unique<ComModule>();
    g_module = module_.get();
  }
  void TearDown() override {
    module_->Terminate();
    g_module = nullptr;
    module_.reset();
    if (registered_) {
      EXPECT_EQ(UnRegisterTypeLib(kLibId, 1, 0, kLibraryLcid, kBuiltSysKind), S_OK);
    }
  }

  // Registers the library embedded in the built DLL, as registration does;
  // TearDown takes it out again.
  void RegisterLibrary() {
    const std::string narrow = PellwickDllPath();
    std::wstring path(narrow.begin(), narrow.end());
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLib(path.c_str(), library.out()), S_OK);
    ASSERT_EQ(RegisterTypeLib(library.get(), &path[0], nullptr), S_OK);
    registered_ = true;
  }

  std::unique_ptr<ComModule> module_;
  bool registered_ = false;
};

TEST_F(TypeInfoCacheTest, LoadsOnceAndReleasesAtShutdown) {
  ASSERT_NO_FATAL_FAILURE(RegisterLibrary());
  ComPtr<ITypeInfo> first;
  ASSERT_EQ(g_cache.Get(kLibraryLcid, first.out()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(first->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, kActivityCtrlIid));
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  first->ReleaseTypeAttr(attr);

  ComPtr<ITypeLib> library;
  UINT index = 0;
  ASSERT_EQ(first->GetContainingTypeLib(library.out(), &index), S_OK);
  first.reset();
  const ULONG cached = References(library.get());

  // Runs before the cache's own callback only if that was registered first.
  struct Sentinel {
    ITypeLib* library;
    ULONG seen = 0;
  } sentinel{library.get()};
  ASSERT_EQ(module_->AddShutdownCallback(
                [](void* self) {
                  auto* s = static_cast<Sentinel*>(self);
                  s->seen = References(s->library);
                },
                &sentinel),
            S_OK);

  // Later calls, in any locale, hand out the same object and load nothing.
  for (const LCID lcid : {kLibraryLcid, LCID(0), LCID(0x0407)}) {
    ComPtr<ITypeInfo> again;
    ASSERT_EQ(g_cache.Get(lcid, again.out()), S_OK);
    ComPtr<ITypeLib> same;
    ASSERT_EQ(again->GetContainingTypeLib(same.out(), &index), S_OK);
    EXPECT_EQ(same.get(), library.get());
  }
  EXPECT_EQ(References(library.get()), cached);

  module_->Terminate();
  EXPECT_EQ(sentinel.seen, cached)
      << "the cache registered its callback again after the first load";
  EXPECT_EQ(References(library.get()), cached - 1);
  // Nothing is loaded again once the module has shut down.
  ComPtr<ITypeInfo> late;
  EXPECT_EQ(g_cache.Get(kLibraryLcid, late.out()), E_UNEXPECTED);
  EXPECT_FALSE(late);
}

TEST_F(TypeInfoCacheTest, LoaderErrorPassesThroughAndIsNotCached) {
  UnRegisterTypeLib(kLibId, 1, 0, kLibraryLcid, kBuiltSysKind);
  ComPtr<ITypeLib> direct;
  const HRESULT loader = LoadRegTypeLib(kLibId, 1, 0, kLibraryLcid, direct.out());
  EXPECT_EQ(loader, TYPE_E_LIBNOTREGISTERED);

  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(g_cache.Get(kLibraryLcid, &info), loader);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(g_cache.Get(kLibraryLcid, nullptr), E_POINTER);

  // The dispatch calls that need the type information report the same.
  DualObject object;
  wchar_t name[] = L"Anything";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(object.GetIDsOfNames(IID_NULL, names, 1, kLibraryLcid, &id), loader);
  DISPPARAMS none = {};
  EXPECT_EQ(
      object.Invoke(0, IID_NULL, kLibraryLcid, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
      loader);
  EXPECT_EQ(object.GetTypeInfo(0, kLibraryLcid, &info), loader);

  // A later registration is found: the failure was not remembered.
  ASSERT_NO_FATAL_FAILURE(RegisterLibrary());
  ComPtr<ITypeInfo> loaded;
  EXPECT_EQ(g_cache.Get(kLibraryLcid, loaded.out()), S_OK);
  EXPECT_TRUE(loaded);
}

TEST_F(TypeInfoCacheTest, DualDispatchWithoutMembers) {
  ASSERT_NO_FATAL_FAILURE(RegisterLibrary());
  DualObject object;
  IDispatch* dispatch = &object;

  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);

  ComPtr<ITypeInfo> info;
  EXPECT_EQ(dispatch->GetTypeInfo(1, kLibraryLcid, info.out()), DISP_E_BADINDEX);
  EXPECT_FALSE(info);
  ASSERT_EQ(dispatch->GetTypeInfo(0, kLibraryLcid, info.out()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, kActivityCtrlIid));
  info->ReleaseTypeAttr(attr);
  EXPECT_EQ(dispatch->GetTypeInfo(0, kLibraryLcid, nullptr), E_POINTER);

  wchar_t missing_name[] = L"Missing";
  LPOLESTR names[] = {missing_name};
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, kLibraryLcid, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, nullptr), E_POINTER);
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, kLibraryLcid, &id), E_POINTER);
  LPOLESTR missing[] = {nullptr};
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, missing, 1, kLibraryLcid, &id), E_POINTER);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  EXPECT_EQ(dispatch->GetIDsOfNames(kActivityCtrlIid, names, 1, kLibraryLcid, &id),
            DISP_E_UNKNOWNINTERFACE);

  DISPPARAMS none = {};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(dispatch->Invoke(1, IID_NULL, kLibraryLcid, DISPATCH_METHOD, &none, &result, nullptr,
                             nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(dispatch->Invoke(1, kActivityCtrlIid, kLibraryLcid, DISPATCH_METHOD, &none, &result,
                             nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(result.vt, VT_EMPTY);
  EXPECT_EQ(object.count, 1);
}

}  // namespace
