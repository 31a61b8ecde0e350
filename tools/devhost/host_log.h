#pragma once
// The host-call log: one line per call on standard output, flushed at once so
// that a reader sees the calls in the order they happened.
#include <windows.h>
#include <oleauto.h>

#include <string>

void LogLine(const std::string& line);

// A BSTR argument as it appears in a log line: "text" in quotes, or null.
std::string Quoted(BSTR text);
std::string Quoted(const std::string& text);
