// A plain host that makes the assembly manifest beside the DLL its activation
// context (CreateActCtx, ActivateActCtx): the control is found through it,
// and only while it is active, in a prefix where nothing of it is registered.
#include <gtest/gtest.h>

#include <ole2.h>

#include <string>

#include "common/call_log.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "server/regfree_host.h"

namespace {

const GUID kLibId = {0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class ActivationContext : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    const std::wstring manifest = Wide(ProgramDir() + kAssemblyManifest);
    ACTCTXW description = {};
    description.cbSize = sizeof description;
    description.lpSource = manifest.c_str();
    context.reset(CreateActCtxW(&description));
    ASSERT_TRUE(context) << "CreateActCtx on " << Utf8(manifest) << ": " << GetLastError();
  }
  void TearDown() override {
    context.reset();
    OleUninitialize();
  }

  ActCtxHandle context;
};

TEST_F(ActivationContext, FindsTheControlOnlyWhileActive) {
  ExpectNothingRegistered();
  ComPtr<IUnknown> control;
  CLSID clsid = {};
  EXPECT_EQ(CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             control.out_void()),
            REGDB_E_CLASSNOTREG);
  EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Pellwick.ActivityCtrl", &clsid)));
  {
    ActivatedActCtx active(context.get());
    ASSERT_TRUE(active.active()) << GetLastError();
    ExpectCreatedActivatedAndHosted();
  }
  EXPECT_EQ(CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             control.out_void()),
            REGDB_E_CLASSNOTREG);
}

// The identity names the DLL's own version and word size, so an application
// manifest written from the version resource binds to it.
TEST_F(ActivationContext, AssemblyIdentityIsTheDllsVersionAndArchitecture) {
  const std::wstring dll = Wide(PellwickDllPath());
  DWORD ignored = 0;
  std::string block(GetFileVersionInfoSizeW(dll.c_str(), &ignored), '\0');
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(dll.c_str(), 0, static_cast<DWORD>(block.size()), &block[0]));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionLS));

  DWORD index = 1;  // the manifest's own assembly
  SIZE_T needed = 0;
  QueryActCtxW(0, context.get(), &index, AssemblyDetailedInformationInActivationContext, nullptr,
               0, &needed);
  ASSERT_GT(needed, 0u);
  std::string buffer(needed, '\0');
  ASSERT_TRUE(QueryActCtxW(0, context.get(), &index,
                           AssemblyDetailedInformationInActivationContext, &buffer[0], needed,
                           &needed))
      << GetLastError();
  const auto* assembly =
      reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
  const std::wstring identity = assembly->lpAssemblyEncodedAssemblyIdentity;
#ifdef _WIN64
  const std::wstring architecture = L"processorArchitecture=\"amd64\"";
#else
  const std::wstring architecture = L"processorArchitecture=\"x86\"";
#endif
  EXPECT_EQ(identity.rfind(L"Pellwick.ActivityCtrl,", 0), 0u) << Utf8(identity);
  EXPECT_NE(identity.find(L"version=\"" + version + L"\""), std::wstring::npos)
      << Utf8(identity);
  EXPECT_NE(identity.find(architecture), std::wstring::npos) << Utf8(identity);
  EXPECT_NE(identity.find(L"type=\"win32\""), std::wstring::npos) << Utf8(identity);
}

// Interfaces, type library and OLE status come from the manifest as a
// registered control has them from its keys.
TEST_F(ActivationContext, DescribesInterfacesTypeLibraryAndMiscStatus) {
  ActivatedActCtx active(context.get());
  ASSERT_TRUE(active.active()) << GetLastError();
  for (const IID& iid : {IID_IHvActivityHost, IID_IHpAdviseEvents, IID_IHvProjectList}) {
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    EXPECT_TRUE(FindActCtxSectionGuid(0, nullptr,
                                      ACTIVATION_CONTEXT_SECTION_COM_INTERFACE_REDIRECTION, &iid,
                                      &found))
        << std::hex << iid.Data1;
  }
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(kLibId, 1, 0, 0x0409, library.out()), S_OK);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(library->GetTypeInfoOfGuid(IID_IHvProjectList, info.out()), S_OK);

  DWORD status = 0;
  ASSERT_EQ(OleRegGetMiscStatus(CLSID_ActivityCtrl, DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, static_cast<DWORD>(OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                       OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                       OLEMISC_SETCLIENTSITEFIRST));
}

}  // namespace
