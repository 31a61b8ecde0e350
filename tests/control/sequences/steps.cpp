#include "control/sequences/steps.h"

#include <random>

namespace {

struct Weighted {
  Action action;
  int weight;
};

// Verbs and clicks weigh most: only with a page window do the clicks reach
// the host. A page window costs about 15 ms under Wine, so 500 sequences of
// 40 steps still take well under a minute.
constexpr Weighted kWeights[] = {
    {Action::kSetClientSite, 8},
    {Action::kInitNew, 4},
    {Action::kLoad, 6},
    {Action::kSave, 6},
    {Action::kDoVerb, 14},
    {Action::kSetObjectRects, 4},
    {Action::kUIDeactivate, 3},
    {Action::kInPlaceDeactivate, 2},
    {Action::kClose, 2},
    {Action::kQuickActivate, 3},
    {Action::kAdvise, 3},
    {Action::kUnadvise, 3},
    {Action::kSetActivityHost, 7},
    {Action::kRefreshMRUs, 4},
    {Action::kDataBaseOpened, 4},
    {Action::kClick, 10},
    {Action::kDoubleClick, 6},
    {Action::kSetExtent, 3},
    {Action::kDesignMode, 1},
    {Action::kRecreate, 1},
    {Action::kKey, 10},
    {Action::kHostAnswers, 4},
    {Action::kHostReacts, 2},
};

}  // namespace

std::vector<Step> GenerateSteps(std::uint32_t seed, int count) {
  int total = 0;
  for (const Weighted& entry : kWeights) total += entry.weight;
  std::mt19937 random(seed);
  std::vector<Step> steps;
  for (int i = 0; i < count; ++i) {
    int pick = static_cast<int>(random() % static_cast<std::uint32_t>(total));
    Action action = kWeights[0].action;
    for (const Weighted& entry : kWeights) {
      if (pick < entry.weight) {
        action = entry.action;
        break;
      }
      pick -= entry.weight;
    }
    steps.push_back({action, static_cast<std::uint32_t>(random())});
  }
  return steps;
}

const char* ActionName(Action action) {
  switch (action) {
    case Action::kSetClientSite:
      return "SetClientSite";
    case Action::kInitNew:
      return "InitNew";
    case Action::kLoad:
      return "Load";
    case Action::kSave:
      return "Save";
    case Action::kDoVerb:
      return "DoVerb";
    case Action::kSetObjectRects:
      return "SetObjectRects";
    case Action::kUIDeactivate:
      return "UIDeactivate";
    case Action::kInPlaceDeactivate:
      return "InPlaceDeactivate";
    case Action::kClose:
      return "Close";
    case Action::kQuickActivate:
      return "QuickActivate";
    case Action::kAdvise:
      return "Advise";
    case Action::kUnadvise:
      return "Unadvise";
    case Action::kSetActivityHost:
      return "SetActivityHost";
    case Action::kRefreshMRUs:
      return "RefreshMRUs";
    case Action::kDataBaseOpened:
      return "DataBaseOpened";
    case Action::kClick:
      return "Click";
    case Action::kDoubleClick:
      return "DoubleClick";
    case Action::kSetExtent:
      return "SetExtent";
    case Action::kDesignMode:
      return "DesignMode";
    case Action::kRecreate:
      return "Recreate";
    case Action::kKey:
      return "Key";
    case Action::kHostAnswers:
      return "HostAnswers";
    case Action::kHostReacts:
      return "HostReacts";
  }
  return "?";
}

std::string Describe(const Step& step) {
  return std::string(ActionName(step.action)) + "(" + std::to_string(step.arg) + ")";
}
