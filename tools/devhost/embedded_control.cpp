#include "embedded_control.h"

#include "container_site.h"

namespace {
// What COM does for a registered class, done with the DLL at hand.
HRESULT CreateFromDll(HMODULE dll, IOleObject** object) noexcept {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  if (!get) return HRESULT_FROM_WIN32(GetLastError());
  ComPtr<IClassFactory> factory;
  HRESULT hr = get(CLSID_ActivityCtrl, IID_PPV_ARGS(factory.out()));
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(object));
  return hr;
}
}  // namespace

HRESULT EmbeddedControl::Create(const std::wstring& dll) noexcept {
  Close();
  HRESULT hr;
  if (dll.empty()) {
    hr = CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(object_.out()));
  } else {
    dll_ = LoadLibraryW(dll.c_str());
    hr = dll_ ? CreateFromDll(dll_, object_.out()) : HRESULT_FROM_WIN32(GetLastError());
  }
  if (SUCCEEDED(hr)) hr = object_.query(page_);
  if (SUCCEEDED(hr)) hr = object_.query(advise_);
  if (FAILED(hr)) ReleaseAll();
  return hr;
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
  ComPtr<IOleInPlaceObject> in_place;
  if (object_ && SUCCEEDED(object_.query(in_place))) in_place->SetObjectRects(&position, &position);
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
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(object_.query(in_place))) in_place->InPlaceDeactivate();
  }
  object_->Close(OLECLOSE_NOSAVE);
  object_->SetClientSite(nullptr);
  ReleaseAll();
}

void EmbeddedControl::ReleaseAll() noexcept {
  advise_.reset();
  page_.reset();
  object_.reset();
  if (dll_) FreeLibrary(dll_);
  dll_ = nullptr;
}
