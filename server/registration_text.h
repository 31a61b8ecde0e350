#pragma once
// Text rules of registration: quoting the module path for the scripts, the
// type library's fallback file name and its help directory. Text only.
#include <string>
#include <string_view>

// `path` with every single quote doubled, as the scripts' quoted strings need.
std::wstring DoubleSingleQuotes(std::wstring_view path);

// `path` with the extension of its file name (from the last '.' after the
// last '\') replaced by ".tlb"; without an extension ".tlb" is appended.
std::wstring TypeLibraryFallbackPath(std::wstring_view path);

// The directory part of a help file path: everything up to and including its
// last '\', '/' or ':'; empty when it has none.
std::wstring HelpDirectory(std::wstring_view help_file);
