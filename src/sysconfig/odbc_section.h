// ODBC sections: the driver manager, drivers, translators and user, system and file data sources
// installed and removed through the system's ODBC installer library.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Whether the section's name, up to its first ':', names one of the six ODBC section kinds.
bool IsOdbcSection(const std::string& sectionName);

// Installs (or, in an uninstall pass, removes) what the section describes. With replaceExisting
// a driver or translator is removed before it is installed again and the driver manager is left
// alone; without configureSources the data-source sections change nothing.
bool HandleOdbcSection(SetupRun& run, const std::string& sectionName, bool bReplaceExisting,
                       bool bConfigureSources);

}  // namespace tarvium
