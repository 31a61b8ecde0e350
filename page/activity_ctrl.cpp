#include "page/activity_ctrl.h"

#include "control/initial_extent.h"
#include "resources/resource_ids.h"
#include "server/resource_instance.h"

CActivityCtrl::CActivityCtrl(IUnknown* outer) noexcept
    : inner_(this),
      controlling_(outer ? outer : &inner_),
      Extent(InitialExtent(ResourceInstance(), IDD_ACTIVITY_PAGE)),
      NaturalExtent(kDefaultExtent),
      events_(controlling_, static_cast<IConnectionPointContainer*>(this),
              DIID_IHvActivityCtrlEvents) {}

CActivityCtrl::~CActivityCtrl() {
  // A container that lets go while the control is active hears nothing more:
  // the window's last messages (focus, notifications) must not call out of
  // an object that is going away.
  client_site_.reset();
  ambient_dispatch_.reset();
  hosting_.ReleaseSite();
  DestroyPageWindow();
}
