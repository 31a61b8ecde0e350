// IQuickActivate: the container's site, view sink and event sink in one
// call, and the control's status back. Older containers pass a shorter
// QACONTAINER and may expect a shorter QACONTROL, so only the members within
// the sizes they give are read or written.
#include <cstddef>
#include <cstring>

#include "control/activity_ctrl.h"

namespace {

// Whether the member at `offset` of `size` bytes lies inside `cbSize`.
constexpr bool Within(ULONG cbSize, std::size_t offset, std::size_t size) noexcept {
  return offset + size <= cbSize;
}

#define PELLWICK_HAS(object, type, member) \
  Within((object)->cbSize, offsetof(type, member), sizeof(((type*)nullptr)->member))

}  // namespace

HRESULT STDMETHODCALLTYPE CActivityCtrl::QuickActivate(QACONTAINER* container,
                                                       QACONTROL* control) noexcept {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(container->cbSize) || control->cbSize < sizeof(control->cbSize))
    return E_INVALIDARG;
  // Sinks and sites let go here may call back into the control.
  const ComPtr<IUnknown> alive = KeepAlive();

  IOleClientSite* site =
      PELLWICK_HAS(container, QACONTAINER, pClientSite) ? container->pClientSite : nullptr;
  HRESULT result = SetClientSite(site);
  if (FAILED(result)) return result;
  if (PELLWICK_HAS(container, QACONTAINER, pAdviseSink) && container->pAdviseSink)
    SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  DWORD event_cookie = 0;
  // A sink that cannot take the events just stays unconnected.
  if (PELLWICK_HAS(container, QACONTAINER, pUnkEventSink) && container->pUnkEventSink)
    events_.Advise(container->pUnkEventSink, &event_cookie);

  DWORD misc_status = 0;
  GetMiscStatus(DVASPECT_CONTENT, &misc_status);
  DWORD view_status = 0;
  GetViewStatus(&view_status);

  const ULONG size = control->cbSize < sizeof(QACONTROL) ? control->cbSize : sizeof(QACONTROL);
  std::memset(reinterpret_cast<BYTE*>(control) + sizeof(control->cbSize), 0,
              size - sizeof(control->cbSize));
  if (PELLWICK_HAS(control, QACONTROL, dwMiscStatus)) control->dwMiscStatus = misc_status;
  if (PELLWICK_HAS(control, QACONTROL, dwViewStatus)) control->dwViewStatus = view_status;
  if (PELLWICK_HAS(control, QACONTROL, dwEventCookie)) control->dwEventCookie = event_cookie;
  // No property-change notifications and no pointer activation are offered:
  // dwPropNotifyCookie and dwPointerActivationPolicy stay 0.
  return S_OK;
}

#undef PELLWICK_HAS

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetContentExtent(LPSIZEL size) noexcept {
  return SetContentSize(DVASPECT_CONTENT, size);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetContentExtent(LPSIZEL size) noexcept {
  return GetExtent(DVASPECT_CONTENT, size);
}
