#pragma once
// One ActivityCtrl embedded in a window the way a host application does it:
// created by CLSID (registered) or from a DLL's class object (no
// registration), given the site, initialised, activated in place and handed
// the host object. Close() undoes all of it; after it the control holds no
// reference on the site or the host.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "PellwickHost.h"
#include "com_ptr.h"

class ContainerSite;

class EmbeddedControl {
 public:
  EmbeddedControl() = default;
  EmbeddedControl(const EmbeddedControl&) = delete;
  EmbeddedControl& operator=(const EmbeddedControl&) = delete;
  ~EmbeddedControl() { Close(); }

  // An empty `dll` creates the registered class. A control made before is
  // closed first; nothing is kept on failure.
  HRESULT Create(const std::wstring& dll) noexcept;
  // Site, InitNew, host names, in-place activation in `window` at
  // site.position, then SetActivityHost(host).
  HRESULT Activate(ContainerSite& site, HWND window, IHvActivityHost* host) noexcept;
  void Move(const RECT& position) noexcept;
  // Offers a keystroke to the control; true when the control used it.
  bool TranslateKey(MSG& message) noexcept;
  // The page window; null before activation.
  HWND Window() const noexcept;
  IHvProjectList* page() const noexcept { return page_.get(); }
  IOleObject* object() const noexcept { return object_.get(); }
  void Close() noexcept;

 private:
  // Lets go of the objects, then of the DLL that served them.
  void ReleaseAll() noexcept;

  HMODULE dll_ = nullptr;  // null for the registered class
  ComPtr<IOleObject> object_;
  ComPtr<IHvProjectList> page_;
  ComPtr<IHpAdviseEvents> advise_;
};
