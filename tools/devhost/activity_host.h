#pragma once
// The development host's IHvActivityHost: answers the page from a HostData
// and saves every change to the data file at once. Requests are logged one
// line each. Calls back into the page are never made from inside a page call;
// the owner is told through HostEvents and makes them afterwards.
#include <string>

#include "PellwickHost.h"
#include "host_data.h"

class HostEvents {
 public:
  // Shows the known databases; true with `choice` set when the user picked one.
  virtual bool PickDataBase(const HostData& data, std::string& choice) = 0;
  // The current database changed: the page should hear DataBaseOpened.
  virtual void DataBaseChanged() = 0;
  // A recently-viewed list changed: the page should hear RefreshMRUs.
  virtual void ListsChanged() = 0;
  // The record type SubmitRecord uses when the page passes none.
  virtual std::string DefaultRecordType() = 0;

 protected:
  ~HostEvents() = default;
};

class ActivityHost : public IHvActivityHost {
 public:
  // `file` is rewritten after each change; `events` must outlive the host.
  ActivityHost(HostData data, std::wstring file, HostEvents& events);
  ActivityHost(const ActivityHost&) = delete;
  ActivityHost& operator=(const ActivityHost&) = delete;

  const HostData& data() const noexcept { return data_; }
  // References others hold; the owner's own is not counted.
  long ForeignReferences() const noexcept { return refs_ - 1; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE GetQueryMRUs(BSTR* queries) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRecordMRUs(BSTR* records) noexcept override;
  HRESULT STDMETHODCALLTYPE ChangeDataBase() noexcept override;
  HRESULT STDMETHODCALLTYPE GetCurrentDataBase(BSTR* dataBase) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRecordTypes(BSTR dataBase, BSTR* recordTypes) noexcept override;
  HRESULT STDMETHODCALLTYPE SubmitRecord(BSTR dataBase, BSTR recordType) noexcept override;
  HRESULT STDMETHODCALLTYPE ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2, BSTR label,
                                       BSTR detail) noexcept override;
  HRESULT STDMETHODCALLTYPE RunQuery(BSTR dataBase, BSTR queryName) noexcept override;
  HRESULT STDMETHODCALLTYPE GetRegistryKey(BSTR* keyPath) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveRecordMRU(BSTR dataBase, BSTR hostData1, BSTR hostData2,
                                            BSTR label, BSTR detail) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveQueryMRU(BSTR dataBase, BSTR queryName) noexcept override;

 private:
  HRESULT Answer(const std::string& text, BSTR* out) noexcept;
  void Save() noexcept;
  // A list the page changed: saved, and the page is told to re-read the lists.
  HRESULT KeepListChange() noexcept;

  long refs_ = 1;  // the owner's
  HostData data_;
  std::wstring file_;
  HostEvents& events_;
};

// The query RunQuery runs when the page names none.
inline constexpr const char kDefaultQuery[] = "My Open Records";

// Writes `text` to `file` through a temporary file beside it, so that a
// failed write leaves the old file whole. False on failure.
bool WriteFileReplacing(const std::wstring& file, const std::string& text) noexcept;
