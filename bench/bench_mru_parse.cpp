// Reading a large recently-viewed text into the list model as the page does,
// keeping the host's text, against one wmemchr pass over the same units that
// only counts the line feeds; the two alternate, round by round.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "page/mru_text.h"

namespace {

using Clock = std::chrono::steady_clock;

// Entries of five fields of 10 to 60 printable units, one blank line between.
std::wstring RealisticText(size_t units) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> length(10, 60);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::wstring text;
  text.reserve(units + 512);
  while (text.size() < units) {
    for (int field = 0; field < 5; ++field) {
      for (int n = length(random); n > 0; --n) text += static_cast<wchar_t>(letter(random));
      text += L'\n';
    }
    text += L'\n';
  }
  return text;
}

size_t CountLineFeeds(const std::wstring& text) {
  size_t count = 0;
  const wchar_t* at = text.data();
  const wchar_t* end = at + text.size();
  while (const wchar_t* hit = std::wmemchr(at, L'\n', static_cast<size_t>(end - at))) {
    ++count;
    at = hit + 1;
  }
  return count;
}

template <typename Work>
double Seconds(Work work) {
  const Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh copy of `text` for the entries to keep, as the host's answer is.
wchar_t* HostCopy(const std::wstring& text) {
  wchar_t* copy = new wchar_t[text.size() + 1];
  std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void DeleteHostCopy(wchar_t* text) noexcept { delete[] text; }

}  // namespace

int main() {
  const std::wstring text = RealisticText(16u << 20);
  const size_t line_feeds = CountLineFeeds(text);
  volatile size_t sink = 0;
  constexpr int kRounds = 9;

  RecordEntries records;
  std::vector<double> ratios;
  double scan_total = 0, parse_total = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double scan = Seconds([&] { sink = sink + CountLineFeeds(text); });
    records.Clear();  // the previous host text goes, outside the timing
    wchar_t* copy = HostCopy(text);
    const double parse = Seconds([&] {
      records.HoldWithoutReading(copy, text.size(), DeleteHostCopy);
      records.ReadMore(text.size());
      sink = sink + records.size();
    });
    if (records.size() * 6 != line_feeds) {
      std::fprintf(stderr, "parse read %u entries, expected %u\n", unsigned(records.size()),
                   unsigned(line_feeds / 6));
      return 1;
    }
    ratios.push_back(parse / scan);
    scan_total += scan;
    parse_total += parse;
  }
  std::fprintf(stderr, "means: wmemchr scan %.2f ms, parse %.2f ms\n", scan_total / kRounds * 1e3,
               parse_total / kRounds * 1e3);
  PrintFigure("mru_parse_vs_memchr_ratio", ratios);
  return 0;
}
