// The control's connection points: one, for _IHvActivityCtrlEvents.
#include "control/activity_ctrl.h"

HRESULT STDMETHODCALLTYPE
CActivityCtrl::EnumConnectionPoints(IEnumConnectionPoints** points) noexcept {
  IConnectionPoint* const all[] = {&events_};
  return CreateConnectionPointEnum(all, 1, points);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::FindConnectionPoint(REFIID iid,
                                                             IConnectionPoint** point) noexcept {
  ConnectionPoint* const all[] = {&events_};
  return FindConnectionPointIn(all, 1, iid, point);
}
