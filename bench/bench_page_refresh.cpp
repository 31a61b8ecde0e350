// RefreshRecordMRUs on a visible page, against the best fill of the same list
// box measured in the same run: the same rows already formatted, added with
// redraw suspended and storage reserved. Prints the ratios.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "control/activity_ctrl.h"
#include "resources/resource_ids.h"

namespace {
struct Workload {
  std::wstring text;
  std::vector<std::string> rows;  // as the page shows them
};

// Fields of 10 to 60 bytes; every third entry is of another database.
Workload MakeWorkload(size_t entries) {
  unsigned seed = 12345;
  auto field = [&seed](char base) {
    seed = seed * 1103515245u + 12345u;
    const size_t length = 10 + (seed >> 16) % 51;
    std::string text(length, base);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(base + (i * 7 + seed) % 26);
    return text;
  };
  Workload work;
  std::string narrow;
  work.rows.reserve(entries);
  for (size_t entry = 0; entry < entries; ++entry) {
    const std::string db = entry % 3 ? std::string("current") : field('a');
    const std::string label = field('A');
    const std::string detail = field('a');
    narrow += db + "\n" + field('a') + "\n" + field('a') + "\n" + label + "\n" + detail + "\n\n";
    std::string row = db == "current" ? label : "[" + db + "] " + label;
    work.rows.push_back(row + " - " + detail);
  }
  work.text.assign(narrow.begin(), narrow.end());
  return work;
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
  return std::chrono::duration<double>(elapsed).count();
}

double BestFill(HWND list, const std::vector<std::string>& rows) {
  const auto start = std::chrono::steady_clock::now();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const std::string& row : rows) bytes += row.size() + 1;
  SendMessageA(list, LB_INITSTORAGE, rows.size(), bytes);
  for (const std::string& row : rows)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  return Seconds(std::chrono::steady_clock::now() - start);
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Best of `rounds` for the page's refresh; the reference fill alternates with it.
double Measure(IHvProjectList* project, HWND list, BenchHost& host, size_t entries,
               double& reference, int rounds) {
  const Workload work = MakeWorkload(entries);
  host.records = work.text;
  double best = 1e9;
  reference = 1e9;
  for (int round = 0; round < rounds; ++round) {
    reference = std::min(reference, BestFill(list, work.rows));
    Pump();
    host.answering = {};
    const auto start = std::chrono::steady_clock::now();
    project->RefreshMRUs();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    best = std::min(best, Seconds(elapsed - host.answering));
    Pump();
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(entries)) {
      std::fprintf(stderr, "the page shows %ld rows, not %u\n",
                   static_cast<long>(SendMessageA(list, LB_GETCOUNT, 0, 0)),
                   static_cast<unsigned>(entries));
      return -1;
    }
  }
  return best;
}
}  // namespace

int main() {
  HWND parent = CreateWindowExA(0, "Static", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                600, nullptr, nullptr, nullptr, nullptr);
  IHvProjectList* project = nullptr;
  if (!parent || FAILED(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IHvProjectList,
                                           reinterpret_cast<void**>(&project))))
    return 1;
  ActivityPage& page = static_cast<CActivityCtrl*>(project)->Page();
  HWND window = page.CreatePageWindow(parent);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  HWND list = GetDlgItem(window, IDC_RECORDS_LIST);
  BenchHost host;
  IHpAdviseEvents* advise = nullptr;
  project->QueryInterface(IID_IHpAdviseEvents, reinterpret_cast<void**>(&advise));
  advise->SetActivityHost(&host);
  Pump();

  double reference10k = 0;
  double reference100k = 0;
  const double page10k = Measure(project, list, host, 10000, reference10k, 7);
  const double page100k = Measure(project, list, host, 100000, reference100k, 5);
  if (page10k < 0 || page100k < 0) return 1;
  std::fprintf(stderr, "10k: page %.1f ms, fill %.1f ms; 100k: page %.1f ms, fill %.1f ms\n",
               page10k * 1e3, reference10k * 1e3, page100k * 1e3, reference100k * 1e3);
  std::printf("page_refresh_10k_ratio %.3f\n", page10k / reference10k);
  std::printf("page_refresh_100k_ratio %.3f\n", page100k / reference100k);
  std::printf("page_refresh_100k_vs_10k %.3f\n", page100k / page10k);

  advise->SetActivityHost(nullptr);
  advise->Release();
  project->Release();
  DestroyWindow(parent);
  return 0;
}
