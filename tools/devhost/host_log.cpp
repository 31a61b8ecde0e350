#include "host_log.h"

#include <cstdio>

#include "bstr.h"

void LogLine(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Quoted(BSTR text) { return text ? Quoted(NarrowFromBstr(text)) : "null"; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
