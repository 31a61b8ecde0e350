// Exported: prints the version-identification line to standard output.
#include <cstdio>

#include "version_line.h"

extern "C" int Pellwick_print_verid() {
  return std::printf("%-*s %s (%s)\n", kVeridTagWidth, kVeridModuleTag, kVeridVersion,
                     kVeridBuildDate);
}
