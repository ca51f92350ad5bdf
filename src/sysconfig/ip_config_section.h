// The IP configuration sections ("IP Services", "IP Protocols", "IP Networks", "IP Hosts",
// "IP LMHosts"): each line is one entry of the matching file in the system's drivers\etc folder,
// added or replaced by the install pass and taken out by the removal pass, in the 64-bit folder
// and then in the SysWOW64 copy.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Edits the section's file; true when the files were edited or nothing had to be done (carry out
// false, a shared section still in use), false after 5529 (no such section), 5501 (the file
// cannot be read), 5504 (it cannot be written) or an abort.
bool HandleIpConfigSection(SetupRun& run, const std::string& sectionName, bool bCarryOut);

}  // namespace tarvium
