#include "control/control_fakes.h"

#include <cstring>

namespace {
template <class Interface>
HRESULT Answer(Interface* object, void** out) {
  *out = object;
  object->AddRef();
  return S_OK;
}
}  // namespace

HRESULT FakeClientSite::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
    return Answer(static_cast<IOleClientSite*>(this), out);
  if (ambient_ && IsEqualIID(iid, IID_IDispatch)) return Answer(static_cast<IDispatch*>(this), out);
  return E_NOINTERFACE;
}

HRESULT FakeClientSite::SaveObject() noexcept {
  log.Add("SaveObject()");
  return S_OK;
}
HRESULT FakeClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  log.Add("GetMoniker()");
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT FakeClientSite::GetContainer(IOleContainer** container) noexcept {
  log.Add("GetContainer()");
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT FakeClientSite::ShowObject() noexcept {
  log.Add("ShowObject()");
  return S_OK;
}
HRESULT FakeClientSite::OnShowWindow(BOOL show) noexcept {
  log.Add(LogCall("OnShowWindow", {std::to_string(show)}));
  return S_OK;
}
HRESULT FakeClientSite::RequestNewObjectLayout() noexcept {
  log.Add("RequestNewObjectLayout()");
  return E_NOTIMPL;
}
HRESULT FakeClientSite::GetTypeInfoCount(UINT* count) noexcept {
  if (count) *count = 0;
  return S_OK;
}
HRESULT FakeClientSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT FakeClientSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
  return E_NOTIMPL;
}
HRESULT FakeClientSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) noexcept {
  log.Add(LogCall("Invoke", {std::to_string(id)}));
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT FakeAdviseSink::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAdviseSink)) return Answer(this, out);
  return E_NOINTERFACE;
}
void FakeAdviseSink::OnDataChange(FORMATETC*, STGMEDIUM*) noexcept { log.Add("OnDataChange()"); }
void FakeAdviseSink::OnViewChange(DWORD aspect, LONG index) noexcept {
  log.Add(LogCall("OnViewChange", {std::to_string(aspect), std::to_string(index)}));
}
void FakeAdviseSink::OnRename(IMoniker*) noexcept { log.Add("OnRename()"); }
void FakeAdviseSink::OnSave() noexcept { log.Add("OnSave()"); }
void FakeAdviseSink::OnClose() noexcept { log.Add("OnClose()"); }

HRESULT FakeEventSink::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || (answers_ && IsEqualIID(iid, events_)))
    return Answer(this, out);
  return E_NOINTERFACE;
}

HRESULT FakeOuter::QueryInterface(REFIID iid, void** out) noexcept {
  ++queries;
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown)) return Answer(this, out);
  if (!inner) return E_NOINTERFACE;
  return inner->QueryInterface(iid, out);
}

HRESULT FakeStream::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) ||
      IsEqualIID(iid, IID_ISequentialStream))
    return Answer(this, out);
  return E_NOINTERFACE;
}

HRESULT FakeStream::Read(void* buffer, ULONG size, ULONG* read) noexcept {
  if (read) *read = 0;
  if (good_reads >= 0 && reads_++ >= good_reads) return read_error;
  const std::size_t left = bytes.size() - position_;
  const ULONG taken = size < left ? size : static_cast<ULONG>(left);
  std::memcpy(buffer, bytes.data() + position_, taken);
  position_ += taken;
  if (read) *read = taken;
  return taken == size ? S_OK : S_FALSE;
}
