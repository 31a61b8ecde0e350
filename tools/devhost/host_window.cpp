#include "host_window.h"

#include "bstr.h"
#include "devhost_ids.h"
#include "host_log.h"
#include "picker.h"
#include "screenshot.h"

namespace {
constexpr char kClassName[] = "PellwickDevHost";
constexpr UINT kDataBaseChanged = WM_APP + 1;
constexpr UINT kListsChanged = WM_APP + 2;
constexpr UINT_PTR kScriptTimer = 1;
constexpr UINT kStepMilliseconds = 60;

// The control's extent in pixels of the screen.
SIZE PixelExtent(IOleObject* object) {
  SIZEL himetric{};
  if (!object || FAILED(object->GetExtent(DVASPECT_CONTENT, &himetric))) return {640, 400};
  const HDC screen = GetDC(nullptr);
  const SIZE pixels{MulDiv(himetric.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540),
                    MulDiv(himetric.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540)};
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::string Failed(const char* step, HRESULT hr) {
  char code[16];
  wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
  return std::string(step) + " failed with " + code;
}
}  // namespace

HostWindow::HostWindow(HostData data, const HostOptions& options)
    : options_(options), host_(std::move(data), options.data_file, *this) {}

HostWindow::~HostWindow() {
  if (window_) DestroyWindow(window_);
}

bool HostWindow::Open(std::string& problem) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  window_class.lpszMenuName = MAKEINTRESOURCEA(1);
  RegisterClassA(&window_class);
  accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_HOST_ACCELERATORS));
  window_ = CreateWindowExA(0, kClassName, "Pellwick development host",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700, 500, nullptr,
                            nullptr, instance, this);
  if (!window_) return problem = Failed("CreateWindow", HRESULT_FROM_WIN32(GetLastError())), false;
  site_ = std::make_unique<ContainerSite>(window_, accelerators_);

  HRESULT hr = control_.Create(options_.dll);
  if (FAILED(hr)) return problem = Failed("creating ActivityCtrl", hr), false;
  // The frame fits the page as the control declares it.
  const SIZE size = PixelExtent(control_.object());
  RECT frame{0, 0, size.cx, size.cy};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOMOVE);
  GetClientRect(window_, &site_->position);
  ShowWindow(window_, SW_SHOW);
  hr = control_.Activate(*site_, window_, &host_);
  if (FAILED(hr)) return problem = Failed("activating ActivityCtrl", hr), false;
  if (options_.script) SetTimer(window_, kScriptTimer, kStepMilliseconds, nullptr);
  return true;
}

void HostWindow::Run() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (key && control_.TranslateKey(message)) continue;
    if (key && accelerators_ && TranslateAcceleratorA(window_, accelerators_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool HostWindow::CleanlyClosed(std::string& problem) const {
  if (site_ && site_->ForeignReferences() != 0)
    problem = "the control kept " + std::to_string(site_->ForeignReferences()) +
              " references on the container";
  else if (host_.ForeignReferences() != 0)
    problem = "the control kept " + std::to_string(host_.ForeignReferences()) +
              " references on the host object";
  return problem.empty();
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (site_) {
        GetClientRect(window_, &site_->position);
        control_.Move(site_->position);
      }
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wParam));
      return 0;
    case kDataBaseChanged: {
      IHvProjectList* page = control_.page();
      if (!page) return 0;
      const std::string name = host_.data().current_data_base;
      LogLine("page: DataBaseOpened(" + Quoted(name) + ")");
      const Bstr text(BstrFromNarrow(name));
      if (text.get()) page->DataBaseOpened(text.get());
      return 0;
    }
    case kListsChanged:
      if (control_.page()) {
        LogLine("page: RefreshMRUs()");
        control_.page()->RefreshMRUs();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kScriptTimer && !options_.script->Step(window_, control_.Window()))
        FinishScript();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      control_.Close();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void HostWindow::Command(int id) {
  IHvProjectList* page = control_.page();
  if (id == IDM_EXIT) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
  } else if (!page) {
    return;
  } else if (id == IDM_NEW_DEFAULT_RECORD) {
    LogLine("page: SubmitDefaultRecordType()");
    page->SubmitDefaultRecordType();
  } else if (id == IDM_RUN_DEFAULT_QUERY) {
    LogLine("page: RunDefaultQuery()");
    page->RunDefaultQuery();
  } else if (id == IDM_REFRESH_LISTS) {
    LogLine("page: RefreshMRUs()");
    page->RefreshMRUs();
  }
}

void HostWindow::FinishScript() {
  KillTimer(window_, kScriptTimer);
  if (!options_.screenshot.empty()) {
    const HRESULT hr = SaveWindowPng(window_, options_.screenshot);
    if (FAILED(hr)) LogLine("script: " + Failed("the screenshot", hr));
  }
  LogLine("script: end");
  PostMessageA(window_, WM_CLOSE, 0, 0);
}

bool HostWindow::PickDataBase(const HostData& data, std::string& choice) {
  return ::PickDataBase(window_, data, choice);
}

void HostWindow::DataBaseChanged() { PostMessageA(window_, kDataBaseChanged, 0, 0); }

void HostWindow::ListsChanged() { PostMessageA(window_, kListsChanged, 0, 0); }

std::string HostWindow::DefaultRecordType() {
  Bstr type;
  if (control_.page()) control_.page()->GetDefaultRecordType(type.out());
  const std::string text = NarrowFromBstr(type.get());
  LogLine("page: GetDefaultRecordType() -> " + Quoted(text));
  return text;
}
