// The section name decides who handles a section: ODBC, IP files, security, config.sys,
// autoexec.bat and batch files, INI files, registry, Program Manager and shell sections go to
// their handlers; everything else is a generic section. The rows are tried in a fixed order and
// the first match wins; each row says when its handler runs in this run.
#pragma once
#include <optional>
#include <string>

namespace tarvium {

struct SetupRun;
struct SectionCall;
enum class SectionKind : int;

// The handler's result (true when it does not run, is not registered yet, or in sizing), or none
// for a generic section.
std::optional<bool> DispatchSpecialSection(SetupRun& run, const SectionCall& call, bool bConfigure);

// Whether a handler of its own (ODBC, INI, registry, ...) reads the section, by its name alone:
// such a section's lines are no generic section lines.
bool IsSpecialSection(const std::string& section);

// The handler that reads the section, by its name alone (the first row that matches); none for
// a generic section.
std::optional<SectionKind> SpecialSectionKind(const std::string& section);

// The section name up to its last ':' (the whole name without one).
std::string SectionBaseName(const std::string& section);

}  // namespace tarvium
