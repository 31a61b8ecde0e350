#pragma once
// Registers and unregisters the type library embedded in `module`'s file (or,
// when that file holds none, the ".tlb" file beside it).
#include <windows.h>

// Loads the library, then RegisterTypeLib with the path that loaded and the
// directory of the library's help file (none when it names no help file).
// Returns the first error: the path's, LoadTypeLib's for the ".tlb" path, RegisterTypeLib's.
HRESULT RegisterComponentTypeLib(HMODULE module) noexcept;

// Loads the library as above and UnRegisterTypeLib with its own attributes.
HRESULT UnregisterComponentTypeLib(HMODULE module) noexcept;
