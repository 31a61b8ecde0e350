// The control's k-th allocation fails, for every k until the call completes,
// along each way in from an export or a COM method: the call answers
// E_OUTOFMEMORY (or an already-promised fallback) and the process goes on;
// with allocation working again the same control works. The control is a
// test build of the DLL (PellwickOom.dll) whose allocator fails on demand; the
// fakes here allocate freely.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/fake_container.h"
#include "common/mock_host.h"
#include "common/test_paths.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"

namespace {

constexpr long kMostAllocations = 5000;  // a call needing more is a fault of its own

bool Acceptable(HRESULT result) { return result == S_OK || result == E_OUTOFMEMORY; }

class AllocationFailure : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    dll_.reset(LoadLibraryA((ProgramDir() + "PellwickOom.dll").c_str()));
    ASSERT_TRUE(dll_) << GetLastError();
    get_class_object_ = Export<GetClassObject>("DllGetClassObject");
    register_ = Export<NoArguments>("DllRegisterServer");
    unregister_ = Export<NoArguments>("DllUnregisterServer");
    fail_from_ = Export<FailFrom>("FailAllocationsFrom");
    stop_failing_ = Export<StopFailing>("StopFailingAllocations");
    ASSERT_TRUE(get_class_object_ && register_ && unregister_ && fail_from_ && stop_failing_);
  }
  void TearDown() override {
    dll_.reset();
    OleUninitialize();
  }

  // Runs `call` for k = 0, 1, ... until a run refuses nothing; `call`
  // prepares what it needs with allocation working and runs the call under
  // test through Failing, which fails the k-th allocation inside it. `call`
  // returns false when a result was not acceptable; `afterwards` then checks,
  // allocation working, that the control still works.
  void EveryFailingAllocation(const std::function<bool()>& call,
                              const std::function<void()>& afterwards) {
    for (k_ = 0; k_ < kMostAllocations; ++k_) {
      SCOPED_TRACE(testing::Message() << "allocation " << k_ << " fails");
      refused_ = 0;
      EXPECT_TRUE(call());
      afterwards();
      if (refused_ == 0 || HasFailure()) return;
    }
    ADD_FAILURE() << "the call never completed";
  }

  template <class Operation>
  auto Failing(Operation&& operation) {
    fail_from_(k_);
    auto result = operation();
    refused_ += stop_failing_();
    return result;
  }

  ComPtr<IOleObject> NewControl() {
    ComPtr<IClassFactory> factory;
    ComPtr<IOleObject> control;
    EXPECT_EQ(get_class_object_(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void()), S_OK);
    if (factory) {
      EXPECT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, control.out_void()), S_OK);
    }
    return control;
  }

  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using NoArguments = HRESULT(STDAPICALLTYPE*)();
  using FailFrom = void (*)(long);
  using StopFailing = long (*)();

  template <class Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll_.get(), name)));
  }

  ModuleHandle dll_;
  GetClassObject get_class_object_ = nullptr;
  NoArguments register_ = nullptr;
  NoArguments unregister_ = nullptr;
  FailFrom fail_from_ = nullptr;
  StopFailing stop_failing_ = nullptr;
  long k_ = 0;
  long refused_ = 0;
};

// String 101 of the resources the control should use: the German satellite's
// under a German UI, else the DLL's own.
std::wstring DefaultRecordTypeOfThisUi() {
  const bool german = std::getenv("PELLWICK_GERMAN_UI") != nullptr;
  ModuleHandle resources(LoadLibraryExA(
      (ProgramDir() + (german ? "resdll\\PellwickOom_de.rsc" : "PellwickOom.dll")).c_str(), nullptr,
      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  wchar_t text[128] = {};
  const int length = resources ? LoadStringW(resources.get(), IDS_DEFAULT_RECORD_TYPE, text, 128) : 0;
  return std::wstring(text, length > 0 ? length : 0);
}

// A host with something for every list, as a real one has.
void FillHost(MockHost& host) {
  host.current_database = "alpha";
  host.record_types = "Defect\nTask";
  host.registry_key = "Software\\PellwickTests\\AllocationFailure";
  host.record_mrus = "alpha\nh1\nh2\nfirst\nd\n\nbeta\nh3\nh4\nsecond\n\n\n";
  host.query_mrus = "alpha\nOpen\n\n\n\n\nbeta\nMine\n\n\n\n\n";
}

TEST_F(AllocationFailure, ClassObjectAndInstance) {
  EveryFailingAllocation(
      [&] {
        return Failing([&] {
          ComPtr<IClassFactory> factory;
          HRESULT result =
              get_class_object_(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void());
          if (!Acceptable(result) || (FAILED(result) && factory)) return false;
          if (FAILED(result)) return true;
          ComPtr<IOleObject> control;
          result = factory->CreateInstance(nullptr, IID_IOleObject, control.out_void());
          return Acceptable(result) && (SUCCEEDED(result) || !control);
        });
      },
      [&] {
        ComPtr<IOleObject> control = NewControl();
        ASSERT_TRUE(control);
        // A satellite search that ran out of memory was not the last one.
        ComPtr<IHvProjectList> project;
        ASSERT_EQ(control.query(project), S_OK);
        Bstr name;
        ASSERT_EQ(project->GetDefaultRecordType(name.out()), S_OK);
        EXPECT_EQ(std::wstring(name.get()), DefaultRecordTypeOfThisUi());
        MockHost host;
        FillHost(host);
        ComPtr<IHpAdviseEvents> advise;
        ASSERT_EQ(control.query(advise), S_OK);
        EXPECT_EQ(advise->SetActivityHost(&host), S_OK);
        EXPECT_EQ(advise->SetActivityHost(nullptr), S_OK);
      });
}

TEST_F(AllocationFailure, InitNewSaveAndLoad) {
  ComPtr<IStream> saved;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, saved.out()), S_OK);
  {
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(NewControl().query(persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Save(saved.get(), TRUE), S_OK);
  }
  const LARGE_INTEGER start = {};
  // Each run gets a new control; afterwards the same control must load.
  ComPtr<IPersistStreamInit> persist;
  auto loadsAgain = [&] {
    saved->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(saved.get()), S_OK);
  };
  auto fresh = [&] {
    persist.reset();
    return SUCCEEDED(NewControl().query(persist));
  };
  EveryFailingAllocation(
      [&] { return fresh() && Acceptable(Failing([&] { return persist->InitNew(); })); },
      [&] {
        persist.reset();
        ASSERT_TRUE(fresh());
        loadsAgain();
      });
  EveryFailingAllocation(
      [&] {
        ComPtr<IStream> stream;
        if (!fresh() || persist->InitNew() != S_OK ||
            FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())))
          return false;
        return Acceptable(Failing([&] { return persist->Save(stream.get(), TRUE); }));
      },
      loadsAgain);
  EveryFailingAllocation(
      [&] {
        if (!fresh()) return false;
        saved->Seek(start, STREAM_SEEK_SET, nullptr);
        return Acceptable(Failing([&] { return persist->Load(saved.get()); }));
      },
      [&] {
        ASSERT_TRUE(fresh());
        loadsAgain();
      });
}

// The first in-place activation of each thread: the runtime's per-thread
// set-up happens inside it.
TEST_F(AllocationFailure, InPlaceActivationInANewThread) {
  EveryFailingAllocation(
      [&] {
        HRESULT result = E_FAIL;
        std::thread([&] {
          if (FAILED(OleInitialize(nullptr))) return;
          {
            FakeContainer container;
            ComPtr<IOleObject> control = NewControl();
            if (control && control->SetClientSite(container.site()) == S_OK) {
              result = Failing([&] {
                return control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container.site(), 0,
                                       container.window, &container.position);
              });
              control->Close(OLECLOSE_NOSAVE);
              control->SetClientSite(nullptr);
            }
          }
          OleUninitialize();
        }).join();
        EXPECT_TRUE(Acceptable(result)) << std::hex << result;
        return Acceptable(result);
      },
      [&] {
        FakeContainer container;
        ComPtr<IOleObject> control = NewControl();
        ASSERT_TRUE(control);
        ASSERT_EQ(control->SetClientSite(container.site()), S_OK);
        EXPECT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container.site(), 0,
                                  container.window, &container.position),
                  S_OK);
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
      });
}

// An active page with a filled host: what the host and the user do to it.
class AllocationFailureOnThePage : public AllocationFailure {
 protected:
  void SetUp() override {
    AllocationFailure::SetUp();
    if (HasFatalFailure()) return;
    FillHost(host);
    container = std::make_unique<FakeContainer>();
    control = NewControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(control->SetClientSite(container->site()), S_OK);
    ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container->site(), 0,
                              container->window, &container->position),
              S_OK);
    ASSERT_EQ(control.query(advise), S_OK);
    ASSERT_EQ(control.query(project), S_OK);
    ComPtr<IOleWindow> window;
    ASSERT_EQ(control.query(window), S_OK);
    ASSERT_EQ(window->GetWindow(&page), S_OK);
    ASSERT_EQ(advise->SetActivityHost(&host), S_OK);
  }
  void TearDown() override {
    if (advise) advise->SetActivityHost(nullptr);
    if (control) {
      control->Close(OLECLOSE_NOSAVE);
      control->SetClientSite(nullptr);
    }
    advise.reset();
    project.reset();
    control.reset();
    container.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PellwickTests\\AllocationFailure");
    AllocationFailure::TearDown();
  }

  // Selects `row` alone in list `list` and tells the page, as a click would.
  void Select(int list, int row) {
    HWND box = GetDlgItem(page, list);
    SendMessageW(box, LB_SETSEL, FALSE, -1);
    SendMessageW(box, LB_SETSEL, TRUE, row);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
  }
  LRESULT Click(int button) {
    return SendMessageW(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(page, button)));
  }
  LRESULT Rows(int list) { return SendMessageW(GetDlgItem(page, list), LB_GETCOUNT, 0, 0); }

  MockHost host;
  std::unique_ptr<FakeContainer> container;
  ComPtr<IOleObject> control;
  ComPtr<IHpAdviseEvents> advise;
  ComPtr<IHvProjectList> project;
  HWND page = nullptr;
};

TEST_F(AllocationFailureOnThePage, HostCalls) {
  auto refilled = [&] {
    EXPECT_EQ(advise->SetActivityHost(&host), S_OK);
    EXPECT_EQ(Rows(IDC_RECORDS_LIST), 2);
    EXPECT_EQ(Rows(IDC_QUERIES_LIST), 2);
  };
  EveryFailingAllocation([&] { return Acceptable(Failing([&] { return advise->SetActivityHost(&host); })); },
                         refilled);
  EveryFailingAllocation([&] { return Acceptable(Failing([&] { return project->RefreshMRUs(); })); },
                         refilled);
  Bstr beta(SysAllocString(L"beta"));
  EveryFailingAllocation(
      [&] { return Acceptable(Failing([&] { return project->DataBaseOpened(beta.get()); })); },
      refilled);
  EveryFailingAllocation(
      [&] {
        BSTR name = nullptr;
        const HRESULT result = Failing([&] { return project->GetDefaultRecordType(&name); });
        SysFreeString(name);
        return Acceptable(result) && (SUCCEEDED(result) || !name);
      },
      refilled);
}

TEST_F(AllocationFailureOnThePage, ButtonHandlers) {
  struct Press {
    int list;
    int button;
  };
  for (const Press press : {Press{IDC_RECORDS_LIST, IDC_VIEW_RECORD},
                            Press{IDC_QUERIES_LIST, IDC_RUN_QUERY},
                            Press{IDC_RECORDS_LIST, IDC_REMOVE_RECORDS},
                            Press{IDC_QUERIES_LIST, IDC_REMOVE_QUERIES}, Press{0, IDC_GO},
                            Press{0, IDC_CHANGE_DATABASE}}) {
    SCOPED_TRACE(press.button);
    EveryFailingAllocation(
        [&] {
          if (press.list) Select(press.list, 0);
          host.log.Clear();
          return Failing([&] { return Click(press.button); }) == 0;
        },
        [&] {
          // The lists still hold what the host says, and the button works.
          EXPECT_EQ(advise->SetActivityHost(&host), S_OK);
          if (press.list) Select(press.list, 0);
          host.log.Clear();
          Click(press.button);
          EXPECT_FALSE(host.log.calls().empty());
          EXPECT_EQ(advise->SetActivityHost(&host), S_OK);
        });
  }
}

TEST_F(AllocationFailure, RegisterServer) {
  EveryFailingAllocation([&] { return Acceptable(Failing([&] { return register_(); })); },
                         [&] {
                           EXPECT_EQ(register_(), S_OK);
                           EXPECT_EQ(unregister_(), S_OK);
                         });
}

}  // namespace
