#include "satellite_names.h"

namespace {

constexpr std::uint16_t kPrimaryMask = 0x3FF;
constexpr std::uint16_t kLangChinese = 0x04;

// "<drive><directory>resdll\<base>_<tags joined by `separator`><suffix>.rsc"
std::wstring CandidateName(const SatelliteLookup& lookup, const std::wstring& first,
                           const wchar_t* separator, const std::wstring& second,
                           const std::wstring& third) {
  std::wstring name = lookup.drive + lookup.directory + L"resdll\\" + lookup.base_name + L"_" + first;
  if (!second.empty()) name += separator + second;
  if (!third.empty()) name += L"_" + third;
  if (lookup.debug_suffix) name += L"d";
  return name + L".rsc";
}

}  // namespace

bool IsNeutralUiLanguage(std::uint16_t ui_language) noexcept {
  return (ui_language & kPrimaryMask) == 0;
}

std::uint16_t PrimaryLanguageOnly(std::uint16_t ui_language) noexcept {
  return static_cast<std::uint16_t>(ui_language & kPrimaryMask);
}

const wchar_t* ScriptTag(std::uint16_t ui_language) noexcept {
  if ((ui_language & kPrimaryMask) != kLangChinese) return L"";
  switch (ui_language >> 10) {
    case 1: case 3: case 5: return L"Hant";
    case 2: case 4: return L"Hans";
    default: return L"";
  }
}

std::vector<std::wstring> SatelliteCandidates(const SatelliteLookup& lookup) {
  std::vector<std::wstring> names;
  if (IsNeutralUiLanguage(lookup.ui_language)) return names;

  const std::wstring script = ScriptTag(lookup.ui_language);
  const std::wstring& language = lookup.iso_language;
  const std::wstring& country = lookup.iso_country;
  const std::wstring none;

  if (!language.empty() && !script.empty() && !country.empty())
    names.push_back(CandidateName(lookup, language, L"_", script, country));
  if (!language.empty() && !script.empty())
    names.push_back(CandidateName(lookup, language, L"_", script, none));
  if (!language.empty() && !country.empty()) {
    names.push_back(CandidateName(lookup, language, L"_", country, none));
    names.push_back(CandidateName(lookup, language, L"-", country, none));
  }
  if (!language.empty()) names.push_back(CandidateName(lookup, language, L"_", none, none));
  if (!lookup.abbreviated_language.empty())
    names.push_back(CandidateName(lookup, lookup.abbreviated_language, L"_", none, none));
  if (!lookup.abbreviated_primary.empty())
    names.push_back(CandidateName(lookup, lookup.abbreviated_primary, L"_", none, none));
  return names;
}
