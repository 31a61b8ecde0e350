// A container and a host that let go of the control from inside whatever
// they are called for. One session of use (activation, the focus entering the
// page, clicks and keys the container offers through TranslateAccelerator,
// moving, an ambient change, the focus leaving, deactivation, Close) is
// played once per callback it reaches and per misdeed, and the first call of
// that callback does the misdeed. This program's allocator poisons freed
// blocks and holds them back: a use of the freed control crashes or is found
// written to, instead of passing by luck.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/fake_container.h"
#include "common/mock_host.h"
#include "common/quarantine_allocator.h"
#include "common/thread_windows.h"
#include "control/create_activity_ctrl.h"
#include "framework/com_ptr.h"
#include "framework/com_module.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"

namespace {

enum class Misdeed {
  kClose,          // IOleObject::Close(OLECLOSE_NOSAVE)
  kDetachSite,     // SetClientSite(NULL)
  kDropHost,       // SetActivityHost(NULL)
  kRelease,        // the last reference given back, nothing else
  kLetGoEntirely,  // Close, SetClientSite(NULL) and the last Release
  kCallBack,       // RefreshMRUs and DataBaseOpened on the page
};

const Misdeed kMisdeeds[] = {Misdeed::kClose,   Misdeed::kDetachSite,    Misdeed::kDropHost,
                             Misdeed::kRelease, Misdeed::kLetGoEntirely, Misdeed::kCallBack};

std::string MisdeedName(const ::testing::TestParamInfo<Misdeed>& info) {
  static const char* const kNames[] = {"Close",   "DetachSite",    "DropHost",
                                       "Release", "LetGoEntirely", "CallBack"};
  return kNames[static_cast<int>(info.param)];
}

// The callback a log line reports, as the trigger of a misdeed: object and
// method, with the first argument where it tells two kinds of call apart.
std::string CallbackOf(const std::string& line) {
  const size_t open = line.find('(');
  const std::string method = line.substr(0, open);
  if (method.find(".OnFocus") == std::string::npos &&
      method.find(".SetActiveObject") == std::string::npos)
    return method;
  return line.substr(0, line.find_first_of(",)", open)) + ")";
}

// What every session must reach, so that no callback drops out of the run
// unnoticed; CanInPlaceActivate and OnInPlaceActivate come from a site
// without the extended form.
const char* const kCovered[] = {
    "Site.OnInPlaceActivateEx", "Site.CanInPlaceActivate", "Site.OnInPlaceActivate",
    "Site.GetWindow", "Site.GetWindowContext", "Site.Invoke", "Site.OnUIActivate",
    "Site.OnFocus(1)", "Site.OnFocus(0)", "Site.ShowObject", "Site.TranslateAccelerator",
    "Site.OnUIDeactivate", "Site.OnInPlaceDeactivate", "Site.OnShowWindow",
    "Frame.SetActiveObject(active)", "Frame.SetActiveObject(null)", "Frame.SetBorderSpace",
    "UIWindow.SetActiveObject(active)", "UIWindow.SetActiveObject(null)",
    "UIWindow.SetBorderSpace", "Host.GetCurrentDataBase", "Host.GetRecordTypes",
    "Host.GetRegistryKey", "Host.GetRecordMRUs", "Host.GetQueryMRUs", "Host.ChangeDataBase",
    "Host.SubmitRecord", "Host.ViewRecord", "Host.RunQuery", "Host.RemoveRecordMRU",
    "Host.RemoveQueryMRU"};

class KeysHeld {
 public:
  explicit KeysHeld(int key) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof state);
    state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~KeysHeld() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256] = {};
};

// One control in a recording container, with one host, played through one
// session. `trigger` names the callback whose first call does `misdeed`;
// empty for a clean session. Sessions take turns in one container (a new
// top-level window costs as much as the rest of a session).
class Session {
 public:
  Session(FakeContainer& container, bool extendedSite, Misdeed misdeed, std::string trigger)
      : misdeed_(misdeed), trigger_(std::move(trigger)), container_(container) {
    container_.log.Clear();
    container_.offer_site_ex = extendedSite;
    container_.during = [this](const std::string& line) { Reached(CallbackOf(line)); };
    host_.during = [this](const std::string& method) { Reached("Host." + method); };
    host_.current_database = "db";
    host_.record_types = "Bug\nTask";
    host_.record_mrus = "db\nh1\nh2\nfirst\n\ndb\nh3\nh4\nsecond\n\nother\nh5\nh6\nthird\nx\n";
    host_.query_mrus = "db\nAll bugs\n\n\n\nother\nMine\n\n\n\n";
    key_path_ = "Software\\PellwickTests\\LetGo." + std::to_string(GetCurrentProcessId());
    host_.registry_key = key_path_;
    windows_before_ = CountThreadWindows();
    locks_before_ = ThisModule().GetLockCount();
  }

  ~Session() {
    control_.reset();
    container_.during = nullptr;
    container_.active_object = nullptr;
    RegDeleteTreeA(HKEY_CURRENT_USER, key_path_.c_str());
  }

  void Play() {
    if (FAILED(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IUnknown,
                                  control_.out_void()))) {
      ADD_FAILURE() << "no control";
      return;
    }
    container_.active_object = Query<IOleInPlaceActiveObject>().get();
    Step([&] { Query<IOleObject>()->SetClientSite(container_.site()); });
    Step([&] { Query<IHpAdviseEvents>()->SetActivityHost(&host_); });
    Step([&] { Verb(OLEIVERB_INPLACEACTIVATE); });
    // The focus enters the page window itself: UI activation and OnFocus.
    Step([&] { SetFocus(Window()); });
    Step([&] { ClickRow(IDC_RECORDS_LIST, 0, false); });
    Step([&] { ClickRow(IDC_RECORDS_LIST, 0, true); });
    Step([&] { Mnemonic('e'); });
    Step([&] { ClickRow(IDC_QUERIES_LIST, 0, false); });
    Step([&] { Mnemonic('u'); });
    Step([&] { Mnemonic('m'); });
    Step([&] { Mnemonic('g'); });
    Step([&] { Mnemonic('c'); });
    Step([&] { Key(VK_ESCAPE); });
    Step([&] {
      const RECT position = {5, 5, 400, 300};
      const RECT clip = {0, 0, 200, 200};
      Query<IOleInPlaceObject>()->SetObjectRects(&position, &clip);
    });
    Step([&] { Query<IOleControl>()->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR); });
    Step([&] { SetFocus(container_.own_field); });
    Step([&] { Query<IOleInPlaceObject>()->UIDeactivate(); });
    Step([&] { Verb(OLEIVERB_UIACTIVATE); });
    Step([&] { Query<IOleInPlaceObject>()->InPlaceDeactivate(); });
    Step([&] { Verb(OLEIVERB_UIACTIVATE); });
    Step([&] { Query<IOleObject>()->Close(OLECLOSE_NOSAVE); });
    LetGoEntirely();
  }

  // Every callback reached, in the order of its first call.
  const std::vector<std::string>& reached() const { return reached_; }
  bool fired() const { return fired_; }

  // What the session must leave: every reference it took on the container
  // and the host given back, no window and no module lock.
  void ExpectNothingLeft() {
    EXPECT_EQ(container_.ForeignReferences(), 0);
    EXPECT_EQ(host_.count, 1) << "AddRef " << host_.add_refs << ", Release " << host_.releases;
    EXPECT_EQ(CountThreadWindows(), windows_before_);
    EXPECT_EQ(ThisModule().GetLockCount(), locks_before_);
  }

 private:
  template <class Interface>
  ComPtr<Interface> Query() {
    ComPtr<Interface> result;
    if (control_) control_->QueryInterface(__uuidof(Interface), result.out_void());
    return result;
  }

  // Runs `step` while the control is still the session's.
  template <class Action>
  void Step(Action&& step) {
    if (control_) step();
  }

  void Verb(LONG verb) {
    Query<IOleObject>()->DoVerb(verb, nullptr, container_.site(), 0, container_.window,
                                &container_.position);
  }

  HWND Window() {
    HWND window = nullptr;
    if (ComPtr<IOleWindow> ole_window = Query<IOleWindow>()) ole_window->GetWindow(&window);
    return window;
  }

  // `message` for `window`, offered to the control as a container's message loop does.
  HRESULT Offer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG offered = {};
    offered.hwnd = window;
    offered.message = message;
    offered.wParam = wParam;
    offered.lParam = lParam;
    const ComPtr<IOleInPlaceActiveObject> active = Query<IOleInPlaceActiveObject>();
    return active ? active->TranslateAccelerator(&offered) : E_FAIL;
  }

  // A click on a row.
  void ClickRow(int list, int row, bool twice) {
    const HWND box = GetDlgItem(Window(), list);
    RECT rect = {};
    if (!box || SendMessageW(box, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) < 0)
      return;
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, WM_LBUTTONUP}) {
      if (!control_ || !IsWindow(box)) return;
      Offer(box, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
  }

  void Mnemonic(char letter) {
    const KeysHeld alt(VK_MENU);
    Offer(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 | (1 << 29));
  }

  void Key(WPARAM key) { Offer(GetFocus(), WM_KEYDOWN, key, 1); }

  void Reached(const std::string& callback) {
    if (seen_.insert(callback).second) reached_.push_back(callback);
    if (fired_ || callback != trigger_) return;
    fired_ = true;
    Misbehave();
  }

  void Misbehave() {
    switch (misdeed_) {
      case Misdeed::kClose:
        Query<IOleObject>()->Close(OLECLOSE_NOSAVE);
        break;
      case Misdeed::kDetachSite:
        Query<IOleObject>()->SetClientSite(nullptr);
        break;
      case Misdeed::kDropHost:
        Query<IHpAdviseEvents>()->SetActivityHost(nullptr);
        break;
      case Misdeed::kRelease:
        control_.reset();
        break;
      case Misdeed::kLetGoEntirely:
        LetGoEntirely();
        break;
      case Misdeed::kCallBack: {
        Query<IHvProjectList>()->RefreshMRUs();
        BSTR name = MakeBstr("other");
        Query<IHvProjectList>()->DataBaseOpened(name);
        SysFreeString(name);
        break;
      }
    }
  }

  void LetGoEntirely() {
    if (!control_) return;
    Query<IOleObject>()->Close(OLECLOSE_NOSAVE);
    Step([&] { Query<IOleObject>()->SetClientSite(nullptr); });
    Step([&] { Query<IHpAdviseEvents>()->SetActivityHost(nullptr); });
    container_.active_object = nullptr;
    control_.reset();
  }

  const Misdeed misdeed_;
  const std::string trigger_;
  bool fired_ = false;
  std::set<std::string> seen_;
  std::vector<std::string> reached_;
  std::string key_path_;
  int windows_before_ = 0;
  LONG locks_before_ = 0;
  FakeContainer& container_;
  // Declared in this order so that the control goes before the host it calls.
  MockHost host_;
  ComPtr<IUnknown> control_;
};

class LetGoTest : public ::testing::TestWithParam<Misdeed> {};

TEST_P(LetGoTest, EveryCallbackOfASessionMayLetGoOfTheControl) {
  FakeContainer container;
  std::set<std::string> covered;
  for (const bool extendedSite : {true, false}) {
    std::vector<std::string> callbacks;
    {
      Session clean(container, extendedSite, GetParam(), "");
      clean.Play();
      clean.ExpectNothingLeft();
      callbacks = clean.reached();
    }
    for (const std::string& callback : callbacks) {
      if (!covered.insert(callback).second) continue;
      SCOPED_TRACE(callback);
      Session session(container, extendedSite, GetParam(), callback);
      session.Play();
      EXPECT_TRUE(session.fired());
      session.ExpectNothingLeft();
      EXPECT_EQ(FreedBlocksWrittenTo(), 0);
    }
  }
  for (const char* callback : kCovered) EXPECT_EQ(covered.count(callback), 1u) << callback;
}

INSTANTIATE_TEST_SUITE_P(EachMisdeed, LetGoTest, ::testing::ValuesIn(kMisdeeds), MisdeedName);

// More entries than one part of text the page reads at a time holds.
constexpr int kManyEntries = 60000;

std::string ManyRecords() {
  std::string text;
  for (int entry = 0; entry < kManyEntries; ++entry)
    text += "db\nh\n" + std::to_string(entry) + "\nrecord " + std::to_string(entry) + "\n\n\n";
  return text;
}

// The records list subclassed as a host might: its tenth LB_ADDSTRING calls
// back into the page before the list box sees it.
WNDPROC g_list_procedure = nullptr;
int g_rows_added = 0;
std::function<void()> g_inside_fill;

LRESULT CALLBACK ReenteredList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LB_ADDSTRING && ++g_rows_added == 10 && g_inside_fill) {
    const std::function<void()> reaction = std::move(g_inside_fill);
    g_inside_fill = nullptr;
    reaction();
  }
  return CallWindowProcW(g_list_procedure, list, message, wParam, lParam);
}

std::vector<std::string> Rows(HWND list) {
  std::vector<std::string> rows;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    rows.push_back(Utf8(text.c_str()));
  }
  return rows;
}

// A refresh of many records whose fill a host re-enters: the rows end as
// exactly the entries the page holds, and the last row still names its entry.
TEST(LetGoFill, AFillReenteredFromTheListBoxEndsWithTheHeldEntries) {
  struct Case {
    const char* what;
    std::function<void(IHpAdviseEvents* advise, IHvProjectList* project, MockHost& host)> inside;
    bool many;                      // the rows are the many entries
    std::vector<std::string> rows;  // all of them, or the first ones
    const char* last_view;          // ViewRecord of the last row, if any
  };
  const Case cases[] = {
      {"a refresh with three entries",
       [](IHpAdviseEvents*, IHvProjectList* project, MockHost& host) {
         host.record_mrus = "db\na\n\none\n\n\ndb\nb\n\ntwo\n\n\nother\nc\n\nthree\n\n\n";
         project->RefreshMRUs();
       },
       false,
       {"one", "two", "[other] three"},
       "ViewRecord(\"other\", \"c\", \"\", \"three\", \"\")"},
      {"a refresh with none",
       [](IHpAdviseEvents*, IHvProjectList* project, MockHost& host) {
         host.record_mrus = "";
         project->RefreshMRUs();
       },
       false,
       {},
       nullptr},
      {"another database opened",
       [](IHpAdviseEvents*, IHvProjectList* project, MockHost& host) {
         host.current_database = "other";
         BSTR name = MakeBstr("other");
         project->DataBaseOpened(name);
         SysFreeString(name);
       },
       true,
       {"[db] record 0", "[db] record 1"},
       "ViewRecord(\"db\", \"h\", \"59999\", \"record 59999\", \"\")"},
      {"the host withdrawn",
       [](IHpAdviseEvents* advise, IHvProjectList*, MockHost&) {
         advise->SetActivityHost(nullptr);
       },
       true,
       {"record 0", "record 1"},
       nullptr},
  };
  const std::string many = ManyRecords();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    FakeContainer container;
    MockHost host;
    host.current_database = "db";
    host.record_mrus = "db\nh\n\nbefore\n\n\n";
    ComPtr<IUnknown> control;
    ASSERT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IUnknown,
                                 control.out_void()),
              S_OK);
    ComPtr<IOleObject> ole;
    ComPtr<IHpAdviseEvents> advise;
    ComPtr<IHvProjectList> project;
    control->QueryInterface(IID_IOleObject, ole.out_void());
    control->QueryInterface(IID_IHpAdviseEvents, advise.out_void());
    control->QueryInterface(IID_IHvProjectList, project.out_void());
    ASSERT_EQ(ole->SetClientSite(container.site()), S_OK);
    ASSERT_EQ(advise->SetActivityHost(&host), S_OK);
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container.site(), 0, container.window,
                          &container.position),
              S_OK);
    HWND page = nullptr;
    ComPtr<IOleWindow> window;
    control->QueryInterface(IID_IOleWindow, window.out_void());
    ASSERT_EQ(window->GetWindow(&page), S_OK);
    const HWND list = GetDlgItem(page, IDC_RECORDS_LIST);
    g_list_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ReenteredList)));
    g_rows_added = 0;
    g_inside_fill = [&] { test.inside(advise.get(), project.get(), host); };

    host.record_mrus = many;
    EXPECT_EQ(project->RefreshMRUs(), S_OK);
    EXPECT_FALSE(g_inside_fill) << "the fill never reached its tenth row";

    const std::vector<std::string> rows = Rows(list);
    if (test.many) {
      ASSERT_EQ(rows.size(), static_cast<size_t>(kManyEntries));
      EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 2), test.rows);
    } else {
      EXPECT_EQ(rows, test.rows);
    }
    if (test.last_view) {
      SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(rows.size() - 1));
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_RECORDS_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
      host.log.Clear();
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_VIEW_RECORD, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_VIEW_RECORD)));
      EXPECT_TRUE(host.log.Matches({test.last_view}));
    }
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
    advise->SetActivityHost(nullptr);
    ole.reset();
    advise.reset();
    project.reset();
    window.reset();
    control.reset();
    EXPECT_EQ(host.count, 1);
    EXPECT_EQ(container.ForeignReferences(), 0);
    EXPECT_EQ(FreedBlocksWrittenTo(), 0);
  }
}

// An IDispatch client asking for no names at all is answered at once.
TEST(LetGoDispatch, MappingNoNamesTouchesNothing) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(CreateActivityCtrl(nullptr, GetModuleHandleA(nullptr), IID_IDispatch,
                               dispatch.out_void()),
            S_OK);
  DISPID ids[1] = {12345};
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, nullptr, 0, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], 12345);
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, nullptr, 0, LOCALE_USER_DEFAULT, nullptr), S_OK);
}

}  // namespace
