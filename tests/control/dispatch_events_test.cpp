// Late binding and events: the dual interface's type information from the
// registered library (in any locale), class information, error-info
// support, property pages and the one connection point.
#include "control/control_fixture.h"

#include <oleauto.h>

namespace {

GUID TypeGuid(ITypeInfo* info, TYPEKIND* kind) {
  TYPEATTR* attr = nullptr;
  GUID guid = GUID_NULL;
  if (SUCCEEDED(info->GetTypeAttr(&attr))) {
    guid = attr->guid;
    *kind = attr->typekind;
    info->ReleaseTypeAttr(attr);
  }
  return guid;
}

}  // namespace

using DispatchEventsTest = ControlTest;

TEST_F(DispatchEventsTest, DispatchThroughTheRegisteredLibraryInAnyLocale) {
  ComPtr<IDispatch> dispatch = Query<IDispatch>();
  UINT count = 0;
  ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);

  // The library is registered under 0x0409 only: asking in locale 0 finds it
  // only through the control's fallback.
  ASSERT_TRUE(fresh_load) << "the type information may already be cached";
  ComPtr<ITypeLib> direct;
  EXPECT_EQ(LoadRegTypeLib(kPellwickLibId, 1, 0, 0, direct.out()), TYPE_E_LIBNOTREGISTERED);
  wchar_t missing[] = L"NoSuchMember";
  LPOLESTR names[] = {missing};
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);

  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.out()), S_OK);
  TYPEKIND kind = TKIND_MAX;
  EXPECT_TRUE(IsEqualGUID(TypeGuid(info.get(), &kind), IID_IHvActivityCtrl));
  EXPECT_EQ(kind, TKIND_DISPATCH);
  EXPECT_EQ(dispatch->GetTypeInfo(1, 0, info.out()), DISP_E_BADINDEX);

  DISPPARAMS none = {};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST_F(DispatchEventsTest, ClassInfoErrorInfoAndPages) {
  ComPtr<IProvideClassInfo2> class_info = Query<IProvideClassInfo2>();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(class_info->GetClassInfo(info.out()), S_OK);
  TYPEKIND kind = TKIND_MAX;
  EXPECT_TRUE(IsEqualGUID(TypeGuid(info.get(), &kind), CLSID_ActivityCtrl));
  EXPECT_EQ(kind, TKIND_COCLASS);
  EXPECT_EQ(class_info->GetClassInfo(nullptr), E_POINTER);

  GUID guid = GUID_NULL;
  ASSERT_EQ(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid), S_OK);
  EXPECT_TRUE(IsEqualGUID(guid, DIID_IHvActivityCtrlEvents));
  EXPECT_EQ(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID + 1, &guid), E_INVALIDARG);
  EXPECT_TRUE(IsEqualGUID(guid, GUID_NULL));
  EXPECT_EQ(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);

  ComPtr<ISupportErrorInfo> errors = Query<ISupportErrorInfo>();
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IHvActivityCtrl), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IHvProjectList), S_FALSE);

  CAUUID pages = {99, nullptr};
  ASSERT_EQ(Query<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
  EXPECT_EQ(pages.cElems, 0u);
  EXPECT_NE(pages.pElems, nullptr) << "an empty list is still allocated";
  CoTaskMemFree(pages.pElems);
}

TEST_F(DispatchEventsTest, OneConnectionPointForTheEventInterface) {
  ComPtr<IConnectionPointContainer> container = Query<IConnectionPointContainer>();
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.out()),
            CONNECT_E_NOCONNECTION);
  EXPECT_FALSE(point);
  ASSERT_EQ(container->FindConnectionPoint(DIID_IHvActivityCtrlEvents, point.out()), S_OK);
  IID iid = IID_NULL;
  ASSERT_EQ(point->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, DIID_IHvActivityCtrlEvents));
  ComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(point->GetConnectionPointContainer(back.out()), S_OK);
  EXPECT_EQ(back.get(), container.get());
  back.reset();

  ComPtr<IEnumConnectionPoints> all;
  ASSERT_EQ(container->EnumConnectionPoints(all.out()), S_OK);
  IConnectionPoint* listed[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(all->Next(2, listed, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(listed[0], point.get());
  listed[0]->Release();
  all.reset();

  // A sink must answer the event interface; the one that does is held
  // until Unadvise, the other not at all.
  FakeEventSink good(DIID_IHvActivityCtrlEvents, true);
  FakeEventSink bad(DIID_IHvActivityCtrlEvents, false);
  DWORD cookie = 77;
  EXPECT_EQ(point->Advise(&bad, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(bad.count, 1);
  ASSERT_EQ(point->Advise(&good, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(good.count, 2);
  EXPECT_EQ(point->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(good.count, 1);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

  // A sink still connected at the last release is let go then.
  ASSERT_EQ(point->Advise(&good, &cookie), S_OK);
  point.reset();
  container.reset();
  control.reset();
  EXPECT_EQ(good.count, 1);
  EXPECT_EQ(good.add_refs, good.releases);
}
