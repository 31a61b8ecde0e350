// The type library embedded in Pellwick.dll, loaded the way registration
// loads it: LoadTypeLib on the DLL's path.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "include/PellwickHost.h"
#include "common/built_platform.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"

namespace {

const GUID kLibId = {0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};
const IID kIidActivityCtrl = {
    0x9B739684, 0x14D2, 0x447F, {0x86, 0x5E, 0x28, 0xE2, 0x15, 0x76, 0x13, 0x9A}};
const IID kDiidActivityCtrlEvents = {
    0x897B5A9B, 0x25C7, 0x4C20, {0xBD, 0x6A, 0xC1, 0x3E, 0xA4, 0x39, 0x7A, 0x6A}};

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

std::wstring HelpString(ITypeInfo* info) {
  Bstr help;
  if (FAILED(info->GetDocumentation(MEMBERID_NIL, nullptr, help.out(), nullptr, nullptr)))
    return L"?";
  return help ? std::wstring(help.get(), SysStringLen(help.get())) : L"";
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

TEST_F(PellwickTypeLibrary, LibraryAttributesAndDocumentation) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, kLibId));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 0x0409u);
  EXPECT_EQ(attr->syskind, kBuiltSysKind);
  library_->ReleaseTLibAttr(attr);

  Bstr name, help, help_file;
  ASSERT_EQ(library_->GetDocumentation(-1, name.out(), help.out(), nullptr, help_file.out()),
            S_OK);
  EXPECT_STREQ(name.get(), L"PellwickLib");
  EXPECT_STREQ(help.get(), L"Pellwick 1.0 Type Library");
  EXPECT_EQ(help_file.get(), nullptr);

  // Three interfaces and the coclass; the host's advise interface is not here.
  EXPECT_EQ(library_->GetTypeInfoCount(), 4u);
  ComPtr<ITypeInfo> absent;
  EXPECT_EQ(library_->GetTypeInfoOfGuid(IID_IHpAdviseEvents, absent.out()),
            TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(PellwickTypeLibrary, ActivityCtrlInterfaceIsAnEmptyDual) {
  ComPtr<ITypeInfo> dispatch = Info(kIidActivityCtrl);
  ASSERT_TRUE(dispatch);
  EXPECT_EQ(Name(dispatch.get()), L"IHvActivityCtrl");
  EXPECT_EQ(HelpString(dispatch.get()), L"IHvActivityCtrl Interface");
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
  EXPECT_TRUE(IsEqualGUID(attr->guid, kIidActivityCtrl));
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
  EXPECT_EQ(Name(info.get()), L"IHvProjectList");
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

  const struct {
    const wchar_t* name;
    VARTYPE parameter;  // VT_EMPTY: none
    USHORT parameter_flags;
    const wchar_t* parameter_name;
  } methods[7] = {
      {L"SetPageContext", VT_I2, PARAMFLAG_FIN, L"nPageID"},
      {L"DataBaseOpened", VT_BSTR, PARAMFLAG_FIN, L"bstrDataBase"},
      {L"RefreshMRUs", VT_EMPTY, 0, nullptr},
      {L"GetDefaultRecordType", VT_PTR, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, L"pbstrDefRecType"},
      {L"SubmitDefaultRecordType", VT_EMPTY, 0, nullptr},
      {L"RunDefaultQuery", VT_EMPTY, 0, nullptr},
      {L"DisableOrveltPage", VT_EMPTY, 0, nullptr},
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

    BSTR names[2] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(func->memid, names, 2, &count), S_OK);
    ASSERT_EQ(count, 2u);
    Bstr method_name(names[0]), parameter_name(names[1]);
    EXPECT_STREQ(parameter_name.get(), methods[i].parameter_name);
  }
}

TEST_F(PellwickTypeLibrary, EventInterfaceIsAnEmptyDispinterface) {
  ComPtr<ITypeInfo> info = Info(kDiidActivityCtrlEvents);
  ASSERT_TRUE(info);
  EXPECT_EQ(Name(info.get()), L"_IHvActivityCtrlEvents");
  EXPECT_EQ(HelpString(info.get()), L"_IHvActivityCtrlEvents Interface");
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
  EXPECT_EQ(Name(info.get()), L"ActivityCtrl");
  EXPECT_EQ(HelpString(info.get()), L"Halvern ActivityCtrl Class");
  TypeAttr attr(info.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_NE(attr->wTypeFlags & TYPEFLAG_FCANCREATE, 0);
  ASSERT_EQ(attr->cImplTypes, 3);

  const struct {
    const GUID* guid;
    INT flags;
  } implemented[3] = {
      {&kIidActivityCtrl, IMPLTYPEFLAG_FDEFAULT},
      {&IID_IHvProjectList, 0},
      {&kDiidActivityCtrlEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
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
