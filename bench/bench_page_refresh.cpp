// RefreshRecordMRUs on a visible page, against the best fill of the same list
// box measured in the same run: the same rows already formatted, added with
// the wide messages, drawing suspended as the page suspends it and storage
// reserved. Prints the ratios of each round's pair, and the memory a
// 100,000-entry refresh takes.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/private_bytes.h"
#include "common/fake_page_owner.h"
#include "common/mock_host.h"
#include "framework/redraw_suspension.h"
#include "resources/resource_ids.h"

namespace {
struct Workload {
  std::wstring text;
  std::string host_text;           // the same, as the host holds it
  std::vector<std::wstring> rows;  // as the page shows them
};

// Fields of 10 to 60 characters; every third entry is of another database.
Workload MakeWorkload(size_t entries) {
  unsigned seed = 12345;
  auto field = [&seed](wchar_t base) {
    seed = seed * 1103515245u + 12345u;
    const size_t length = 10 + (seed >> 16) % 51;
    std::wstring text(length, base);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(base + (i * 7 + seed) % 26);
    return text;
  };
  Workload work;
  work.rows.reserve(entries);
  for (size_t entry = 0; entry < entries; ++entry) {
    const std::wstring db = entry % 3 ? std::wstring(L"current") : field(L'a');
    const std::wstring label = field(L'A');
    const std::wstring detail = field(L'a');
    work.text += db + L"\n" + field(L'a') + L"\n" + field(L'a') + L"\n" + label + L"\n" + detail +
                 L"\n\n";
    const std::wstring row = db == L"current" ? label : L"[" + db + L"] " + label;
    work.rows.push_back(row + L" - " + detail);
  }
  work.host_text = Utf8(work.text);
  return work;
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
  return std::chrono::duration<double>(elapsed).count();
}

double BestFill(HWND list, const std::vector<std::wstring>& rows) {
  const auto start = std::chrono::steady_clock::now();
  {
    const RedrawSuspension redraw(list);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::wstring& row : rows) bytes += (row.size() + 1) * sizeof(wchar_t);
    SendMessageW(list, LB_INITSTORAGE, rows.size(), bytes);
    for (const std::wstring& row : rows)
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
  return Seconds(std::chrono::steady_clock::now() - start);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

std::wstring RowText(HWND list, size_t row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length < 0) return L"(no row)";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

// The page must show what the reference shows, or the comparison means nothing.
bool ShowsTheRows(HWND list, const Workload& work) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  if (count != static_cast<LRESULT>(work.rows.size())) {
    std::fprintf(stderr, "the page shows %ld rows, not %u\n", static_cast<long>(count),
                 static_cast<unsigned>(work.rows.size()));
    return false;
  }
  for (size_t row : {size_t{0}, work.rows.size() / 2, work.rows.size() - 1}) {
    if (RowText(list, row) != work.rows[row]) {
      std::fprintf(stderr, "row %u differs from the reference\n", static_cast<unsigned>(row));
      return false;
    }
  }
  return true;
}

struct Rounds {
  std::vector<double> page, reference;
};

// The page's refresh, the host's own time left out, alternating with the
// reference fill; each starts from the list the other left, of the same rows.
bool Measure(IHvProjectList* project, HWND list, MockHost& host, const Workload& work,
             int rounds, Rounds& times) {
  host.record_mrus = work.host_text;
  project->RefreshMRUs();  // the first refresh of this size sets up what later ones reuse
  Pump();
  for (int round = 0; round < rounds; ++round) {
    // Which goes first alternates, so that drift falls on both alike.
    for (int side = 0; side < 2; ++side) {
      if ((side == 0) == (round % 2 == 0)) {
        times.reference.push_back(BestFill(list, work.rows));
      } else {
        host.answering = {};
        const auto start = std::chrono::steady_clock::now();
        project->RefreshMRUs();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        times.page.push_back(Seconds(elapsed - host.answering));
      }
      Pump();
      if (!ShowsTheRows(list, work)) return false;
    }
  }
  return true;
}

// The highest private bytes seen while `work` runs, sampled by a thread of
// its own; the value after `work` is among the samples.
template <class Work>
size_t PeakPrivateBytes(Work&& work) {
  std::atomic<bool> running{true};
  std::atomic<size_t> peak{PrivateBytes()};
  std::thread sampler([&] {
    while (running.load(std::memory_order_relaxed)) {
      const size_t now = PrivateBytes();
      if (now > peak.load(std::memory_order_relaxed)) peak.store(now, std::memory_order_relaxed);
    }
  });
  work();
  running = false;
  sampler.join();
  return std::max(peak.load(), PrivateBytes());
}

// A 100,000-entry refresh of a page whose lists were empty, so that what the
// refresh keeps counts as well as what it needs on the way: the peak growth
// of private bytes over the size in bytes of the host's text.
std::vector<double> MemoryRatios(IHvProjectList* project, MockHost& host, const Workload& work,
                                 int rounds) {
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    host.record_mrus.reset();
    project->RefreshMRUs();
    Pump();
    host.record_mrus = work.host_text;
    const size_t before = PrivateBytes();
    const size_t peak = PeakPrivateBytes([&] { project->RefreshMRUs(); });
    Pump();
    ratios.push_back(double(peak > before ? peak - before : 0) /
                     double(work.text.size() * sizeof(wchar_t)));
  }
  return ratios;
}

std::vector<double> Ratios(const std::vector<double>& numerators,
                           const std::vector<double>& denominators) {
  std::vector<double> ratios;
  for (size_t i = 0; i < numerators.size() && i < denominators.size(); ++i)
    ratios.push_back(numerators[i] / denominators[i]);
  return ratios;
}

}  // namespace

int main() {
  HWND parent = CreateWindowExW(0, L"Static", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                900, 600, nullptr, nullptr, nullptr, nullptr);
  if (!parent) return 1;
  // The page as the control embeds it, without the control around it.
  const ComPtr<FakePageOwner> owner = FakePageOwner::New();
  IHvProjectList* project = owner.get();
  HWND window = owner->page.CreatePageWindow(parent);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  HWND list = GetDlgItem(window, IDC_RECORDS_LIST);
  MockHost host;
  host.current_database = "current";
  IHpAdviseEvents* advise = owner.get();
  advise->SetActivityHost(&host);
  Pump();

  // Single rounds on the shared machine vary by a factor of two; the
  // medians need many of them.
  const Workload small = MakeWorkload(10000);
  const Workload large = MakeWorkload(100000);
  Rounds times10k, times100k;
  if (!Measure(project, list, host, small, 61, times10k) ||
      !Measure(project, list, host, large, 15, times100k))
    return 1;
  const std::vector<double> memory = MemoryRatios(project, host, large, 5);
  std::fprintf(stderr, "medians: 10k page %.1f ms, fill %.1f ms; 100k page %.1f ms, fill %.1f ms\n",
               Median(times10k.page) * 1e3, Median(times10k.reference) * 1e3,
               Median(times100k.page) * 1e3, Median(times100k.reference) * 1e3);
  PrintFigure("page_refresh_10k_ratio", Ratios(times10k.page, times10k.reference));
  PrintFigure("page_refresh_100k_ratio", Ratios(times100k.page, times100k.reference));
  PrintFigure("page_refresh_100k_vs_10k", Ratios(times100k.page, times10k.page));
  // The list box's own growth, the limit of the one above: Wine's list box
  // takes longer for each row the more rows it holds, LB_INITSTORAGE or not.
  PrintFigure("list_fill_100k_vs_10k", Ratios(times100k.reference, times10k.reference));
  PrintFigure("page_refresh_100k_memory_ratio", memory);

  advise->SetActivityHost(nullptr);
  DestroyWindow(parent);
  return 0;
}
