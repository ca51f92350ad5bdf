// Processing one section of the install pass: the administrator and installed-before rules, the
// decision whether the system configuration handlers run, and the dispatch by the section's name
// to a handler or to the generic section.
#pragma once

namespace tarvium {

struct SetupRun;
struct SectionCall;

// False when a failure stops the pass. In sizing mode nothing is done and the bytes the section
// would handle are added to the engine's count.
bool ProcessSection(SetupRun& run, const SectionCall& call);

}  // namespace tarvium
