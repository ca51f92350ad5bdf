// The security command interpreter: one line "Object.Method (arguments)" changes local users,
// local groups and their members, shares, account rights, the domain membership or an object's
// access list, in the sense of the pass (an uninstall pass undoes what an install did). Users,
// groups and memberships carry use counts in the machine hive, so that the removal of one product
// does not delete what another still uses; the security section runs such lines one by one.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// A password as the file stores it: encrypted from format 0x650 on, so decrypted then.
std::string StoredPassword(SetupRun& run, std::string text);

// A security section: every line in order (last to first in an uninstall pass), stopping at the
// first failure. A missing section is message 5529.
bool HandleSecuritySection(SetupRun& run, const std::string& sectionName, bool bNoUseCount,
                           bool bCountExisting);
// Whether the line reads as "Object.Method (fields)" with a method the tables know; any other
// line fails with message 5555.
bool IsSecurityCommand(const std::string& line);

// One command. bApproved: an object whose use ends is deleted without asking.
bool RunSecurityCommand(SetupRun& run, const std::string& line, bool bNoUseCount,
                        bool bCountExisting, bool bApproved);

}  // namespace tarvium
