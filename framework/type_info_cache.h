#pragma once
// Type information of one interface or coclass from a registered type library,
// loaded on first use and shared by the whole process until the module shuts
// down; plus IDispatch for a dual interface that has no members of its own,
// answered through such a cache.
#include <windows.h>
#include <oaidl.h>

#include "framework/com_ptr.h"

#include "framework/com_module.h"

class TypeInfoCache {
 public:
  using ModuleAccess = ComModule& (*)() noexcept;

  // Constant-initialised, so a cache at namespace scope is ready before any
  // constructor runs and outlives the module's shut-down callbacks. `module`
  // names the module whose lock and shut-down list the cache uses.
  // A library registered under one locale only is not found from others
  // (LoadRegTypeLib tries the exact, the neutral, then locale 0); a nonzero
  // `fallback` names the locale the first load retries in.
  constexpr TypeInfoCache(const GUID& libid, WORD major, WORD minor, const GUID& guid,
                          ModuleAccess module = ThisModule, LCID fallback = 0) noexcept
      : libid_(libid), major_(major), minor_(minor), guid_(guid), module_(module),
        fallback_(fallback) {}
  TypeInfoCache(const TypeInfoCache&) = delete;
  TypeInfoCache& operator=(const TypeInfoCache&) = delete;

  // The type information with one reference for the caller. The first call
  // loads it with LoadRegTypeLib(libid, major, minor, lcid) and
  // GetTypeInfoOfGuid under the module's static-data lock and registers, once,
  // the shut-down callback that releases it; later calls hand out the cached
  // one whatever their locale. A loader error is returned as is and caches
  // nothing. E_UNEXPECTED once the module has shut down; `*info` is null on
  // any failure.
  HRESULT Get(LCID lcid, ITypeInfo** info) noexcept;

 private:
  static void ReleaseCached(void* self) noexcept;

  const GUID& libid_;
  WORD major_;
  WORD minor_;
  const GUID& guid_;
  ModuleAccess module_;
  LCID fallback_;
  // A plain pointer: the cache is a constant-initialised global with no
  // destructor to run at unload; ReleaseCached gives the reference back.
  ITypeInfo* cached_ = nullptr;
};

// IDispatch of a dual interface `Dual` with no members of its own: one type
// information, from `Cache`; no name and no DISPID resolves beyond what the
// type information itself answers. The derived class supplies IUnknown.
template <class Dual, TypeInfoCache& Cache>
class EmptyDualDispatch : public Dual {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return Cache.Get(lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) noexcept override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;  // nothing to map; OLEAUT32 would read names[0]
    // The type information writes through these unchecked.
    if (!ids || !names) return E_POINTER;
    for (UINT name = 0; name < count; ++name)
      if (!names[name]) return E_POINTER;
    ComPtr<ITypeInfo> info;
    const HRESULT result = Cache.Get(lcid, info.out());
    if (FAILED(result)) return result;
    return info->GetIDsOfNames(names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* value, EXCEPINFO* exception,
                                   UINT* bad_argument) noexcept override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    const HRESULT result = Cache.Get(lcid, info.out());
    if (FAILED(result)) return result;
    return info->Invoke(static_cast<Dual*>(this), member, flags, parameters, value, exception,
                        bad_argument);
  }
};
