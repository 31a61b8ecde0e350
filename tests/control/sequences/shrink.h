#pragma once
// Delta debugging by single removals: drops one step at a time while the
// list still fails, until no single removal keeps it failing. The result is
// a failing list from which no one step can be taken out.
#include <cstddef>
#include <vector>

template <class Item, class Fails>
std::vector<Item> ShrinkFailing(std::vector<Item> items, Fails fails) {
  bool removed = true;
  while (removed) {
    removed = false;
    for (std::size_t i = 0; i < items.size();) {
      std::vector<Item> shorter = items;
      shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(i));
      if (fails(shorter)) {
        items.swap(shorter);
        removed = true;
      } else {
        ++i;
      }
    }
  }
  return items;
}
