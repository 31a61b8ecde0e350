#pragma once
// A plain model of the recently-viewed grammar, written apart from the parser
// so the two can be compared: an entry is five line-feed-ended fields plus one
// unit that is skipped unseen (it may be missing at the very end); anything
// after the last complete entry is dropped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Fuzzer bytes as UTF-16 units, one each, so that line feeds stay frequent:
// ASCII stays, the rest lands among Cyrillic letters, lone high surrogates
// and CJK units.
inline std::wstring UnitsFromBytes(const std::uint8_t* data, std::size_t size) {
  std::wstring units(size, L'\0');
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned byte = data[i];
    units[i] = static_cast<wchar_t>(byte < 0x80 ? byte
                                    : byte < 0xC0 ? 0x0400 + byte
                                    : byte < 0xE0 ? 0xD800 + byte
                                                  : 0x3000 + byte);
  }
  return units;
}

using MruEntry = std::array<std::wstring, 5>;

inline std::vector<MruEntry> ReferenceMruEntries(std::wstring_view text) {
  std::vector<MruEntry> entries;
  MruEntry entry;
  int field = 0;
  std::wstring current;
  bool skip_next = false;
  for (wchar_t unit : text) {
    if (skip_next) {
      skip_next = false;
      continue;
    }
    if (unit != L'\n') {
      current.push_back(unit);
      continue;
    }
    entry[field++] = current;
    current.clear();
    if (field == 5) {
      entries.push_back(entry);
      field = 0;
      skip_next = true;
    }
  }
  return entries;
}
