#pragma once
// A recently-viewed text handed to the entries as a host hands its own: a
// fresh copy that the entries keep and give back, read in parts.
#include <cstddef>
#include <string_view>

#include "page/mru_text.h"

inline void DeleteHostCopy(wchar_t* text) noexcept { delete[] text; }

// Exactly `text`'s units, with no terminator after them: the entries must
// read no further than they were told.
inline wchar_t* HostCopy(std::wstring_view text) {
  wchar_t* copy = new wchar_t[text.size()];
  text.copy(copy, text.size());
  return copy;
}

// Holds a copy of `text` and reads it all, `part` units at a time (all at
// once by default); the copy goes back to `release`.
template <size_t Fields>
void ReadHostCopy(MruEntries<Fields>& entries, std::wstring_view text,
                  size_t part = static_cast<size_t>(-1), TextRelease release = DeleteHostCopy) {
  entries.HoldWithoutReading(HostCopy(text), text.size(), release);
  while (entries.ReadMore(part)) {
  }
}
