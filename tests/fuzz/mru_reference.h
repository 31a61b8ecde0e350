#pragma once
// A plain model of the recently-viewed grammar, written apart from the parser
// so the two can be compared: an entry is five line-feed-ended fields plus one
// byte that is skipped unseen (it may be missing at the very end); anything
// after the last complete entry is dropped.
#include <array>
#include <string>
#include <string_view>
#include <vector>

using MruEntry = std::array<std::string, 5>;

inline std::vector<MruEntry> ReferenceMruEntries(std::string_view text) {
  std::vector<MruEntry> entries;
  MruEntry entry;
  int field = 0;
  std::string current;
  bool skip_next = false;
  for (char byte : text) {
    if (skip_next) {
      skip_next = false;
      continue;
    }
    if (byte != '\n') {
      current.push_back(byte);
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
