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
  std::string drive;                // "C:" or empty
  std::string directory;            // with its trailing backslash, or empty
  std::string base_name;            // file name of the component without extension
  std::string iso_language;         // "de", "zh"
  std::string iso_country;          // "DE", "CN"
  std::string abbreviated_language; // of the full UI language, "DEU"
  std::string abbreviated_primary;  // of the primary language alone, "DEU"
  bool debug_suffix = false;        // "d" before ".rsc"
};

// True when the UI language's primary language is LANG_NEUTRAL: no search then.
bool IsNeutralUiLanguage(std::uint16_t ui_language) noexcept;

// The UI language with its sublanguage cleared.
std::uint16_t PrimaryLanguageOnly(std::uint16_t ui_language) noexcept;

// "Hans" or "Hant" for the Chinese sublanguages 1 to 5, otherwise empty.
const char* ScriptTag(std::uint16_t ui_language) noexcept;

// Full paths of the candidate satellites, narrowest language tag first; a name may
// appear twice. Nothing for a neutral UI language.
std::vector<std::string> SatelliteCandidates(const SatelliteLookup& lookup);
