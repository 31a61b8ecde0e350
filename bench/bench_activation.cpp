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
#include "common/fake_container.h"
#include "common/mock_host.h"
#include "control/create_activity_ctrl.h"
#include "resources/resource_ids.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string Entries(const char* label) {
  std::string text;
  for (int i = 0; i < 100; ++i)
    text += "database\nhost data one\nhost data two\n" + std::string(label) +
            std::to_string(i) + "\nsome detail\n\n";
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
double ControlCycle(FakeContainer& site, MockHost& host) {
  const auto start = Clock::now();
  IOleObject* object = nullptr;
  if (FAILED(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IOleObject,
                                reinterpret_cast<void**>(&object))))
    return -1;
  bool ok = SUCCEEDED(object->SetClientSite(site.site())) &&
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.site(), 0, site.window,
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

// Returns the exit status; the fakes go before OLE does.
int Run() {
  // The smallest container site: a plain in-place site over one window, with
  // no UI window, control site or ambient properties. Its window is the
  // dialog's parent as well, and does not clip its children: that would
  // spare the dialog's cycle more than the control's and skew their ratio.
  FakeContainer site;
  site.offer_site_ex = site.offer_ui_window = site.offer_control_site = site.offer_ambient = false;
  site.position = site.clip = {0, 0, 640, 400};
  HWND parent = site.window;
  SetWindowLongA(parent, GWL_STYLE, GetWindowLongA(parent, GWL_STYLE) & ~WS_CLIPCHILDREN);
  HRSRC found = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ACTIVITY_PAGE),
                              reinterpret_cast<LPCSTR>(RT_DIALOG));
  const auto* dialog = found ? static_cast<const DLGTEMPLATE*>(LockResource(
                                   LoadResource(GetModuleHandleA(nullptr), found)))
                             : nullptr;
  if (!parent || !dialog) {
    std::fprintf(stderr, "no container window or no dialog template\n");
    return 1;
  }
  MockHost host;
  host.current_database = "current";
  host.record_mrus = Entries("record ");
  host.query_mrus = Entries("query ");

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
  const double dialog_median = Median(dialogs), control_median = Median(controls);
  std::fprintf(stderr, "dialog %.2f ms, control cycle %.2f ms (medians of %d)\n", dialog_median,
               control_median, kRounds);
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) ratios.push_back(controls[round] / dialogs[round]);
  PrintFigure("activation_cycle_vs_dialog_ratio", ratios);
  return 0;
}
}  // namespace

int main() {
  OleInitialize(nullptr);
  const int status = Run();
  OleUninitialize();
  return status;
}
