// The type library embedded in Pellwick.dll, loaded the way registration
// loads it: LoadTypeLib on the DLL's path. It must describe what the control's
// code declares: the library the control loads its type information from,
// its interfaces by the IIDs it answers, IHvProjectList slot by slot.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "include/PellwickHost.h"
#include "common/built_platform.h"
#include "control/control_ids.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"

namespace {

// Releases a TYPEATTR or FUNCDESC with its owner's release method.
class TypeAttr {
 public:
  explicit TypeAttr(ITypeInfo* info) : info_(info) {
    if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
  }
  ~TypeAttr() {
    if (attr_) info_->ReleaseTypeAttr(attr_);
  }
  TypeAttr(const TypeAttr&) = delete;
  TypeAttr& operator=(const TypeAttr&) = delete;
  const TYPEATTR* operator->() const { return attr_; }
  explicit operator bool() const { return attr_ != nullptr; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
};

class FuncDesc {
 public:
  FuncDesc(ITypeInfo* info, UINT index) : info_(info) {
    if (FAILED(info_->GetFuncDesc(index, &desc_))) desc_ = nullptr;
  }
  ~FuncDesc() {
    if (desc_) info_->ReleaseFuncDesc(desc_);
  }
  FuncDesc(const FuncDesc&) = delete;
  FuncDesc& operator=(const FuncDesc&) = delete;
  const FUNCDESC* operator->() const { return desc_; }
  explicit operator bool() const { return desc_ != nullptr; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
};

std::wstring Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  Bstr name;
  if (FAILED(info->GetDocumentation(member, name.out(), nullptr, nullptr, nullptr))) return L"?";
  return name ? std::wstring(name.get(), SysStringLen(name.get())) : L"";
}

GUID ImplementedGuid(ITypeInfo* info, UINT index) {
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> implemented;
  if (FAILED(info->GetRefTypeOfImplType(index, &ref)) ||
      FAILED(info->GetRefTypeInfo(ref, implemented.out())))
    return GUID_NULL;
  TypeAttr attr(implemented.get());
  return attr ? attr->guid : GUID_NULL;
}

class PellwickTypeLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string narrow = PellwickDllPath();
    const std::wstring path(narrow.begin(), narrow.end());
    ASSERT_EQ(LoadTypeLib(path.c_str(), library_.out()), S_OK);
  }

  ComPtr<ITypeInfo> Info(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(library_->GetTypeInfoOfGuid(guid, info.out()), S_OK);
    return info;
  }

  ComPtr<ITypeLib> library_;
};

// The library the control looks up by identifier, version and locale to
// answer IDispatch and IProvideClassInfo; its name and help string reach the
// registry, where the registration test reads them.
TEST_F(PellwickTypeLibrary, IsTheLibraryTheControlLoads) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, kPellwickLibId));
  EXPECT_EQ(attr->wMajorVerNum, kPellwickLibMajor);
  EXPECT_EQ(attr->wMinorVerNum, kPellwickLibMinor);
  EXPECT_EQ(attr->lcid, kPellwickLibLcid);
  EXPECT_EQ(attr->syskind, kBuiltSysKind);
  library_->ReleaseTLibAttr(attr);

  Bstr help_file;
  ASSERT_EQ(library_->GetDocumentation(-1, nullptr, nullptr, nullptr, help_file.out()), S_OK);
  EXPECT_EQ(help_file.get(), nullptr);

  // Three interfaces and the coclass; the host's advise interface is not here.
  EXPECT_EQ(library_->GetTypeInfoCount(), 4u);
  ComPtr<ITypeInfo> absent;
  EXPECT_EQ(library_->GetTypeInfoOfGuid(IID_IHpAdviseEvents, absent.out()),
            TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(PellwickTypeLibrary, ActivityCtrlInterfaceIsAnEmptyDual) {
  ComPtr<ITypeInfo> dispatch = Info(IID_IHvActivityCtrl);
  ASSERT_TRUE(dispatch);
  // The library stores dual, nonextensible, oleautomation and dispatchable on
  // the interface; the loader reports oleautomation on the vtable half only.
  const WORD dual_flags = TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE;
  {
    TypeAttr attr(dispatch.get());
    ASSERT_TRUE(attr);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->wTypeFlags & (dual_flags | TYPEFLAG_FDISPATCHABLE),
              dual_flags | TYPEFLAG_FDISPATCHABLE);
    EXPECT_EQ(attr->cVars, 0);
  }

  // The vtable half: derived from IDispatch, no members of its own.
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
  ASSERT_EQ(dispatch->GetRefTypeInfo(ref, vtable.out()), S_OK);
  TypeAttr attr(vtable.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IHvActivityCtrl));
  EXPECT_EQ(attr->wTypeFlags & (dual_flags | TYPEFLAG_FOLEAUTOMATION),
            dual_flags | TYPEFLAG_FOLEAUTOMATION);
  EXPECT_EQ(attr->cFuncs, 0);
  EXPECT_EQ(attr->cVars, 0);
  EXPECT_EQ(attr->cImplTypes, 1);
  EXPECT_EQ(attr->cbSizeVft, 7 * sizeof(void*));  // IDispatch's seven slots
  EXPECT_TRUE(IsEqualGUID(ImplementedGuid(vtable.get(), 0), IID_IDispatch));
}

TEST_F(PellwickTypeLibrary, ProjectListIsCustomWithSevenMethods) {
  ComPtr<ITypeInfo> info = Info(IID_IHvProjectList);
  ASSERT_TRUE(info);
  TypeAttr attr(info.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr->wTypeFlags &
                (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE),
            0);
  EXPECT_EQ(attr->cImplTypes, 1);
  EXPECT_TRUE(IsEqualGUID(ImplementedGuid(info.get(), 0), IID_IUnknown));
  ASSERT_EQ(attr->cFuncs, 7);
  EXPECT_EQ(attr->cbSizeVft, 10 * sizeof(void*));

  // In the order of include/PellwickHost.h, which fixes each one's slot.
  const struct {
    const wchar_t* name;
    VARTYPE parameter;  // VT_EMPTY: none
    USHORT parameter_flags;
  } methods[7] = {
      {L"SetPageContext", VT_I2, PARAMFLAG_FIN},
      {L"DataBaseOpened", VT_BSTR, PARAMFLAG_FIN},
      {L"RefreshMRUs", VT_EMPTY, 0},
      {L"GetDefaultRecordType", VT_PTR, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL},
      {L"SubmitDefaultRecordType", VT_EMPTY, 0},
      {L"RunDefaultQuery", VT_EMPTY, 0},
      {L"DisableOrveltPage", VT_EMPTY, 0},
  };
  for (UINT i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    FuncDesc func(info.get(), i);
    ASSERT_TRUE(func);
    EXPECT_EQ(func->memid, static_cast<MEMBERID>(0x60010000 + i));
    EXPECT_EQ(Name(info.get(), func->memid), methods[i].name);
    EXPECT_EQ(func->funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(func->invkind, INVOKE_FUNC);
    EXPECT_EQ(func->callconv, CC_STDCALL);
    EXPECT_EQ(func->oVft, static_cast<SHORT>((3 + i) * sizeof(void*)));
    EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_HRESULT);
    EXPECT_EQ(func->cParamsOpt, 0);
    if (methods[i].parameter == VT_EMPTY) {
      EXPECT_EQ(func->cParams, 0);
      continue;
    }
    ASSERT_EQ(func->cParams, 1);
    const ELEMDESC& parameter = func->lprgelemdescParam[0];
    EXPECT_EQ(parameter.tdesc.vt, methods[i].parameter);
    if (parameter.tdesc.vt == VT_PTR) {
      EXPECT_EQ(parameter.tdesc.lptdesc->vt, VT_BSTR);
    }
    EXPECT_EQ(parameter.paramdesc.wParamFlags, methods[i].parameter_flags);
  }
}

TEST_F(PellwickTypeLibrary, EventInterfaceIsAnEmptyDispinterface) {
  ComPtr<ITypeInfo> info = Info(DIID_IHvActivityCtrlEvents);
  ASSERT_TRUE(info);
  TypeAttr attr(info.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->wTypeFlags & TYPEFLAG_FDUAL, 0);
  EXPECT_EQ(attr->cVars, 0);
  // A dispinterface lists IDispatch's seven methods at most; none of its own.
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc func(info.get(), i);
    ASSERT_TRUE(func);
    EXPECT_LT(func->oVft, static_cast<SHORT>(7 * sizeof(void*))) << Name(info.get(), func->memid);
  }
}

TEST_F(PellwickTypeLibrary, CoclassImplementsThreeInterfacesInOrder) {
  ComPtr<ITypeInfo> info = Info(CLSID_ActivityCtrl);
  ASSERT_TRUE(info);
  TypeAttr attr(info.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_NE(attr->wTypeFlags & TYPEFLAG_FCANCREATE, 0);
  ASSERT_EQ(attr->cImplTypes, 3);

  const struct {
    const GUID* guid;
    INT flags;
  } implemented[3] = {
      {&IID_IHvActivityCtrl, IMPLTYPEFLAG_FDEFAULT},
      {&IID_IHvProjectList, 0},
      {&DIID_IHvActivityCtrlEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
  };
  for (UINT i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(IsEqualGUID(ImplementedGuid(info.get(), i), *implemented[i].guid));
    INT flags = -1;
    ASSERT_EQ(info->GetImplTypeFlags(i, &flags), S_OK);
    EXPECT_EQ(flags, implemented[i].flags);
  }
}

}  // namespace
