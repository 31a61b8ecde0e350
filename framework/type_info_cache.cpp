#include "framework/type_info_cache.h"

#include "framework/com_ptr.h"

HRESULT TypeInfoCache::Get(LCID lcid, ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  ComModule& module = module_();
  if (!module.Initialized()) return E_UNEXPECTED;

  module.EnterStaticDataLock();
  HRESULT result = S_OK;
  if (!cached_) {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> loaded;
    result = LoadRegTypeLib(libid_, major_, minor_, lcid, library.out());
    if (FAILED(result) && fallback_ != 0 && fallback_ != lcid)
      result = LoadRegTypeLib(libid_, major_, minor_, fallback_, library.out());
    if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(guid_, loaded.out());
    // Kept only with its release registered, so nothing outlives the module.
    if (SUCCEEDED(result)) result = module.AddShutdownCallback(&ReleaseCached, this);
    if (SUCCEEDED(result)) cached_ = loaded.release();
  }
  if (cached_) {
    cached_->AddRef();
    *info = cached_;
  }
  module.LeaveStaticDataLock();
  return SUCCEEDED(result) ? S_OK : result;
}

void TypeInfoCache::ReleaseCached(void* self) noexcept {
  auto* cache = static_cast<TypeInfoCache*>(self);
  ComPtr<ITypeInfo> cached;
  cached.attach(cache->cached_);  // given back as this returns
  cache->cached_ = nullptr;
}
