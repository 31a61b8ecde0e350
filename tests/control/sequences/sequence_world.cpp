#include "control/sequences/sequence_world.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "common/fake_stream.h"
#include "common/thread_windows.h"
#include "control/control_ids.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"

namespace {

const char kSettingsKey[] = "Software\\PellwickTests\\Sequences";

// Successive small choices taken from one random step argument.
class Pick {
 public:
  explicit Pick(std::uint32_t value) : value_(value) {}
  std::uint32_t Next(std::uint32_t choices) {
    const std::uint32_t chosen = value_ % choices;
    value_ /= choices;
    return chosen;
  }

 private:
  std::uint32_t value_;
};

std::string Hex(long value) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// Empty text when `got` is `want`, otherwise what differed.
std::string Expect(const char* call, HRESULT got, HRESULT want) {
  if (got == want) return "";
  return std::string(call) + " answered " + Hex(got) + ", expected " + Hex(want);
}

#define RETURN_IF(problem)              \
  do {                                  \
    std::string found_ = (problem);     \
    if (!found_.empty()) return found_; \
  } while (0)

template <class Interface>
ComPtr<Interface> Query(IUnknown* object) {
  ComPtr<Interface> result;
  if (object) object->QueryInterface(__uuidof(Interface), result.out_void());
  return result;
}

std::string PropertyBytes(DWORD version, LONG cx, LONG cy) {
  std::string bytes(12, '\0');
  std::memcpy(&bytes[0], &version, 4);
  std::memcpy(&bytes[4], &cx, 4);
  std::memcpy(&bytes[8], &cy, 4);
  return bytes;
}

ComPtr<IStorage> MemoryStorage() {
  ComPtr<ILockBytes> bytes;
  ComPtr<IStorage> storage;
  if (SUCCEEDED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.out())))
    StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                 0, storage.out());
  return storage;
}

std::string ContentsOf(IStorage* storage) {
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                 stream.out())))
    return "(no Contents stream)";
  char buffer[64];
  ULONG read = 0;
  stream->Read(buffer, sizeof buffer, &read);
  return std::string(buffer, read);
}

// The container's children that are not its own field: the control's.
std::vector<HWND> PlacedIn(const FakeContainer& container) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(container.window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    if (child != container.own_field) children.push_back(child);
  return children;
}

void ConfigureHost(MockHost& host) {
  host.current_database = "db";
  host.record_types = "Bug\nTask";
  host.registry_key = kSettingsKey;
  host.record_mrus = "db\nh1\nh2\nfirst\n\ndb\nh1\nh2\nsecond\n\nother\nh1\nh2\nthird\ndetail\n";
  host.query_mrus = "db\nAll bugs\n\n\n\nother\nMine\n\n\n\n";
}

bool ReleasedItself(const MockHost& host) {
  return host.misdeed == Misdeed::kReleaseItself && host.misdeeds_done > 0;
}

}  // namespace

SequenceCoverage& Coverage() {
  static SequenceCoverage coverage;
  return coverage;
}

SequenceWorld::SequenceWorld(PellwickDll& dll) : dll_(dll) {
  a_.show_property_frame = S_OK;  // the system property frame would be modal
  b_.show_property_frame = S_OK;
  b_.position = {40, 30, 500, 400};
  ConfigureHost(good_host_);
}

SequenceWorld::~SequenceWorld() {
  control_.reset();
  for (const auto& host : hostile_hosts_) Coverage().misdeeds += host->misdeeds_done;
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

IOleClientSite* SequenceWorld::Site(int which) {
  return which == 1 ? a_.site() : which == 2 ? b_.site() : nullptr;
}

HWND SequenceWorld::PageWindow() {
  HWND window = nullptr;
  ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>(control_.get());
  if (!in_place || in_place->GetWindow(&window) != S_OK) return nullptr;
  bool known = false;
  for (HWND seen : page_windows_) known = known || seen == window;
  if (!known) {
    page_windows_.push_back(window);
    ++Coverage().page_windows;
  }
  return window;
}

std::string SequenceWorld::NewControl() {
  ComPtr<IClassFactory> factory;
  RETURN_IF(Expect("DllGetClassObject",
                   dll_.get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void()),
                   S_OK));
  RETURN_IF(Expect("CreateInstance",
                   factory->CreateInstance(nullptr, IID_IUnknown, control_.out_void()), S_OK));
  const bool design = model_.design;
  model_ = Model();
  model_.design = design;
  page_.Reset();
  focus_told_[0] = focus_told_[1] = false;
  if (own_default_.empty()) {
    Bstr type;
    Query<IHvProjectList>(control_.get())->GetDefaultRecordType(type.out());
    own_default_.assign(type.get(), SysStringLen(type.get()));
  }
  SIZEL extent = {};
  RETURN_IF(Expect("GetExtent",
                   Query<IOleObject>(control_.get())->GetExtent(DVASPECT_CONTENT, &extent), S_OK));
  if (initial_extent_.cx == 0) initial_extent_ = extent;
  if (extent.cx != initial_extent_.cx || extent.cy != initial_extent_.cy)
    return "a new control starts with another extent";
  model_.extent = extent;
  return "";
}

// The container's OnFocus calls alternate, TRUE first.
std::string FocusReports(FakeContainer& container, bool& told_inside) {
  for (const std::string& call : container.log.calls()) {
    const bool inside = call == "Site.OnFocus(1)";
    if (!inside && call != "Site.OnFocus(0)") continue;
    if (inside == told_inside)
      return inside ? "OnFocus(TRUE) twice" : "OnFocus(FALSE) without OnFocus(TRUE)";
    told_inside = inside;
  }
  return "";
}

std::string SequenceWorld::Apply(const Step& step) {
  if (!control_) RETURN_IF(NewControl());
  const PageModel before = page_;
  const bool focus_was_inside = FocusInPage();
  RETURN_IF(Run(step));
  RETURN_IF(FocusReports(a_, focus_told_[0]));
  RETURN_IF(FocusReports(b_, focus_told_[1]));
  if (model_.host == 1) page_.Follow(good_host_, good_host_.log.calls());
  RETURN_IF(before.CheckHandedBack(good_host_.log.calls()));
  // Only counted: the invariants, not the call orders, are checked here.
  a_.log.Clear();
  b_.log.Clear();
  const auto count_calls = [](MockHost& host) {
    Coverage().host_calls += host.log.calls().size();
    host.log.Clear();
  };
  count_calls(good_host_);
  for (auto& host : hostile_hosts_) count_calls(*host);
  for (auto& host : closing_hosts_) count_calls(*host);
  // A hostile host may have dropped the page's last reference.
  if (!control_) {
    if (step.action != Action::kRecreate) ++Coverage().drops;
    return ReleaseAndCheck();
  }
  RETURN_IF(Check());
  // Nothing a user or a host does here may leave the keyboard nowhere.
  const HWND page = PageWindow();
  if (focus_was_inside && !GetFocus() && page && IsWindowVisible(page))
    return "the keyboard focus was lost";
  return "";
}

bool SequenceWorld::FocusInPage() {
  const HWND page = PageWindow();
  const HWND focus = GetFocus();
  return page && focus && (focus == page || IsChild(page, focus));
}

std::string SequenceWorld::Finish() { return ReleaseAndCheck(); }

std::string SequenceWorld::Check() {
  ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(control_.get());
  RETURN_IF(Expect("IsDirty", persist->IsDirty(), model_.dirty ? S_OK : S_FALSE));

  SIZEL extent = {};
  Query<IOleObject>(control_.get())->GetExtent(DVASPECT_CONTENT, &extent);
  if (extent.cx != model_.extent.cx || extent.cy != model_.extent.cy)
    return "extent " + std::to_string(extent.cx) + "x" + std::to_string(extent.cy) + ", expected " +
           std::to_string(model_.extent.cx) + "x" + std::to_string(model_.extent.cy);

  const HWND page = PageWindow();
  const bool exists = page && IsWindow(page);
  if (exists != model_.in_place)
    return model_.in_place ? "in-place active without a page window"
                           : "a page window while not in-place active";
  std::vector<HWND> children = PlacedIn(a_);
  for (HWND child : PlacedIn(b_)) children.push_back(child);
  if (children.size() != (exists ? 1u : 0u) || (exists && children[0] != page))
    return std::to_string(children.size()) + " windows in the containers";
  if (exists) RETURN_IF(page_.CheckWindow(page, control_.get(), own_default_));

  ComPtr<IOleClientSite> site;
  Query<IOleObject>(control_.get())->GetClientSite(site.out());
  if (site.get() != Site(model_.site)) return "GetClientSite gave another site";

  if (good_sink_.count != 1 + static_cast<long>(model_.cookies.size()) || bad_sink_.count != 1)
    return "event sink references " + std::to_string(good_sink_.count - 1) + " for " +
           std::to_string(model_.cookies.size()) + " connections";
  if (ole_sink_.count != 1 + static_cast<long>(model_.ole_cookies.size()))
    return "OLE advise sink references " + std::to_string(ole_sink_.count - 1) + " for " +
           std::to_string(model_.ole_cookies.size()) + " connections";
  if (view_sink_.count != (model_.view_sink ? 2 : 1))
    return "view advise sink references " + std::to_string(view_sink_.count - 1);

  long held = good_host_.count - 1;
  for (const auto& host : hostile_hosts_) held += host->count - (ReleasedItself(*host) ? 0 : 1);
  for (const auto& host : closing_hosts_) held += host->count - 1;
  if (held < 0 || held > 1) return std::to_string(held) + " references on hosts";

  if (model_.site == 0 && !model_.keeps_in_place_site &&
      (a_.ForeignReferences() != 0 || b_.ForeignReferences() != 0))
    return "container references kept without a site";
  return "";
}

std::string SequenceWorld::ReleaseAndCheck() {
  control_.reset();
  RETURN_IF(Expect("DllCanUnloadNow", dll_.can_unload_now(), S_OK));
  for (HWND window : page_windows_)
    if (IsWindow(window)) return "a page window outlived the control";
  page_windows_.clear();
  if (!PlacedIn(a_).empty() || !PlacedIn(b_).empty())
    return "a window stayed in a container";
  if (a_.ForeignReferences() != 0 || b_.ForeignReferences() != 0)
    return "the control kept container references";
  if (good_sink_.count != 1 || bad_sink_.count != 1 || ole_sink_.count != 1 ||
      view_sink_.count != 1)
    return "a sink kept a reference";
  if (good_host_.count != 1) return "the good host kept " + std::to_string(good_host_.count - 1);
  for (const auto& host : hostile_hosts_)
    if (host->count != (ReleasedItself(*host) ? 0 : 1)) return "a hostile host kept a reference";
  for (const auto& host : closing_hosts_)
    if (host->count != 1) return "a closing host kept a reference";
  return "";
}

std::string SequenceWorld::Run(const Step& step) {
  Pick pick(step.arg);
  IUnknown* control = control_.get();
  switch (step.action) {
    case Action::kSetClientSite: {
      // Mostly a site: without one nothing activates.
      const std::uint32_t chosen = pick.Next(5);
      const int which = chosen == 4 ? 0 : static_cast<int>(chosen / 2 + 1);
      RETURN_IF(
          Expect("SetClientSite", Query<IOleObject>(control)->SetClientSite(Site(which)), S_OK));
      model_.site = which;
      return "";
    }
    case Action::kInitNew: {
      if (pick.Next(2)) {
        RETURN_IF(Expect("InitNew", Query<IPersistStreamInit>(control)->InitNew(), S_OK));
      } else {
        ComPtr<IStorage> storage = MemoryStorage();
        RETURN_IF(Expect("InitNew(storage)",
                         Query<IPersistStorage>(control)->InitNew(storage.get()), S_OK));
      }
      model_.dirty = true;
      return "";
    }
    case Action::kLoad:
      return Load(step.arg);
    case Action::kSave:
      return Save(step.arg);
    case Action::kDoVerb:
      return DoVerb(step.arg);
    case Action::kSetObjectRects: {
      const LONG left = static_cast<LONG>(pick.Next(400)), top = static_cast<LONG>(pick.Next(300));
      const RECT position = {left, top, left + 1 + static_cast<LONG>(pick.Next(700)),
                             top + 1 + static_cast<LONG>(pick.Next(500))};
      const RECT clip = {0, 0, static_cast<LONG>(pick.Next(900)),
                         static_cast<LONG>(pick.Next(700))};
      const bool null_position = pick.Next(6) == 0;
      return Expect("SetObjectRects",
                    Query<IOleInPlaceObject>(control)->SetObjectRects(
                        null_position ? nullptr : &position, &clip),
                    null_position ? E_POINTER : S_OK);
    }
    case Action::kUIDeactivate:
      if (pick.Next(2))
        return Expect("UIDeactivate", Query<IOleInPlaceObject>(control)->UIDeactivate(), S_OK);
      return Expect("OnDocWindowActivate",
                    Query<IOleInPlaceActiveObject>(control)->OnDocWindowActivate(FALSE), S_OK);
    case Action::kInPlaceDeactivate:
      RETURN_IF(Expect("InPlaceDeactivate", Query<IOleInPlaceObject>(control)->InPlaceDeactivate(),
                       S_OK));
      model_.in_place = false;
      return "";
    case Action::kClose:
      return Close(step.arg);
    case Action::kQuickActivate:
      return QuickActivate(step.arg);
    case Action::kAdvise:
      return Advise(step.arg);
    case Action::kUnadvise:
      return Unadvise(step.arg);
    case Action::kSetActivityHost:
      return SetActivityHost(step.arg);
    case Action::kRefreshMRUs:
      return Expect("RefreshMRUs", Query<IHvProjectList>(control)->RefreshMRUs(), S_OK);
    case Action::kDataBaseOpened: {
      static const char* const kNames[] = {"db", "other", ""};
      Bstr name(MakeBstr(kNames[pick.Next(3)]));
      RETURN_IF(Expect("DataBaseOpened",
                       Query<IHvProjectList>(control)->DataBaseOpened(name.get()), S_OK));
      if (model_.host == 0) page_.OpenedWithoutHost(std::wstring(name.get(), SysStringLen(name.get())));
      return "";
    }
    case Action::kClick:
      return Click(step.arg, false);
    case Action::kDoubleClick:
      return Click(step.arg, true);
    case Action::kSetExtent: {
      SIZEL size = {1 + static_cast<LONG>(pick.Next(30000)),
                    1 + static_cast<LONG>(pick.Next(30000))};
      const HRESULT hr = pick.Next(2)
                             ? Query<IOleObject>(control)->SetExtent(DVASPECT_CONTENT, &size)
                             : Query<IQuickActivate>(control)->SetContentExtent(&size);
      RETURN_IF(Expect("SetExtent", hr, S_OK));
      model_.extent = size;
      return "";
    }
    case Action::kDesignMode:
      model_.design = !model_.design;
      a_.user_mode = b_.user_mode = model_.design ? VARIANT_FALSE : VARIANT_TRUE;
      return Expect("OnAmbientPropertyChange",
                    Query<IOleControl>(control)->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE),
                    S_OK);
    case Action::kRecreate:
      return ReleaseAndCheck();
    case Action::kKey:
      return Key(step.arg);
    case Action::kHostAnswers:
      return HostAnswers(step.arg);
    case Action::kHostReacts:
      HostReacts(step.arg);
      return "";
  }
  return "unknown action";
}

std::string SequenceWorld::DoVerb(std::uint32_t arg) {
  // Every verb, the activating ones more often.
  static const LONG kVerbs[] = {0,  0,  1,  7,  -1, -1, -2, -3, -4,
                                -4, -4, -5, -5, -5, -6, -7, -8, -42};
  Pick pick(arg);
  const LONG verb = kVerbs[pick.Next(sizeof kVerbs / sizeof kVerbs[0])];
  // Mostly the control's own site, sometimes none or either container's.
  const int choice = static_cast<int>(pick.Next(8));
  int active = choice < 5 ? model_.site : choice - 5;
  // Without any site the properties verb would open the modal system frame.
  if (verb == OLEIVERB_PROPERTIES && active == 0 && model_.site == 0) active = 1;
  FakeContainer& parent = active == 2 ? b_ : a_;
  const HRESULT hr = Query<IOleObject>(control_.get())
                         ->DoVerb(verb, nullptr, Site(active), 0, parent.window, &parent.position);
  if (active != model_.site) return Expect("DoVerb with another site", hr, E_UNEXPECTED);

  bool activates = false;
  HRESULT want = S_OK;
  if (verb >= 0) {
    activates = !(model_.site != 0 && model_.design);
    if (verb > 0) want = OLEOBJ_S_INVALIDVERB;
  } else if (verb == OLEIVERB_SHOW || verb == OLEIVERB_UIACTIVATE ||
             verb == OLEIVERB_INPLACEACTIVATE) {
    activates = true;
  } else if (verb < OLEIVERB_PROPERTIES) {
    want = E_NOTIMPL;
  }
  RETURN_IF(Expect(("DoVerb(" + std::to_string(verb) + ")").c_str(), hr, want));
  if (activates && model_.site != 0) {
    model_.in_place = true;
    model_.keeps_in_place_site = true;
  }
  return "";
}

std::string SequenceWorld::Load(std::uint32_t arg) {
  Pick pick(arg);
  const LONG cx = 100 + static_cast<LONG>(pick.Next(20000));
  const LONG cy = 100 + static_cast<LONG>(pick.Next(20000));
  const DWORD good_version = pick.Next(2) ? 0xA00 : 0x900;
  ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(control_.get());
  ComPtr<IPersistStorage> storage_persist = Query<IPersistStorage>(control_.get());
  const auto loaded = [&] {
    model_.extent = {cx, cy};
    model_.dirty = false;
  };
  switch (pick.Next(8)) {
    case 0: {
      FakeStream stream(PropertyBytes(good_version, cx, cy));
      RETURN_IF(Expect("Load", persist->Load(&stream), S_OK));
      if (stream.count != 1) return "Load kept the stream";
      loaded();
      return "";
    }
    case 1: {
      FakeStream stream(PropertyBytes(0xA00, cx, cy).substr(0, 8));
      RETURN_IF(Expect("Load(8 bytes)", persist->Load(&stream), E_FAIL));
      model_.extent.cx = cx;
      return "";
    }
    case 2: {
      FakeStream stream(PropertyBytes(0xA01, cx, cy));
      return Expect("Load(version 0xA01)", persist->Load(&stream), E_FAIL);
    }
    case 3: {
      FakeStream stream(PropertyBytes(0xA00, cx, cy));
      stream.fail_at = 4 * pick.Next(3);
      RETURN_IF(Expect("Load(read fault)", persist->Load(&stream), STG_E_READFAULT));
      if (stream.fail_at == 8) model_.extent.cx = cx;
      return "";
    }
    case 4:
      return Expect("Load(null)", persist->Load(nullptr), E_INVALIDARG);
    case 5: {
      ComPtr<IStorage> storage = MemoryStorage();
      ComPtr<IStream> contents;
      storage->CreateStream(L"Contents", STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0,
                            contents.out());
      const std::string bytes = PropertyBytes(good_version, cx, cy);
      contents->Write(bytes.data(), 12, nullptr);
      contents.reset();
      RETURN_IF(Expect("Load(storage)", storage_persist->Load(storage.get()), S_OK));
      loaded();
      return "";
    }
    case 6: {
      ComPtr<IStorage> storage = MemoryStorage();
      const HRESULT hr = storage_persist->Load(storage.get());
      if (SUCCEEDED(hr)) return "Load of a storage without Contents succeeded";
      return "";
    }
    default:
      return Expect("Load(null storage)", storage_persist->Load(nullptr), E_INVALIDARG);
  }
}

std::string SequenceWorld::Save(std::uint32_t arg) {
  Pick pick(arg);
  const std::string expected = PropertyBytes(0xA00, model_.extent.cx, model_.extent.cy);
  ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(control_.get());
  ComPtr<IPersistStorage> storage_persist = Query<IPersistStorage>(control_.get());
  const BOOL clear = pick.Next(2);
  switch (pick.Next(5)) {
    case 0: {
      FakeStream stream;
      RETURN_IF(Expect("Save", persist->Save(&stream, clear), S_OK));
      if (stream.bytes != expected) return "Save wrote other bytes than version and extent";
      if (stream.count != 1) return "Save kept the stream";
      if (clear) model_.dirty = false;
      return "";
    }
    case 1: {
      FakeStream stream;
      stream.fail_at = 4 * pick.Next(3);
      stream.error = STG_E_MEDIUMFULL;
      return Expect("Save(write fault)", persist->Save(&stream, TRUE), STG_E_MEDIUMFULL);
    }
    case 2:
      return Expect("Save(null)", persist->Save(nullptr, TRUE), E_INVALIDARG);
    case 3: {
      ComPtr<IStorage> storage = MemoryStorage();
      RETURN_IF(Expect("Save(storage)", storage_persist->Save(storage.get(), clear), S_OK));
      RETURN_IF(Expect("SaveCompleted", storage_persist->SaveCompleted(nullptr), S_OK));
      if (ContentsOf(storage.get()) != expected) return "Save(storage) wrote other Contents";
      if (clear) model_.dirty = false;
      return "";
    }
    default:
      return Expect("Save(null storage)", storage_persist->Save(nullptr, TRUE), E_INVALIDARG);
  }
}

std::string SequenceWorld::QuickActivate(std::uint32_t arg) {
  Pick pick(arg);
  const int which = static_cast<int>(pick.Next(3));
  const std::uint32_t sink = pick.Next(3);
  const bool view = pick.Next(2) == 0;
  QACONTAINER container = {};
  container.cbSize = sizeof container;
  container.pClientSite = Site(which);
  container.pUnkEventSink = sink == 1   ? static_cast<IUnknown*>(&good_sink_)
                            : sink == 2 ? static_cast<IUnknown*>(&bad_sink_)
                                        : nullptr;
  container.pAdviseSink = view ? &view_sink_ : nullptr;
  QACONTROL answer = {};
  answer.cbSize = sizeof answer;
  RETURN_IF(Expect("QuickActivate",
                   Query<IQuickActivate>(control_.get())->QuickActivate(&container, &answer),
                   S_OK));
  model_.site = which;
  if (view) model_.view_sink = true;
  if (answer.dwMiscStatus != 131473 || answer.dwViewStatus != 3)
    return "QuickActivate reported status " + Hex(static_cast<long>(answer.dwMiscStatus));
  if ((answer.dwEventCookie != 0) != (sink == 1))
    return "QuickActivate event cookie " + Hex(static_cast<long>(answer.dwEventCookie));
  if (sink == 1) model_.cookies.push_back(answer.dwEventCookie);
  return "";
}

std::string SequenceWorld::Advise(std::uint32_t arg) {
  Pick pick(arg);
  const std::uint32_t kind = pick.Next(4);
  if (kind == 2) {
    DWORD cookie = 0;
    RETURN_IF(Expect("IOleObject::Advise",
                     Query<IOleObject>(control_.get())->Advise(&ole_sink_, &cookie), S_OK));
    model_.ole_cookies.push_back(cookie);
    return "";
  }
  if (kind == 3) {
    const bool set = pick.Next(3) != 0;
    RETURN_IF(Expect("SetAdvise",
                     Query<IViewObject>(control_.get())
                         ->SetAdvise(DVASPECT_CONTENT, 0, set ? &view_sink_ : nullptr),
                     S_OK));
    model_.view_sink = set;
    return "";
  }
  ComPtr<IConnectionPoint> point;
  RETURN_IF(Expect("FindConnectionPoint",
                   Query<IConnectionPointContainer>(control_.get())
                       ->FindConnectionPoint(DIID_IHvActivityCtrlEvents, point.out()),
                   S_OK));
  const bool good = kind == 0;
  DWORD cookie = 0;
  const HRESULT hr =
      point->Advise(good ? static_cast<IUnknown*>(&good_sink_) : &bad_sink_, &cookie);
  RETURN_IF(Expect("Advise", hr, good ? S_OK : CONNECT_E_CANNOTCONNECT));
  if (good) model_.cookies.push_back(cookie);
  return "";
}

std::string SequenceWorld::Unadvise(std::uint32_t arg) {
  Pick pick(arg);
  if (pick.Next(2)) {
    ComPtr<IOleObject> object = Query<IOleObject>(control_.get());
    std::vector<DWORD>& cookies = model_.ole_cookies;
    if (!cookies.empty() && pick.Next(3) != 0) {
      const size_t index = pick.Next(static_cast<std::uint32_t>(cookies.size()));
      RETURN_IF(Expect("IOleObject::Unadvise", object->Unadvise(cookies[index]), S_OK));
      cookies.erase(cookies.begin() + static_cast<std::ptrdiff_t>(index));
      return "";
    }
    const DWORD stale = stale_cookie_ + pick.Next(0x10000);
    for (DWORD live : cookies)
      if (live == stale) return "";
    return Expect("IOleObject::Unadvise(stale)", object->Unadvise(stale), OLE_E_NOCONNECTION);
  }
  ComPtr<IConnectionPoint> point;
  Query<IConnectionPointContainer>(control_.get())
      ->FindConnectionPoint(DIID_IHvActivityCtrlEvents, point.out());
  if (!point) return "no connection point";
  std::vector<DWORD>& cookies = model_.cookies;
  if (!cookies.empty() && pick.Next(3) != 0) {
    const size_t index = pick.Next(static_cast<std::uint32_t>(cookies.size()));
    RETURN_IF(Expect("Unadvise", point->Unadvise(cookies[index]), S_OK));
    cookies.erase(cookies.begin() + static_cast<std::ptrdiff_t>(index));
    return "";
  }
  const DWORD stale = stale_cookie_ + pick.Next(0x10000);
  for (DWORD live : cookies)
    if (live == stale) return "";
  return Expect("Unadvise(stale)", point->Unadvise(stale), CONNECT_E_NOCONNECTION);
}

std::string SequenceWorld::Close(std::uint32_t arg) {
  const DWORD option = Pick(arg).Next(3);
  const int saves_before = ole_sink_.saves;
  const bool saving = model_.dirty && option != OLECLOSE_NOSAVE;
  RETURN_IF(Expect("Close", Query<IOleObject>(control_.get())->Close(option), S_OK));
  // A dirty control asked to save tells every OLE advise sink.
  const int told = ole_sink_.saves - saves_before;
  if (told != (saving ? static_cast<int>(model_.ole_cookies.size()) : 0))
    return "Close told " + std::to_string(told) + " advise sinks of a save";
  model_.in_place = false;
  model_.keeps_in_place_site = false;
  model_.view_sink = false;
  return "";
}

std::string SequenceWorld::SetActivityHost(std::uint32_t arg) {
  static const char* const kMethods[] = {// as MockHost logs them
                                         "GetQueryMRUs",       "GetRecordMRUs",  "ChangeDataBase",
                                         "GetCurrentDataBase", "GetRecordTypes", "SubmitRecord",
                                         "ViewRecord",         "RunQuery",       "GetRegistryKey",
                                         "RemoveRecordMRU",    "RemoveQueryMRU"};
  // A 64 MiB answer takes Wine seconds to show; the hostile host tests have it.
  static const Misdeed kMisdeeds[] = {Misdeed::kFailLeavingNull, Misdeed::kBrokenUtf16,
                                      Misdeed::kDropPage,        Misdeed::kSetHostNull,
                                      Misdeed::kReleaseItself,   Misdeed::kRefreshMRUs,
                                      Misdeed::kDataBaseOpened};
  Pick pick(arg);
  ComPtr<IHpAdviseEvents> advise = Query<IHpAdviseEvents>(control_.get());
  IHvActivityHost* host = nullptr;
  const std::uint32_t choice = pick.Next(4);
  model_.host = choice == 0 ? 1 : choice == 3 ? 0 : 2;
  if (model_.host == 2) page_.Forget();
  switch (choice) {
    case 0:
      host = &good_host_;
      break;
    case 2: {
      auto closing = std::make_unique<MockHost>();
      ConfigureHost(*closing);
      const std::string armed = kMethods[pick.Next(sizeof kMethods / sizeof kMethods[0])];
      const bool close = pick.Next(2) == 0;
      closing->during = [this, armed, close](const std::string& method) {
        if (method != armed || !control_) return;
        if (close) {
          Query<IOleObject>(control_.get())->Close(OLECLOSE_NOSAVE);
          model_.keeps_in_place_site = false;
          model_.view_sink = false;
        } else {
          Query<IOleInPlaceObject>(control_.get())->InPlaceDeactivate();
        }
        model_.in_place = false;
        ++Coverage().misdeeds;
      };
      host = closing.get();
      closing_hosts_.push_back(std::move(closing));
      break;
    }
    case 1: {
      auto hostile = std::make_unique<MockHost>();
      ConfigureHost(*hostile);
      hostile->armed_method = kMethods[pick.Next(sizeof kMethods / sizeof kMethods[0])];
      hostile->misdeed = kMisdeeds[pick.Next(sizeof kMisdeeds / sizeof kMisdeeds[0])];
      // Raw pointers, as a host keeps them: the page is alive whenever it calls.
      hostile->advise = advise.get();
      hostile->project = Query<IHvProjectList>(control_.get()).get();
      hostile->drop_page = [this] { control_.reset(); };
      host = hostile.get();
      hostile_hosts_.push_back(std::move(hostile));
      break;
    }
    default:
      break;
  }
  return Expect("SetActivityHost", advise->SetActivityHost(host), S_OK);
}

std::string SequenceWorld::Click(std::uint32_t arg, bool twice) {
  static const int kTargets[] = {IDC_CHANGE_DATABASE, IDC_GO,          IDC_VIEW_RECORD,
                                 IDC_REMOVE_RECORDS,  IDC_RUN_QUERY,   IDC_REMOVE_QUERIES,
                                 IDC_RECORDS_LIST,    IDC_QUERIES_LIST};
  Pick pick(arg);
  const HWND page = PageWindow();
  if (!page || !IsWindowVisible(page)) return "";  // nothing for a user to click
  const int target = twice ? kTargets[6 + pick.Next(2)] : kTargets[pick.Next(8)];
  const HWND item = GetDlgItem(page, target);
  if (!item) return "the page has no control " + std::to_string(target);
  ++Coverage().clicks;
  // The messages a real click brings, activation first; a disabled window
  // gets none. The page may be gone after any of them when a host drops it.
  SendMessageW(item, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(GetAncestor(item, GA_ROOT)),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  if (target != IDC_RECORDS_LIST && target != IDC_QUERIES_LIST) {
    const LPARAM inside = MAKELPARAM(4, 4);
    if (IsWindow(item) && IsWindowEnabled(item))
      SendMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    if (IsWindow(item) && IsWindowEnabled(item)) SendMessageW(item, WM_LBUTTONUP, 0, inside);
    return "";
  }
  if (!IsWindow(item)) return "";
  const LRESULT rows = SendMessageA(item, LB_GETCOUNT, 0, 0);
  POINT at = {4, 4};
  if (rows > 0) {
    RECT row = {};
    SendMessageA(item, LB_GETITEMRECT, pick.Next(static_cast<std::uint32_t>(rows)),
                 reinterpret_cast<LPARAM>(&row));
    at = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
  }
  const LPARAM position = MAKELPARAM(at.x, at.y);
  // The messages a real click and double-click bring; the page may be gone
  // after any of them when a host drops it.
  SendMessageA(item, WM_LBUTTONDOWN, MK_LBUTTON, position);
  if (IsWindow(item)) SendMessageA(item, WM_LBUTTONUP, 0, position);
  if (twice && IsWindow(item)) SendMessageA(item, WM_LBUTTONDBLCLK, MK_LBUTTON, position);
  if (twice && IsWindow(item)) SendMessageA(item, WM_LBUTTONUP, 0, position);
  return "";
}

namespace {

// Holds the given keys down in the thread's keyboard state while it lives,
// as GetKeyState and the dialog manager read them.
class KeysHeld {
 public:
  explicit KeysHeld(int first, int second = 0) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof state);
    for (int key : {first, second})
      if (key) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~KeysHeld() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256] = {};
};

// Drops the first entry (five line feeds, then one unit) of a host's list.
void DropFirstEntry(std::optional<std::string>& text) {
  if (!text) return;
  size_t at = 0;
  for (int field = 0; field < 5; ++field) {
    at = text->find('\n', at);
    if (at == std::string::npos) return text->clear();
    ++at;
  }
  // The unit after the fifth line feed is one UTF-16 unit: a whole character here.
  if (at < text->size()) {
    ++at;
    while (at < text->size() && ((*text)[at] & 0xC0) == 0x80) ++at;
  }
  text->erase(0, at);
}

}  // namespace

std::string SequenceWorld::Key(std::uint32_t arg) {
  Pick pick(arg);
  const HWND page = PageWindow();
  // A container in design mode keeps the keyboard for its own editing.
  if (!page || !IsWindowVisible(page) || model_.design) return "";
  FakeContainer& container = Holding(page);
  const std::uint32_t kind = pick.Next(6);
  const bool shift = pick.Next(2) == 0;
  if (kind == 0) {
    // The container moves the focus in with Tab or Shift+Tab.
    SetFocus(container.own_field);
    if (!IsWindow(page)) return "";
    KeysHeld held(VK_TAB, shift ? VK_SHIFT : 0);
    SetFocus(page);
    ++Coverage().keys;
    return "";
  }
  if (!FocusInPage()) return "";
  MSG message = {};
  message.hwnd = GetFocus();
  message.message = WM_KEYDOWN;
  message.lParam = 1;
  static const WPARAM kArrows[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
  static const char kMnemonics[] = "CDGRVEQUMX";
  static const wchar_t kTyped[] = {L'f', L's', L't', L'a', L'm', L'o',
                                   0x0434 /* д */, 0x0416 /* Ж */, 0x65E5 /* 日 */};
  int held_key = 0;
  if (kind == 1) {
    message.wParam = VK_TAB;
    if (shift) held_key = VK_SHIFT;
  } else if (kind == 2) {
    message.wParam = kArrows[pick.Next(4)];
  } else if (kind == 3) {
    message.message = WM_SYSKEYDOWN;
    message.wParam = static_cast<WPARAM>(kMnemonics[pick.Next(sizeof kMnemonics - 1)]);
    message.lParam |= 1 << 29;  // Alt is down
    held_key = VK_MENU;
  } else {
    message.message = WM_CHAR;
    message.wParam = kTyped[pick.Next(sizeof kTyped / sizeof kTyped[0])];
  }
  ++Coverage().keys;
  HRESULT offered = S_FALSE;
  {
    KeysHeld held(held_key);
    offered = Query<IOleInPlaceActiveObject>(control_.get())->TranslateAccelerator(&message);
  }
  // Not the page's: the container's own field takes Tab and the arrows on.
  if (offered != S_OK && message.message == WM_KEYDOWN && IsWindow(container.own_field))
    SetFocus(container.own_field);
  return "";
}

std::string SequenceWorld::HostAnswers(std::uint32_t arg) {
  static const char* const kDataBases[] = {"db", "other", "", "\xD0\xB1\xD0\xB0\xD0\xB7\xD0\xB0"};
  static const char* const kTypes[] = {"Bug\nTask", "\xD0\x94\xD0\xB5\xD1\x84\xD0\xB5\xD0\xBA\xD1\x82\nTask",
                                       "\xE4\xB8\x8D\xE5\x85\xB7\xE5\x90\x88", ""};
  static const char* const kRecords[] = {
      "db\nh1\nh2\nfirst\n\ndb\nh1\nh2\nsecond\n\nother\nh1\nh2\nthird\ndetail\n",
      "",
      "db\nk\n\nonly\n\n\n",
      "\xD0\xB1\xD0\xB0\xD0\xB7\xD0\xB0\nk1\n\n\xD0\xB4\xD0\xBE\xD0\xBC\n\n\n"
      "db\nk2\n\n\xE6\x97\xA5\xE6\x9C\xAC\n\xE8\xA9\xB3\n\n"
      "other\nk3\n\nalpha\n\n\n"};
  static const char* const kQueries[] = {
      "db\nAll bugs\n\n\n\nother\nMine\n\n\n\n", "", "db\nOne\n\n\n\n\n",
      "\xD0\xB1\xD0\xB0\xD0\xB7\xD0\xB0\n\xD0\x92\xD1\x81\xD0\xB5\n\n\n\n\n"
      "db\n\xE5\x85\xA8\xE9\x83\xA8\n\n\n\n\n"};
  Pick pick(arg);
  good_host_.current_database = kDataBases[pick.Next(4)];
  good_host_.record_types = kTypes[pick.Next(4)];
  good_host_.record_mrus = kRecords[pick.Next(4)];
  good_host_.query_mrus = kQueries[pick.Next(4)];
  return "";
}

void SequenceWorld::HostReacts(std::uint32_t arg) {
  // Inside an action on an entry the good host may forget that list's first
  // entry, refresh the page, both, or neither.
  const std::uint32_t reaction = Pick(arg).Next(4);
  good_host_.during = [this, reaction](const std::string& method) {
    const bool record = method == "ViewRecord" || method == "RemoveRecordMRU";
    const bool query = method == "RunQuery" || method == "RemoveQueryMRU";
    if (!record && !query) return;
    if (reaction & 1) DropFirstEntry(record ? good_host_.record_mrus : good_host_.query_mrus);
    if ((reaction & 2) && control_) Query<IHvProjectList>(control_.get())->RefreshMRUs();
  };
}

std::string RunSequence(PellwickDll& dll, const std::vector<Step>& steps) {
  ::testing::TestPartResultArray failures;
  std::string problem;
  {
    ::testing::ScopedFakeTestPartResultReporter trap(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    const int windows_before = CountThreadWindows();
    if (dll.can_unload_now() != S_OK) return "the module was locked before the sequence";
    {
      // A step that hangs cannot report itself: with PELLWICK_SEQUENCE_TRACE
      // set, each step is named before it runs.
      const bool trace = GetEnvironmentVariableA("PELLWICK_SEQUENCE_TRACE", nullptr, 0) > 0;
      SequenceWorld world(dll);
      for (size_t i = 0; problem.empty() && i < steps.size(); ++i) {
        if (trace) std::fprintf(stderr, "step %u %s\n", unsigned(i), Describe(steps[i]).c_str());
        std::string found = world.Apply(steps[i]);
        if (found.empty() && failures.size() > 0) found = failures.GetTestPartResult(0).message();
        if (!found.empty())
          problem = "step " + std::to_string(i) + " " + Describe(steps[i]) + ": " + found;
      }
      std::string end = world.Finish();
      if (end.empty() && failures.size() > 0) end = failures.GetTestPartResult(0).message();
      if (problem.empty() && !end.empty()) problem = "final release: " + end;
    }
    if (problem.empty() && CountThreadWindows() != windows_before)
      problem = "a window was left behind";
  }
  return problem;
}
