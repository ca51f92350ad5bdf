// The sections of one base name are found in one pass over the section index; keys are compared
// through one map of first occurrences, so the key check costs the keys times the sections of the
// base, which is what the findings themselves may number.
#include "string_sections.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/inf_fields.h"
#include "engine/string_section_choice.h"
#include "install/section_text.h"
#include "platform/ansi_case.h"
#include "script/language_choice.h"

namespace tarvium::lint {
namespace {

constexpr struct {
  const char* base;
  const char* fallbackKey;
} kBases[] = {{"Strings", "UseStringSection"}, {"SysStrings", "UseSysStringSection"}};

// "Strings" or "Strings:..." for the base "Strings".
bool IsOfBase(std::string_view name, std::string_view base) {
  return platform::AnsiStartsWithNoCase(name, base) &&
         (name.size() == base.size() || name[base.size()] == ':');
}

struct StringSection {
  std::string name;
  int nHeaderLine = 0;
  std::map<std::string, std::pair<std::string, int>> keys;  // upper-cased -> as written, line
};

// The sections named base or "base:..." (the first of a name only: the engine reads no other).
std::vector<StringSection> ReadSections(const InfFile& inf, const LineNumbers& numbers,
                                        std::string_view base) {
  std::vector<StringSection> sections;
  ForEachReadSection(inf, numbers, [&](const std::string& name, const char* start, int nHeader) {
    if (!IsOfBase(name, base)) return;
    StringSection section{name, nHeader, {}};
    ForEachSectionLine(inf, numbers, start, [&](const std::string& line, int nLine) {
      std::string key, value;
      if (SplitAtEquals(line, key, value) && !key.empty())
        section.keys.try_emplace(platform::AnsiUpper(key), key, nLine);
    });
    sections.push_back(std::move(section));
  });
  return sections;
}

bool HasLanguageSection(const std::vector<StringSection>& sections) {
  for (const StringSection& section : sections)
    if (section.name.find(':') != std::string::npos) return true;
  return false;
}

// The locale a language section serves: "Strings:07,01" and "Strings:07" give 0x0407 (a
// language's default sub-language when none is given); 0 for a name that gives none.
uint32_t LocaleOfSection(std::string_view name) {
  const size_t nColon = name.find(':');
  if (nColon == std::string_view::npos) return 0;
  const std::string_view suffix = name.substr(nColon + 1);
  const size_t nComma = std::min(suffix.find(','), suffix.size());
  uint32_t nPrimary = 0, nSub = 1;
  const char* const end = suffix.data() + nComma;
  if (std::from_chars(suffix.data(), end, nPrimary, 16).ptr != end || nPrimary == 0) return 0;
  if (nComma < suffix.size()) {
    const char* const subEnd = suffix.data() + suffix.size();
    if (std::from_chars(end + 1, subEnd, nSub, 16).ptr != subEnd) return 0;
  }
  return (nSub << 10) | nPrimary;
}

std::string LocaleText(uint32_t lcid) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", lcid);
  const std::string code = LanguageCodeOfLocale(lcid);
  return (code.empty() ? "language" : code) + " (0x" + text + ")";
}

void CheckLanguages(const InfFile& inf, const std::vector<StringSection>& sections,
                    const std::set<uint32_t>& declared, const char* base, const char* fallbackKey,
                    LintReport& report) {
  for (const uint32_t lcid : declared) {
    const std::string chosen = ChooseStringSection(inf, base, lcid, fallbackKey);
    if (FindSection(inf, chosen)) continue;
    report.Add(sections.front().nHeaderLine, Severity::Warning, "missing-strings",
               "no [" + std::string(base) + "] section for " + LocaleText(lcid) +
                   ": the engine chooses [" + chosen + "], which the file lacks");
  }
}

void CheckKeys(const std::vector<StringSection>& sections, LintReport& report) {
  std::map<std::string, const StringSection*> firsts;  // each key's first section
  for (const StringSection& section : sections)
    for (const auto& entry : section.keys) firsts.try_emplace(entry.first, &section);
  for (const StringSection& section : sections)
    for (const auto& [key, first] : firsts) {
      if (section.keys.contains(key)) continue;
      const auto& [written, nLine] = first->keys.at(key);
      report.Add(section.nHeaderLine, Severity::Warning, "missing-strings",
                 "[" + section.name + "] lacks the key " + written + ", which [" + first->name +
                     "] gives (line " + std::to_string(nLine) + ")");
    }
}

}  // namespace

bool IsVariableSection(std::string_view name) {
  for (const auto& entry : kBases)
    if (IsOfBase(name, entry.base)) return true;
  return platform::AnsiEqualNoCase(name, "Environment");
}

void CheckStringSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  std::vector<StringSection> bases[std::size(kBases)];
  std::set<uint32_t> declared;  // the languages of the language sections of either base
  for (size_t i = 0; i < std::size(kBases); ++i) {
    bases[i] = ReadSections(inf, numbers, kBases[i].base);
    for (const StringSection& section : bases[i])
      if (const uint32_t lcid = LocaleOfSection(section.name)) declared.insert(lcid);
  }
  for (size_t i = 0; i < std::size(kBases); ++i) {
    if (!HasLanguageSection(bases[i])) continue;
    CheckLanguages(inf, bases[i], declared, kBases[i].base, kBases[i].fallbackKey, report);
    CheckKeys(bases[i], report);
  }
}

}  // namespace tarvium::lint
