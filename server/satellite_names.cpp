#include "satellite_names.h"

#include <cstdio>

namespace {

constexpr std::uint16_t kPrimaryMask = 0x3FF;
constexpr std::uint16_t kLangChinese = 0x04;

// One name from a printf pattern; sized first so that no part is ever cut.
template <class... Args>
std::string Format(const char* pattern, const Args&... args) {
  const int length = std::snprintf(nullptr, 0, pattern, args.c_str()...);
  if (length <= 0) return std::string();
  std::string name(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&name[0], name.size(), pattern, args.c_str()...);
  name.resize(static_cast<size_t>(length));
  return name;
}

}  // namespace

bool IsNeutralUiLanguage(std::uint16_t ui_language) noexcept {
  return (ui_language & kPrimaryMask) == 0;
}

std::uint16_t PrimaryLanguageOnly(std::uint16_t ui_language) noexcept {
  return static_cast<std::uint16_t>(ui_language & kPrimaryMask);
}

const char* ScriptTag(std::uint16_t ui_language) noexcept {
  if ((ui_language & kPrimaryMask) != kLangChinese) return "";
  switch (ui_language >> 10) {
    case 1: case 3: case 5: return "Hant";
    case 2: case 4: return "Hans";
    default: return "";
  }
}

std::vector<std::string> SatelliteCandidates(const SatelliteLookup& lookup) {
  std::vector<std::string> names;
  if (IsNeutralUiLanguage(lookup.ui_language)) return names;

  const std::string script = ScriptTag(lookup.ui_language);
  const std::string suffix = lookup.debug_suffix ? "d" : "";
  const std::string& drive = lookup.drive;
  const std::string& dir = lookup.directory;
  const std::string& base = lookup.base_name;
  const std::string& language = lookup.iso_language;
  const std::string& country = lookup.iso_country;

  const char* const three_tags = "%s%sresdll\\%s_%s_%s_%s%s.rsc";
  const char* const two_tags = "%s%sresdll\\%s_%s_%s%s.rsc";
  const char* const dashed = "%s%sresdll\\%s_%s-%s%s.rsc";
  const char* const one_tag = "%s%sresdll\\%s_%s%s.rsc";

  if (!language.empty() && !script.empty() && !country.empty())
    names.push_back(Format(three_tags, drive, dir, base, language, script, country, suffix));
  if (!language.empty() && !script.empty())
    names.push_back(Format(two_tags, drive, dir, base, language, script, suffix));
  if (!language.empty() && !country.empty()) {
    names.push_back(Format(two_tags, drive, dir, base, language, country, suffix));
    names.push_back(Format(dashed, drive, dir, base, language, country, suffix));
  }
  if (!language.empty()) names.push_back(Format(one_tag, drive, dir, base, language, suffix));
  if (!lookup.abbreviated_language.empty())
    names.push_back(Format(one_tag, drive, dir, base, lookup.abbreviated_language, suffix));
  if (!lookup.abbreviated_primary.empty())
    names.push_back(Format(one_tag, drive, dir, base, lookup.abbreviated_primary, suffix));
  return names;
}
