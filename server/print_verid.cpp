// Exported: prints the version-identification line to standard output.
#include <cstdio>

#include "version_line.h"

extern "C" int Pellwick_print_verid() {
  char line[kVeridLineSize];
  format_verid(line);
  return std::printf("%s", line);
}
