#include "mru_text.h"

#include <cstdint>
#include <cstring>

#include "framework/sse2.h"

namespace {

constexpr wchar_t kLineFeed = L'\n';
constexpr size_t kNotFound = static_cast<size_t>(-1);

// The first line feed at or after `from`, or kNotFound. Long host texts are
// mostly short fields, so eight UTF-16 units are tested at a time where the
// processor allows it.
size_t FindLineFeed(std::wstring_view text, size_t from) noexcept {
  const wchar_t* data = text.data();
  const size_t size = text.size();
  size_t position = from;
#if PELLWICK_HAS_SSE2
  if constexpr (sizeof(wchar_t) == 2) {
    const __m128i lineFeeds = _mm_set1_epi16(static_cast<short>(kLineFeed));
    while (position + 8 <= size) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + position));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(units, lineFeeds)) != 0) break;
      position += 8;
    }
  }
#endif
  for (; position < size; ++position)
    if (data[position] == kLineFeed) return position;
  return kNotFound;
}

// Returned positions must fit a ptrdiff_t, the last one being size + 1.
bool TooLongForPositions(std::wstring_view text) noexcept {
  return text.size() >= static_cast<size_t>(PTRDIFF_MAX) - 1;
}

}  // namespace

ptrdiff_t ParseMRUEntry(std::wstring_view text, ptrdiff_t start, FieldSpan fields[5]) noexcept {
  if (TooLongForPositions(text)) return -1;
  size_t position = start > 0 ? static_cast<size_t>(start) : 0;
  if (text.empty() || position >= text.size()) return -1;
  for (int field = 0; field < 5; ++field) {
    size_t end = FindLineFeed(text, position);
    if (end == kNotFound) return -1;
    fields[field] = FieldSpan{position, end - position};
    position = end + 1;
  }
  // `position` is one past the fifth line feed; skip the unit that ends the entry.
  return static_cast<ptrdiff_t>(position + 1);
}

template <size_t Fields>
void MruEntries<Fields>::Clear() noexcept {
  // Give the memory back: a hostile host may have sent a huge text once.
  std::wstring().swap(text_);
  std::vector<size_t>().swap(offsets_);
}

template <size_t Fields>
void MruEntries<Fields>::Load(std::wstring text) {
  Clear();
  text_ = std::move(text);
  try {
    FieldSpan spans[5];
    ptrdiff_t next = ParseMRUEntry(text_, 0, spans);
    while (next >= 0) {
      offsets_.push_back(spans[0].offset);
      for (size_t field = 0; field < Fields; ++field)
        offsets_.push_back(spans[field].offset + spans[field].length);
      next = ParseMRUEntry(text_, next, spans);
    }
  } catch (...) {
    Clear();
    throw;
  }
}

template <size_t Fields>
size_t MruEntries<Fields>::size() const noexcept {
  return offsets_.size() / kStride;
}

template <size_t Fields>
std::wstring_view MruEntries<Fields>::Field(size_t index, size_t field) const noexcept {
  const size_t* entry = offsets_.data() + index * kStride;
  size_t begin = field == 0 ? entry[0] : entry[field] + 1;
  return std::wstring_view(text_.data() + begin, entry[field + 1] - begin);
}

template class MruEntries<5>;
template class MruEntries<2>;
