// The persisted extent: the exact bytes, the failing loads, the dirty flag,
// and a round trip through a compound file, directly and through OLE.
#include "control/control_fixture.h"

#include <initializer_list>
#include <vector>

namespace {

std::string ByteText(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (unsigned value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

std::string Field(LONG value) {
  const auto bits = static_cast<unsigned long>(value);
  return ByteText({bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF, (bits >> 24) & 0xFF});
}

SIZEL ExtentOf(IUnknown* control) {
  ComPtr<IOleObject> object;
  SIZEL size = {-1, -1};
  if (SUCCEEDED(control->QueryInterface(IID_IOleObject, object.out_void())))
    object->GetExtent(DVASPECT_CONTENT, &size);
  return size;
}

void SetExtentOf(IUnknown* control, LONG cx, LONG cy) {
  ComPtr<IOleObject> object;
  ASSERT_EQ(control->QueryInterface(IID_IOleObject, object.out_void()), S_OK);
  SIZEL size = {cx, cy};
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
}

}  // namespace

using PersistenceTest = ControlTest;

TEST_F(PersistenceTest, SaveWritesVersionWidthAndHeight) {
  ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>();
  ASSERT_NO_FATAL_FAILURE(SetExtentOf(control.get(), 10583, -2));
  ComPtr<IStream> stream = StreamOf("");
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(StreamBytes(stream.get()), ByteText({0x00, 0x0A, 0x00, 0x00}) + Field(10583) + Field(-2));
  EXPECT_EQ(References(stream.get()), 1u);

  ULARGE_INTEGER size = {};
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 12u);
  EXPECT_EQ(persist->GetSizeMax(nullptr), E_POINTER);
  EXPECT_EQ(persist->Save(nullptr, TRUE), E_INVALIDARG);
  CLSID clsid = {};
  EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ActivityCtrl));
}

TEST_F(PersistenceTest, LoadTakesTheExtentAndFailsOnBadStreams) {
  ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>();
  const SIZEL start = ExtentOf(control.get());
  ASSERT_EQ(persist->InitNew(), S_OK);

  // A newer format is refused before anything is taken over.
  ComPtr<IStream> newer = StreamOf(ByteText({0x01, 0x0A, 0, 0}) + Field(1) + Field(2));
  EXPECT_EQ(persist->Load(newer.get()), E_FAIL);
  EXPECT_EQ(ExtentOf(control.get()).cx, start.cx);
  EXPECT_EQ(ExtentOf(control.get()).cy, start.cy);
  EXPECT_EQ(persist->IsDirty(), S_OK) << "a failed load leaves the object dirty";

  // Eight bytes: the width is taken over, then the load fails.
  ComPtr<IStream> cut = StreamOf(ByteText({0x00, 0x0A, 0, 0}) + Field(777));
  EXPECT_EQ(persist->Load(cut.get()), E_FAIL);
  EXPECT_EQ(ExtentOf(control.get()).cx, 777);
  EXPECT_EQ(ExtentOf(control.get()).cy, start.cy);

  // A failing Read is answered as is.
  FakeStream broken(ByteText({0x00, 0x0A, 0, 0}) + Field(5) + Field(6));
  broken.first_failing_read = 2;
  EXPECT_EQ(persist->Load(&broken), STG_E_READFAULT);
  EXPECT_EQ(ExtentOf(control.get()).cx, 777);
  EXPECT_EQ(broken.count, 1) << "the control keeps no reference to a stream";
  EXPECT_EQ(persist->Load(nullptr), E_INVALIDARG);

  // An older version reads as the current one; a good load makes it clean.
  ComPtr<IStream> good = StreamOf(ByteText({0x00, 0x09, 0, 0}) + Field(300) + Field(400));
  EXPECT_EQ(persist->Load(good.get()), S_OK);
  EXPECT_EQ(ExtentOf(control.get()).cx, 300);
  EXPECT_EQ(ExtentOf(control.get()).cy, 400);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(PersistenceTest, DirtyFollowsInitNewAndSaveOnly) {
  ComPtr<IPersistStreamInit> stream_persist = Query<IPersistStreamInit>();
  ComPtr<IPersistStorage> storage_persist = Query<IPersistStorage>();
  EXPECT_EQ(stream_persist->IsDirty(), S_FALSE);
  ASSERT_EQ(stream_persist->InitNew(), S_OK);
  EXPECT_EQ(stream_persist->IsDirty(), S_OK);
  EXPECT_EQ(storage_persist->IsDirty(), S_OK);

  ComPtr<IStream> stream = StreamOf("");
  ASSERT_EQ(stream_persist->Save(stream.get(), FALSE), S_OK);
  EXPECT_EQ(stream_persist->IsDirty(), S_OK) << "a save that keeps the flag";
  ASSERT_EQ(stream_persist->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(stream_persist->IsDirty(), S_FALSE);

  ASSERT_NO_FATAL_FAILURE(SetExtentOf(control.get(), 1000, 2000));
  EXPECT_EQ(stream_persist->IsDirty(), S_FALSE) << "SetExtent changes no saved state";

  ASSERT_EQ(storage_persist->InitNew(nullptr), S_OK);
  EXPECT_EQ(stream_persist->IsDirty(), S_OK);
  EXPECT_EQ(storage_persist->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage_persist->HandsOffStorage(), S_OK);
  EXPECT_EQ(stream_persist->IsDirty(), S_OK);
}

TEST_F(PersistenceTest, CompoundFileHoldsOnlyTheContentsStream) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateDocfile(nullptr,
                             STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                 STGM_DELETEONRELEASE,
                             0, storage.out()),
            S_OK);
  ComPtr<IPersistStorage> persist = Query<IPersistStorage>();
  ASSERT_NO_FATAL_FAILURE(SetExtentOf(control.get(), 4321, 1234));
  ASSERT_EQ(persist->InitNew(storage.get()), S_OK);
  ASSERT_EQ(persist->Save(storage.get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "same-as-load clears the flag";
  EXPECT_EQ(References(storage.get()), 1u);

  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(storage->EnumElements(0, nullptr, 0, elements.out()), S_OK);
  STATSTG element = {};
  std::vector<std::wstring> names;
  while (elements->Next(1, &element, nullptr) == S_OK) {
    names.push_back(element.pwcsName);
    EXPECT_EQ(element.type, static_cast<DWORD>(STGTY_STREAM));
    CoTaskMemFree(element.pwcsName);
  }
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], L"Contents");
  ComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                contents.out()),
            S_OK);
  EXPECT_EQ(StreamBytes(contents.get()), ByteText({0x00, 0x0A, 0, 0}) + Field(4321) + Field(1234));
  contents.reset();

  ComPtr<IUnknown> second = NewControl();
  ComPtr<IPersistStorage> loader = Query<IPersistStorage>(second.get());
  ASSERT_EQ(loader->Load(storage.get()), S_OK);
  EXPECT_EQ(ExtentOf(second.get()).cx, 4321);
  EXPECT_EQ(ExtentOf(second.get()).cy, 1234);

  // Failures of the storage come back as they are.
  ComPtr<IStorage> empty;
  ASSERT_EQ(StgCreateDocfile(nullptr,
                             STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                 STGM_DELETEONRELEASE,
                             0, empty.out()),
            S_OK);
  EXPECT_EQ(loader->Load(empty.get()), STG_E_FILENOTFOUND);
  EXPECT_EQ(loader->Load(nullptr), E_INVALIDARG);
  EXPECT_EQ(loader->Save(nullptr, TRUE), E_INVALIDARG);
}

TEST_F(PersistenceTest, OleSaveAndOleLoadRoundTrip) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateDocfile(nullptr,
                             STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                 STGM_DELETEONRELEASE,
                             0, storage.out()),
            S_OK);
  ASSERT_NO_FATAL_FAILURE(SetExtentOf(control.get(), 2468, 1357));
  ComPtr<IPersistStorage> persist = Query<IPersistStorage>();
  ASSERT_EQ(OleSave(persist.get(), storage.get(), TRUE), S_OK);
  CLSID written = {};
  ASSERT_EQ(ReadClassStg(storage.get(), &written), S_OK);
  EXPECT_TRUE(IsEqualCLSID(written, CLSID_ActivityCtrl));

  // OleLoad creates the class through the registry, loads it and hands it
  // the site.
  FakeContainer container;
  container.OfferOnlyTheClientSite();
  ComPtr<IOleObject> loaded;
  ASSERT_EQ(OleLoad(storage.get(), IID_IOleObject, container.site(), loaded.out_void()), S_OK);
  SIZEL size = {};
  ASSERT_EQ(loaded->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, 2468);
  EXPECT_EQ(size.cy, 1357);
  ComPtr<IOleClientSite> kept;
  ASSERT_EQ(loaded->GetClientSite(kept.out()), S_OK);
  EXPECT_EQ(kept.get(), container.site());
  kept.reset();
  EXPECT_EQ(container.refs.count, 2) << "the loaded control holds one reference to its site";
  loaded.reset();
  EXPECT_EQ(container.refs.count, 1);
}
