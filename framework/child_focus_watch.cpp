#include "framework/child_focus_watch.h"

#include <cstdint>
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

// Every subclassed child of the process, hashed by its handle: every message
// to a watched child looks its record up, and a host may keep hundreds of
// pages open. Changed only by the child's thread, read by any thread's
// watched children, so guarded.
SRWLOCK g_table_lock = SRWLOCK_INIT;
Forwarding** g_buckets = nullptr;
size_t g_bucket_count = 0;  // a power of two, or 0 while the table is empty
size_t g_entries = 0;

constexpr size_t kFirstBucketCount = 64;

// Handles differ mostly in their low bits, by steps of two under Wine; the
// multiplication spreads them over all buckets. Only the low 32 bits of a
// window handle are significant, whatever the word size.
size_t BucketOf(HWND child, size_t bucket_count) noexcept {
  const auto value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(child));
  return static_cast<size_t>((value * 0x9E3779B9u) >> 8) & (bucket_count - 1);
}

// Under the lock.
Forwarding* FindLocked(HWND child) noexcept {
  if (!g_bucket_count) return nullptr;
  Forwarding* entry = g_buckets[BucketOf(child, g_bucket_count)];
  while (entry && entry->child != child) entry = entry->next;
  return entry;
}

// Under the exclusive lock. Keeps about one entry a bucket; when no memory is
// left for more buckets the chains only grow longer. False when the table
// has no bucket at all and cannot get one.
bool Insert(Forwarding* entry) noexcept {
  if (g_entries >= g_bucket_count) {
    const size_t count = g_bucket_count ? g_bucket_count * 2 : kFirstBucketCount;
    if (auto** buckets = new (std::nothrow) Forwarding*[count](); buckets) {
      for (size_t bucket = 0; bucket < g_bucket_count; ++bucket) {
        for (Forwarding* moved = g_buckets[bucket]; moved;) {
          Forwarding* next = moved->next;
          Forwarding*& head = buckets[BucketOf(moved->child, count)];
          moved->next = head;
          head = moved;
          moved = next;
        }
      }
      delete[] g_buckets;
      g_buckets = buckets;
      g_bucket_count = count;
    }
  }
  if (!g_bucket_count) return false;
  Forwarding*& head = g_buckets[BucketOf(entry->child, g_bucket_count)];
  entry->next = head;
  head = entry;
  ++g_entries;
  return true;
}

struct Found {
  WNDPROC own = nullptr;
  ChildFocusWatch* watch = nullptr;
  bool subclassed = false;
};

Found Find(HWND child) noexcept {
  Found found;
  AcquireSRWLockShared(&g_table_lock);
  if (const Forwarding* entry = FindLocked(child)) found = {entry->own, entry->watch, true};
  ReleaseSRWLockShared(&g_table_lock);
  return found;
}

bool Subclassed(HWND child, WNDPROC procedure) noexcept {
  return GetWindowLongPtrW(child, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure);
}

// Unlinks the entries `drop` picks and gives each child that is still there,
// and whose procedure is still ours, its own one back. `drop` runs under the
// exclusive lock and may change an entry it keeps. With `only`, just that
// child's bucket is looked at.
template <class Drop>
void DropEntries(WNDPROC ours, HWND only, Drop&& drop) noexcept {
  Forwarding* dropped = nullptr;
  AcquireSRWLockExclusive(&g_table_lock);
  const size_t first = only && g_bucket_count ? BucketOf(only, g_bucket_count) : 0;
  const size_t end = only && g_bucket_count ? first + 1 : g_bucket_count;
  for (size_t bucket = first; bucket < end; ++bucket) {
    for (Forwarding** link = &g_buckets[bucket]; *link;) {
      Forwarding* entry = *link;
      if (drop(*entry)) {
        *link = entry->next;
        entry->next = dropped;
        dropped = entry;
        --g_entries;
      } else {
        link = &entry->next;
      }
    }
  }
  if (!g_entries) {
    // No page left: the process keeps nothing of the table.
    delete[] g_buckets;
    g_buckets = nullptr;
    g_bucket_count = 0;
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
  DropEntries(&WatchedChildProc, nullptr, [this](Forwarding& entry) {
    if (entry.watch != this) return false;
    entry.watch = nullptr;
    return Subclassed(entry.child, &WatchedChildProc);
  });
}

BOOL CALLBACK ChildFocusWatch::WatchChild(HWND child, LPARAM watch) noexcept {
  auto* self = reinterpret_cast<ChildFocusWatch*>(watch);
  AcquireSRWLockExclusive(&g_table_lock);
  Forwarding* entry = FindLocked(child);
  // Still forwarding for an earlier watch: only the watch changes.
  if (entry) entry->watch = self;
  ReleaseSRWLockExclusive(&g_table_lock);
  if (entry) return TRUE;

  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
  entry = new (std::nothrow) Forwarding{child, own, self, nullptr};
  if (!entry) return TRUE;
  AcquireSRWLockExclusive(&g_table_lock);
  const bool inserted = Insert(entry);
  ReleaseSRWLockExclusive(&g_table_lock);
  if (!inserted) {
    delete entry;
    return TRUE;
  }
  SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedChildProc));
  return TRUE;
}

LRESULT CALLBACK ChildFocusWatch::WatchedChildProc(HWND child, UINT message, WPARAM wParam,
                                                   LPARAM lParam) noexcept {
  const Found found = Find(child);
  if (message == WM_NCDESTROY && found.subclassed) {
    DropEntries(&WatchedChildProc, child,
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
