#pragma once
// An OLE, data or view advise sink: logs every notification
// ("OnViewChange(1, -1)", "OnSave()", ...) and counts the two a long run
// wants totals of, so a test can check both the sequence and that every
// reference taken on it was given back.
#include <windows.h>
#include <ocidl.h>

#include "common/call_log.h"
#include "common/ref_counts.h"

class FakeAdviseSink : public IAdviseSinkEx, public RefCounts {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountAddRef("advise sink"); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return CountRelease("advise sink"); }

  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) noexcept override;
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG index) noexcept override;
  void STDMETHODCALLTYPE OnRename(IMoniker*) noexcept override;
  void STDMETHODCALLTYPE OnSave() noexcept override;
  void STDMETHODCALLTYPE OnClose() noexcept override;
  void STDMETHODCALLTYPE OnViewStatusChange(DWORD status) noexcept override;

  CallLog log;
  int view_changes = 0;
  int saves = 0;

 private:
  void Told(std::string call);
};
