// Reading a large recently-viewed text into the list model, against one
// wmemchr pass over the same units that only counts the line feeds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <random>
#include <string>

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
double BestSeconds(int repetitions, Work work) {
  double best = 1e30;
  for (int i = 0; i < repetitions; ++i) {
    Clock::time_point start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  const std::wstring text = RealisticText(16u << 20);
  volatile size_t sink = 0;
  const int repetitions = 7;

  double scan = BestSeconds(repetitions, [&] { sink = sink + CountLineFeeds(text); });
  RecordEntries records;
  // The copy into Load is part of what the page pays for each refresh.
  double parse = BestSeconds(repetitions, [&] {
    records.Load(text);
    sink = sink + records.size();
  });

  if (records.size() * 6 != CountLineFeeds(text)) {
    std::fprintf(stderr, "parse read %u entries, expected %u\n", unsigned(records.size()),
                 unsigned(CountLineFeeds(text) / 6));
    return 1;
  }
  std::printf("mru_parse_vs_memchr_ratio %.2f\n", parse / scan);
  return 0;
}
