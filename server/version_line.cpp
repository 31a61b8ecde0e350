#include "version_line.h"

#include <cstdio>

// Defined by a source written just before each link (cmake/build_date.cmake).
extern "C" const char pellwick_build_date[];

const char* const kVeridModuleTag = "Pellwick";
const char* const kVeridVersion = "9.0.1.4";
const char* const kVeridBuildDate = pellwick_build_date;

int format_verid(char* buffer) {
  return std::sprintf(buffer, "%-*s %s (%s)\n", kVeridTagWidth, kVeridModuleTag, kVeridVersion,
                      kVeridBuildDate);
}
