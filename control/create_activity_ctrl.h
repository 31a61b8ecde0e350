#pragma once
// How the server makes the one class it serves.
#include <windows.h>
#include <unknwn.h>

// Creates an activity control whose dialog and strings come from `resources`
// and queries it for `iid`. `*object` is cleared first; a null `object` gives
// E_POINTER. With an `outer` unknown the object is aggregated: only
// IID_IUnknown may be asked (else CLASS_E_NOAGGREGATION), and the answer is
// the object's own non-delegating IUnknown. A failed query destroys the new
// object; `outer` is never counted.
HRESULT CreateActivityCtrl(IUnknown* outer, HMODULE resources, REFIID iid, void** object) noexcept;
