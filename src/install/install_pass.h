// The install pass: the walk over the option tree that processes the section of every selected
// option, between the extension hook's events 6 and 7, records the option as installed (or, in
// a removal, forgets it and its per-user key), and lets the user abort between options. A modify
// run makes an install pass for the added options and a removal pass for the dropped ones.
#pragma once

namespace tarvium {

struct SetupRun;
struct OptionRecord;
struct SectionCall;

// Sets %Option%, %OptionName% and %OptionText% for the option.
void SetOptionVariables(SetupRun& run, const OptionRecord& option);

// The call that processes an option's own section.
SectionCall OwnSectionCall(const OptionRecord& option);

// One pass in the run's direction (children first, last to first, in an uninstall). True when
// the run was not aborted.
bool RunInstallPass(SetupRun& run);

// The installation run: the progress range, then one pass, or the two passes of a modify run.
bool RunInstallationPasses(SetupRun& run);

}  // namespace tarvium
