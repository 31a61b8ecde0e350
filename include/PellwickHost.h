// PellwickHost.h: the interfaces between a Halvern host application and the
// Pellwick activity page (ActivityCtrl, CLSID {1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}).
//
// The host implements IHvActivityHost and hands it to the page through the
// control's IHpAdviseEvents::SetActivityHost; it drives the page through the
// control's IHvProjectList. All calls happen on the thread that created the
// control.
//
// Strings: in-arguments belong to the caller, who frees them after the call;
// the callee neither frees nor keeps them. Out-arguments arrive set to NULL;
// the callee stores a new BSTR (or leaves NULL for "no text") and the caller
// frees it. Text is UTF-16: the page keeps what the host gives up to its
// first NUL, in any script, and hands back exactly that; the registry values
// it remembers ("Last Record Types", "Last OV dataBase") are UTF-16 too.
// Every page window shows what the control holds, however often the
// container deactivates and activates it. Recently-viewed texts hold five
// line-feed-terminated fields per entry, followed by one UTF-16 unit that is
// skipped (usually an empty line).
#ifndef PELLWICK_HOST_H
#define PELLWICK_HOST_H

#include <objbase.h>
#include <oaidl.h>

#ifdef __cplusplus

// {9C15C194-8EC1-42FE-A629-FBFCD7C367C2}
MIDL_INTERFACE("9C15C194-8EC1-42FE-A629-FBFCD7C367C2")
IHvActivityHost : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE GetQueryMRUs(BSTR* queries) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRecordMRUs(BSTR* records) = 0;
  virtual HRESULT STDMETHODCALLTYPE ChangeDataBase() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentDataBase(BSTR* dataBase) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRecordTypes(BSTR dataBase, BSTR* recordTypes) = 0;
  virtual HRESULT STDMETHODCALLTYPE SubmitRecord(BSTR dataBase, BSTR recordType) = 0;
  virtual HRESULT STDMETHODCALLTYPE ViewRecord(BSTR dataBase, BSTR hostData1, BSTR hostData2,
                                               BSTR label, BSTR detail) = 0;
  virtual HRESULT STDMETHODCALLTYPE RunQuery(BSTR dataBase, BSTR queryName) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRegistryKey(BSTR* keyPath) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveRecordMRU(BSTR dataBase, BSTR hostData1,
                                                    BSTR hostData2, BSTR label,
                                                    BSTR detail) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveQueryMRU(BSTR dataBase, BSTR queryName) = 0;
};

// {3A041F1F-A2AC-4453-A057-829C89692083}
MIDL_INTERFACE("3A041F1F-A2AC-4453-A057-829C89692083")
IHpAdviseEvents : public IUnknown {
 public:
  // Always E_NOINTERFACE; the argument is not read.
  virtual HRESULT STDMETHODCALLTYPE AdviseEvent(LONG event) = 0;
  // Holds one reference to `host` (NULL drops it) and refreshes the page.
  virtual HRESULT STDMETHODCALLTYPE SetActivityHost(IHvActivityHost* host) = 0;
};

// {F9B424D4-51A1-40E0-8EB1-1B9097AF9811}
MIDL_INTERFACE("F9B424D4-51A1-40E0-8EB1-1B9097AF9811")
IHvProjectList : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE SetPageContext(short nPageID) = 0;       // E_NOTIMPL
  virtual HRESULT STDMETHODCALLTYPE DataBaseOpened(BSTR bstrDataBase) = 0;
  virtual HRESULT STDMETHODCALLTYPE RefreshMRUs() = 0;
  // The first record type, or the default name; the caller frees the BSTR.
  virtual HRESULT STDMETHODCALLTYPE GetDefaultRecordType(BSTR* pbstrDefRecType) = 0;
  virtual HRESULT STDMETHODCALLTYPE SubmitDefaultRecordType() = 0;
  virtual HRESULT STDMETHODCALLTYPE RunDefaultQuery() = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableOrveltPage() = 0;                 // E_NOTIMPL
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IHvActivityHost, 0x9C15C194, 0x8EC1, 0x42FE, 0xA6, 0x29, 0xFB, 0xFC, 0xD7, 0xC3,
                0x67, 0xC2)
__CRT_UUID_DECL(IHpAdviseEvents, 0x3A041F1F, 0xA2AC, 0x4453, 0xA0, 0x57, 0x82, 0x9C, 0x89, 0x69,
                0x20, 0x83)
__CRT_UUID_DECL(IHvProjectList, 0xF9B424D4, 0x51A1, 0x40E0, 0x8E, 0xB1, 0x1B, 0x90, 0x97, 0xAF,
                0x98, 0x11)
#endif

inline constexpr IID IID_IHvActivityHost = {
    0x9C15C194, 0x8EC1, 0x42FE, {0xA6, 0x29, 0xFB, 0xFC, 0xD7, 0xC3, 0x67, 0xC2}};
inline constexpr IID IID_IHpAdviseEvents = {
    0x3A041F1F, 0xA2AC, 0x4453, {0xA0, 0x57, 0x82, 0x9C, 0x89, 0x69, 0x20, 0x83}};
inline constexpr IID IID_IHvProjectList = {
    0xF9B424D4, 0x51A1, 0x40E0, {0x8E, 0xB1, 0x1B, 0x90, 0x97, 0xAF, 0x98, 0x11}};
inline constexpr CLSID CLSID_ActivityCtrl = {
    0x1A23B247, 0xC9CF, 0x43F5, {0xA7, 0xAE, 0x6B, 0x1F, 0xF4, 0xBD, 0xB5, 0x2A}};

#endif  // __cplusplus
#endif  // PELLWICK_HOST_H
