// The control's view and data: empty drawing, view status, natural extent,
// the view advise sink and the metafile picture of GetData.
#include "control/control_fixture.h"

#include <vector>

namespace {

// The bytes of a metafile, for comparing two recordings.
std::vector<BYTE> MetafileBits(HMETAFILE metafile) {
  std::vector<BYTE> bits(GetMetaFileBitsEx(metafile, 0, nullptr));
  GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
  return bits;
}

std::vector<BYTE> EmptyRecording() {
  MetaFileHandle empty(CloseMetaFile(CreateMetaFileW(nullptr)));
  return MetafileBits(empty.get());
}

}  // namespace

using ViewDataTest = ControlTest;

TEST_F(ViewDataTest, ViewStatusExtentsAndHitTest) {
  ComPtr<IViewObjectEx> view = Query<IViewObjectEx>();
  DWORD status = 0;
  ASSERT_EQ(view->GetViewStatus(&status), S_OK);
  EXPECT_EQ(status, 3u);
  EXPECT_EQ(view->GetViewStatus(nullptr), E_POINTER);

  // The natural extent is two inches whatever the content extent is.
  SIZEL wanted = {1, 2};
  ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
  DVEXTENTINFO info = {sizeof info, DVEXTENT_CONTENT, {0, 0}};
  SIZEL natural = {};
  ASSERT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &natural), S_OK);
  EXPECT_EQ(natural.cx, 5080);
  EXPECT_EQ(natural.cy, 5080);
  info.dwExtentMode = DVEXTENT_INTEGRAL;
  EXPECT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &natural),
            E_FAIL);
  info.dwExtentMode = DVEXTENT_CONTENT;
  EXPECT_EQ(view->GetNaturalExtent(DVASPECT_ICON, -1, nullptr, nullptr, &info, &natural), E_FAIL);

  SIZEL extent = {};
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  EXPECT_EQ(extent.cx, 1);
  EXPECT_EQ(extent.cy, 2);

  const RECT bounds = {10, 10, 50, 50};
  DWORD hit = 99;
  ASSERT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{20, 20}, 0, &hit), S_OK);
  EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_HIT));
  ASSERT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{60, 20}, 0, &hit), S_OK);
  EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_OUTSIDE));
}

TEST_F(ViewDataTest, DrawIntoAMetafileRecordsNothing) {
  ComPtr<IViewObject> view = Query<IViewObject>();
  HDC recorder = CreateMetaFileW(nullptr);
  ASSERT_NE(recorder, nullptr);
  const RECTL bounds = {0, 0, 100, 50};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, recorder, &bounds, nullptr,
                       nullptr, 0),
            S_OK);
  MetaFileHandle drawn(CloseMetaFile(recorder));
  ASSERT_TRUE(drawn);
  EXPECT_EQ(MetafileBits(drawn.get()), EmptyRecording());
}

TEST_F(ViewDataTest, ViewAdviseSinkIsKeptWithOneReference) {
  ComPtr<IViewObject2> view = Query<IViewObject2>();
  FakeAdviseSink first, second;
  ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, ADVF_PRIMEFIRST, &first), S_OK);
  EXPECT_EQ(first.count, 2);
  DWORD aspects = 0, flags = 0;
  ComPtr<IAdviseSink> sink;
  ASSERT_EQ(view->GetAdvise(&aspects, &flags, sink.out()), S_OK);
  EXPECT_EQ(aspects, static_cast<DWORD>(DVASPECT_CONTENT));
  EXPECT_EQ(flags, static_cast<DWORD>(ADVF_PRIMEFIRST));
  EXPECT_EQ(sink.get(), static_cast<IAdviseSink*>(&first));
  sink.reset();
  ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &second), S_OK);
  EXPECT_EQ(first.count, 1);
  view.reset();
  control.reset();
  EXPECT_EQ(second.count, 1);
  EXPECT_TRUE(first.log.Matches({}));
  EXPECT_TRUE(second.log.Matches({}));
}

TEST_F(ViewDataTest, GetDataGivesAnEmptyMetafileOfTheExtent) {
  SIZEL wanted = {6350, 2540};
  ASSERT_EQ(Query<IOleObject>()->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
  ComPtr<IDataObject> data = Query<IDataObject>();
  FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
  STGMEDIUM medium = {};
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
  EXPECT_EQ(medium.pUnkForRelease, nullptr);
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->mm, MM_ANISOTROPIC);
  EXPECT_EQ(picture->xExt, 6350);
  EXPECT_EQ(picture->yExt, 2540);
  EXPECT_EQ(MetafileBits(picture->hMF), EmptyRecording());
  GlobalUnlock(medium.hMetaFilePict);
  ReleaseStgMedium(&medium);

  // Any medium that includes a metafile picture will do; others will not.
  format.tymed = TYMED_HGLOBAL | TYMED_MFPICT;
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
  ReleaseStgMedium(&medium);
  format.tymed = TYMED_HGLOBAL;
  EXPECT_EQ(data->GetData(&format, &medium), DATA_E_FORMATETC);
  EXPECT_EQ(data->GetData(nullptr, &medium), E_POINTER);

}

TEST_F(ViewDataTest, DataAdviseSinksComeAndGo) {
  ComPtr<IDataObject> data = Query<IDataObject>();
  FakeAdviseSink sink;
  FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
  DWORD connection = 0;
  ASSERT_EQ(data->DAdvise(&format, 0, &sink, &connection), S_OK);
  EXPECT_NE(connection, 0u);
  EXPECT_EQ(sink.count, 2);
  EXPECT_EQ(data->DUnadvise(connection), S_OK);
  EXPECT_EQ(sink.count, 1);
  EXPECT_EQ(data->DUnadvise(connection), OLE_E_NOCONNECTION);
  EXPECT_EQ(References(control.get()), 2u) << "the holder keeps no reference to the control";
}
