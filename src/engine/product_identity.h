// ReadProductIdentity: reads what a setup information file says about its product and the run
// once, right after the string sections are loaded: [Setup] (format version, main window),
// [SetupInfo], [Application] (identity, texts, registry key names, directories, programs,
// behaviour switches), [Disks] "CabTemplateName" and the [Admin], [Workstation] and [Client]
// refinements. Identity values go into the predefined variables, everything else into the
// SetupContext block that the later phases read.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;
class InfFile;

// Reads every key (missing keys take their defaults), replaces the variables in the identity
// values, applies the user, company and shell-link fallbacks, then creates the /B trace file and
// writes the identity lines of the error and trace files; the window title becomes "SetupName".
void ReadProductIdentity(SetupRun& run, const InfFile& inf);

// A format version below 0x301 is refused with message 5532 and false. The run checks it only
// after the run mode, the requirements and the previous version were dealt with, so that a /V
// mismatch or an unmet requirement of an old file still ends with their own message and code.
bool CheckFormatVersion(SetupRun& run);
// Whether the engine accepts a file of the format version ([Setup] Version as ParseFormatVersion
// reads it).
bool IsAcceptedFormatVersion(uint32_t nFormatVersion);

// A key read into a field of fixed room: a longer value is cut to nSize - 1 characters.
struct SizedKey {
  std::string_view section;
  std::string_view key;
  size_t nSize;
};

// The keys ReadProductIdentity reads into fixed room (the texts, pictures, registry key names,
// directories and programs), with that room.
std::vector<SizedKey> SizedIdentityKeys();

// Every doubled backslash reduced to one, repeatedly ("A\\\\B" -> "A\B").
void ReduceDoubledBackslashes(std::string& text);

}  // namespace tarvium
