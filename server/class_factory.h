#pragma once
// The class object of a served class: IUnknown and IClassFactory only. The
// reference the class table keeps does not count as a module lock; while any
// outside reference exists the object holds exactly one (taken when its count
// rises from 1 to 2, given back when it falls from 2 to 1).
#include <windows.h>
#include <unknwn.h>

// Makes one instance of a class: a plain one for a null `outer`, an
// aggregatable one otherwise; queries it for `iid` into `*object`.
using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** object) noexcept;

// Creates a class object that makes its instances with `creator` and queries
// it for `iid`. E_OUTOFMEMORY, or the HRESULT of the system error when its
// lock cannot be made; a failed query destroys it. `*object` is null on failure.
HRESULT CreateClassObject(InstanceCreator creator, REFIID iid, void** object) noexcept;
