#include "control/activity_ctrl.h"

#include "control/initial_extent.h"
#include "resources/resource_ids.h"

CActivityCtrl::CActivityCtrl(IUnknown* outer, HMODULE resources) noexcept
    : inner_(this),
      controlling_(outer ? outer : &inner_),
      Extent(resources, IDD_ACTIVITY_PAGE),
      NaturalExtent(kDefaultExtent),
      events_(controlling_, static_cast<IConnectionPointContainer*>(this),
              DIID_IHvActivityCtrlEvents),
      page_(resources, *this) {}

CActivityCtrl::~CActivityCtrl() {
  destroying_ = true;
  // A container that lets go while the control is active hears nothing more:
  // the window's last messages (focus, notifications) must not call out of
  // an object that is going away.
  client_site_.reset();
  ambient_dispatch_.reset();
  hosting_.ReleaseSite();
  page_.DestroyPageWindow();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::AdviseEvent(LONG event) noexcept {
  return page_.AdviseEvent(event);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetActivityHost(IHvActivityHost* host) noexcept {
  return page_.SetActivityHost(host);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetPageContext(short nPageID) noexcept {
  return page_.SetPageContext(nPageID);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DataBaseOpened(BSTR bstrDataBase) noexcept {
  return page_.DataBaseOpened(bstrDataBase);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::RefreshMRUs() noexcept { return page_.RefreshMRUs(); }

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept {
  return page_.GetDefaultRecordType(pbstrDefRecType);
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SubmitDefaultRecordType() noexcept {
  return page_.SubmitDefaultRecordType();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::RunDefaultQuery() noexcept {
  return page_.RunDefaultQuery();
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DisableOrveltPage() noexcept {
  return page_.DisableOrveltPage();
}
