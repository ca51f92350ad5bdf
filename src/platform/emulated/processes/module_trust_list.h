// The administrator's allow-list of modules on the emulated machine, which stands in for code
// signing on a host that has none: a text file "trusted-modules.txt" in the machine directory
// with one module per line in the form sha256sum prints ("<64 hex digits>  <file name>"). A line
// whose digest starts with '!' denies that digest; '#' starts a comment line.
//
// The verdict for a module with digest D and file name N, in this order:
//   D on a '!' line                  TRUST_E_EXPLICIT_DISTRUST (disallowed)
//   D on an allowing line            TRUST_SUCCESS
//   N on an allowing line (other D)  TRUST_E_BAD_DIGEST (the named module was changed)
//   otherwise                        TRUST_E_NOSIGNATURE (not signed)
// A list that others than its owner may change is not the administrator's: every module is then
// TRUST_E_SUBJECT_NOT_TRUSTED. That check is the caller's, who has the file's mode.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

inline constexpr const char* kTrustedModulesFile = "trusted-modules.txt";

// The verdict of the list text for one module (digest in hex, any case; file name without
// directory, compared without regard to case).
uint32_t JudgeModuleByTrustList(std::string_view listText, std::string_view sha256Hex,
                                std::string_view fileName);

}  // namespace platform
