#pragma once
// A real control from the built DLL between two recording containers, a
// well-behaved host and hostile hosts, a person at the keyboard and the
// mouse, plus the model of what must hold: who the client site is, whether
// the control is in-place active, whether it is dirty, its extent, what the
// page shows and hands back (PageModel), and where the keyboard focus is. Apply runs one step and checks every invariant
// afterwards; Finish gives the control its final release and checks that
// nothing of it remains. Problems come back as text; none is empty text.
#include <memory>
#include <string>
#include <vector>

#include "common/fake_advise_sink.h"
#include "common/fake_container.h"
#include "common/fake_event_sink.h"
#include "common/mock_host.h"
#include "control/control_ids.h"
#include "control/sequences/page_model.h"
#include "control/sequences/steps.h"
#include "framework/com_ptr.h"
#include "server/pellwick_dll.h"

class SequenceWorld {
 public:
  explicit SequenceWorld(PellwickDll& dll);
  ~SequenceWorld();
  SequenceWorld(const SequenceWorld&) = delete;
  SequenceWorld& operator=(const SequenceWorld&) = delete;

  std::string Apply(const Step& step);
  std::string Finish();

 private:
  struct Model {
    int site = 0;  // 0 none, 1 container A, 2 container B
    bool in_place = false;
    bool keeps_in_place_site = false;  // found on activation, dropped by Close
    bool dirty = false;
    SIZEL extent = {};
    bool design = false;
    std::vector<DWORD> cookies;      // event connections
    std::vector<DWORD> ole_cookies;  // IOleObject::Advise connections
    bool view_sink = false;          // the view advise sink is set
    int host = 0;                    // held: 0 none, 1 the good host, 2 another
  };

  std::string Run(const Step& step);
  std::string Check();
  std::string ReleaseAndCheck();
  std::string NewControl();
  IOleClientSite* Site(int which);
  HWND PageWindow();

  std::string DoVerb(std::uint32_t arg);
  std::string Load(std::uint32_t arg);
  std::string Save(std::uint32_t arg);
  std::string QuickActivate(std::uint32_t arg);
  std::string Advise(std::uint32_t arg);
  std::string Unadvise(std::uint32_t arg);
  std::string Close(std::uint32_t arg);
  std::string SetActivityHost(std::uint32_t arg);
  std::string Click(std::uint32_t arg, bool twice);
  std::string Key(std::uint32_t arg);
  std::string HostAnswers(std::uint32_t arg);
  void HostReacts(std::uint32_t arg);
  bool FocusInPage();
  FakeContainer& Holding(HWND page) { return GetParent(page) == b_.window ? b_ : a_; }

  PellwickDll& dll_;
  FakeContainer a_, b_;
  MockHost good_host_;
  std::vector<std::unique_ptr<MockHost>> hostile_hosts_;
  // Hosts that close or deactivate the control from inside one of their
  // methods, as a host navigating away does.
  std::vector<std::unique_ptr<MockHost>> closing_hosts_;
  FakeEventSink good_sink_{DIID_IHvActivityCtrlEvents, true};
  FakeEventSink bad_sink_{DIID_IHvActivityCtrlEvents, false};
  FakeAdviseSink ole_sink_, view_sink_;
  ComPtr<IUnknown> control_;
  Model model_;
  PageModel page_;
  std::wstring own_default_;  // the default record type of a page without types
  // Per container: told OnFocus(TRUE) last, so OnFocus(FALSE) is due next.
  bool focus_told_[2] = {};
  SIZEL initial_extent_ = {};
  std::vector<HWND> page_windows_;
  DWORD stale_cookie_ = 0x7FFF0000;
};

// What the sequences reached, summed over every run of the program, so a
// run can show that its steps got past the cheap early exits.
struct SequenceCoverage {
  unsigned long page_windows = 0;  // page windows created
  unsigned long clicks = 0;        // clicks and double-clicks on a shown page
  unsigned long keys = 0;          // keys offered to a page that had the focus
  unsigned long host_calls = 0;    // calls the page made on hosts
  unsigned long misdeeds = 0;      // hostile acts done by hosts
  unsigned long drops = 0;         // controls whose last reference a host dropped
};
SequenceCoverage& Coverage();

// Runs `steps` on a fresh world and returns the first problem, naming the
// step ("step 3 Close(7): ..."), or empty text. Failures reported by the
// mocks through GoogleTest are caught and count as problems.
std::string RunSequence(PellwickDll& dll, const std::vector<Step>& steps);
