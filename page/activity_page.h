#pragma once
// ActivityPage: the activity page dialog and its state. It holds the host
// object handed over by the embedding control, the current database and its
// record types, the two recently-viewed lists, and the handles of the
// dialog's working controls; it answers the host's calls and the user's
// clicks. It knows nothing of OLE containers: the object that embeds it
// (PageOwner) keeps it alive and answers the messages its map leaves alone.
// Single-threaded: every call and message arrives on the thread that made it.
#include <windows.h>
#include <unknwn.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/dialog_window.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "page/list_section.h"

// What the page needs from the object that embeds it.
class PageOwner {
 public:
  // The object whose references keep the page alive; the page holds one
  // while it calls out to the host, which may drop every other. Not counted
  // for the caller.
  virtual IUnknown* PageLifetime() noexcept = 0;
  // Answers a message the page's own map leaves unhandled: TRUE with
  // `result` when handled, FALSE for the dialog's default processing.
  virtual BOOL OnUnhandledPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) noexcept = 0;

 protected:
  ~PageOwner() = default;
};

class ActivityPage : public DialogWindow {
 public:
  // Dialog 104 and string 101 come from `resources`; neither it nor `owner`
  // is owned, and both outlive the page.
  ActivityPage(HMODULE resources, PageOwner& owner) noexcept
      : resources_(resources), owner_(owner) {}
  ~ActivityPage();

  // The host contract (host_contract.cpp): what IHpAdviseEvents and
  // IHvProjectList pass on. Results as those interfaces give them.
  HRESULT AdviseEvent(LONG event) noexcept;
  HRESULT SetActivityHost(IHvActivityHost* host) noexcept;
  HRESULT SetPageContext(short nPageID) noexcept;
  HRESULT DataBaseOpened(BSTR bstrDataBase) noexcept;
  HRESULT RefreshMRUs() noexcept;
  // E_POINTER for a null `pbstrDefRecType`; on failure `*pbstrDefRecType` is untouched.
  HRESULT GetDefaultRecordType(BSTR* pbstrDefRecType) noexcept;
  HRESULT SubmitDefaultRecordType() noexcept;
  HRESULT RunDefaultQuery() noexcept;
  HRESULT DisableOrveltPage() noexcept;

  // The page dialog (page_window.cpp), made hidden as a child of `parent`;
  // null on failure, and while a page window already exists. It shows the
  // state the page holds, no row selected. Destroying the window keeps all
  // page state.
  HWND CreatePageWindow(HWND parent) noexcept;
  void DestroyPageWindow() noexcept { Destroy(); }

  // The page's message map: WM_INITDIALOG and the button and list commands;
  // everything else goes to the owner.
  BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result, DWORD map_id) noexcept override;

 protected:
  void OnWindowDestroyed() noexcept override;

 private:
  // Page window (page_window.cpp)
  LRESULT OnInitDialog() noexcept;
  // A new page window shows what the page holds, without asking the host.
  void ShowHeldState();
  // The button and list commands; FALSE for anything else.
  BOOL HandlePageCommand(UINT message, WPARAM wParam, LRESULT& result) noexcept;

  // The operations below may throw std::bad_alloc; the host contract and the
  // message map catch it (CatchReturn). Each one that calls the host
  // holds its own reference to it for the whole operation, and does nothing
  // while no host is held. Failures: E_OUTOFMEMORY when a BSTR for a host
  // call cannot be made (that call is not made), E_FAIL for a row that has
  // no entry.

  // Database and record types (database_section.cpp)
  void RefreshDataBase();
  // The edit shows CurrentDataBase, up to the 32,767 units a user could type.
  void ShowDataBase();
  // Shows RecordTypes in the combo box, the first one selected. Names from
  // the first one it refuses on are dropped: item k is always RecordTypes[k].
  void ShowRecordTypes() noexcept;
  // One fill of the combo box; stops as soon as `superseded()` tells that a
  // message reached code that changed the names.
  template <class Superseded>
  void FillRecordTypes(Superseded&& superseded) noexcept;
  HRESULT OnChangeDataBase();
  HRESULT OnGo();

  // Settings store (settings_store.cpp); each opens and closes the key.
  bool OpenSettingsKey(IHvActivityHost* host, RegKey& key);
  std::wstring LoadLastDataBase(IHvActivityHost* host);
  std::wstring LoadLastRecordTypes(IHvActivityHost* host);
  void SaveRecordTypes(IHvActivityHost* host, const std::wstring& text);

  // Both lists, each with the host's answer (host_contract.cpp).
  void RefreshLists();

  // A reference to the owner for the length of a call out to the host.
  ComPtr<IUnknown> KeepAlive() noexcept { return ComPtr<IUnknown>(owner_.PageLifetime()); }

  HMODULE resources_;
  PageOwner& owner_;

  ComPtr<IHvActivityHost> ActivityHost;
  // The host's texts exactly as it gave them, up to the first NUL.
  std::wstring CurrentDataBase;
  std::vector<std::wstring> RecordTypes;
  ListSection<RecordList> records_;
  ListSection<QueryList> queries_;

  // Counts the fills of the record types and the changes to them: a fill
  // that finds the count moved after a message to the combo box stops, since
  // that message reached code that changed the names, and starts over.
  unsigned record_type_fills_ = 0;

  // Kept from WM_INITDIALOG until the page window goes.
  HWND record_types_ = nullptr;
  HWND database_edit_ = nullptr;
};
