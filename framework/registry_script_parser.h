#pragma once
// The registration script language, as text only: variable replacement and
// parsing into a tree. Applying the tree to the registry is registry_script.h.
//
//   script := root*                       root := ROOTNAME block
//   block  := '{' entry* '}'              ROOTNAME := HKCR | HKEY_CLASSES_ROOT | HKCU |
//   entry  := [ForceRemove | NoRemove] name ['=' type text] [block]      HKEY_CURRENT_USER |
//           | val name '=' type text                          HKLM | HKEY_LOCAL_MACHINE |
//   type   := s                                               HKU | HKEY_USERS
//
// A name or text is a bare word (up to white space, '=', '{' or '}'; one that
// opens with '{', such as a GUID, runs through its '}') or is in single quotes
// with '' standing for one quote. Where an entry may start, '}' closes the
// block; right after an entry, '{' opens that entry's block (so a braced key
// name that follows a sibling entry must be quoted). Root names, keywords and the
// type letter are matched without regard to ASCII case; keywords count only as
// bare words, so 'val' in quotes is an ordinary key name. White space is space,
// tab, CR and LF. A key name may not be empty or contain '\'.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptError {
  kNone,
  kUnclosedPercent,     // a '%' without its closing '%'
  kUnknownVariable,     // %NAME% with no such variable
  kVariableNameTooLong, // %NAME% of 32 characters or more
  kSyntax,
  kBackslashInKeyName,
  kOutOfMemory,
};

// Longest variable name accepted, in characters.
constexpr std::size_t kMaxVariableNameLength = 31;

struct ScriptVariable {
  std::wstring name;
  std::wstring value;
};

enum class ScriptRootKey { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };
enum class ScriptKeyFlag { kNone, kForceRemove, kNoRemove };

// One entry of a block, in script order: a key (with its optional default
// value and its own entries) or a named string value of the enclosing key.
struct ScriptEntry {
  bool isValue = false;
  std::wstring name;
  ScriptKeyFlag flag = ScriptKeyFlag::kNone;  // keys only
  bool hasData = false;                       // always true for a value
  std::wstring data;                          // the default value, or the value's text
  std::vector<ScriptEntry> contents;          // keys only
};

struct ScriptRoot {
  ScriptRootKey key = ScriptRootKey::kClassesRoot;
  std::vector<ScriptEntry> entries;
};

// Replaces every %NAME% in `text` (names without regard to ASCII case; %%
// gives one '%'). On failure `result` is left empty.
ScriptError ReplaceScriptVariables(std::wstring_view text,
                                   const std::vector<ScriptVariable>& variables,
                                   std::wstring& result) noexcept;

// Parses replaced text into its root blocks. On failure `roots` is left empty.
ScriptError ParseRegistryScript(std::wstring_view text, std::vector<ScriptRoot>& roots) noexcept;
