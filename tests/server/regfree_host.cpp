#include "server/regfree_host.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include "common/fake_container.h"
#include "common/mock_host.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"

namespace {

bool ClassesRootHas(const wchar_t* path) {
  RegKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

void ExpectActivatesAndTakesTheHost(IOleObject* object) {
  FakeContainer container;
  MockHost host;
  host.current_database = "SAMPL";
  host.record_mrus = "SAMPL\nrec\nA1\nA1\nCrash when saving\n\n";
  ASSERT_EQ(object->SetClientSite(container.site()), S_OK);
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(object->QueryInterface(IID_IPersistStreamInit, persist.out_void()), S_OK);
  ASSERT_EQ(persist->InitNew(), S_OK);
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container.site(), 0,
                           container.window, &container.position),
            S_OK);
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_EQ(object->QueryInterface(IID_IOleInPlaceObject, in_place.out_void()), S_OK);
  HWND page = nullptr;
  ASSERT_EQ(in_place->GetWindow(&page), S_OK);
  EXPECT_EQ(GetParent(page), container.window);

  ComPtr<IHpAdviseEvents> advise;
  ASSERT_EQ(object->QueryInterface(IID_IHpAdviseEvents, advise.out_void()), S_OK);
  ASSERT_EQ(advise->SetActivityHost(&host), S_OK);
  char database[32] = {};
  GetDlgItemTextA(page, IDC_DATABASE_EDIT, database, sizeof database);
  EXPECT_STREQ(database, "SAMPL");
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_RECORDS_LIST, LB_GETCOUNT, 0, 0), 1);

  EXPECT_EQ(advise->SetActivityHost(nullptr), S_OK);
  EXPECT_EQ(in_place->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
  EXPECT_FALSE(IsWindow(page));
  EXPECT_EQ(container.ForeignReferences(), 0);
  EXPECT_EQ(host.count, 1) << "the page kept a host reference";
}

}  // namespace

void ExpectNothingRegistered() {
  EXPECT_FALSE(ClassesRootHas(L"CLSID\\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}"));
  EXPECT_FALSE(ClassesRootHas(L"Pellwick.ActivityCtrl"));
  EXPECT_FALSE(ClassesRootHas(L"Pellwick.ActivityCtrl.1"));
  EXPECT_FALSE(ClassesRootHas(L"TypeLib\\{24919A8D-2502-49CA-B37B-C348EE6E708C}"));
}

void ExpectCreatedActivatedAndHosted() {
  ComPtr<IOleObject> by_clsid;
  ASSERT_EQ(CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                             by_clsid.out_void()),
            S_OK);
  // Through an activation context a ProgID may name an alias of the class
  // (Wine makes one per context), so the object itself tells its class.
  for (const wchar_t* progid : {L"Pellwick.ActivityCtrl", L"Pellwick.ActivityCtrl.1"}) {
    CLSID clsid = {};
    ASSERT_EQ(CLSIDFromProgID(progid, &clsid), S_OK) << Utf8(progid);
    ComPtr<IOleObject> by_progid;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               by_progid.out_void()),
              S_OK)
        << Utf8(progid);
    ComPtr<IPersist> persist;
    ASSERT_EQ(by_progid->QueryInterface(IID_IPersist, persist.out_void()), S_OK);
    CLSID created = {};
    ASSERT_EQ(persist->GetClassID(&created), S_OK);
    EXPECT_TRUE(IsEqualCLSID(created, CLSID_ActivityCtrl)) << Utf8(progid);
    ExpectActivatesAndTakesTheHost(by_progid.get());
  }
  ExpectActivatesAndTakesTheHost(by_clsid.get());
}
