// The messages the hosting layer answers: colours, focus entering and
// leaving, kill-focus notes, mouse activation; and the keyboard division.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include "framework/background_brush.h"
#include "framework/focus_tracking.h"
#include "framework/hosting_fixture.h"
#include "resources/resource_ids.h"

namespace {

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH description = {};
  EXPECT_EQ(GetObjectA(brush, sizeof description, &description),
            static_cast<int>(sizeof description));
  return description.lbColor;
}

class MessageTest : public HostingTest {
 protected:
  // In-place active with a window, and UI-active when `ui`.
  void Activate(bool ui) {
    Attach();
    ASSERT_EQ(Verb(ui ? OLEIVERB_UIACTIVATE : OLEIVERB_INPLACEACTIVATE), S_OK);
    ASSERT_NE(Window(), nullptr);
    container->log.Clear();
  }
  HRESULT Key(UINT message, WPARAM key) {
    MSG msg = {GetFocus(), message, key, 0, 0, {0, 0}};
    return control->hosting.TranslateAccelerator(&msg);
  }
  // Where the focus lands when it comes back from the container.
  HWND Reentered() {
    SetFocus(container->own_field);
    SetFocus(Window());
    return GetFocus();
  }
};

TEST_F(MessageTest, BackgroundFollowsTheAmbientBackColor) {
  container->back_color = 0x80000005;  // the window colour, as a system index
  Activate(false);
  COLORREF translated = 0;
  ASSERT_EQ(OleTranslateColor(0x80000005, nullptr, &translated), S_OK);
  EXPECT_EQ(translated, GetSysColor(COLOR_WINDOW));

  // The dialog and its static texts get a brush of that colour and the colour
  // as the background; the text colour stays.
  WindowDc windowDc(Window());
  const HDC dc = windowDc.get();
  SetBkColor(dc, RGB(1, 2, 3));
  const COLORREF text = GetTextColor(dc);
  const HBRUSH first = Background(dc);
  EXPECT_EQ(BrushColor(first), translated);
  EXPECT_EQ(GetBkColor(dc), translated);
  EXPECT_EQ(GetTextColor(dc), text);
  EXPECT_EQ(SendMessageA(Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Item(IDC_DATABASE_EDIT))),
            reinterpret_cast<LRESULT>(first));
  // High contrast: the system colours, whatever the container says; without
  // a brush the dialog's own colours. Both leave the DC's background alone.
  BackgroundBrush brush;
  ASSERT_EQ(brush.Update(static_cast<IDispatch*>(container.get())), S_OK);
  SetBkColor(dc, RGB(1, 2, 3));
  EXPECT_EQ(brush.AnswerColorMessage(dc, true), 0);
  EXPECT_EQ(BackgroundBrush().AnswerColorMessage(dc, false), 0);
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  // Wine refuses SPI_SETHIGHCONTRAST, so only the off state is read here.
  EXPECT_FALSE(HighContrastOn());
  container->log.Clear();

  // A change replaces the brush (the old one deleted) and repaints; other
  // ambient changes read nothing. A failed read leaves the dialog's colours.
  container->back_color = RGB(200, 10, 20);
  EXPECT_EQ(control->hosting.OnAmbientPropertyChange(DISPID_AMBIENT_FORECOLOR), S_OK);
  EXPECT_TRUE(container->log.Matches({}));
  EXPECT_EQ(control->hosting.OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_TRUE(container->log.Matches({"Site.Invoke(-701)"}));
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(BrushColor(Background(dc)), RGB(200, 10, 20));
  container->back_color_result = DISP_E_MEMBERNOTFOUND;
  EXPECT_EQ(control->hosting.OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_EQ(Background(dc), nullptr);

  // Not in-place active: the view is told instead.
  ASSERT_EQ(control->hosting.InPlaceDeactivate(), S_OK);
  container->log.Clear();
  EXPECT_EQ(control->hosting.OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_TRUE(container->log.Matches({"Site.Invoke(-701)", "Control.ViewChanged()"}));
  EXPECT_EQ(BackgroundBrush().Update(nullptr), E_FAIL);
}

TEST_F(MessageTest, FocusEntersByTheKeyboardState) {
  Activate(false);
  const HWND window = Window();
  const HWND first = GetWindow(window, GW_CHILD);
  const HWND last = GetWindow(first, GW_HWNDLAST);
  ASSERT_EQ(GetDlgCtrlID(last), IDC_REMOVE_QUERIES);
  struct Case {
    std::initializer_list<int> keys;
    HWND expected;
  };
  const Case cases[] = {
      {{VK_TAB, VK_SHIFT}, last}, {{VK_UP}, last},   {{VK_LEFT}, last},
      {{VK_TAB}, first},          {{VK_DOWN}, first}, {{VK_RIGHT}, first},
      {{VK_SHIFT}, nullptr},  // no navigation key: the remembered child
  };
  for (const Case& test : cases) {
    KeysDown(test.keys);
    HWND remembered = Item(IDC_RECORDS_LIST);
    EXPECT_EQ(ChildToFocusOnEntry(window, remembered), test.expected ? test.expected : remembered)
        << "case " << (&test - cases);
  }
  // No key: the remembered child while it lies inside, else the first child.
  KeysDown({});
  HWND remembered = Item(IDC_RECORDS_LIST);
  EXPECT_EQ(ChildToFocusOnEntry(window, remembered), Item(IDC_RECORDS_LIST));
  remembered = container->window;
  EXPECT_EQ(ChildToFocusOnEntry(window, remembered), first);
  EXPECT_EQ(remembered, first);

  // Through WM_SETFOCUS: UI activation, the site told, the focus moved on.
  KeysDown({VK_TAB});
  SetFocus(window);
  EXPECT_EQ(GetFocus(), first);
  const std::vector<std::string> calls = container->log.calls();
  ASSERT_GE(calls.size(), 3u);
  // The container's mode is asked first: only in user mode does it UI-activate.
  EXPECT_EQ(calls.front(), "Site.Invoke(-709)");
  EXPECT_EQ(calls[1], "Control.DoVerb(-4)");
  EXPECT_EQ(calls.back(), "Site.OnFocus(1)");
  container->log.Clear();

  // A list that loses the focus is remembered and gets it back.
  KeysDown({});
  SetFocus(Item(IDC_RECORDS_LIST));
  EXPECT_EQ(Reentered(), Item(IDC_RECORDS_LIST));
  EXPECT_TRUE(
      container->log.Matches({"Site.OnFocus(0)", "Control.DoVerb(-4)", "Site.OnFocus(1)"}));

  // UI deactivation forgets it: the focus enters at the first child again.
  SetFocus(container->window);
  control->hosting.UIDeactivate();
  EXPECT_EQ(Reentered(), first);
}

TEST_F(MessageTest, FocusLeavingAndMouseActivation) {
  Activate(true);
  const HWND window = Window();
  // Leaving for a child says nothing; leaving for the container tells the site.
  SendMessageA(window, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Item(IDC_GO)), 0);
  EXPECT_TRUE(container->log.Matches({}));
  SendMessageA(window, WM_KILLFOCUS, reinterpret_cast<WPARAM>(container->window), 0);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)"}));
  // The window never hears the focus cross at a child, and the site still does.
  SetFocus(Item(IDC_GO));
  container->log.Clear();
  SetFocus(container->own_field);
  EXPECT_TRUE(container->log.Matches({"Site.OnFocus(0)"}));
  SetFocus(Item(IDC_RECORDS_LIST));
  EXPECT_TRUE(container->log.Matches({"Control.DoVerb(-4)", "Site.OnFocus(1)"}));

  // Kill-focus notifications (and no other) name the child the focus returns to.
  SetFocus(container->own_field);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RECORD_TYPES, CBN_KILLFOCUS),
               reinterpret_cast<LPARAM>(Item(IDC_RECORD_TYPES)));
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(IDC_GO)));
  EXPECT_EQ(Reentered(), Item(IDC_RECORD_TYPES));
  SetFocus(container->own_field);
  NMHDR header = {Item(IDC_QUERIES_LIST), IDC_QUERIES_LIST, static_cast<UINT>(NM_KILLFOCUS)};
  SendMessageA(window, WM_NOTIFY, IDC_QUERIES_LIST, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(Reentered(), Item(IDC_QUERIES_LIST));

  // Mouse activation remembers the focused child and UI-activates in user mode.
  SetFocus(Item(IDC_GO));
  container->log.Clear();
  SendMessageA(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(container->window),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_TRUE(container->log.Matches({"Site.Invoke(-709)", "Control.DoVerb(-4)"}));
  EXPECT_EQ(Reentered(), Item(IDC_GO));
  // With the focus outside it remembers none: the focus enters at the first child.
  container->user_mode = VARIANT_FALSE;
  SetFocus(container->window);
  container->log.Clear();
  SendMessageA(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(container->window),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_TRUE(container->log.Matches({"Site.Invoke(-709)"}));
  EXPECT_EQ(Reentered(), GetWindow(window, GW_CHILD));
}

TEST_F(MessageTest, KeyboardDivision) {
  Activate(true);
  container->translate_accelerator = S_OK;
  // The last enabled tab stop: Tab leaves for the container, whose answer counts.
  const HWND lastStop = Item(IDC_QUERIES_LIST);
  SetFocus(lastStop);
  EXPECT_EQ(Key(WM_KEYDOWN, VK_TAB), S_OK);
  EXPECT_EQ(GetFocus(), lastStop);
  container->translate_accelerator = S_FALSE;
  EXPECT_EQ(Key(WM_KEYDOWN, VK_TAB), S_FALSE);
  // The list takes arrows itself; a button as the last stop lets Down leave.
  EXPECT_EQ(Key(WM_KEYDOWN, VK_DOWN), S_OK);
  EnableWindow(Item(IDC_REMOVE_QUERIES), TRUE);
  SetFocus(Item(IDC_REMOVE_QUERIES));
  EXPECT_EQ(Key(WM_KEYDOWN, VK_DOWN), S_FALSE);
  EXPECT_EQ(GetFocus(), Item(IDC_REMOVE_QUERIES));
  EXPECT_TRUE(container->log.Matches({"Site.TranslateAccelerator(0x100, 0x9, 0)",
                                      "Site.TranslateAccelerator(0x100, 0x9, 0)",
                                      "Site.TranslateAccelerator(0x100, 0x28, 0)"}));

  // Elsewhere Tab moves inside the page and is consumed; the focus returns there.
  SetFocus(Item(IDC_RECORD_TYPES));
  EXPECT_EQ(Key(WM_KEYDOWN, VK_TAB), S_OK);
  EXPECT_EQ(GetFocus(), Item(IDC_GO));
  EXPECT_TRUE(container->log.Matches({}));
  EXPECT_EQ(Reentered(), Item(IDC_GO));
  container->log.Clear();

  // Shift+Tab and Left leave at the first child window.
  SetFocus(GetWindow(Window(), GW_CHILD));
  KeysDown({VK_SHIFT});
  EXPECT_EQ(Key(WM_KEYDOWN, VK_TAB), S_FALSE);
  KeysDown({});
  EXPECT_EQ(Key(WM_KEYDOWN, VK_LEFT), S_FALSE);
  EXPECT_TRUE(container->log.Matches({"Site.TranslateAccelerator(0x100, 0x9, 1)",
                                      "Site.TranslateAccelerator(0x100, 0x25, 0)"}));

  // Escape never stays, whatever the modifiers; Enter does.
  SetFocus(Item(IDC_RECORD_TYPES));
  KeysDown({VK_SHIFT, VK_CONTROL, VK_MENU});
  EXPECT_EQ(Key(WM_KEYDOWN, VK_ESCAPE), S_FALSE);
  KeysDown({});
  EXPECT_EQ(Key(WM_KEYDOWN, VK_CANCEL), S_FALSE);
  EXPECT_TRUE(container->log.Matches({"Site.TranslateAccelerator(0x100, 0x1B, 7)",
                                      "Site.TranslateAccelerator(0x100, 0x3, 0)"}));
  SetFocus(Item(IDC_CHANGE_DATABASE));
  EXPECT_EQ(Key(WM_KEYDOWN, VK_RETURN), S_OK);
  EXPECT_TRUE(container->log.Matches({}));

  // A character the target does not take goes to the site, not the dialog.
  MSG character = {Window(), WM_CHAR, 'x', 0, 0, {0, 0}};
  EXPECT_EQ(control->hosting.TranslateAccelerator(&character), S_FALSE);
  EXPECT_TRUE(container->log.Matches({"Site.TranslateAccelerator(0x102, 0x78, 0)"}));

  // Other messages go to the site alone; without a control site: S_FALSE.
  EXPECT_EQ(Key(WM_TIMER, 0), S_FALSE);
  EXPECT_TRUE(container->log.Matches({"Site.TranslateAccelerator(0x113, 0x0, 0)"}));
  container->offer_control_site = false;
  container->translate_accelerator = S_OK;
  EXPECT_EQ(Key(WM_KEYDOWN, VK_ESCAPE), S_FALSE);
  EXPECT_TRUE(container->log.Matches({}));
}

}  // namespace
