// What a message to a page's child window costs with 200 pages alive in the
// process, against the same with one: a host that keeps many pages open must
// not make each of them slower. The message goes to the records list of the
// first page made, the one any per-process bookkeeping holds longest. Rounds
// with one page come before and after those with 200, three times over; each
// round's ratio is taken against the mean of its two one-page neighbours.
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/bench_figures.h"
#include "common/fake_container.h"
#include "control/create_activity_ctrl.h"
#include "framework/com_ptr.h"
#include "resources/resource_ids.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 21;
constexpr int kCycles = 3;
constexpr int kMessages = 5000;
constexpr int kPages = 200;

// An activated control in `site`, or null.
ComPtr<IOleObject> ActivatedControl(FakeContainer& site) {
  ComPtr<IOleObject> object;
  if (FAILED(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IOleObject,
                                object.out_void())) ||
      FAILED(object->SetClientSite(site.site())) ||
      object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.site(), 0, site.window,
                     &site.position) != S_OK)
    return {};
  return object;
}

void Close(const ComPtr<IOleObject>& object) {
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
}

HWND RecordsList(const ComPtr<IOleObject>& object) {
  ComPtr<IOleWindow> window;
  HWND page = nullptr;
  if (FAILED(object->QueryInterface(IID_IOleWindow, window.out_void())) ||
      FAILED(window->GetWindow(&page)))
    return nullptr;
  return GetDlgItem(page, IDC_RECORDS_LIST);
}

// Microseconds a message, over kMessages of them.
double MessageCost(HWND list) {
  const auto start = Clock::now();
  for (int i = 0; i < kMessages; ++i) SendMessageW(list, LB_GETCOUNT, 0, 0);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kMessages;
}

std::vector<double> Costs(HWND list) {
  std::vector<double> costs;
  for (int round = 0; round < kRounds; ++round) costs.push_back(MessageCost(list));
  return costs;
}

int Run() {
  FakeContainer site;
  site.offer_site_ex = site.offer_ui_window = site.offer_control_site = site.offer_ambient = false;
  const ComPtr<IOleObject> first = ActivatedControl(site);
  HWND list = first ? RecordsList(first) : nullptr;
  if (!list) {
    std::fprintf(stderr, "no activated page\n");
    return 1;
  }
  MessageCost(list);  // warm-up
  std::vector<double> before = Costs(list), many, after;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    std::vector<ComPtr<IOleObject>> others;
    for (int page = 1; page < kPages; ++page) {
      others.push_back(ActivatedControl(site));
      if (!others.back()) {
        std::fprintf(stderr, "page %d could not be activated\n", page + 1);
        return 1;
      }
    }
    const std::vector<double> costs = Costs(list);
    many.insert(many.end(), costs.begin(), costs.end());
    for (const ComPtr<IOleObject>& other : others) Close(other);
    others.clear();
    const std::vector<double> alone = Costs(list);
    after.insert(after.end(), alone.begin(), alone.end());
    // The next cycle's rounds with one page are these.
    if (cycle + 1 < kCycles) before.insert(before.end(), alone.begin(), alone.end());
  }
  Close(first);

  std::vector<double> ratios;
  for (size_t round = 0; round < many.size(); ++round)
    ratios.push_back(many[round] / ((before[round] + after[round]) / 2));
  std::fprintf(stderr,
               "per message: %.3f us with one page, %.3f us with %d, %.3f us with one again "
               "(medians)\n",
               Median(before), Median(many), kPages, Median(after));
  PrintFigure("child_message_200_vs_1_pages", ratios);
  return 0;
}
}  // namespace

int main() {
  OleInitialize(nullptr);
  const int status = Run();
  OleUninitialize();
  return status;
}
