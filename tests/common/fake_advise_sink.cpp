#include "common/fake_advise_sink.h"

#include <string>

HRESULT FakeAdviseSink::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IAdviseSink) &&
      !IsEqualIID(iid, IID_IAdviseSinkEx))
    return E_NOINTERFACE;
  *object = static_cast<IAdviseSinkEx*>(this);
  AddRef();
  return S_OK;
}

void FakeAdviseSink::Told(std::string call) {
  CheckAlive("advise sink", call.c_str());
  log.Add(std::move(call));
}

void FakeAdviseSink::OnDataChange(FORMATETC*, STGMEDIUM*) noexcept { Told("OnDataChange()"); }
void FakeAdviseSink::OnViewChange(DWORD aspect, LONG index) noexcept {
  Told(LogCall("OnViewChange", {std::to_string(aspect), std::to_string(index)}));
  ++view_changes;
}
void FakeAdviseSink::OnRename(IMoniker*) noexcept { Told("OnRename()"); }
void FakeAdviseSink::OnSave() noexcept {
  Told("OnSave()");
  ++saves;
}
void FakeAdviseSink::OnClose() noexcept { Told("OnClose()"); }
void FakeAdviseSink::OnViewStatusChange(DWORD status) noexcept {
  Told(LogCall("OnViewStatusChange", {std::to_string(status)}));
}
