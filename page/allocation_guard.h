#pragma once
// Runs one page action at an interface or window boundary: an allocation
// failure inside it abandons the action with E_OUTOFMEMORY instead of letting
// std::bad_alloc cross the boundary.
#include <windows.h>

#include <new>

template <class Action>
HRESULT GuardAllocation(Action&& action) noexcept {
  try {
    return action();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
