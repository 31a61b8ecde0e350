// The DLL's entry point and the exports through which COM reaches the server.
#include <windows.h>

#include <iterator>

#include "control/create_activity_ctrl.h"
#include "include/PellwickHost.h"
#include "server/class_factory.h"
#include "server/class_table.h"
#include "server/module.h"
#include "server/registration.h"
#include "server/resource_instance.h"

namespace {

// The satellite search loads libraries, which the entry point must not do
// under the loader lock; the first class-object request runs it instead.
HRESULT CreateActivityCtrlClassObject(InstanceCreator creator, REFIID iid,
                                      void** object) noexcept {
  ResourceInstance();
  return CreateClassObject(creator, iid, object);
}

// Every control takes its dialog and strings from the resource module of the moment.
HRESULT CreateActivityCtrlInstance(IUnknown* outer, REFIID iid, void** object) noexcept {
  return CreateActivityCtrl(outer, ResourceInstance(), iid, object);
}

ClassEntry g_entries[] = {
    {&CLSID_ActivityCtrl, &UpdateActivityCtrlRegistration, &CreateActivityCtrlClassObject,
     &CreateActivityCtrlInstance, nullptr},
};

ClassTable g_classes(std::begin(g_entries), std::end(g_entries));

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return InitFailed() ? FALSE : TRUE;
    case DLL_PROCESS_DETACH:
      // The module's shut-down callbacks go before the cached class objects.
      PellwickModule().Terminate();
      g_classes.Terminate();
      // Unloaded by FreeLibrary, not by the process's end: unmapping the
      // satellite, a data file, runs no code.
      if (!reserved) ReleaseResourceInstance();
      return TRUE;
    default:
      return TRUE;
  }
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return g_classes.GetClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow() { return PellwickModule().GetLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return RegisterServer(g_classes); }

STDAPI DllUnregisterServer() { return UnregisterServer(g_classes); }
