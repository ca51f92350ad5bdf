// The sections of one base name are found in one pass over the section index; keys are compared
// through one map of first occurrences, so the key check costs the keys times the sections of the
// base, which is what the findings themselves may number.
#include "string_sections.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/inf_fields.h"
#include "engine/string_section_choice.h"
#include "install/section_text.h"
#include "platform/ansi_case.h"
#include "script/language_choice.h"

namespace tarvium::lint {
namespace {

struct StringSection {
  std::string name;
  int nHeaderLine = 0;
  std::map<std::string, std::pair<std::string, int>> keys;  // upper-cased -> as written, line
};

std::string HeaderName(const char* header) {
  std::string name;
  for (const char* p = header + 1; *p && *p != ']' && *p != '\r' && *p != '\n'; ++p) name += *p;
  return name;
}

// The sections named base or "base:..." (the first of a name only: the engine reads no other).
std::vector<StringSection> ReadSections(const InfFile& inf, const LineNumbers& numbers,
                                        std::string_view base) {
  std::vector<StringSection> sections;
  const std::string prefix = std::string(base) + ":";
  for (const char* header : inf.SectionIndex()) {
    if (!header) break;
    StringSection section{HeaderName(header), numbers.LineOf(header), {}};
    if (!platform::AnsiEqualNoCase(section.name, base) &&
        !platform::AnsiStartsWithNoCase(section.name, prefix))
      continue;
    const char* start = FindSection(inf, section.name);
    if (!start || numbers.LineOf(start) - 1 != section.nHeaderLine) continue;
    ForEachSectionLine(inf, numbers, start, [&](const std::string& line, int nLine) {
      std::string key, value;
      if (SplitAtEquals(line, key, value) && !key.empty())
        section.keys.try_emplace(platform::AnsiUpper(key), key, nLine);
    });
    sections.push_back(std::move(section));
  }
  return sections;
}

bool HasLanguageSection(const std::vector<StringSection>& sections) {
  for (const StringSection& section : sections)
    if (section.name.find(':') != std::string::npos) return true;
  return false;
}

std::string LocaleText(uint32_t lcid) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", lcid);
  return LanguageCodeOfLocale(lcid) + " (0x" + text + ")";
}

void CheckLanguages(const InfFile& inf, const std::vector<StringSection>& sections,
                    const char* base, const char* fallbackKey, LintReport& report) {
  for (const uint32_t lcid : CatalogLocales()) {
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

void CheckStringSections(const InfFile& inf, const LineNumbers& numbers, LintReport& report) {
  const struct {
    const char* base;
    const char* fallbackKey;
  } kBases[] = {{"Strings", "UseStringSection"}, {"SysStrings", "UseSysStringSection"}};
  for (const auto& [base, fallbackKey] : kBases) {
    const std::vector<StringSection> sections = ReadSections(inf, numbers, base);
    if (!HasLanguageSection(sections)) continue;
    CheckLanguages(inf, sections, base, fallbackKey, report);
    CheckKeys(sections, report);
  }
}

}  // namespace tarvium::lint
