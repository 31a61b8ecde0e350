// Variable replacement and parsing, on script text alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/registry_script_parser.h"
#include "framework/component_scripts.h"

namespace {

const std::vector<ScriptVariable> kVariables = {
    {L"APPID", L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}"},
    {L"Module", L"C:\\Program Files\\O''Neil\\Pellwick.dll"},
    {L"OLEMISC", L"131473"},
};

struct Replaced {
  ScriptError error;
  std::wstring text;
};

Replaced Replace(std::wstring_view text, const std::vector<ScriptVariable>& variables = kVariables) {
  Replaced result{ScriptError::kNone, L"left over"};
  result.error = ReplaceScriptVariables(text, variables, result.text);
  return result;
}

TEST(ReplaceScriptVariablesTest, ReplacesNamesWithoutRegardToCase) {
  Replaced r = Replace(L"'%appid%' = s '%MODULE%, 102' %OleMisc%");
  EXPECT_EQ(r.error, ScriptError::kNone);
  EXPECT_EQ(r.text,
            L"'{4CA564D7-4F81-4C2C-9429-6609A57D26A5}' = s "
            L"'C:\\Program Files\\O''Neil\\Pellwick.dll, 102' 131473");
}

TEST(ReplaceScriptVariablesTest, DoublePercentIsOnePercent) {
  EXPECT_EQ(Replace(L"100%% of %%OLEMISC%%").text, L"100% of %OLEMISC%");
  EXPECT_EQ(Replace(L"%APPID%%OLEMISC%").text, L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}131473");
  EXPECT_EQ(Replace(L"%%%%").text, L"%%");
  EXPECT_EQ(Replace(L"").text, L"");
}

TEST(ReplaceScriptVariablesTest, ValuesAreNotScannedAgain) {
  Replaced r = Replace(L"[%A%]", {{L"A", L"%B%"}, {L"B", L"wrong"}});
  EXPECT_EQ(r.error, ScriptError::kNone);
  EXPECT_EQ(r.text, L"[%B%]");
}

TEST(ReplaceScriptVariablesTest, FailuresLeaveResultEmpty) {
  struct Case {
    const wchar_t* text;
    ScriptError error;
  };
  const Case cases[] = {
      {L"HKCR { A = s '%APPID' }", ScriptError::kUnclosedPercent},
      {L"ok %% then %", ScriptError::kUnclosedPercent},
      {L"HKCR { A = s '%NOPE%' }", ScriptError::kUnknownVariable},
      {L"%APP ID%", ScriptError::kUnknownVariable},
  };
  for (const Case& c : cases) {
    Replaced r = Replace(c.text);
    EXPECT_EQ(r.error, c.error) << c.text;
    EXPECT_TRUE(r.text.empty()) << c.text;
  }
}

TEST(ReplaceScriptVariablesTest, NamesUpToThirtyOneCharacters) {
  const std::wstring name31(31, L'N');
  const std::wstring name32(32, L'N');
  const std::vector<ScriptVariable> variables = {{name31, L"short"}, {name32, L"long"}};

  Replaced r = Replace(L"<%" + name31 + L"%>", variables);
  EXPECT_EQ(r.error, ScriptError::kNone);
  EXPECT_EQ(r.text, L"<short>");

  // Too long even when the caller supplied such a variable, and before the
  // unknown-name check.
  EXPECT_EQ(Replace(L"%" + name32 + L"%", variables).error, ScriptError::kVariableNameTooLong);
  EXPECT_EQ(Replace(L"%" + std::wstring(40, L'x') + L"%", variables).error,
            ScriptError::kVariableNameTooLong);
}

// A readable outline of a tree: one line per entry, indented by depth.
void Outline(const std::vector<ScriptEntry>& entries, int depth, std::vector<std::wstring>& lines) {
  for (const ScriptEntry& e : entries) {
    std::wstring line(depth * 2, L' ');
    if (e.isValue) line += L"val ";
    if (e.flag == ScriptKeyFlag::kNoRemove) line += L"NoRemove ";
    if (e.flag == ScriptKeyFlag::kForceRemove) line += L"ForceRemove ";
    line += L"[" + e.name + L"]";
    if (e.hasData) line += L" = [" + e.data + L"]";
    lines.push_back(line);
    Outline(e.contents, depth + 1, lines);
  }
}

const wchar_t* RootName(ScriptRootKey key) {
  switch (key) {
    case ScriptRootKey::kClassesRoot: return L"HKCR";
    case ScriptRootKey::kCurrentUser: return L"HKCU";
    case ScriptRootKey::kLocalMachine: return L"HKLM";
    case ScriptRootKey::kUsers: return L"HKU";
  }
  return L"?";
}

struct Parsed {
  ScriptError error;
  std::vector<std::wstring> outline;
};

Parsed Parse(std::wstring_view text) {
  std::vector<ScriptRoot> roots(1);  // must be cleared by the parser
  Parsed result{ParseRegistryScript(text, roots), {}};
  for (const ScriptRoot& root : roots) {
    result.outline.push_back(RootName(root.key));
    Outline(root.entries, 1, result.outline);
  }
  return result;
}

using Lines = std::vector<std::wstring>;

TEST(ParseRegistryScriptTest, AppIdScript) {
  Parsed p = Parse(Replace(kAppIdScript).text);
  ASSERT_EQ(p.error, ScriptError::kNone);
  EXPECT_EQ(p.outline, (Lines{
                           L"HKCR",
                           L"  NoRemove [AppID]",
                           L"    [{4CA564D7-4F81-4C2C-9429-6609A57D26A5}] = [Pellwick]",
                           L"    [Pellwick.DLL]",
                           L"      val [AppID] = [{4CA564D7-4F81-4C2C-9429-6609A57D26A5}]",
                       }));
}

TEST(ParseRegistryScriptTest, ClassScriptKeepsScriptOrder) {
  Parsed p = Parse(Replace(kClassScript).text);
  ASSERT_EQ(p.error, ScriptError::kNone);
  const std::wstring clsid = L"{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}";
  const std::wstring module = L"C:\\Program Files\\O'Neil\\Pellwick.dll";
  EXPECT_EQ(p.outline, (Lines{
                           L"HKCR",
                           L"  [Pellwick.ActivityCtrl.1] = [Halvern ActivityCtrl Class]",
                           L"    [CLSID] = [" + clsid + L"]",
                           L"  [Pellwick.ActivityCtrl] = [Halvern ActivityCtrl Class]",
                           L"    [CLSID] = [" + clsid + L"]",
                           L"    [CurVer] = [Pellwick.ActivityCtrl.1]",
                           L"  NoRemove [CLSID]",
                           L"    ForceRemove [" + clsid + L"] = [Halvern ActivityCtrl Class]",
                           L"      [ProgID] = [Pellwick.ActivityCtrl.1]",
                           L"      [VersionIndependentProgID] = [Pellwick.ActivityCtrl]",
                           L"      ForceRemove [Programmable]",
                           L"      [InprocServer32] = [" + module + L"]",
                           L"        val [ThreadingModel] = [Apartment]",
                           L"      val [AppID] = [{4CA564D7-4F81-4C2C-9429-6609A57D26A5}]",
                           L"      ForceRemove [Control]",
                           L"      ForceRemove [ToolboxBitmap32] = [" + module + L", 102]",
                           L"      [MiscStatus] = [0]",
                           L"        [1] = [131473]",
                           L"      [TypeLib] = [{24919A8D-2502-49CA-B37B-C348EE6E708C}]",
                           L"      [Version] = [1.0]",
                       }));
}

TEST(ParseRegistryScriptTest, RootNamesKeywordsAndTypeLetterIgnoreCase) {
  Parsed p = Parse(
      L"hkey_classes_root{a}HKEY_CURRENT_USER{b}hklm{c}Hku{d}HKU{e}"
      L"hkcu { noremove K = S v { VAL n = s w FORCEREMOVE L } }");
  ASSERT_EQ(p.error, ScriptError::kNone);
  EXPECT_EQ(p.outline, (Lines{L"HKCR", L"  [a]", L"HKCU", L"  [b]", L"HKLM", L"  [c]", L"HKU",
                              L"  [d]", L"HKU", L"  [e]", L"HKCU", L"  NoRemove [K] = [v]",
                              L"    val [n] = [w]", L"    ForceRemove [L]"}));
}

TEST(ParseRegistryScriptTest, QuotedAndBareWords) {
  Parsed p = Parse(
      L"HKCR\r\n{\t'it''s here' = s 'a ''b'' c'\n"
      L"'val' { val 'with space' = s '' val x=s '''' }"
      L" 'NoRemove' 'x{y}z'=s 'a=b' { {guid}=s{g2} G{ } } }  \r\n");
  ASSERT_EQ(p.error, ScriptError::kNone);
  EXPECT_EQ(p.outline, (Lines{L"HKCR", L"  [it's here] = [a 'b' c]", L"  [val]",
                              L"    val [with space] = []", L"    val [x] = [']",
                              L"  [NoRemove]", L"  [x{y}z] = [a=b]", L"    [{guid}] = [{g2}]",
                              L"    [G]"}));
  // Right after an entry a brace opens that entry's block, not a braced name.
  p = Parse(L"HKCR { A {B} }");
  ASSERT_EQ(p.error, ScriptError::kNone);
  EXPECT_EQ(p.outline, (Lines{L"HKCR", L"  [A]", L"    [B]"}));
}

TEST(ParseRegistryScriptTest, EmptyTextHasNoRoots) {
  for (const wchar_t* text : {L"", L" \t\r\n"}) {
    Parsed p = Parse(text);
    EXPECT_EQ(p.error, ScriptError::kNone);
    EXPECT_TRUE(p.outline.empty());
  }
}

TEST(ParseRegistryScriptTest, SyntaxErrors) {
  const wchar_t* const cases[] = {
      L"HKCR",                              // missing block
      L"HKCR {",                            // missing closing brace
      L"HKCR { A { B }",                    // missing closing brace of a key
      L"HKCR { A } }",                      // text after the last root block
      L"HKCR { A } B",                      // text after the last root block
      L"HKCR { } HKCR",                     // root without block at the end
      L"HKXX { A }",                        // unknown root
      L"'' { A }",                          // empty root name
      L"{ A }",                             // block without root
      L"HKCR { val X = s 'y' }",            // val at root level
      L"HKCR { A = t 'x' }",                // unknown type letter
      L"HKCR { A = sz 'x' }",               // unknown type
      L"HKCR { A = 'x' }",                  // missing type
      L"HKCR { A = s }",                    // missing text
      L"HKCR { A = s 'x' = s 'y' }",        // second default value
      L"HKCR { A { val B s 'x' } }",        // val without '='
      L"HKCR { A { val B } }",              // val without data
      L"HKCR { A { val = s 'x' } }",        // val without name
      L"HKCR { 'A }",                       // unclosed quote
      L"HKCR { A = s 'x }",                 // unclosed quote in text
      L"HKCR { '' }",                       // empty key name
      L"HKCR { NoRemove }",                 // keyword without key
      L"HKCR { ForceRemove NoRemove A }",   // two keywords
      L"HKCR { NoRemove val X = s 'y' }",   // keyword before val
      L"HKCR { = s 'x' }",                  // value without key
      L"HKCR { {open A }",                  // brace word with a space
      L"HKCR { {open",                      // brace word never closed
  };
  for (const wchar_t* text : cases) {
    Parsed p = Parse(text);
    EXPECT_EQ(p.error, ScriptError::kSyntax) << text;
    EXPECT_TRUE(p.outline.empty()) << text;
  }
}

TEST(ParseRegistryScriptTest, BackslashOnlyForbiddenInKeyNames) {
  EXPECT_EQ(Parse(L"HKCR { 'A\\B' }").error, ScriptError::kBackslashInKeyName);
  EXPECT_EQ(Parse(L"HKCR { A\\B = s 'x' }").error, ScriptError::kBackslashInKeyName);
  EXPECT_EQ(Parse(L"HKCR { NoRemove A { ForceRemove '\\' } }").error,
            ScriptError::kBackslashInKeyName);
  Parsed p = Parse(L"HKCR { A = s 'C:\\x' { val 'B\\C' = s '\\\\' } }");
  ASSERT_EQ(p.error, ScriptError::kNone);
  EXPECT_EQ(p.outline, (Lines{L"HKCR", L"  [A] = [C:\\x]", L"    val [B\\C] = [\\\\]"}));
}

TEST(ParseRegistryScriptTest, DeepNestingIsRefusedNotOverflowed) {
  auto nested = [](int depth) {
    std::wstring text = L"HKCR {";
    for (int i = 0; i < depth; ++i) text += L" K {";
    for (int i = 0; i <= depth; ++i) text += L" }";
    return text;
  };
  EXPECT_EQ(Parse(nested(100)).error, ScriptError::kNone);
  EXPECT_EQ(Parse(nested(100000)).error, ScriptError::kSyntax);
}

}  // namespace
