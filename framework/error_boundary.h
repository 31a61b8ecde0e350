#pragma once
// Where an exception must stop: at a COM method, an export, a window message
// handler, or any other function that reports by HRESULT. The work that may
// throw runs inside CatchReturn, which gives its HRESULT back or turns
// std::bad_alloc into E_OUTOFMEMORY and anything else into E_FAIL.
#include <windows.h>

#include <new>

template <class Action>
HRESULT CatchReturn(Action&& action) noexcept {
  try {
    return action();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
