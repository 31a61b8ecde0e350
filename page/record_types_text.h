#pragma once
// The record-types text of a database: names separated by single line feeds,
// nothing escaped or trimmed (a CR before a line feed stays in the name).
// Pure UTF-16 unit work, so no windows.h here.
#include <string>
#include <string_view>
#include <vector>

// Splits the record-types text at every line feed as the database refresh
// does: a leading LF or two LFs in a row give an empty name, a final LF gives
// no extra name, an empty text gives no names. May throw std::bad_alloc.
std::vector<std::wstring> SplitRecordTypes(std::wstring_view text);
