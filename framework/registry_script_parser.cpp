#include "registry_script_parser.h"

#include <new>
#include <utility>

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool EndsBareWord(wchar_t c) { return IsSpace(c) || c == L'=' || c == L'{' || c == L'}'; }

// The registry itself nests at most 512 levels; the cap also bounds recursion.
constexpr int kMaxDepth = 512;

struct Token {
  std::wstring text;
  bool quoted = false;
};

class Parser {
 public:
  explicit Parser(std::wstring_view text) : text_(text) {}

  ScriptError Parse(std::vector<ScriptRoot>& roots) {
    while (SkipSpace()) {
      ScriptRoot root;
      Token name;
      if (!ReadWord(name) || !RootKeyFromName(name.text, root.key)) return ScriptError::kSyntax;
      if (ScriptError e = ParseBlock(root.entries, 0, true); e != ScriptError::kNone) return e;
      roots.push_back(std::move(root));
    }
    return ScriptError::kNone;
  }

 private:
  // Skips white space; false at the end of the text.
  bool SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    return pos_ < text_.size();
  }

  bool Take(wchar_t c) {
    if (!SkipSpace() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool Peek(wchar_t c) { return SkipSpace() && text_[pos_] == c; }

  // A quoted or bare word; false when none starts here (or a quote is unclosed).
  bool ReadWord(Token& token) {
    if (!SkipSpace()) return false;
    token.text.clear();
    token.quoted = text_[pos_] == L'\'';
    if (!token.quoted) {
      const std::size_t start = pos_;
      if (text_[pos_] == L'{') {
        // A word opening with a brace, such as a GUID, takes in its closing brace.
        for (++pos_; pos_ < text_.size() && text_[pos_] != L'}'; ++pos_)
          if (EndsBareWord(text_[pos_])) return false;
        if (pos_ == text_.size()) return false;
        ++pos_;
      }
      while (pos_ < text_.size() && !EndsBareWord(text_[pos_])) ++pos_;
      token.text.assign(text_.substr(start, pos_ - start));
      return pos_ > start;
    }
    for (++pos_; pos_ < text_.size(); ++pos_) {
      if (text_[pos_] != L'\'') {
        token.text.push_back(text_[pos_]);
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == L'\'') {
        token.text.push_back(L'\'');
        ++pos_;
      } else {
        ++pos_;
        return true;
      }
    }
    return false;
  }

  bool IsKeyword(const Token& token, std::wstring_view keyword) const {
    return !token.quoted && EqualsIgnoringCase(token.text, keyword);
  }

  // "= s text" after a name.
  bool ReadTypedData(std::wstring& data) {
    Token type, value;
    if (!Take(L'=') || !ReadWord(type) || !IsKeyword(type, L"s")) return false;
    if (!ReadWord(value)) return false;
    data = std::move(value.text);
    return true;
  }

  static bool RootKeyFromName(std::wstring_view name, ScriptRootKey& key) {
    struct Name { const wchar_t* text; ScriptRootKey key; };
    static const Name kNames[] = {
        {L"HKCR", ScriptRootKey::kClassesRoot},  {L"HKEY_CLASSES_ROOT", ScriptRootKey::kClassesRoot},
        {L"HKCU", ScriptRootKey::kCurrentUser},  {L"HKEY_CURRENT_USER", ScriptRootKey::kCurrentUser},
        {L"HKLM", ScriptRootKey::kLocalMachine}, {L"HKEY_LOCAL_MACHINE", ScriptRootKey::kLocalMachine},
        {L"HKU", ScriptRootKey::kUsers},         {L"HKEY_USERS", ScriptRootKey::kUsers},
    };
    for (const Name& candidate : kNames) {
      if (EqualsIgnoringCase(name, candidate.text)) {
        key = candidate.key;
        return true;
      }
    }
    return false;
  }

  ScriptError ParseBlock(std::vector<ScriptEntry>& entries, int depth, bool at_root) {
    if (depth >= kMaxDepth || !Take(L'{')) return ScriptError::kSyntax;
    while (!Take(L'}')) {
      ScriptEntry entry;
      if (ScriptError e = ParseEntry(entry, depth, at_root); e != ScriptError::kNone) return e;
      entries.push_back(std::move(entry));
    }
    return ScriptError::kNone;
  }

  ScriptError ParseEntry(ScriptEntry& entry, int depth, bool at_root) {
    Token name;
    if (!ReadWord(name)) return ScriptError::kSyntax;
    if (IsKeyword(name, L"val")) {
      if (at_root || !ReadWord(name)) return ScriptError::kSyntax;
      entry.isValue = true;
      entry.name = std::move(name.text);
      entry.hasData = true;
      return ReadTypedData(entry.data) ? ScriptError::kNone : ScriptError::kSyntax;
    }
    if (IsKeyword(name, L"ForceRemove") || IsKeyword(name, L"NoRemove")) {
      entry.flag = IsKeyword(name, L"NoRemove") ? ScriptKeyFlag::kNoRemove
                                                : ScriptKeyFlag::kForceRemove;
      // A second keyword here is almost surely a mistake; a key so named is quoted.
      if (!ReadWord(name) || IsKeyword(name, L"val") || IsKeyword(name, L"ForceRemove") ||
          IsKeyword(name, L"NoRemove"))
        return ScriptError::kSyntax;
    }
    // An empty name would address the parent key itself, and a '\' a key elsewhere.
    if (name.text.empty()) return ScriptError::kSyntax;
    if (name.text.find(L'\\') != std::wstring::npos) return ScriptError::kBackslashInKeyName;
    entry.name = std::move(name.text);
    if (Peek(L'=')) {
      if (!ReadTypedData(entry.data)) return ScriptError::kSyntax;
      entry.hasData = true;
    }
    if (Peek(L'{')) return ParseBlock(entry.contents, depth + 1, false);
    return ScriptError::kNone;
  }

  std::wstring_view text_;
  std::size_t pos_ = 0;
};

const ScriptVariable* FindVariable(const std::vector<ScriptVariable>& variables,
                                   std::wstring_view name) {
  for (const ScriptVariable& variable : variables)
    if (EqualsIgnoringCase(variable.name, name)) return &variable;
  return nullptr;
}

ScriptError Replace(std::wstring_view text, const std::vector<ScriptVariable>& variables,
                    std::wstring& result) {
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find(L'%', pos);
    if (open == std::wstring_view::npos) break;
    result.append(text.substr(pos, open - pos));
    const std::size_t close = text.find(L'%', open + 1);
    if (close == std::wstring_view::npos) return ScriptError::kUnclosedPercent;
    const std::wstring_view name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      result.push_back(L'%');
    } else {
      if (name.size() > kMaxVariableNameLength) return ScriptError::kVariableNameTooLong;
      const ScriptVariable* variable = FindVariable(variables, name);
      if (!variable) return ScriptError::kUnknownVariable;
      result.append(variable->value);
    }
    pos = close + 1;
  }
  if (pos < text.size()) result.append(text.substr(pos));
  return ScriptError::kNone;
}

}  // namespace

ScriptError ReplaceScriptVariables(std::wstring_view text,
                                   const std::vector<ScriptVariable>& variables,
                                   std::wstring& result) noexcept {
  result.clear();
  try {
    const ScriptError error = Replace(text, variables, result);
    if (error != ScriptError::kNone) result.clear();
    return error;
  } catch (const std::bad_alloc&) {
    result.clear();
    return ScriptError::kOutOfMemory;
  }
}

ScriptError ParseRegistryScript(std::wstring_view text, std::vector<ScriptRoot>& roots) noexcept {
  roots.clear();
  try {
    const ScriptError error = Parser(text).Parse(roots);
    if (error != ScriptError::kNone) roots.clear();
    return error;
  } catch (const std::bad_alloc&) {
    roots.clear();
    return ScriptError::kOutOfMemory;
  }
}
