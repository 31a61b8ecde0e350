#pragma once
// The version-identification line: the module tag padded to 33 characters,
// the version and the build date in parentheses, ended by a newline.
// Pure text; no platform headers.

extern const char* const kVeridModuleTag;  // "Pellwick"
extern const char* const kVeridVersion;    // "9.0.1.4"
extern const char* const kVeridBuildDate;  // e.g. "Mon Jul 9 17:29:50 2018"
constexpr int kVeridTagWidth = 33;
// Room for the line with the standard tag: 69 characters with a two-digit
// day, then the NUL.
constexpr int kVeridLineSize = 70;

// Writes the line into `buffer`, which must hold kVeridLineSize bytes for
// the standard tag; returns what sprintf returns.
int format_verid(char* buffer);

// The legal notice kept in the image beside the version record, as lines
// ended by a null entry. Not exported, and called by nothing in the
// component: it is there for whoever reads the image.
const char* const* VeridNoticeLines();
