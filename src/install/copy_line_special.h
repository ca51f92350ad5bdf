// The copy lines that create or delete instead of copying: CREATE (or an empty source) makes an
// empty file or a directory at install and removes it at uninstall, a help index (".gid") is
// built by the help program instead of being created empty, and DELETE removes its destination
// when the product is removed.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// A CREATE line or one with an empty source; false fails the line.
bool CreateOrRemoveDestination(SetupRun& run, const std::string& destination, uint32_t dwCopyFlags,
                               uint32_t dwAttributes);

// A DELETE line: in an uninstall the destination is removed.
bool DeleteDestination(SetupRun& run, const std::string& destination);

}  // namespace tarvium
