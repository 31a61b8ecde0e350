#include "framework/child_focus_watch.h"

#include <new>

#include "framework/focus_tracking.h"

namespace {
// One per subclassed child: its own procedure and the watch it reports to,
// null once that watch stopped while another procedure sat over ours (ours
// must then forward until the child is destroyed).
struct Forwarding {
  HWND child;
  WNDPROC own;
  ChildFocusWatch* watch;
  Forwarding* next;
};

// Every subclassed child of the process. Changed only by the child's thread,
// read by any thread's watched children, so guarded.
SRWLOCK g_table_lock = SRWLOCK_INIT;
Forwarding* g_table = nullptr;

struct Found {
  WNDPROC own = nullptr;
  ChildFocusWatch* watch = nullptr;
  bool subclassed = false;
};

Found Find(HWND child) noexcept {
  Found found;
  AcquireSRWLockShared(&g_table_lock);
  for (const Forwarding* entry = g_table; entry; entry = entry->next) {
    if (entry->child == child) {
      found = {entry->own, entry->watch, true};
      break;
    }
  }
  ReleaseSRWLockShared(&g_table_lock);
  return found;
}

bool Subclassed(HWND child, WNDPROC procedure) noexcept {
  return GetWindowLongPtrW(child, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure);
}

// Unlinks the entries `drop` picks and gives each child that is still there,
// and whose procedure is still ours, its own one back. `drop` runs under the
// exclusive lock and may change an entry it keeps.
template <class Drop>
void DropEntries(WNDPROC ours, Drop&& drop) noexcept {
  Forwarding* dropped = nullptr;
  AcquireSRWLockExclusive(&g_table_lock);
  for (Forwarding** link = &g_table; *link;) {
    Forwarding* entry = *link;
    if (drop(*entry)) {
      *link = entry->next;
      entry->next = dropped;
      dropped = entry;
    } else {
      link = &entry->next;
    }
  }
  ReleaseSRWLockExclusive(&g_table_lock);
  while (dropped) {
    Forwarding* entry = dropped;
    dropped = entry->next;
    if (Subclassed(entry->child, ours))
      SetWindowLongPtrW(entry->child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->own));
    delete entry;
  }
}
}  // namespace

void ChildFocusWatch::Watch(HWND window) noexcept {
  Stop();
  window_ = window;
  if (window) EnumChildWindows(window, &WatchChild, reinterpret_cast<LPARAM>(this));
}

void ChildFocusWatch::Stop() noexcept {
  window_ = nullptr;
  // A child with another procedure over ours keeps its entry, reporting to no one.
  DropEntries(&WatchedChildProc, [this](Forwarding& entry) {
    if (entry.watch != this) return false;
    entry.watch = nullptr;
    return Subclassed(entry.child, &WatchedChildProc);
  });
}

BOOL CALLBACK ChildFocusWatch::WatchChild(HWND child, LPARAM watch) noexcept {
  auto* self = reinterpret_cast<ChildFocusWatch*>(watch);
  AcquireSRWLockExclusive(&g_table_lock);
  Forwarding* entry = g_table;
  while (entry && entry->child != child) entry = entry->next;
  // Still forwarding for an earlier watch: only the watch changes.
  if (entry) entry->watch = self;
  ReleaseSRWLockExclusive(&g_table_lock);
  if (entry) return TRUE;

  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
  entry = new (std::nothrow) Forwarding{child, own, self, nullptr};
  if (!entry) return TRUE;
  AcquireSRWLockExclusive(&g_table_lock);
  entry->next = g_table;
  g_table = entry;
  ReleaseSRWLockExclusive(&g_table_lock);
  SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedChildProc));
  return TRUE;
}

LRESULT CALLBACK ChildFocusWatch::WatchedChildProc(HWND child, UINT message, WPARAM wParam,
                                                   LPARAM lParam) noexcept {
  const Found found = Find(child);
  if (message == WM_NCDESTROY && found.subclassed) {
    DropEntries(&WatchedChildProc,
                [child](const Forwarding& entry) { return entry.child == child; });
  }
  const LRESULT result = found.own ? CallWindowProcW(found.own, child, message, wParam, lParam)
                                   : DefWindowProcW(child, message, wParam, lParam);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    // Looked up again: the child's own handling may have ended the watch.
    ChildFocusWatch* watch = Find(child).watch;
    if (watch) watch->OnChildFocusMessage(message, reinterpret_cast<HWND>(wParam));
  }
  return result;
}

void ChildFocusWatch::OnChildFocusMessage(UINT message, HWND other_window) noexcept {
  // Moves between the window and its descendants stay inside.
  if (IsWithin(window_, other_window)) return;
  if (message == WM_SETFOCUS)
    listener_.OnFocusEntered();
  else
    listener_.OnFocusLeft();
}
