// One control's life in a container: create, activate in place, hand over a
// host with 100 entries in each recently-viewed list, deactivate, close and
// release; against creating and destroying a modeless dialog from the same
// template, measured interleaved in the same run. Prints the ratio of each
// round's pair as median, min, max.
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/bench_host.h"
#include "control/create_activity_ctrl.h"
#include "resources/resource_ids.h"

namespace {
using Clock = std::chrono::steady_clock;

// Static objects: their counts do not govern their lifetime.
template <class Interface>
class Static : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
};

// The smallest container site: a client site that is a plain in-place site
// over one window, with no frame, UI window or ambient properties.
class BenchSite : public Static<IOleClientSite>, public Static<IOleInPlaceSite> {
 public:
  HWND window = nullptr;
  RECT position = {0, 0, 640, 400};

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow))
      *object = static_cast<IOleInPlaceSite*>(this);
    return *object ? S_OK : E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* result) noexcept override {
    *result = window;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                             IOleInPlaceUIWindow** document, LPRECT positionOut,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO) noexcept override {
    *frame = nullptr;
    *document = nullptr;
    *positionOut = *clip = position;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) noexcept override { return S_OK; }
};

std::wstring Entries(const wchar_t* label) {
  std::wstring text;
  for (int i = 0; i < 100; ++i)
    text += L"database\nhost data one\nhost data two\n" + std::wstring(label) +
            std::to_wstring(i) + L"\nsome detail\n\n";
  return text;
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// A modeless dialog from the page's template, shown and destroyed.
double DialogCycle(HWND parent, const DLGTEMPLATE* dialog) {
  const auto start = Clock::now();
  HWND window =
      CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog, parent, PlainDialog, 0);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  DestroyWindow(window);
  return Milliseconds(Clock::now() - start);
}

// The control's cycle; negative when a step failed.
double ControlCycle(BenchSite& site, BenchHost& host) {
  const auto start = Clock::now();
  IOleObject* object = nullptr;
  if (FAILED(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IOleObject,
                                reinterpret_cast<void**>(&object))))
    return -1;
  bool ok = SUCCEEDED(object->SetClientSite(&site)) &&
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window,
                           &site.position) == S_OK;
  IHpAdviseEvents* advise = nullptr;
  if (ok && SUCCEEDED(object->QueryInterface(IID_IHpAdviseEvents,
                                             reinterpret_cast<void**>(&advise)))) {
    ok = SUCCEEDED(advise->SetActivityHost(&host));
    advise->Release();
  }
  IOleInPlaceObject* in_place = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject,
                                       reinterpret_cast<void**>(&in_place)))) {
    in_place->InPlaceDeactivate();
    in_place->Release();
  }
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  object->Release();
  const double elapsed = Milliseconds(Clock::now() - start);
  return ok ? elapsed : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int main() {
  OleInitialize(nullptr);
  HWND parent = CreateWindowExA(0, "Static", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                700, nullptr, nullptr, nullptr, nullptr);
  HRSRC found = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ACTIVITY_PAGE),
                              reinterpret_cast<LPCSTR>(RT_DIALOG));
  const auto* dialog = found ? static_cast<const DLGTEMPLATE*>(LockResource(
                                   LoadResource(GetModuleHandleA(nullptr), found)))
                             : nullptr;
  if (!parent || !dialog) {
    std::fprintf(stderr, "no parent window or no dialog template\n");
    return 1;
  }
  BenchSite site;
  site.window = parent;
  BenchHost host;
  host.records = Entries(L"record ");
  host.queries = Entries(L"query ");

  constexpr int kRounds = 31;
  std::vector<double> dialogs, controls;
  ControlCycle(site, host);  // warm-up: first loads and caches
  DialogCycle(parent, dialog);
  for (int round = 0; round < kRounds; ++round) {
    dialogs.push_back(DialogCycle(parent, dialog));
    const double control = ControlCycle(site, host);
    if (control < 0) {
      std::fprintf(stderr, "a control cycle failed\n");
      return 1;
    }
    controls.push_back(control);
  }
  const double dialogMedian = Median(dialogs), controlMedian = Median(controls);
  std::fprintf(stderr, "dialog %.2f ms, control cycle %.2f ms (medians of %d)\n", dialogMedian,
               controlMedian, kRounds);
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) ratios.push_back(controls[round] / dialogs[round]);
  PrintFigure("activation_cycle_vs_dialog_ratio", ratios);
  DestroyWindow(parent);
  OleUninitialize();
  return 0;
}
