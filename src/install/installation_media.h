// The installation media of "Disks": the label shown when a medium must be inserted, and the
// cabinet that holds a medium's files, named from the template "CabTemplateName".
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// "Setup.cab" in the source directory for medium 0; for n > 0 the template with n written
// zero-padded over its zeros (starting at the first), after the source directory; empty when
// there is no template.
std::string CabinetPath(SetupRun& run, uint32_t nMedium);

// The label of the medium (0 counts as 1), variables replaced; text 5030 with the number when
// "Disks" has none.
std::string MediumLabel(SetupRun& run, uint32_t nMedium);

// The file name of a template for a medium, without the source directory.
std::string CabinetName(std::string cabTemplate, uint32_t nMedium);

}  // namespace tarvium
