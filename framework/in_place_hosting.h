#pragma once
// The in-place hosting of a control whose window is a child dialog: the
// in-place site it finds and keeps, activation by verb, UI activation and
// deactivation, positioning, the background brush, the focus and the keyboard
// division. The control owns one InPlaceHosting as a member and forwards the
// matching interface calls and the window messages its own map leaves
// unhandled; the owner keeps the client site, the ambient dispatch and the
// window, and answers the callbacks below. Single-threaded.
//
// A container may deactivate, close or release the control from inside any
// of its callbacks. So every call out goes to a counted copy of the site, frame
// or UI window, never to a member a callback can drop; the window is read anew
// after each call; and an activation step that finds the control deactivated
// or closed since it began stops with E_UNEXPECTED, leaving the control as the
// container's call left it. A deactivation, once begun, tells the site and the
// frames all it started to, so each hears the end of what it heard begin.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include "framework/background_brush.h"
#include "framework/child_focus_watch.h"
#include "framework/com_ptr.h"

// What the hosting needs from its control.
class InPlaceOwner {
 public:
  // The client site (null without one) and the ambient dispatch taken from it
  // (null when the site has none). Not counted for the caller.
  virtual IOleClientSite* HostingClientSite() noexcept = 0;
  virtual IDispatch* HostingAmbientDispatch() noexcept = 0;
  // The control's identity (for the property frame; its ISpecifyPropertyPages
  // names the pages) and its in-place active object. Not counted for the caller.
  virtual IUnknown* HostingIdentity() noexcept = 0;
  virtual IOleInPlaceActiveObject* HostingActiveObject() noexcept = 0;
  // The object whose references keep the control alive, or null while it is
  // being destroyed: the hosting holds one across the calls out that a window
  // message starts. Not counted for the caller.
  virtual IUnknown* HostingLifetime() noexcept = 0;
  // The control window, if any; creating it as a hidden child of `parent`
  // (null on failure); destroying it (no window afterwards).
  virtual HWND ControlWindow() noexcept = 0;
  virtual HWND CreateControlWindow(HWND parent) noexcept = 0;
  virtual void DestroyControlWindow() noexcept = 0;
  // The control's own IOleObject::DoVerb and GetUserType: the focus
  // UI-activates through the first, the property frame's caption comes from
  // the second. One override in the control serves both bases.
  virtual HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite,
                                           LONG index, HWND parent, LPCRECT position) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) = 0;
  // A repaint request while the control is not in-place active: the view
  // advise sink's OnViewChange(DVASPECT_CONTENT, -1), when there is one.
  virtual void HostingViewChanged() noexcept = 0;

 protected:
  ~InPlaceOwner() = default;
};

class InPlaceHosting : private FocusCrossingListener {
 public:
  explicit InPlaceHosting(InPlaceOwner& owner) noexcept : owner_(owner) {}
  InPlaceHosting(const InPlaceHosting&) = delete;
  InPlaceHosting& operator=(const InPlaceHosting&) = delete;

  // IOleObject::DoVerb: E_UNEXPECTED unless `activeSite` is the client site
  // by identity; otherwise the verb table (in_place_verbs.cpp).
  HRESULT DoVerb(LONG verb, IOleClientSite* activeSite, HWND parent) noexcept;

  // In-place activation for `verb` (OLEIVERB_SHOW, _INPLACEACTIVATE or
  // _UIACTIVATE). S_OK and nothing else without a client site; E_FAIL without
  // an in-place site or when the window cannot be made (the control stays
  // in-place active without a window then); E_UNEXPECTED when a callback
  // deactivated or closed the control.
  HRESULT InPlaceActivate(LONG verb) noexcept;
  // Forgets the last focused child; when UI-active, unregisters the active
  // object and tells the site. Always S_OK.
  HRESULT UIDeactivate() noexcept;
  // When in-place active: UI-deactivates, destroys the window, tells the site.
  HRESULT InPlaceDeactivate() noexcept;
  // Drops the in-place site (the control is closing); call after deactivating.
  void ReleaseSite() noexcept;

  // IOleInPlaceObject::SetObjectRects: E_POINTER for a null rectangle.
  HRESULT SetObjectRects(LPCRECT position, LPCRECT clip) noexcept;
  // IOleWindow::GetWindow: E_UNEXPECTED without a window.
  HRESULT GetWindow(HWND* window) noexcept;
  // IOleInPlaceActiveObject::TranslateAccelerator: S_OK when consumed.
  HRESULT TranslateAccelerator(const MSG* message) noexcept;
  // IOleControl::OnAmbientPropertyChange: BackColor is taken over and repainted.
  HRESULT OnAmbientPropertyChange(DISPID id) noexcept;

  // The hosting layer's answer to a message the control's own map left
  // unhandled (in_place_messages.cpp). TRUE with `result` when handled.
  BOOL ProcessMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                      LRESULT& result) noexcept;

 private:
  HRESULT FindSite() noexcept;
  HRESULT ActivateInSite() noexcept;
  HRESULT ShowWindowInSite() noexcept;
  // SetObjectRects, with `show_flag` (0 or SWP_SHOWWINDOW) in the one move:
  // a window made hidden is shown where it belongs, not first where its
  // template put it and then moved.
  HRESULT Place(LPCRECT position, LPCRECT clip, UINT show_flag) noexcept;
  HRESULT UIActivate() noexcept;
  // Whether the control was deactivated or closed since `withdrawals_` was `since`.
  bool Withdrawn(unsigned long since) const noexcept { return withdrawals_ != since; }
  // A counted copy of the ambient dispatch, which a callback may drop.
  ComPtr<IDispatch> Ambient() noexcept { return ComPtr<IDispatch>(owner_.HostingAmbientDispatch()); }
  HRESULT ShowProperties(HWND parent) noexcept;
  void RequestRepaint() noexcept;
  HRESULT UIActivateSelf() noexcept;
  // UI-activates unless the container's ambient UserMode says design mode.
  void UIActivateInUserMode() noexcept;
  void OnSetFocus(HWND window, HWND previous_focus) noexcept;
  void OnKillFocus(HWND window, HWND new_focus) noexcept;
  // The focus crossing the window's edge, at the window itself or at a child:
  // the control site hears each entry and each exit once.
  void OnFocusEntered() noexcept override;
  void OnFocusLeft() noexcept override;
  void OnMouseActivate(HWND window) noexcept;
  ComPtr<IOleControlSite> ControlSite() noexcept;
  // The control site of the container the window is active in: it hears of
  // the focus even after the control was handed another client site, so each
  // container hears an OnFocus(FALSE) for each OnFocus(TRUE).
  ComPtr<IOleControlSite> FocusSite() noexcept;

  InPlaceOwner& owner_;
  ComPtr<IOleInPlaceSite> site_;
  ComPtr<IOleInPlaceSiteEx> site_ex_;  // the same site, when it offers the extended form
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> ui_window_;
  // In-place deactivations and closes so far: see Withdrawn.
  unsigned long withdrawals_ = 0;
  bool in_place_active_ = false;
  bool ui_active_ = false;
  // The focus crossed into the window and has not crossed out since: the
  // deactivation asks the window manager (a wineserver request) only then.
  bool focus_inside_ = false;
  RECT position_ = {};
  // The window that holds a clipping region from SetObjectRects, if any:
  // removing a region that was never set is a wineserver request and a
  // frame change for nothing, on every activation.
  HWND clipped_window_ = nullptr;
  HWND last_focus_child_ = nullptr;
  BackgroundBrush background_;
  ChildFocusWatch child_focus_{*this};
};

// The system property frame, replaceable so tests need not run its modal loop.
using PropertyFrameFunction = HRESULT(WINAPI*)(HWND owner, UINT x, UINT y, LPCOLESTR caption,
                                               ULONG objectCount, IUnknown** objects,
                                               ULONG pageCount, CLSID* pages, LCID locale,
                                               DWORD reserved, void* reserved2);
// Returns the previous function.
PropertyFrameFunction SetPropertyFrameFunction(PropertyFrameFunction function) noexcept;
