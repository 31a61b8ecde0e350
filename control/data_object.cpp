// IDataObject: the control renders only as a metafile picture of its
// extent, which is empty like its drawing; data advises go to the OLE data
// advise holder.
#include "control/metafile_picture.h"
#include "control/activity_ctrl.h"

IDataAdviseHolder* CActivityCtrl::DataAdviseHolder() noexcept {
  if (!data_advise_holder_) CreateDataAdviseHolder(data_advise_holder_.out());
  return data_advise_holder_.get();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  if (!format || !medium) return E_POINTER;
  if (!(format->tymed & TYMED_MFPICT)) return DATA_E_FORMATETC;
  HGLOBAL picture = nullptr;
  const HRESULT result = CreateEmptyMetafilePicture(Extent.Get(), &picture);
  if (FAILED(result)) return result;
  medium->tymed = TYMED_MFPICT;
  medium->hMetaFilePict = picture;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetDataHere(FORMATETC*, STGMEDIUM*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::QueryGetData(FORMATETC*) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) noexcept {
  if (formats) *formats = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DAdvise(FORMATETC* format, DWORD flags,
                                                 IAdviseSink* sink, DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  IDataAdviseHolder* holder = DataAdviseHolder();
  if (!holder) return E_OUTOFMEMORY;
  return holder->Advise(static_cast<IDataObject*>(this), format, flags, sink,
                                     connection);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DUnadvise(DWORD connection) noexcept {
  if (!data_advise_holder_) return OLE_E_NOCONNECTION;
  return data_advise_holder_->Unadvise(connection);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::EnumDAdvise(IEnumSTATDATA** advises) noexcept {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  IDataAdviseHolder* holder = DataAdviseHolder();
  if (!holder) return E_OUTOFMEMORY;
  return holder->EnumAdvise(advises);
}
