#pragma once
// CActivityCtrl: the activity page. It holds the host object handed over
// through IHpAdviseEvents, the current database and record types, the two
// recently-viewed lists, and the page dialog's window handles. Single-threaded:
// every call and message arrives on the thread that created it.
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/dialog_window.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "page/mru_text.h"
#include "page/project_list_impl.h"
#include "server/module_lock.h"

// Creates an activity page and queries it for `iid`. `*object` is cleared
// first; a null `object` gives E_POINTER, an `outer` CLASS_E_NOAGGREGATION.
// A failed query destroys the new object.
HRESULT CreateActivityCtrl(IUnknown* outer, REFIID iid, void** object) noexcept;

class CActivityCtrl : public IHpAdviseEvents, public CProjectListImpl, public DialogWindow {
 public:
  CActivityCtrl() noexcept = default;
  virtual ~CActivityCtrl();

  // IUnknown (activity_ctrl.cpp)
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  // IHpAdviseEvents (host_contract.cpp)
  HRESULT STDMETHODCALLTYPE AdviseEvent(LONG event) noexcept override;
  HRESULT STDMETHODCALLTYPE SetActivityHost(IHvActivityHost* host) noexcept override;

  // IHvProjectList (host_contract.cpp)
  HRESULT STDMETHODCALLTYPE SetPageContext(short nPageID) noexcept override;
  HRESULT STDMETHODCALLTYPE DataBaseOpened(BSTR bstrDataBase) noexcept override;
  HRESULT STDMETHODCALLTYPE RefreshMRUs() noexcept override;
  HRESULT STDMETHODCALLTYPE GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept override;
  HRESULT STDMETHODCALLTYPE SubmitDefaultRecordType() noexcept override;
  HRESULT STDMETHODCALLTYPE RunDefaultQuery() noexcept override;
  HRESULT STDMETHODCALLTYPE DisableOrveltPage() noexcept override;

  // The page dialog (page_window.cpp). CreatePageWindow makes it a child of
  // `parent` and shows it without activating it; null on failure, and while a
  // page window already exists. DestroyPageWindow keeps all page state.
  HWND CreatePageWindow(HWND parent) noexcept;
  void DestroyPageWindow() noexcept;

  // The page's message map: WM_INITDIALOG and the button and list commands.
  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result, DWORD mapId) noexcept override;

  // Page state, read by tests and, later, by the hosting layer.
  const std::string& CurrentDataBaseText() const noexcept { return CurrentDataBase; }
  const std::vector<std::string>& RecordTypeList() const noexcept { return RecordTypes; }
  const RecordEntries& Records() const noexcept { return records_; }
  const QueryEntries& Queries() const noexcept { return queries_; }

 protected:
  void OnWindowDestroyed() noexcept override;

 private:
  // Page window (page_window.cpp)
  LRESULT OnInitDialog() noexcept;

  // The operations below may throw std::bad_alloc; the interface methods and
  // the message map catch it (allocation_guard.h). Each one that calls the
  // host holds its own reference to it for the whole operation, and does
  // nothing while no host is held. Failures: E_OUTOFMEMORY when a BSTR for a
  // host call cannot be made (that call is not made), E_FAIL for a row that
  // has no entry (the lists changed under a host call).

  // Database and record types (database_section.cpp)
  void RefreshDataBase();
  HRESULT OnChangeDataBase();
  HRESULT OnGo();

  // Settings store (settings_store.cpp); each opens and closes the key.
  bool OpenSettingsKey(IHvActivityHost* host, RegKey& key);
  std::string LoadLastDataBase(IHvActivityHost* host);
  std::string LoadLastRecordTypes(IHvActivityHost* host);
  void SaveRecordTypes(IHvActivityHost* host, const std::string& text);

  // Recently viewed records (records_list.cpp)
  void RefreshRecordMRUs();
  void FillRecordList();
  void OnRecordSelChange() noexcept;
  HRESULT OnViewRecord();
  HRESULT OnRemoveRecords();

  // Recently viewed queries (queries_list.cpp)
  void RefreshQueryMRUs();
  void FillQueryList();
  void OnQuerySelChange() noexcept;
  HRESULT OnRunQuery();
  HRESULT OnRemoveQueries();

  ULONG references_ = 0;
  ModuleLockHolder module_lock_;

  ComPtr<IHvActivityHost> ActivityHost;
  std::string CurrentDataBase;
  std::vector<std::string> RecordTypes;
  RecordEntries records_;
  QueryEntries queries_;

  // Kept from WM_INITDIALOG until the page window goes.
  HWND records_list_ = nullptr;
  HWND queries_list_ = nullptr;
  HWND view_record_ = nullptr;
  HWND run_query_ = nullptr;
  HWND remove_records_ = nullptr;
  HWND remove_queries_ = nullptr;
  HWND record_types_ = nullptr;
  HWND database_edit_ = nullptr;
};
