// What a host of this program's word size finds registered: the server that
// CoCreateInstance loads for the control's CLSID and for its ProgID, and
// whether the type library loads. One line each, for a script to compare:
//   clsid <path of the DLL that served it> | clsid failed 0x<hr>
//   progid <path> | progid failed 0x<hr>
//   typelib ok | typelib failed 0x<hr>
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "framework/com_ptr.h"
#include "control/control_ids.h"
#include "include/PellwickHost.h"

namespace {

void PrintServer(const char* label, HRESULT hr, IUnknown* object) {
  if (FAILED(hr) || !object) {
    std::printf("%s failed 0x%08lx\n", label, static_cast<unsigned long>(hr));
    return;
  }
  wchar_t path[MAX_PATH] = {};
  const HMODULE server = GetModuleHandleW(L"Pellwick.dll");
  const DWORD length = server ? GetModuleFileNameW(server, path, MAX_PATH) : 0;
  char narrow[4 * MAX_PATH] = {};
  WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), narrow, sizeof narrow - 1,
                      nullptr, nullptr);
  std::printf("%s %s\n", label, narrow);
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  {
    ComPtr<IUnknown> by_clsid;
    HRESULT hr = CoCreateInstance(CLSID_ActivityCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  by_clsid.out_void());
    PrintServer("clsid", hr, by_clsid.get());
    CLSID found = {};
    hr = CLSIDFromProgID(L"Pellwick.ActivityCtrl", &found);
    ComPtr<IUnknown> by_progid;
    if (SUCCEEDED(hr))
      hr = CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                            by_progid.out_void());
    PrintServer("progid", hr, by_progid.get());
    ComPtr<ITypeLib> library;
    hr = LoadRegTypeLib(kPellwickLibId, kPellwickLibMajor, kPellwickLibMinor, kPellwickLibLcid,
                        library.out());
    if (SUCCEEDED(hr))
      std::printf("typelib ok\n");
    else
      std::printf("typelib failed 0x%08lx\n", static_cast<unsigned long>(hr));
  }
  CoUninitialize();
  return 0;
}
