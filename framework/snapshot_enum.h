#pragma once
// A COM enumerator over a copy of a list taken when it was made: later changes
// to the list do not show. Each copied item holds one reference (Traits::Hold),
// given up when the enumerator goes (Traits::Drop); every item handed out by
// Next carries a new reference for the caller. Holds one module lock.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <new>
#include <vector>

#include "framework/error_boundary.h"
#include "framework/module_lock.h"

// Traits: static const IID& Iid(); static void Hold(const Item&);
// static void Drop(const Item&).
template <class Enum, class Item, class Traits>
class SnapshotEnum final : public Enum {
 public:
  // A new enumerator over `items[0..count)`, at the start, with one reference
  // for the caller. E_OUTOFMEMORY leaves `*result` null and holds nothing.
  static HRESULT Create(const Item* items, std::size_t count, Enum** result) noexcept {
    if (!result) return E_POINTER;
    *result = nullptr;
    auto* made = new (std::nothrow) SnapshotEnum();
    if (!made) return E_OUTOFMEMORY;
    if (!made->Copy(items, count)) {
      delete made;
      return E_OUTOFMEMORY;
    }
    *result = made;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, Traits::Iid())) return E_NOINTERFACE;
    *object = static_cast<Enum*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // Fetches up to `wanted` items; S_FALSE when fewer were left. `fetched` may
  // be null only when one item is asked for.
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) noexcept override {
    if (fetched) *fetched = 0;
    if (!out) return E_POINTER;
    if (!fetched && wanted != 1) return E_INVALIDARG;
    ULONG count = 0;
    while (count < wanted && position_ < items_.size()) {
      out[count] = items_[position_++];
      Traits::Hold(out[count]);
      ++count;
    }
    if (fetched) *fetched = count;
    return count == wanted ? S_OK : S_FALSE;
  }
  // S_FALSE (and the position at the end) when fewer than `count` were left.
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override {
    const std::size_t left = items_.size() - position_;
    if (count > left) {
      position_ = items_.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() noexcept override {
    position_ = 0;
    return S_OK;
  }
  // A second enumerator over the same items at the same position.
  HRESULT STDMETHODCALLTYPE Clone(Enum** copy) noexcept override {
    if (!copy) return E_POINTER;
    const HRESULT result = Create(items_.data(), items_.size(), copy);
    if (SUCCEEDED(result)) static_cast<SnapshotEnum*>(*copy)->position_ = position_;
    return result;
  }

 private:
  SnapshotEnum() noexcept = default;
  ~SnapshotEnum() {
    for (const Item& item : items_) Traits::Drop(item);
  }

  bool Copy(const Item* items, std::size_t count) noexcept {
    if (FAILED(CatchReturn([&] {
          items_.assign(items, items + count);
          return S_OK;
        })))
      return false;
    for (const Item& item : items_) Traits::Hold(item);
    return true;
  }

  ModuleLockHolder module_lock_;
  volatile LONG references_ = 1;
  std::vector<Item> items_;
  std::size_t position_ = 0;
};
