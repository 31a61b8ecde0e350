#include "version_line.h"

#include <cstdio>

// Defined by a source written just before each link (cmake/build_date.cmake).
extern "C" const char pellwick_build_date[];

const char* const kVeridModuleTag = "Pellwick";
const char* const kVeridVersion = "9.0.1.4";
const char* const kVeridBuildDate = pellwick_build_date;

namespace {
const char* const kNoticeLines[] = {
    "Pellwick activity page control for Halvern hosts.",
    "Copyright (c) the Pellwick developers. All rights reserved.",
    "Use is subject to the terms of the licence shipped with the product.",
    nullptr,
};
}  // namespace

int format_verid(char* buffer) {
  return std::sprintf(buffer, "%-*s %s (%s)\n", kVeridTagWidth, kVeridModuleTag, kVeridVersion,
                      kVeridBuildDate);
}

const char* const* VeridNoticeLines() { return kNoticeLines; }
