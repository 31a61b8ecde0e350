#pragma once
// What the page should hold and show, as decided by the one host whose
// answers are known: the current database, the record types and both
// recently-viewed lists, taken from that host's answers whenever the page
// asked for them. A host whose answers cannot be predicted makes the model
// forget, until that host is handed over again. Problems come back as text;
// none is empty text.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "common/mock_host.h"

class PageModel {
 public:
  // A new control: nothing held.
  void Reset();
  // Another host filled the page; only the known host's hand-over restores it.
  void Forget() { known_ = false; }
  // DataBaseOpened(`name`) while no host is held.
  void OpenedWithoutHost(const std::wstring& name) { database_ = name; }
  // After a step with `host` held: takes the answers to what the page asked
  // (`calls`, the host's log of the step). A hand-over asks all of them.
  void Follow(const MockHost& host, const std::vector<std::string>& calls);

  // The page window against the model: the buttons follow the selection,
  // GetDefaultRecordType names the combo box's first item (or `own_default`
  // when it is empty), and, while known, the edit, the combo box and the rows
  // show exactly what is held.
  std::string CheckWindow(HWND page, IUnknown* control, const std::wstring& own_default) const;
  // The calls the user's actions made (`calls`) hand back exactly what this
  // model held before them.
  std::string CheckHandedBack(const std::vector<std::string>& calls) const;

  bool known() const { return known_; }

 private:
  using Record = std::array<std::wstring, 5>;
  using Query = std::array<std::wstring, 2>;
  std::wstring RecordRow(const Record& record) const;
  std::wstring QueryRow(const Query& query) const;

  bool known_ = true;
  std::wstring database_;
  std::vector<std::wstring> types_;
  std::vector<Record> records_;
  std::vector<Query> queries_;
};
