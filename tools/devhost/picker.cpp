#include "picker.h"

#include "devhost_ids.h"

namespace {
struct PickerState {
  const HostData* data;
  std::string* choice;
};

INT_PTR CALLBACK PickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND list = GetDlgItem(dialog, IDC_PICKER_LIST);
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto* state = reinterpret_cast<PickerState*>(lParam);
    for (const DataBase& base : state->data->data_bases) {
      const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(base.name.c_str()));
      if (base.name == state->data->current_data_base) SendMessageA(list, LB_SETCURSEL, row, 0);
    }
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const bool chosen = LOWORD(wParam) == IDOK ||
                      (LOWORD(wParam) == IDC_PICKER_LIST && HIWORD(wParam) == LBN_DBLCLK);
  if (chosen) {
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return TRUE;  // nothing picked yet: stay open
    auto* state = reinterpret_cast<PickerState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    *state->choice = state->data->data_bases[static_cast<size_t>(row)].name;
    EndDialog(dialog, IDOK);
  } else if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
  return TRUE;
}
}  // namespace

bool PickDataBase(HWND owner, const HostData& data, std::string& choice) {
  PickerState state{&data, &choice};
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PICKER), owner,
                         PickerProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}
