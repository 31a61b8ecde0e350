// The page as a host shows it at the display scale and in the UI language of
// the run: CTest runs these once per scale (each in a Wine prefix of its own)
// and language. Every caption fits its button, and the laid-out page fits the
// extent the control reports, by which the host sizes its frame.
#include <cstdlib>
#include <string>

#include "control/wired_fixture.h"
#include "framework/dialog_template.h"
#include "framework/handles.h"
#include "resources/resource_ids.h"

namespace {

const int kButtons[] = {IDC_CHANGE_DATABASE, IDC_GO,        IDC_VIEW_RECORD,
                        IDC_REMOVE_RECORDS,  IDC_RUN_QUERY, IDC_REMOVE_QUERIES};
const int kListButtons[] = {IDC_VIEW_RECORD, IDC_REMOVE_RECORDS, IDC_RUN_QUERY,
                            IDC_REMOVE_QUERIES};

// The child's window rectangle in the page's client coordinates.
RECT PlaceOf(HWND page, HWND child) {
  RECT place = {};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

std::wstring CaptionOf(HWND window) {
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

// The width the button's caption takes as it is drawn: in the button's own
// font, with the mnemonic's '&' left out.
LONG DrawnCaptionWidth(HWND button) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  EXPECT_NE(font, nullptr) << "a button without the dialog's font";
  WindowDc dc(button);
  SelectedObject selected(dc.get(), font);
  const std::wstring caption = CaptionOf(button);
  RECT drawn = {};
  DrawTextW(dc.get(), caption.c_str(), -1, &drawn, DT_CALCRECT | DT_SINGLELINE);
  return drawn.right - drawn.left;
}

// Across a push button besides its caption: on each side the frame's edge,
// as much again to the focus rectangle, and that rectangle's line.
int FocusRoom() {
  return 2 * (2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFOCUSBORDER));
}

// The caption dialog 104 of `module` gives control `id`; empty when missing.
std::wstring TemplateCaption(HMODULE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDD_ACTIVITY_PAGE), MAKEINTRESOURCEW(5));
  const void* bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
  DialogTemplate dialog;
  if (!bytes || !ReadDialogTemplate(bytes, SizeofResource(module, found), dialog)) return {};
  for (const DialogItemTemplate& item : dialog.items)
    if (static_cast<int>(item.id) == id)
      return std::wstring(item.text.text.begin(), item.text.text.end());
  return {};
}

class PageAtDisplayScale : public WiredTest {
 protected:
  void SetUp() override {
    WiredTest::SetUp();
    if (HasFatalFailure()) return;
    WindowDc screen(nullptr);
    dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
    // A prefix that lost its scale would only test 96 DPI again.
    if (const char* asked = std::getenv("PELLWICK_DPI")) {
      ASSERT_EQ(dpi_, std::atoi(asked));
    }
    const bool german = std::getenv("PELLWICK_GERMAN_UI") != nullptr;
    if (german) {
      ASSERT_EQ(GetUserDefaultUILanguage(), 0x0407);
    }

    ComPtr<IOleObject> object = Query<IOleObject>();
    ASSERT_EQ(Query<IPersistStreamInit>()->InitNew(), S_OK);
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent_), S_OK);
    // Placed as a host places it: at the extent in pixels of this screen.
    container->position = {0, 0, MulDiv(extent_.cx, dpi_, 2540),
                           MulDiv(extent_.cy, GetDeviceCaps(screen.get(), LOGPIXELSY), 2540)};
    container->clip = container->position;
    ASSERT_EQ(object->SetClientSite(container->site()), S_OK);
    ASSERT_EQ(Verb(OLEIVERB_INPLACEACTIVATE), S_OK);
    page_ = Window();
    ASSERT_NE(page_, nullptr);

    // A run for German that showed the English page would test English twice.
    ModuleHandle satellite(LoadLibraryExA((ProgramDir() + "resdll\\Pellwick_de.rsc").c_str(),
                                          nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(satellite);
    HMODULE shown = german ? satellite.get() : dll->module.get();
    for (int id : kButtons) {
      const std::wstring expected = TemplateCaption(shown, id);
      ASSERT_FALSE(expected.empty()) << id;
      ASSERT_EQ(CaptionOf(GetDlgItem(page_, id)), expected) << id;
    }
  }

  void TearDown() override {
    if (control) {
      ComPtr<IOleObject> object = Query<IOleObject>();
      EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
      EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    }
    WiredTest::TearDown();
  }

  int dpi_ = 0;
  SIZEL extent_ = {};
  HWND page_ = nullptr;
};

TEST_F(PageAtDisplayScale, EveryCaptionFitsItsButtonWithRoomForTheFocus) {
  for (int id : kButtons) {
    HWND button = GetDlgItem(page_, id);
    RECT client = {};
    GetClientRect(button, &client);
    EXPECT_LE(DrawnCaptionWidth(button) + FocusRoom(), client.right - client.left)
        << "control " << id << " at " << dpi_ << " DPI";
  }
}

TEST_F(PageAtDisplayScale, LaidOutPageFitsTheExtentAndTheFrameHoldsItsButtons) {
  RECT placed = {};
  GetWindowRect(page_, &placed);
  ASSERT_EQ(placed.right - placed.left, container->position.right);
  ASSERT_EQ(placed.bottom - placed.top, container->position.bottom);
  RECT shown = {};
  GetClientRect(page_, &shown);
  for (HWND child : Children(page_)) {
    const RECT place = PlaceOf(page_, child);
    EXPECT_TRUE(place.left >= shown.left && place.top >= shown.top &&
                place.right <= shown.right && place.bottom <= shown.bottom)
        << "control " << GetDlgCtrlID(child) << " reaches " << place.right << "," << place.bottom
        << " of " << shown.right << "," << shown.bottom << " at " << dpi_ << " DPI";
  }

  // The buttons beside the lists stay inside the frame drawn round them.
  const RECT frame = PlaceOf(page_, GetDlgItem(page_, IDC_GROUP_BOX));
  const int edge = GetSystemMetrics(SM_CXEDGE);
  for (int id : kListButtons) {
    const RECT place = PlaceOf(page_, GetDlgItem(page_, id));
    EXPECT_LE(place.right, frame.right - edge) << "control " << id << " at " << dpi_ << " DPI";
  }
}

}  // namespace
