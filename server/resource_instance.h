#pragma once
// The module that the page dialog and every string are loaded from: a
// satellite when one was found for the user's language, otherwise the module
// that holds this code.
#include <windows.h>

HINSTANCE ResourceInstance() noexcept;

// The module that holds this code (the DLL, or a test program linking it in).
HMODULE OwnModule() noexcept;
