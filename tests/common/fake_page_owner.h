#pragma once
// The smallest object that embeds an ActivityPage, as a control does: one
// counted identity that answers IHpAdviseEvents and IHvProjectList by passing
// them to its page, keeps the page alive while the page calls out, and leaves
// the messages the page's map does not handle to the dialog's defaults. The
// last Release deletes it with its page. Dialog 104 comes from this program's
// resources.
#include <windows.h>

#include "framework/com_ptr.h"
#include "include/PellwickHost.h"
#include "page/activity_page.h"

class FakePageOwner final : public IHpAdviseEvents, public IHvProjectList, public PageOwner {
 public:
  // A new owner, with one reference for the caller.
  static ComPtr<FakePageOwner> New();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE AdviseEvent(LONG event) noexcept override {
    return page.AdviseEvent(event);
  }
  HRESULT STDMETHODCALLTYPE SetActivityHost(IHvActivityHost* host) noexcept override {
    return page.SetActivityHost(host);
  }
  HRESULT STDMETHODCALLTYPE SetPageContext(short id) noexcept override {
    return page.SetPageContext(id);
  }
  HRESULT STDMETHODCALLTYPE DataBaseOpened(BSTR name) noexcept override {
    return page.DataBaseOpened(name);
  }
  HRESULT STDMETHODCALLTYPE RefreshMRUs() noexcept override { return page.RefreshMRUs(); }
  HRESULT STDMETHODCALLTYPE GetDefaultRecordType(BSTR* name) noexcept override {
    return page.GetDefaultRecordType(name);
  }
  HRESULT STDMETHODCALLTYPE SubmitDefaultRecordType() noexcept override {
    return page.SubmitDefaultRecordType();
  }
  HRESULT STDMETHODCALLTYPE RunDefaultQuery() noexcept override { return page.RunDefaultQuery(); }
  HRESULT STDMETHODCALLTYPE DisableOrveltPage() noexcept override {
    return page.DisableOrveltPage();
  }

  IUnknown* PageLifetime() noexcept override {
    return destroying_ ? nullptr : static_cast<IHpAdviseEvents*>(this);
  }
  BOOL OnUnhandledPageMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) noexcept override {
    return FALSE;
  }

  ActivityPage page{GetModuleHandleW(nullptr), *this};

 private:
  FakePageOwner() = default;
  ~FakePageOwner() = default;
  ULONG references_ = 1;
  bool destroying_ = false;
};
