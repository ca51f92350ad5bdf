// VerLanguageName over two tables: whole identifiers with their regions, and primary languages
// (the low ten bits of an identifier) for the identifiers the first table does not hold.
// Names are in the engine's Windows-1252 text.
#include "platform/language_name.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace platform {
namespace {

struct LanguageName {
  uint16_t wLanguage;
  std::string_view name;
};

// Sorted by identifier.
constexpr std::array kRegional = std::to_array<LanguageName>({
    {0x0000, "Language Neutral"},
    {0x0400, "Process Default Language"},
    {0x0401, "Arabic (Saudi Arabia)"},
    {0x0402, "Bulgarian (Bulgaria)"},
    {0x0403, "Catalan (Spain)"},
    {0x0404, "Chinese (Taiwan)"},
    {0x0405, "Czech (Czech Republic)"},
    {0x0406, "Danish (Denmark)"},
    {0x0407, "German (Germany)"},
    {0x0408, "Greek (Greece)"},
    {0x0409, "English (United States)"},
    {0x040A, "Spanish (Spain, Traditional Sort)"},
    {0x040B, "Finnish (Finland)"},
    {0x040C, "French (France)"},
    {0x040D, "Hebrew (Israel)"},
    {0x040E, "Hungarian (Hungary)"},
    {0x040F, "Icelandic (Iceland)"},
    {0x0410, "Italian (Italy)"},
    {0x0411, "Japanese (Japan)"},
    {0x0412, "Korean (Korea)"},
    {0x0413, "Dutch (Netherlands)"},
    {0x0414, "Norwegian, Bokm\xE5l (Norway)"},
    {0x0415, "Polish (Poland)"},
    {0x0416, "Portuguese (Brazil)"},
    {0x0418, "Romanian (Romania)"},
    {0x0419, "Russian (Russia)"},
    {0x041A, "Croatian (Croatia)"},
    {0x041B, "Slovak (Slovakia)"},
    {0x041D, "Swedish (Sweden)"},
    {0x041E, "Thai (Thailand)"},
    {0x041F, "Turkish (Turkey)"},
    {0x0422, "Ukrainian (Ukraine)"},
    {0x0424, "Slovenian (Slovenia)"},
    {0x0425, "Estonian (Estonia)"},
    {0x0426, "Latvian (Latvia)"},
    {0x0427, "Lithuanian (Lithuania)"},
    {0x0804, "Chinese (PRC)"},
    {0x0807, "German (Switzerland)"},
    {0x0809, "English (United Kingdom)"},
    {0x080A, "Spanish (Mexico)"},
    {0x080C, "French (Belgium)"},
    {0x0810, "Italian (Switzerland)"},
    {0x0813, "Dutch (Belgium)"},
    {0x0814, "Norwegian, Nynorsk (Norway)"},
    {0x0816, "Portuguese (Portugal)"},
    {0x0C07, "German (Austria)"},
    {0x0C09, "English (Australia)"},
    {0x0C0A, "Spanish (Spain)"},
    {0x0C0C, "French (Canada)"},
    {0x1009, "English (Canada)"},
    {0x100C, "French (Switzerland)"},
    {0x1407, "German (Liechtenstein)"},
});

// Sorted by primary language.
constexpr std::array kPrimary = std::to_array<LanguageName>({
    {0x01, "Arabic"},   {0x02, "Bulgarian"},  {0x03, "Catalan"},   {0x04, "Chinese"},
    {0x05, "Czech"},    {0x06, "Danish"},     {0x07, "German"},    {0x08, "Greek"},
    {0x09, "English"},  {0x0A, "Spanish"},    {0x0B, "Finnish"},   {0x0C, "French"},
    {0x0D, "Hebrew"},   {0x0E, "Hungarian"},  {0x0F, "Icelandic"}, {0x10, "Italian"},
    {0x11, "Japanese"}, {0x12, "Korean"},     {0x13, "Dutch"},     {0x14, "Norwegian"},
    {0x15, "Polish"},   {0x16, "Portuguese"}, {0x18, "Romanian"},  {0x19, "Russian"},
    {0x1A, "Croatian"}, {0x1B, "Slovak"},     {0x1D, "Swedish"},   {0x1E, "Thai"},
    {0x1F, "Turkish"},  {0x22, "Ukrainian"},  {0x24, "Slovenian"}, {0x25, "Estonian"},
    {0x26, "Latvian"},  {0x27, "Lithuanian"},
});

constexpr bool IsSorted(std::span<const LanguageName> table) {
  return std::is_sorted(
      table.begin(), table.end(),
      [](const LanguageName& a, const LanguageName& b) { return a.wLanguage < b.wLanguage; });
}
static_assert(IsSorted(kRegional) && IsSorted(kPrimary), "Find searches the tables by halves");

const LanguageName* Find(std::span<const LanguageName> table, uint16_t wLanguage) {
  const auto it = std::lower_bound(
      table.begin(), table.end(), wLanguage,
      [](const LanguageName& entry, uint16_t wWanted) { return entry.wLanguage < wWanted; });
  return it != table.end() && it->wLanguage == wLanguage ? &*it : nullptr;
}

}  // namespace

std::string VerLanguageName(uint16_t wLanguage) {
  constexpr uint16_t kPrimaryMask = 0x3FF;
  if (const LanguageName* pName = Find(kRegional, wLanguage)) return std::string(pName->name);
  if (const LanguageName* pName = Find(kPrimary, wLanguage & kPrimaryMask))
    return std::string(pName->name);
  return "Unknown language";
}

}  // namespace platform
