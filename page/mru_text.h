#pragma once
// The recently-viewed texts the host hands over: line-feed separated fields,
// five per entry, each entry followed by one UTF-16 unit that is skipped
// unseen. Pure text work, so no windows.h here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Units of one field within the text.
struct FieldSpan {
  size_t offset;
  size_t length;
};

// Reads the entry that begins at `start` (negative starts count as 0) and
// returns where the next one begins: the fifth line feed plus 2, so at least
// start + 6. Returns -1 when no complete entry begins at `start`; `fields` is
// then not to be used. Stateless.
ptrdiff_t ParseMRUEntry(std::wstring_view text, ptrdiff_t start, FieldSpan fields[5]) noexcept;

// Gives back text memory that the entries kept instead of copying it.
using TextRelease = void (*)(wchar_t* text) noexcept;

// The entries of one recently-viewed list: the host's own text, kept rather
// than copied, plus the field offsets of every complete entry. Entry i is row
// i of the list box. Keeps the first `Fields` fields of every entry; the rest
// are read and dropped. Reads at most the first 2^32 - 1 units of a text (a
// BSTR holds fewer), so that an offset takes four bytes: a host that keeps
// several pages open pays for every page's offsets.
template <size_t Fields>
class MruEntries {
  static_assert(Fields >= 1 && Fields <= 5, "an entry has five fields");

 public:
  // Drops the text. The offsets' storage stays for the next text, which
  // gives back what it does not need once it is read.
  void Clear() noexcept;
  // Clears, then keeps `text` itself, whose units before the first NUL (all
  // `capacity` units when it has none) hold the entries. `text` may be null;
  // otherwise it is handed back to `release` when the entries are cleared or
  // given another text, or once reading finds no entry in it. Reads no entry
  // yet: ReadMore does, a part at a time, so that a caller can use each
  // part's entries while their text is still in the processor's cache.
  void HoldWithoutReading(wchar_t* text, size_t capacity, TextRelease release) noexcept;
  // Appends the complete entries of about the next `units` units of the held
  // text (at least 64, unless the text ends first), in order. Returns whether
  // text is left to read. May throw std::bad_alloc; the entries appended
  // before stay (they are appended some dozens at a time), each still at its
  // own index, and reading ends there.
  bool ReadMore(size_t units);
  // Units read so far, and units left to read (0 once a NUL was reached).
  size_t UnitsRead() const noexcept { return read_; }
  size_t UnitsLeft() const noexcept { return end_ - read_; }
  size_t size() const noexcept { return offsets_.size() / kStride; }
  // Field `field` of entry `index`; precondition index < size(), field < Fields.
  // The view stays valid until the next Clear or HoldWithoutReading. Inline: a
  // refill asks for three fields of every entry.
  std::wstring_view Field(size_t index, size_t field) const noexcept {
    const Offset* entry = offsets_.data() + index * kStride;
    const size_t begin = field == 0 ? entry[0] : entry[field] + 1;
    return std::wstring_view(held_text_.get() + begin, entry[field + 1] - begin);
  }

 private:
  struct HeldTextRelease {
    TextRelease release;
    void operator()(wchar_t* text) const noexcept { release(text); }
  };
  void ReadUpTo(size_t limit);
  void AfterRead() noexcept;

  // Per entry Fields + 1 offsets: where field 1 starts, then the line feed
  // that ends each kept field. Field k > 0 starts one unit after the line
  // feed that ends field k - 1.
  static constexpr size_t kStride = Fields + 1;
  using Offset = uint32_t;
  std::unique_ptr<wchar_t, HeldTextRelease> held_text_{nullptr, HeldTextRelease{nullptr}};
  std::vector<Offset> offsets_;
  // Where reading stands: the text is read up to read_ of end_ units (end_
  // drops to a NUL's position when one is found); the entry in progress
  // began at begin_ and has field_ of its line feeds in pending_.
  size_t read_ = 0;
  size_t end_ = 0;
  size_t begin_ = 0;
  size_t field_ = 0;
  Offset pending_[kStride] = {};
};

enum RecordField : size_t { kRecordDataBase, kHostData1, kHostData2, kLabel, kDetail };
enum QueryField : size_t { kQueryDataBase, kQueryName };
using RecordEntries = MruEntries<5>;
using QueryEntries = MruEntries<2>;

extern template class MruEntries<5>;
extern template class MruEntries<2>;
