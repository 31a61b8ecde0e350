#include "mru_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "framework/sse2.h"

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

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
    const __m128i line_feeds = _mm_set1_epi16(static_cast<short>(kLineFeed));
    while (position + 8 <= size) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + position));
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(units, line_feeds)) != 0) break;
      position += 8;
    }
  }
#endif
  for (; position < size; ++position)
    if (data[position] == kLineFeed) return position;
  return kNotFound;
}

#if PELLWICK_HAS_SSE2
// One bit per unit of the sixteen in `low` and `high`, set where it equals
// `value`. Unused where wchar_t is not UTF-16 (the native build).
[[maybe_unused]] inline unsigned UnitsEqual(__m128i low, __m128i high, __m128i value) noexcept {
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_packs_epi16(_mm_cmpeq_epi16(low, value), _mm_cmpeq_epi16(high, value))));
}
#endif

// The index of the lowest set bit; `mask` is not 0.
[[maybe_unused]] inline size_t LowestBit(uint64_t mask) noexcept {
#if defined(_MSC_VER) && !defined(__clang__)
  unsigned long index = 0;
#if defined(_M_X64) || defined(_M_ARM64)
  _BitScanForward64(&index, mask);
#else
  // No 64-bit scan in 32-bit code.
  if (!_BitScanForward(&index, static_cast<unsigned long>(mask))) {
    _BitScanForward(&index, static_cast<unsigned long>(mask >> 32));
    index += 32;
  }
#endif
  return index;
#else
  return static_cast<size_t>(__builtin_ctzll(mask));
#endif
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
  held_text_.reset();
  offsets_.clear();
  read_ = end_ = 0;
  begin_ = field_ = 0;
}

template <size_t Fields>
void MruEntries<Fields>::HoldWithoutReading(wchar_t* text, size_t capacity,
                                            TextRelease release) noexcept {
  Clear();
  held_text_ = std::unique_ptr<wchar_t, HeldTextRelease>(text, HeldTextRelease{release});
  // Every offset kept is then below 2^32 - 1.
  constexpr size_t kMostUnits = UINT32_MAX;
  end_ = text ? std::min(capacity, kMostUnits) : 0;
}

template <size_t Fields>
bool MruEntries<Fields>::ReadMore(size_t units) {
  if (read_ < end_) {
    // Whole steps of the scan, so that only the text's end is read unit by unit.
    const size_t steps = units < 64 ? 1 : units / 64 + (units % 64 != 0);
    const size_t limit = steps > (end_ - read_) / 64 ? end_ : read_ + steps * 64;
    try {
      ReadUpTo(limit);
    } catch (...) {
      end_ = read_;  // the entries read so far stay; reading again would repeat some
      throw;
    }
    if (read_ < end_) return true;
  }
  // Nothing is read past a NUL, and a host may put one first in a huge text.
  if (offsets_.empty()) held_text_.reset();
  AfterRead();
  return false;
}

// One pass over the text that records each entry as its fifth line feed is
// found, instead of searching again from every field's start: host texts are
// mostly short fields, and the pass is what a refresh waits for beside the
// list box's own work.
template <size_t Fields>
void MruEntries<Fields>::ReadUpTo(size_t limit) {
  // The state in locals for the pass, back in the members at its end.
  const wchar_t* text = held_text_.get();
  const size_t units = limit;
  Offset entry[kStride];
  std::copy(pending_, pending_ + kStride, entry);
  size_t field = field_;  // line feeds read of the entry in progress
  size_t begin = begin_;  // where the entry in progress begins
  // Complete entries are gathered here and appended a batch at a time: one
  // append for each entry costs more than finding its line feeds.
  constexpr size_t kBatch = 64;
  Offset batch[kBatch * kStride];
  Offset* batched = batch;
  const auto flush = [&] {
    offsets_.insert(offsets_.end(), batch, batched);
    batched = batch;
  };
  auto line_feed = [&](size_t at) {
    if (at < begin) return;  // the unit that ends the previous entry
    if (field < Fields) entry[field + 1] = static_cast<Offset>(at);
    if (++field < 5) return;
    entry[0] = static_cast<Offset>(begin);
    batched = std::copy(entry, entry + kStride, batched);
    if (batched == batch + kBatch * kStride) flush();
    field = 0;
    begin = at + 2;
  };
  size_t at = read_;
#if PELLWICK_HAS_SSE2
  if constexpr (sizeof(wchar_t) == 2) {
    // Sixty-four units a step: a field is about forty, so most steps find
    // one or two line feeds and take one branch for them.
    const __m128i line_feeds = _mm_set1_epi16(static_cast<short>(kLineFeed));
    const __m128i nul = _mm_setzero_si128();
    for (; at + 64 <= units; at += 64) {
      uint64_t found = 0;
      __m128i nuls = _mm_setzero_si128();  // where a NUL is does not matter here
      for (int part = 0; part < 4; ++part) {
        const wchar_t* sixteen = text + at + 16 * part;
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen + 8));
        found |= uint64_t{UnitsEqual(low, high, line_feeds)} << (16 * part);
        nuls = _mm_or_si128(
            nuls, _mm_or_si128(_mm_cmpeq_epi16(low, nul), _mm_cmpeq_epi16(high, nul)));
      }
      if (_mm_movemask_epi8(nuls) != 0) break;  // the loop below reads up to the NUL
      for (; found != 0; found &= found - 1) line_feed(at + LowestBit(found));
    }
  }
#endif
  for (; at < units; ++at) {
    if (text[at] == L'\0') {
      end_ = at;
      break;
    }
    if (text[at] == kLineFeed) line_feed(at);
  }
  flush();
  read_ = at;
  field_ = field;
  begin_ = begin;
  std::copy(entry, entry + kStride, pending_);
}

template <size_t Fields>
void MruEntries<Fields>::AfterRead() noexcept {
  // The offsets are kept as long as the page lives, so no spare storage
  // stays with them: what growing left, or a larger earlier text. A refresh
  // of a text as large reads into the same storage. Shrinking that cannot
  // allocate keeps the storage as it is (libstdc++ says nothing then; other
  // libraries throw).
  if (offsets_.capacity() == offsets_.size()) return;
  try {
    offsets_.shrink_to_fit();
  } catch (const std::bad_alloc&) {
  }
}

template class MruEntries<5>;
template class MruEntries<2>;
