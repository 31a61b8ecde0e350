// The registration-script reader on any text: variable replacement is
// compared with a plain model, every rejection must be one of the documented
// errors and leave its output empty, and every accepted script must print
// back (all names and texts quoted) into a script that reads as the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/registry_script_parser.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

const std::vector<ScriptVariable> kVariables = {
    {L"APPID", L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}"},
    {L"Module", L"C:\\Program Files\\O''Neil\\Pellwick.dll"},
    {L"Module_Raw", L"C:\\Program Files\\O''Neil\\Pellwick.dll"},
    {L"OLEMISC", L"131473"},
};

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

ScriptError ReferenceReplace(const std::wstring& text, std::wstring& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'%') {
      out.push_back(text[i]);
      continue;
    }
    const std::size_t close = text.find(L'%', i + 1);
    if (close == std::wstring::npos) return ScriptError::kUnclosedPercent;
    const std::wstring name = text.substr(i + 1, close - i - 1);
    i = close;
    if (name.empty()) {
      out.push_back(L'%');
      continue;
    }
    if (name.size() >= 32) return ScriptError::kVariableNameTooLong;
    const ScriptVariable* found = nullptr;
    for (const ScriptVariable& variable : kVariables)
      if (Upper(variable.name) == Upper(name)) found = &variable;
    if (!found) return ScriptError::kUnknownVariable;
    out += found->value;
  }
  return ScriptError::kNone;
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring quoted = L"'";
  for (wchar_t c : text) {
    quoted.push_back(c);
    if (c == L'\'') quoted.push_back(c);
  }
  return quoted + L"'";
}

void Print(const std::vector<ScriptEntry>& entries, std::wstring& out) {
  out += L"{\n";
  for (const ScriptEntry& entry : entries) {
    if (entry.isValue) {
      out += L"val " + Quoted(entry.name) + L" = s " + Quoted(entry.data) + L"\n";
      continue;
    }
    if (entry.flag == ScriptKeyFlag::kForceRemove) out += L"ForceRemove ";
    if (entry.flag == ScriptKeyFlag::kNoRemove) out += L"NoRemove ";
    out += Quoted(entry.name);
    if (entry.hasData) out += L" = s " + Quoted(entry.data);
    out += L"\n";
    if (!entry.contents.empty()) Print(entry.contents, out);
  }
  out += L"}\n";
}

std::wstring Print(const std::vector<ScriptRoot>& roots) {
  static const wchar_t* const kRootNames[] = {L"HKCR", L"HKCU", L"HKLM", L"HKU"};
  std::wstring out;
  for (const ScriptRoot& root : roots) {
    out += kRootNames[static_cast<int>(root.key)];
    out += L"\n";
    Print(root.entries, out);
  }
  return out;
}

bool Same(const std::vector<ScriptEntry>& a, const std::vector<ScriptEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].isValue != b[i].isValue || a[i].name != b[i].name || a[i].flag != b[i].flag ||
        a[i].hasData != b[i].hasData || a[i].data != b[i].data ||
        !Same(a[i].contents, b[i].contents))
      return false;
  }
  return true;
}

bool Same(const std::vector<ScriptRoot>& a, const std::vector<ScriptRoot>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].key != b[i].key || !Same(a[i].entries, b[i].entries)) return false;
  return true;
}

void CheckTree(const std::vector<ScriptEntry>& entries) {
  for (const ScriptEntry& entry : entries) {
    if (entry.isValue) {
      Check(entry.hasData && entry.contents.empty(), "value shape");
      continue;
    }
    Check(!entry.name.empty(), "empty key name");
    Check(entry.name.find(L'\\') == std::wstring::npos, "backslash in key name");
    CheckTree(entry.contents);
  }
}

void ParseAndCheck(const std::wstring& text) {
  std::vector<ScriptRoot> roots(1);
  const ScriptError error = ParseRegistryScript(text, roots);
  if (error != ScriptError::kNone) {
    Check(error == ScriptError::kSyntax || error == ScriptError::kBackslashInKeyName,
          "undocumented parse error");
    Check(roots.empty(), "roots left after a failure");
    return;
  }
  for (const ScriptRoot& root : roots) CheckTree(root.entries);
  std::vector<ScriptRoot> again;
  Check(ParseRegistryScript(Print(roots), again) == ScriptError::kNone, "printed script fails");
  Check(Same(roots, again), "printed script reads differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Each byte is one character; the scripts are ASCII apart from their strings.
  const std::wstring text(data, data + size);

  std::wstring replaced = L"left over", expected;
  const ScriptError error = ReplaceScriptVariables(text, kVariables, replaced);
  Check(error == ReferenceReplace(text, expected), "replacement error");
  if (error != ScriptError::kNone) {
    Check(replaced.empty(), "replacement output left after a failure");
  } else {
    Check(replaced == expected, "replacement output");
    ParseAndCheck(replaced);
  }
  ParseAndCheck(text);
  return 0;
}
