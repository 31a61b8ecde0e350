#include "version_line.h"

#include <cstdio>

#include "build_date.h"

const char* const kVeridModuleTag = "Pellwick";
const char* const kVeridVersion = "9.0.1.4";
const char* const kVeridBuildDate = PELLWICK_BUILD_DATE;

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
