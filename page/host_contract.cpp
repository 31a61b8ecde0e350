// IHpAdviseEvents and IHvProjectList: how the host drives the page.
#include "framework/text.h"
#include "page/activity_ctrl.h"
#include "page/allocation_guard.h"
#include "page/string_resource.h"
#include "resources/resource_ids.h"
#include "server/resource_instance.h"

HRESULT STDMETHODCALLTYPE CActivityCtrl::AdviseEvent(LONG) noexcept { return E_NOINTERFACE; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetActivityHost(IHvActivityHost* host) noexcept {
  // The host may drop the last reference to the page from inside any of its
  // methods; the page stays alive until this call is over.
  ComPtr<IHpAdviseEvents> self(this);
  if (host != ActivityHost.get()) ActivityHost.reset(host);
  return GuardAllocation([&] {
    RefreshDataBase();
    RefreshRecordMRUs();
    RefreshQueryMRUs();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SetPageContext(short) noexcept { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActivityCtrl::DataBaseOpened(BSTR bstrDataBase) noexcept {
  ComPtr<IHpAdviseEvents> self(this);  // outlives the host's calls, as above
  return GuardAllocation([&] {
    CurrentDataBase = NarrowFromBstr(bstrDataBase);
    SetWindowTextA(database_edit_, CurrentDataBase.c_str());
    RefreshDataBase();
    FillRecordList();
    FillQueryList();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::RefreshMRUs() noexcept {
  ComPtr<IHpAdviseEvents> self(this);  // outlives the host's calls, as above
  return GuardAllocation([&] {
    RefreshRecordMRUs();
    RefreshQueryMRUs();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept {
  if (!pbstrDefRecType) return E_POINTER;
  return GuardAllocation([&] {
    const std::string name = RecordTypes.empty()
                                 ? LoadNarrowString(ResourceInstance(), IDS_DEFAULT_RECORD_TYPE)
                                 : RecordTypes.front();
    Bstr result;
    const HRESULT converted = BstrFromNarrow(name, result);
    if (FAILED(converted)) return converted;
    *pbstrDefRecType = result.release();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::SubmitDefaultRecordType() noexcept {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  Bstr dataBase;
  const HRESULT converted = BstrFromNarrow(CurrentDataBase, dataBase);
  if (FAILED(converted)) return converted;
  host->SubmitRecord(dataBase.get(), nullptr);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::RunDefaultQuery() noexcept {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (host) host->RunQuery(nullptr, nullptr);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CActivityCtrl::DisableOrveltPage() noexcept { return E_NOTIMPL; }
