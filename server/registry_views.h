#pragma once
// The two registry views of a 64-bit Windows. Keys under HKEY_CLASSES_ROOT
// other than CLSID and Interface (ProgIDs, AppID) are one key for 32- and
// 64-bit processes, so removing them must wait until neither word size's
// registration of the component is left.
#include <windows.h>

// The view of the other word size: KEY_WOW64_32KEY from a 64-bit process,
// KEY_WOW64_64KEY from a 32-bit one under WOW64, 0 where there is no other.
REGSAM OtherRegistryView() noexcept;

// Whether the other view registers an in-process server for `clsid`.
bool OtherViewServes(const CLSID& clsid) noexcept;
