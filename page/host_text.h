#pragma once
// A recently-viewed text as the host answered it, kept as the entries' text:
// the host's answer is the largest thing a refresh handles, and a copy of it
// costs as much as reading it.
#include <windows.h>

#include "framework/handles.h"
#include "page/mru_text.h"

// Hands `text` to `entries` without reading it yet (see MruEntries::ReadMore);
// a null BSTR holds nothing. The BSTR is freed when the entries let it go.
template <size_t Fields>
void HoldHostText(MruEntries<Fields>& entries, Bstr& text) noexcept {
  const UINT units = SysStringLen(text.get());
  entries.HoldWithoutReading(text.release(), units,
                             [](wchar_t* held) noexcept { FreeBstr(held); });
}
