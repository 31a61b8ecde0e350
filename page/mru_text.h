#pragma once
// The recently-viewed texts the host hands over: line-feed separated fields,
// five per entry, each entry followed by one byte that is skipped unseen.
// Pure byte work, so no windows.h here.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Bytes of one field within the text.
struct FieldSpan {
  size_t offset;
  size_t length;
};

// Reads the entry that begins at `start` (negative starts count as 0) and
// returns where the next one begins: the fifth line feed plus 2, so at least
// start + 6. Returns -1 when no complete entry begins at `start`; `fields` is
// then not to be used. Stateless.
ptrdiff_t ParseMRUEntry(std::string_view text, ptrdiff_t start, FieldSpan fields[5]) noexcept;

// The entries of one recently-viewed list: one copy of the text plus the field
// offsets of every complete entry. Entry i is row i of the list box. Keeps the
// first `Fields` fields of every entry; the rest are read and dropped.
template <size_t Fields>
class MruEntries {
  static_assert(Fields >= 1 && Fields <= 5, "an entry has five fields");

 public:
  void Clear() noexcept;
  // Clears, then appends every complete entry of `text` in order. May throw
  // std::bad_alloc; the entries are then empty.
  void Load(std::string text);
  size_t size() const noexcept;
  // Field `field` of entry `index`; precondition index < size(), field < Fields.
  // The view stays valid until the next Clear or Load.
  std::string_view Field(size_t index, size_t field) const noexcept;
  // Copies of all fields of entry `index`; false and no change to `fields`
  // when there is no such entry. May throw std::bad_alloc.
  bool Lookup(size_t index, std::array<std::string, Fields>& fields) const;

 private:
  // Per entry Fields + 1 offsets: where field 1 starts, then the line feed
  // that ends each kept field. Field k > 0 starts one byte after the line
  // feed that ends field k - 1.
  static constexpr size_t kStride = Fields + 1;
  std::string text_;
  std::vector<size_t> offsets_;
};

enum RecordField : size_t { kRecordDataBase, kHostData1, kHostData2, kLabel, kDetail };
enum QueryField : size_t { kQueryDataBase, kQueryName };
using RecordEntries = MruEntries<5>;
using QueryEntries = MruEntries<2>;

extern template class MruEntries<5>;
extern template class MruEntries<2>;
