// The engine's own dispatch decides (IsSpecialSection, SectionBaseName); this file only says
// which generic names look meant for a handler. A name holding a variable is known at run time
// only and is passed over.
#include "section_kind.h"

#include <string>

#include "install/section_dispatch.h"

namespace tarvium::lint {
namespace {

// "Name.ext" with a short extension of letters, as the file-named kinds (.ini, .reg, .bat) are.
bool HasFileExtension(const std::string& name) {
  const size_t nDot = name.rfind('.');
  if (nDot == std::string::npos || nDot == 0 || name.size() - nDot - 1 < 2 ||
      name.size() - nDot - 1 > 4)
    return false;
  for (size_t i = nDot + 1; i < name.size(); ++i)
    if (!((name[i] >= 'a' && name[i] <= 'z') || (name[i] >= 'A' && name[i] <= 'Z'))) return false;
  return true;
}

bool LooksLikeHandlerSection(const std::string& name) {
  return SectionBaseName(name) != name || HasFileExtension(name);
}

}  // namespace

void CheckSectionKinds(const InfFile& inf, const LineNumbers& numbers, const WalkResult& walk,
                       LintReport& report) {
  for (const std::string& section : walk.sections) {
    if (section.find('%') != std::string::npos || IsSpecialSection(section) ||
        !LooksLikeHandlerSection(section))
      continue;
    const char* start = FindSection(inf, section);
    report.Add(start ? numbers.LineOf(start) - 1 : 1, Severity::Warning, "unknown-section-kind",
               "no handler takes section [" + section +
                   "] (not a registry, INI, batch, shell or other kind the engine knows): its "
                   "lines are read as copy lines and commands");
  }
}

}  // namespace tarvium::lint
