// Creates ActivityCtrl by ProgID in Wine's ATL control host, which activates
// it in place, with nothing registered: the program's manifest names the
// control's assembly, deployed beside it. Prints "activated" and exits 0 when
// the control answers IHpAdviseEvents and has its page window.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "PellwickHost.h"

int main() {
  HMODULE atl = LoadLibraryA("atl100.dll");
  auto init = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto get_control = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  if (!init || !get_control) return 2;
  init();
  HWND frame = CreateWindowExA(0, "STATIC", "consumer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                               480, nullptr, nullptr, nullptr, nullptr);
  HWND host = CreateWindowExA(0, "AtlAxWin100", "Pellwick.ActivityCtrl", WS_CHILD | WS_VISIBLE, 0,
                              0, 640, 480, frame, nullptr, nullptr, nullptr);
  IUnknown* control = nullptr;
  if (!host || FAILED(get_control(host, &control)) || !control) return 3;
  IUnknown* advise = nullptr;
  IOleWindow* window = nullptr;
  HWND page = nullptr;
  const bool ours = SUCCEEDED(control->QueryInterface(IID_IHpAdviseEvents, reinterpret_cast<void**>(&advise)));
  if (SUCCEEDED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
    window->GetWindow(&page);
    window->Release();
  }
  if (advise) advise->Release();
  control->Release();
  const bool activated = ours && page && IsWindowVisible(page);
  std::printf("%s\n", activated ? "activated" : "not activated");
  DestroyWindow(frame);
  return activated ? 0 : 4;
}
