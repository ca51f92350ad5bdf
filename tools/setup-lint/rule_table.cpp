#include "rule_table.h"

#include <array>

namespace tarvium::lint {

namespace {

constexpr std::array<Rule, 9> kRules = {{
    {"missing-section",
     "an option or a #reference names a section the file lacks (message 5529 at run time)"},
    {"unknown-flag",
     "a flag word the engine does not know on an option, copy or #reference line "
     "(message 5530 at run time)"},
    {"bad-condition", "an IF line or condition the engine cannot read (message 5528 at run time)"},
    {"duplicate-section",
     "a section header given twice: the engine reads the first and ignores the other"},
    {"duplicate-key",
     "a key of [Setup] or [Application] given twice: the engine reads the first line of it"},
    {"no-uninstall-name",
     "[Application] has no UninstallDisplayName: the product never appears in the programs list"},
    {"setup-inf-not-copied",
     "no copy line brings Setup.inf along: the registered removal cannot "
     "find its setup information file"},
    {"no-size", "a copy line without a size field: the needed disk space is computed without it"},
    {"dir-variable-glued",
     "%SrcDir% or %App% directly followed by a name: the directory and the name run together"},
}};

}  // namespace

std::span<const Rule> Rules() {
  return kRules;
}

}  // namespace tarvium::lint
