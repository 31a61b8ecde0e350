#pragma once
// Every benchmark figure is printed as "name median min max" over its rounds:
// the machine is shared, and the spread shows how much one run can be trusted.
#include <algorithm>
#include <cstdio>
#include <vector>

// The middle value (the upper of the two middle ones); for the lines a
// benchmark writes to stderr beside its figures.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline void PrintFigure(const char* name, std::vector<double> rounds) {
  if (rounds.empty()) return;
  std::sort(rounds.begin(), rounds.end());
  const size_t middle = rounds.size() / 2;
  const double median =
      rounds.size() % 2 ? rounds[middle] : (rounds[middle - 1] + rounds[middle]) / 2;
  std::printf("%s %.3f %.3f %.3f\n", name, median, rounds.front(), rounds.back());
}
