#include "tools/devhost/embedded_control.h"

#include "tools/devhost/container_site.h"

HRESULT EmbeddedControl::Create(const std::wstring& dll) noexcept {
  ModuleHandle module;  // outlives the objects below on every path
  ComPtr<IOleObject> object;
  HRESULT hr;
  if (dll.empty()) {
    hr = CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                          object.out_void());
  } else {
    module.reset(LoadLibraryW(dll.c_str()));
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "DllGetClassObject")));
    if (!get) return HRESULT_FROM_WIN32(GetLastError());
    ComPtr<IClassFactory> factory;
    hr = get(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void());
    if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IOleObject, object.out_void());
  }
  if (FAILED(hr)) return hr;
  ComPtr<IHvProjectList> page;
  ComPtr<IHpAdviseEvents> advise;
  if (FAILED(hr = object.query(page)) || FAILED(hr = object.query(advise))) return hr;
  Close();
  dll_ = std::move(module);
  object_ = std::move(object);
  page_ = std::move(page);
  advise_ = std::move(advise);
  return S_OK;
}

HRESULT EmbeddedControl::Activate(ContainerSite& site, HWND window,
                                  IHvActivityHost* host) noexcept {
  if (!object_) return E_UNEXPECTED;
  HRESULT hr = object_->SetClientSite(&site);
  if (FAILED(hr)) return hr;
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(object_.query(persist)) && FAILED(hr = persist->InitNew())) return hr;
  object_->SetHostNames(L"Pellwick development host", nullptr);
  hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &site.position);
  if (FAILED(hr)) return hr;
  return advise_->SetActivityHost(host);
}

void EmbeddedControl::Move(const RECT& position) noexcept {
  ComPtr<IOleInPlaceObject> inPlace;
  if (object_ && SUCCEEDED(object_.query(inPlace))) inPlace->SetObjectRects(&position, &position);
}

bool EmbeddedControl::TranslateKey(MSG& message) noexcept {
  const HWND page = Window();
  if (!page || (message.hwnd != page && !IsChild(page, message.hwnd))) return false;
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(object_.query(active))) return false;
  return active->TranslateAccelerator(&message) == S_OK;
}

HWND EmbeddedControl::Window() const noexcept {
  ComPtr<IOleWindow> window;
  HWND handle = nullptr;
  if (object_ && SUCCEEDED(object_.query(window))) window->GetWindow(&handle);
  return handle;
}

void EmbeddedControl::Close() noexcept {
  if (!object_) return;
  // The page holds the host until told otherwise; let it go first.
  advise_->SetActivityHost(nullptr);
  {
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(object_.query(inPlace))) inPlace->InPlaceDeactivate();
  }
  object_->Close(OLECLOSE_NOSAVE);
  object_->SetClientSite(nullptr);
  advise_.reset();
  page_.reset();
  object_.reset();
  dll_.reset();
}
