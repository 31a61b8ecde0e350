// The page dialog: creation, initialisation and the page's message map.
#include <algorithm>

#include "framework/error_boundary.h"
#include "framework/text.h"
#include "framework/window_text.h"
#include "page/activity_page.h"
#include "resources/resource_ids.h"

namespace {
// Measured in `dc` with whatever font it holds.
LONG TextWidth(HDC dc, const std::wstring& text) noexcept {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The wider of `text` in the DC's default font (the historic measure, wider at
// 96 DPI) and in the font `button` draws with, which grows with the display scale.
LONG CaptionWidth(HDC dc, HWND button, const std::wstring& text) noexcept {
  const LONG in_default_font = TextWidth(dc, text);
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  if (!font) return in_default_font;
  SelectedObject selected(dc, font);
  return std::max(in_default_font, TextWidth(dc, text));
}

// The layout's pixel amounts are meant at 96 DPI: the button frames, focus
// rectangles and margins they make room for grow with the display scale.
int ScaledPixels(HDC dc, int pixels_at_96) noexcept {
  return MulDiv(pixels_at_96, GetDeviceCaps(dc, LOGPIXELSX), 96);
}

RECT ClientRectOf(HWND child, HWND parent) noexcept {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// How OnInitDialog moves the page's controls. The dialog manager shows a
// dialog only after WM_INITDIALOG, and its first showing paints it whole: the
// controls are neither redrawn nor asked before they move, which spares Wine
// about a tenth of a millisecond a move.
constexpr UINT kLayoutMove = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOREDRAW |
                             SWP_NOCOPYBITS | SWP_NOSENDCHANGING;

// Gives a button the width of its own caption plus its padding, keeping the rest.
void FitToCaption(HWND dialog, HDC dc, int id) {
  HWND button = GetDlgItem(dialog, id);
  const RECT rect = ClientRectOf(button, dialog);
  SetWindowPos(button, nullptr, rect.left, rect.top,
               CaptionWidth(dc, button, WindowText(button)) + ScaledPixels(dc, 8),
               rect.bottom - rect.top, kLayoutMove);
}
}  // namespace

ActivityPage::~ActivityPage() { Destroy(); }

HWND ActivityPage::CreatePageWindow(HWND parent) noexcept {
  return Create(resources_, IDD_ACTIVITY_PAGE, parent);
}

void ActivityPage::OnWindowDestroyed() noexcept {
  // A fill under way has no window to fill any more; a new window shows it all.
  ++record_type_fills_;
  records_.Detach();
  queries_.Detach();
  record_types_ = database_edit_ = nullptr;
}

void ActivityPage::ShowHeldState() {
  ShowDataBase();
  ShowRecordTypes();
  records_.Fill(CurrentDataBase);
  queries_.Fill(CurrentDataBase);
}

BOOL ActivityPage::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result, DWORD map_id) noexcept {
  if (map_id != 0) return FALSE;
  // A handler may call the host, and the owner's answer the container; either
  // may drop the last reference to the page's owner.
  const ComPtr<IUnknown> alive = KeepAlive();
  if (message == WM_INITDIALOG) {
    result = OnInitDialog();
    return TRUE;
  }
  // What the page leaves alone is the owner's: colours, focus, activation.
  if (!HandlePageCommand(message, wParam, result))
    return owner_.OnUnhandledPageMessage(window, message, wParam, lParam, result);
  return TRUE;
}

BOOL ActivityPage::HandlePageCommand(UINT message, WPARAM wParam, LRESULT& result) noexcept {
  if (message != WM_COMMAND) return FALSE;
  const WORD id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  HRESULT (ActivityPage::*handler)() = nullptr;
  if (id == IDC_GO && code == BN_CLICKED) handler = &ActivityPage::OnGo;
  if (id == IDC_CHANGE_DATABASE && code == BN_CLICKED) handler = &ActivityPage::OnChangeDataBase;
  bool handled = handler != nullptr;
  // The outcome of an action is not reported anywhere: the command's result is 0.
  CatchReturn([&] {
    if (handler) return (this->*handler)();
    HRESULT outcome = S_OK;
    handled = records_.HandleCommand(id, code, ActivityHost, CurrentDataBase, outcome) ||
              queries_.HandleCommand(id, code, ActivityHost, CurrentDataBase, outcome);
    return outcome;
  });
  if (!handled) return FALSE;
  result = 0;
  return TRUE;
}

LRESULT ActivityPage::OnInitDialog() noexcept {
  HWND page = window();
  WindowDc dc(page);

  records_.Attach(page);
  queries_.Attach(page);
  record_types_ = GetDlgItem(page, IDC_RECORD_TYPES);
  database_edit_ = GetDlgItem(page, IDC_DATABASE_EDIT);
  const HWND view_record = records_.open_button();
  const HWND run_query = queries_.open_button();
  const HWND remove_records = records_.remove_button();
  const HWND remove_queries = queries_.remove_button();

  CatchReturn([&] {
    // Longest by the bytes of the caption's ANSI form; on equal lengths the
    // earlier button's caption stays.
    HWND longest_button = view_record;
    std::wstring longest = WindowText(view_record);
    size_t longest_bytes = AnsiLength(longest);
    for (HWND button : {run_query, remove_records, remove_queries}) {
      std::wstring caption = WindowText(button);
      const size_t bytes = AnsiLength(caption);
      if (longest_bytes < bytes) {
        longest_button = button;
        longest = std::move(caption);
        longest_bytes = bytes;
      }
    }
    const LONG width = CaptionWidth(dc.get(), longest_button, longest);

    const RECT list = ClientRectOf(records_.list(), page);
    for (HWND button : {view_record, remove_records, run_query, remove_queries}) {
      const RECT rect = ClientRectOf(button, page);
      SetWindowPos(button, nullptr, list.right + ScaledPixels(dc.get(), 4), rect.top,
                   width + ScaledPixels(dc.get(), 8), rect.bottom - rect.top, kLayoutMove);
    }

    HWND group = GetDlgItem(page, IDC_GROUP_BOX);
    const RECT frame = ClientRectOf(group, page);
    SetWindowPos(group, nullptr, frame.left, frame.top,
                 (list.right - list.left) + width + ScaledPixels(dc.get(), 32),
                 frame.bottom - frame.top, kLayoutMove);

    FitToCaption(page, dc.get(), IDC_CHANGE_DATABASE);
    FitToCaption(page, dc.get(), IDC_GO);
    return S_OK;
  });
  CatchReturn([&] {
    ShowHeldState();
    return S_OK;
  });
  // FALSE: the dialog manager would otherwise focus the first tab stop of a
  // page that is still hidden, taking the keyboard from the container. The
  // focus enters only through the owner (activation, a click, the keyboard).
  return FALSE;
}
