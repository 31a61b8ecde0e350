#pragma once
// The file names tried, in order, when looking for the satellite resource
// module that holds the page dialog and strings in the user's language.
// Pure text; no platform headers, so it also builds natively.
#include <cstdint>
#include <string>
#include <vector>

// What the search knows about the component and the user's UI language.
// An empty string stands for a value the platform did not give.
struct SatelliteLookup {
  std::uint16_t ui_language = 0;    // primary language in the low 10 bits
  std::wstring drive;                // "C:" or empty
  std::wstring directory;            // with its trailing backslash, or empty
  std::wstring base_name;            // file name of the component without extension
  std::wstring iso_language;         // "de", "zh"
  std::wstring iso_country;          // "DE", "CN"
  std::wstring abbreviated_language; // of the full UI language, "DEU"
  std::wstring abbreviated_primary;  // of the primary language alone, "DEU"
  bool debug_suffix = false;        // "d" before ".rsc"
};

// True when the UI language's primary language is LANG_NEUTRAL: no search then.
bool IsNeutralUiLanguage(std::uint16_t ui_language) noexcept;

// The UI language with its sublanguage cleared.
std::uint16_t PrimaryLanguageOnly(std::uint16_t ui_language) noexcept;

// "Hans" or "Hant" for the Chinese sublanguages 1 to 5, otherwise empty.
const wchar_t* ScriptTag(std::uint16_t ui_language) noexcept;

// Full paths of the candidate satellites, narrowest language tag first; a name may
// appear twice. Nothing for a neutral UI language. May throw std::bad_alloc.
std::vector<std::wstring> SatelliteCandidates(const SatelliteLookup& lookup);
