#pragma once
// One container or host action with its random argument, and the seeded
// generator of step lists. A step carries everything it needs, so a list with
// steps taken out still replays the same way. No windows.h: plain data.
#include <cstdint>
#include <string>
#include <vector>

enum class Action : std::uint8_t {
  kSetClientSite,  // site A, site B or null
  kInitNew,        // stream or storage
  kLoad,           // good, short, bad version, failing or null stream; storages
  kSave,           // stream or storage, clear-dirty or not, failing stream
  kDoVerb,         // every verb, with the right or a wrong active site
  kSetObjectRects,
  kUIDeactivate,  // or OnDocWindowActivate(FALSE)
  kInPlaceDeactivate,
  kClose,
  kQuickActivate,
  kAdvise,           // event sinks that do or do not take the events; OLE and view sinks
  kUnadvise,         // live and stale cookies; no view sink
  kSetActivityHost,  // good host, hostile host, null
  kRefreshMRUs,
  kDataBaseOpened,
  kClick,        // a button or a list row
  kDoubleClick,  // a list row
  kSetExtent,
  kDesignMode,  // the containers switch their ambient UserMode
  kRecreate,    // final release of the control, then a new one
  kKey,         // Tab or Shift+Tab in from the container, inside; arrows; mnemonics; type-ahead
  kHostAnswers, // the good host's database, record types and lists change
  kHostReacts,  // what the good host does inside its own actions: forget, refresh
};

struct Step {
  Action action;
  std::uint32_t arg;
};

// `count` steps drawn from `seed`; the same seed always gives the same list.
std::vector<Step> GenerateSteps(std::uint32_t seed, int count);

const char* ActionName(Action action);
// "Name(arg)" for a reproduction listing.
std::string Describe(const Step& step);
