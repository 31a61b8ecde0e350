// What a user waits for when a host starts, and what each page a host keeps
// open costs, against a bare dialog made from the same template and filled
// with the same rows. Every round is a fresh process of this program, the
// control's and the dialog's by turns:
// - cold_start_ratio: from OLE initialised and the host's window made to the
//   first complete paint; the control is loaded from Pellwick.dll, created,
//   activated in place and handed a host of 100 records and 20 queries; the
//   dialog's template comes from the same file the control takes it from (its
//   satellite for the user's language, else Pellwick.dll), loaded as data.
// - control_memory_ratio: the private bytes 20 more such pages add, each,
//   over those 20 more such dialogs add.
// The control's steps are timed as well and their medians written to stderr.
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/private_bytes.h"
#include "common/fake_container.h"
#include "common/mock_host.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "include/PellwickHost.h"
#include "resources/resource_ids.h"
#include "server/satellite_loader.h"
#include "server/satellite_names.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 21;
constexpr int kMorePages = 20;
constexpr int kRecords = 100;
constexpr int kQueries = 20;
const char kDataBase[] = "Orvelt main";
const char kRecordTypes[] = "Defect\nEnhancement\nTask\nReview\n";

// The steps of a cold start, in order; the dialog's process has the same
// steps, some of them empty.
const char* const kSteps[] = {"load", "create", "activate", "fill", "paint"};
constexpr int kStepCount = 5;

std::string Label(const char* kind, int i) { return std::string(kind) + " " + std::to_string(i); }

std::string Entries(const char* kind, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += std::string(kDataBase) + "\nhost data one\nhost data two\n" + Label(kind, i) +
            "\nsome detail\n\n";
  return text;
}

// The rows the page shows for those entries, all of the current database.
std::vector<std::wstring> Rows(const char* kind, int count, bool with_detail) {
  std::vector<std::wstring> rows;
  for (int i = 0; i < count; ++i) {
    const std::string label = Label(kind, i);
    std::wstring row(label.begin(), label.end());
    if (with_detail) row += L" - some detail";
    rows.push_back(row);
  }
  return rows;
}

void Configure(MockHost& host) {
  host.current_database = kDataBase;
  host.record_types = kRecordTypes;
  host.registry_key = "Software\\Pellwick\\Benchmark";
  host.record_mrus = Entries("record", kRecords);
  host.query_mrus = Entries("query", kQueries);
}

std::wstring ProgramDir() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

// The file the control takes its dialog from for the user's UI language.
std::wstring TemplateFile(const std::wstring& dir) {
  SatelliteLookup lookup;
  lookup.ui_language = GetUserDefaultUILanguage();
  lookup.directory = dir;
  lookup.base_name = L"Pellwick";
  ReadLanguageNames(lookup);
  for (const std::wstring& candidate : SatelliteCandidates(lookup))
    if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
  return dir + L"Pellwick.dll";
}

void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
}

// One process's measures: the steps' milliseconds and the bytes a page adds.
struct Measures {
  double steps[kStepCount] = {};
  double bytes_per_page = 0;
};

class StepClock {
 public:
  explicit StepClock(Measures& measures) : measures_(measures), last_(Clock::now()) {}
  void Done(int step) {
    const auto now = Clock::now();
    measures_.steps[step] = std::chrono::duration<double, std::milli>(now - last_).count();
    last_ = now;
  }

 private:
  Measures& measures_;
  Clock::time_point last_;
};

// The process's exit status after a step failed.
int Failed(const char* step) {
  std::fprintf(stderr, "%s failed, error %lu\n", step, GetLastError());
  return 1;
}

// ---- the control's process

using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

struct Page {
  MockHost host;
  ComPtr<IOleObject> object;
};

bool Activate(IClassFactory* factory, FakeContainer& site, Page& page, StepClock* clock) {
  if (FAILED(factory->CreateInstance(nullptr, IID_IOleObject, page.object.out_void()))) return false;
  if (clock) clock->Done(1);
  if (FAILED(page.object->SetClientSite(site.site())) ||
      page.object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.site(), 0, site.window,
                          &site.position) != S_OK)
    return false;
  if (clock) clock->Done(2);
  ComPtr<IHpAdviseEvents> advise;
  if (FAILED(page.object->QueryInterface(IID_IHpAdviseEvents, advise.out_void())) ||
      FAILED(advise->SetActivityHost(&page.host)))
    return false;
  if (clock) clock->Done(3);
  PaintNow(site.window);
  if (clock) clock->Done(4);
  return true;
}

void Close(Page& page) {
  if (!page.object) return;
  page.object->Close(OLECLOSE_NOSAVE);
  page.object->SetClientSite(nullptr);
  page.object.reset();
}

int ControlProcess(const std::wstring& path, Measures& measures) {
  FakeContainer site;
  site.offer_site_ex = site.offer_ui_window = site.offer_control_site = site.offer_ambient = false;
  std::vector<std::unique_ptr<Page>> pages;
  for (int i = 0; i <= kMorePages; ++i) {
    pages.push_back(std::make_unique<Page>());
    Configure(pages.back()->host);
  }
  PaintNow(site.window);

  StepClock clock(measures);
  HMODULE dll = LoadLibraryW(path.c_str());
  auto get_class_object = dll ? reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(
                                    GetProcAddress(dll, "DllGetClassObject")))
                              : nullptr;
  ComPtr<IClassFactory> factory;
  if (!get_class_object ||
      FAILED(get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void())))
    return Failed("loading Pellwick.dll");
  clock.Done(0);
  if (!Activate(factory.get(), site, *pages[0], &clock)) return Failed("the first page");

  const size_t before = PrivateBytes();
  for (int i = 1; i <= kMorePages; ++i)
    if (!Activate(factory.get(), site, *pages[i], nullptr)) return Failed("a further page");
  measures.bytes_per_page = double(PrivateBytes() - before) / kMorePages;
  for (auto& page : pages) Close(*page);
  return 0;
}

// ---- the bare dialog's process

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void AddRows(HWND list, const std::vector<std::wstring>& rows) {
  for (const std::wstring& row : rows)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

// The dialog the page would be, made and filled as plainly as can be.
HWND FilledDialog(HMODULE resources, FakeContainer& site, StepClock* clock) {
  HWND dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_ACTIVITY_PAGE), site.window,
                                   PlainDialog, 0);
  if (!dialog) return nullptr;
  const RECT& at = site.position;
  SetWindowPos(dialog, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (clock) clock->Done(2);
  SetDlgItemTextA(dialog, IDC_DATABASE_EDIT, kDataBase);
  HWND types = GetDlgItem(dialog, IDC_RECORD_TYPES);
  for (const char* name : {"Defect", "Enhancement", "Task", "Review"})
    SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SendMessageA(types, CB_SETCURSEL, 0, 0);
  static const std::vector<std::wstring> records = Rows("record", kRecords, true);
  static const std::vector<std::wstring> queries = Rows("query", kQueries, false);
  AddRows(GetDlgItem(dialog, IDC_RECORDS_LIST), records);
  AddRows(GetDlgItem(dialog, IDC_QUERIES_LIST), queries);
  // Filled while hidden, so that nothing draws before the paint.
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  if (clock) clock->Done(3);
  PaintNow(site.window);
  if (clock) clock->Done(4);
  return dialog;
}

int DialogProcess(const std::wstring& template_file, Measures& measures) {
  FakeContainer site;
  PaintNow(site.window);

  StepClock clock(measures);
  HMODULE resources = LoadLibraryExW(template_file.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!resources) return Failed("loading the template's file");
  clock.Done(0);
  clock.Done(1);
  if (!FilledDialog(resources, site, &clock)) return Failed("the first dialog");

  const size_t before = PrivateBytes();
  for (int i = 0; i < kMorePages; ++i)
    if (!FilledDialog(resources, site, nullptr)) return Failed("a further dialog");
  measures.bytes_per_page = double(PrivateBytes() - before) / kMorePages;
  return 0;
}

// ---- the rounds

// Runs this program again as `kind` and reads back its measures.
bool RunProcess(const std::wstring& kind, const std::wstring& argument, Measures& measures) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + kind + L" \"" + argument + L"\"";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return false;
  FileHandle reader(read_end), writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  FileHandle process_handle(process.hProcess), thread_handle(process.hThread);
  writer.reset();
  std::string output;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  if (status != 0) return false;
  double* values[kStepCount + 1] = {};
  for (int step = 0; step < kStepCount; ++step) values[step] = &measures.steps[step];
  values[kStepCount] = &measures.bytes_per_page;
  const char* at = output.c_str();
  for (double* value : values) {
    char* end = nullptr;
    *value = std::strtod(at, &end);
    if (end == at) return false;
    at = end;
  }
  return true;
}

double Total(const Measures& measures) {
  double total = 0;
  for (double step : measures.steps) total += step;
  return total;
}

// The satellite search as the DLL's entry point makes it, for this program's
// own name: milliseconds, the median of a few.
double SatelliteSearch() {
  std::vector<double> times;
  for (int i = 0; i < 9; ++i) {
    const auto start = Clock::now();
    HMODULE satellite = nullptr;
    FindLocalizedResourceModule(GetModuleHandleW(nullptr), FALSE, &satellite);
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (satellite) FreeLibrary(satellite);
  }
  return Median(times);
}

int Rounds() {
  const std::wstring dir = ProgramDir();
  const std::wstring template_file = TemplateFile(dir);
  std::fprintf(stderr, "cold start: dialog 104 from %ls; a satellite search takes %.2f ms\n",
               template_file.c_str(), SatelliteSearch());
  std::vector<Measures> controls, dialogs;
  for (int round = 0; round <= kRounds; ++round) {
    Measures control, dialog;
    // Which goes first alternates, so that drift falls on both alike.
    const bool control_first = round % 2 == 0;
    for (int side = 0; side < 2; ++side) {
      const bool ok = (side == 0) == control_first ? RunProcess(L"control", dir + L"Pellwick.dll", control)
                                                    : RunProcess(L"dialog", template_file, dialog);
      if (!ok) {
        std::fprintf(stderr, "a %s process failed\n",
                     (side == 0) == control_first ? "control" : "dialog");
        return 1;
      }
    }
    // The first round warms the file cache and the wineserver.
    if (round == 0) continue;
    controls.push_back(control);
    dialogs.push_back(dialog);
  }
  std::vector<double> time_ratios, memory_ratios;
  for (size_t round = 0; round < controls.size(); ++round) {
    time_ratios.push_back(Total(controls[round]) / Total(dialogs[round]));
    memory_ratios.push_back(controls[round].bytes_per_page / dialogs[round].bytes_per_page);
  }
  for (int step = 0; step < kStepCount; ++step) {
    std::vector<double> control_step, dialog_step;
    for (size_t round = 0; round < controls.size(); ++round) {
      control_step.push_back(controls[round].steps[step]);
      dialog_step.push_back(dialogs[round].steps[step]);
    }
    std::fprintf(stderr, "cold start %-8s control %7.2f ms, dialog %7.2f ms (medians)\n",
                 kSteps[step], Median(control_step), Median(dialog_step));
  }
  std::vector<double> control_bytes, dialog_bytes;
  for (size_t round = 0; round < controls.size(); ++round) {
    control_bytes.push_back(controls[round].bytes_per_page);
    dialog_bytes.push_back(dialogs[round].bytes_per_page);
  }
  std::fprintf(stderr, "each further page: control %.0f bytes, dialog %.0f bytes (medians)\n",
               Median(control_bytes), Median(dialog_bytes));
  PrintFigure("cold_start_ratio", time_ratios);
  PrintFigure("control_memory_ratio", memory_ratios);
  return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Rounds();
  const std::wstring kind = argv[1];
  OleInitialize(nullptr);
  Measures measures;
  const int status = kind == L"control" ? ControlProcess(argv[2], measures)
                                         : DialogProcess(argv[2], measures);
  OleUninitialize();
  if (status != 0) return status;
  for (double step : measures.steps) std::printf("%.4f ", step);
  std::printf("%.1f\n", measures.bytes_per_page);
  return 0;
}
