// Reading a large recently-viewed text into the list model, against one
// memchr pass over the same bytes that only counts the line feeds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "page/mru_text.h"

namespace {

using Clock = std::chrono::steady_clock;

// Entries of five fields of 10 to 60 printable bytes, one blank line between.
std::string RealisticText(size_t bytes) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> length(10, 60);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::string text;
  text.reserve(bytes + 512);
  while (text.size() < bytes) {
    for (int field = 0; field < 5; ++field) {
      for (int n = length(random); n > 0; --n) text += static_cast<char>(letter(random));
      text += '\n';
    }
    text += '\n';
  }
  return text;
}

size_t CountLineFeeds(const std::string& text) {
  size_t count = 0;
  const char* at = text.data();
  const char* end = at + text.size();
  while (const void* hit = std::memchr(at, '\n', static_cast<size_t>(end - at))) {
    ++count;
    at = static_cast<const char*>(hit) + 1;
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
  const std::string text = RealisticText(16u << 20);
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
