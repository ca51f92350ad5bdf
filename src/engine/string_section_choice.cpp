// The language sections are looked up by their formatted names; the fallback key is read with the
// engine's value reader, so a quoted or commented value means what it means everywhere else.
#include "engine/string_section_choice.h"

#include <cstdio>

#include "engine/inf_reader.h"

namespace tarvium {
namespace {

constexpr size_t kSectionNameSize = 256;

bool SectionExists(const InfFile& inf, const std::string& name) {
  return FindSection(inf, name) != nullptr;
}

}  // namespace

std::string ChooseStringSection(const InfFile& inf, const char* pszBase, uint32_t lcid,
                                const char* pszFallbackKey) {
  char name[kSectionNameSize];
  std::snprintf(name, sizeof name, "%s:%02x,%02x", pszBase, lcid & 0x3FF, (lcid >> 10) & 0x3F);
  if (SectionExists(inf, name)) return name;
  std::snprintf(name, sizeof name, "%s:%02x", pszBase, lcid & 0x3FF);
  if (SectionExists(inf, name)) return name;
  std::string fallback;
  if (GetValue(inf, "Application", pszFallbackKey, fallback, kSectionNameSize) && !fallback.empty())
    return fallback;
  return pszBase;
}

}  // namespace tarvium
