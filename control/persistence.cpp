// Persistence of the control's extent: the 12-byte property stream on its
// own (IPersistStreamInit) and as the "Contents" stream of a storage
// (IPersistStorage). Loading clears the dirty flag, so does a save that asks
// for it; InitNew sets it.
#include "control/property_stream_io.h"
#include "control/activity_ctrl.h"

namespace {
const wchar_t kContentsStream[] = L"Contents";
}  // namespace

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_ActivityCtrl;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::IsDirty() noexcept { return Dirty ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::InitNew() noexcept {
  Dirty = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::InitNew(IStorage*) noexcept { return InitNew(); }

HRESULT STDMETHODCALLTYPE CActivityCtrl::Load(IStream* stream) noexcept {
  const SIZEL starting = Extent.Get();
  PropertyExtent extent{starting.cx, starting.cy};
  const HRESULT result = ReadPropertyStream(stream, extent);
  // A property read before a failure stays taken over.
  Extent.Set({extent.cx, extent.cy});
  if (FAILED(result)) return result;
  Dirty = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Save(IStream* stream, BOOL clearDirty) noexcept {
  const SIZEL size = Extent.Get();
  const HRESULT result = WritePropertyStream(stream, PropertyExtent{size.cx, size.cy});
  if (FAILED(result)) return result;
  if (clearDirty) Dirty = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetSizeMax(ULARGE_INTEGER* size) noexcept {
  if (!size) return E_POINTER;
  size->QuadPart = kPropertyStreamSize;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Load(IStorage* storage) noexcept {
  if (!storage) return E_INVALIDARG;
  ComPtr<IStream> stream;
  const HRESULT result = storage->OpenStream(kContentsStream, nullptr,
                                             STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.out());
  if (FAILED(result)) return result;
  return Load(stream.get());
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::Save(IStorage* storage, BOOL sameAsLoad) noexcept {
  if (!storage) return E_INVALIDARG;
  ComPtr<IStream> stream;
  const HRESULT result = storage->CreateStream(
      kContentsStream, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, stream.out());
  if (FAILED(result)) return result;
  return Save(stream.get(), sameAsLoad);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SaveCompleted(IStorage*) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::HandsOffStorage() noexcept { return S_OK; }
