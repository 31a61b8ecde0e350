#pragma once
// A recently-viewed text as the host answered it, kept as the entries' text:
// the host's answer is the largest thing a refresh handles, and a copy of it
// costs as much as reading it.
#include <windows.h>

#include "framework/handles.h"
#include "page/mru_text.h"

// Reads `text` up to its first NUL into `entries`, which take it over; a null
// BSTR reads as empty. May throw std::bad_alloc; the BSTR is freed either way.
template <size_t Fields>
void LoadHostText(MruEntries<Fields>& entries, Bstr& text) {
  const UINT units = SysStringLen(text.get());
  entries.LoadHeld(text.release(), units, [](wchar_t* held) noexcept { BstrTraits::free(held); });
}
