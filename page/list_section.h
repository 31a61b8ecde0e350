#pragma once
// One recently-viewed list of the page: its list box and two buttons, the
// entries it holds, and the host calls on them; `Kind` (list_kinds.h) says
// which list. The page keeps one section per list, routes the list's and
// buttons' commands to it, and hands it the page's own host slot and current
// database for each call: the section reads both anew whenever it needs them
// (a host call may change either) and holds the host only for its own calls.
// Single-threaded.
//
// The operations below may throw std::bad_alloc; the page's boundary catches
// it. Failures: E_OUTOFMEMORY when a BSTR for a host call cannot be made
// (that call is not made), E_FAIL for a row that has no entry.
#include <windows.h>

#include <string>

#include "framework/com_ptr.h"
#include "include/PellwickHost.h"
#include "page/list_kinds.h"
#include "page/mru_text.h"

template <class Kind>
class ListSection {
 public:
  // The page window was made: the section takes its controls, the open
  // button disabled.
  void Attach(HWND page) noexcept;
  // The page window is gone: the section has no controls, and a fill under
  // way stops (the held entries stay for the next window).
  void Detach() noexcept;
  // The section's controls while attached; null otherwise.
  HWND list() const noexcept { return list_; }
  HWND open_button() const noexcept { return open_; }
  HWND remove_button() const noexcept { return remove_; }

  // Asks `host` for the list's text, holds it as it came, and refills the
  // list. Nothing without a host.
  void Refresh(const ComPtr<IHvActivityHost>& host, const std::wstring& current_database);
  // Refills the list from the held entries, rows of `current_database`
  // without their database; no row is selected afterwards, and the buttons
  // follow. Without a window the entries are read all the same.
  void Fill(const std::wstring& current_database);
  // The list's double-click and selection change and the two buttons'
  // clicks: true when `id` and `code` are one of them, with the action's
  // result. Without a host the actions do nothing.
  bool HandleCommand(WORD id, WORD code, const ComPtr<IHvActivityHost>& host,
                     const std::wstring& current_database, HRESULT& result);

 private:
  void OnSelChange() noexcept;
  void EnableButtons(LRESULT selected) noexcept;
  HRESULT Open(const ComPtr<IHvActivityHost>& host);
  HRESULT Remove(const ComPtr<IHvActivityHost>& host, const std::wstring& current_database);

  MruEntries<Kind::kFields> entries_;
  // The fills so far and the changes to the entries: a fill that finds the
  // count moved after a message to its list stops, since that message
  // reached code that changed what the list shows, and starts over.
  unsigned fills_ = 0;
  HWND list_ = nullptr;
  HWND open_ = nullptr;
  HWND remove_ = nullptr;
};

extern template class ListSection<RecordList>;
extern template class ListSection<QueryList>;
