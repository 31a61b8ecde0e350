#pragma once
// The expected-call helper for mock objects: a mock appends one line per call
// ("Method(arg, arg)"), and a test checks the whole sequence at once, in
// order, the way Wine's conformance tests check message sequences.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

class CallLog {
 public:
  void Add(std::string call) { calls_.push_back(std::move(call)); }
  const std::vector<std::string>& calls() const noexcept { return calls_; }
  void Clear() noexcept { calls_.clear(); }

  // Succeeds when the recorded calls are exactly `expected`, in order; the
  // message names the first difference and lists both sequences. Clears the
  // log either way, so the next check starts fresh.
  ::testing::AssertionResult Matches(std::initializer_list<std::string> expected) {
    return Matches(std::vector<std::string>(expected));
  }
  ::testing::AssertionResult Matches(const std::vector<std::string>& expected) {
    std::vector<std::string> actual;
    actual.swap(calls_);
    if (actual == expected) return ::testing::AssertionSuccess();
    size_t first = 0;
    while (first < actual.size() && first < expected.size() && actual[first] == expected[first])
      ++first;
    std::ostringstream message;
    message << "calls differ at #" << first << "\n  expected:";
    for (const std::string& call : expected) message << "\n    " << call;
    message << "\n  actual:";
    for (const std::string& call : actual) message << "\n    " << call;
    return ::testing::AssertionFailure() << message.str();
  }

 private:
  std::vector<std::string> calls_;
};

// UTF-16 test text as UTF-8, every unit included.
inline std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  std::string utf8(length ? WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0,
                                                nullptr, nullptr)
                          : 0,
                   '\0');
  if (!utf8.empty())
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, &utf8[0], static_cast<int>(utf8.size()),
                        nullptr, nullptr);
  return utf8;
}

// How a BSTR argument is written in a log line: null, or its whole stored
// length as quoted UTF-8 (so a zero-length BSTR reads "").
inline std::string LogText(BSTR text) {
  if (!text) return "null";
  return "\"" + Utf8(std::wstring_view(text, SysStringLen(text))) + "\"";
}

// Builds "Method(a, b, c)" from already formatted arguments.
inline std::string LogCall(const char* method, std::initializer_list<std::string> arguments = {}) {
  std::string line = std::string(method) + "(";
  bool first = true;
  for (const std::string& argument : arguments) {
    if (!first) line += ", ";
    line += argument;
    first = false;
  }
  return line + ")";
}
