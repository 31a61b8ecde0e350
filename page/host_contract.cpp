// IHpAdviseEvents and IHvProjectList: how the host drives the page.
#include "framework/error_boundary.h"
#include "framework/text.h"
#include "page/activity_page.h"
#include "page/string_resource.h"
#include "resources/resource_ids.h"

HRESULT ActivityPage::AdviseEvent(LONG) noexcept { return E_NOINTERFACE; }

HRESULT ActivityPage::SetActivityHost(IHvActivityHost* host) noexcept {
  // The host may drop the last reference to the page from inside any of its
  // methods; the page stays alive until this call is over.
  const ComPtr<IUnknown> alive = KeepAlive();
  if (host != ActivityHost.get()) ActivityHost.reset(host);
  return CatchReturn([&] {
    RefreshDataBase();
    RefreshLists();
    return S_OK;
  });
}

void ActivityPage::RefreshLists() {
  // The second list asks the host the page holds after the first one's calls.
  records_.Refresh(ActivityHost, CurrentDataBase);
  queries_.Refresh(ActivityHost, CurrentDataBase);
}

HRESULT ActivityPage::SetPageContext(short) noexcept { return E_NOTIMPL; }

HRESULT ActivityPage::DataBaseOpened(BSTR bstrDataBase) noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();  // outlives the host's calls, as above
  return CatchReturn([&] {
    CurrentDataBase = WideFromBstr(bstrDataBase);
    // With a host the page shows what the host then answers, once.
    if (!ActivityHost) ShowDataBase();
    RefreshDataBase();
    records_.Fill(CurrentDataBase);
    queries_.Fill(CurrentDataBase);
    return S_OK;
  });
}

HRESULT ActivityPage::RefreshMRUs() noexcept {
  const ComPtr<IUnknown> alive = KeepAlive();  // outlives the host's calls, as above
  return CatchReturn([&] {
    RefreshLists();
    return S_OK;
  });
}

HRESULT ActivityPage::GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept {
  if (!pbstrDefRecType) return E_POINTER;
  return CatchReturn([&] {
    const std::wstring name = RecordTypes.empty()
                                  ? LoadResourceString(resources_, IDS_DEFAULT_RECORD_TYPE)
                                  : RecordTypes.front();
    Bstr result;
    const HRESULT converted = BstrFromWide(name, result);
    if (FAILED(converted)) return converted;
    *pbstrDefRecType = result.release();
    return S_OK;
  });
}

HRESULT ActivityPage::SubmitDefaultRecordType() noexcept {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (!host) return S_OK;
  Bstr database;
  const HRESULT converted = BstrFromWide(CurrentDataBase, database);
  if (FAILED(converted)) return converted;
  host->SubmitRecord(database.get(), nullptr);
  return S_OK;
}

HRESULT ActivityPage::RunDefaultQuery() noexcept {
  ComPtr<IHvActivityHost> host(ActivityHost);
  if (host) host->RunQuery(nullptr, nullptr);
  return S_OK;
}

HRESULT ActivityPage::DisableOrveltPage() noexcept { return E_NOTIMPL; }
