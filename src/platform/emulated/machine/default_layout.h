// The layout of a new emulated machine: where Windows 10 keeps its special folders, and the
// registry values Windows keeps about them and the engine reads. Both are data over a few
// placeholders ({USER}, {SID}, {COMPUTER}, ...) filled from machine.ini, so that a machine of any
// user, language or bitness is laid out from the same tables.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/emulated/machine/machine_config.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace platform::emulated {

struct FolderPlace {
  SpecialFolder folder;
  std::string path;  // a Windows path
};

// Every special folder of the machine, placeholders filled in.
std::vector<FolderPlace> DefaultFolders(const MachineConfig& config);
// A text file a new machine holds, with its lines as Windows writes them (CR LF).
struct SeedFile {
  std::string path;  // a Windows path
  std::string text;
};
// The text databases of the TCP/IP stack in drivers\etc (hosts, services, protocol, networks and
// the lmhosts sample) that Windows installs in System32 and, on a 64-bit machine, in SysWOW64.
std::vector<SeedFile> DefaultNetworkFiles(const MachineConfig& config);
// The registry of a new machine as .reg text (version 5), placeholders filled in.
std::string DefaultRegistryText(const MachineConfig& config);
// The keys of that registry, every one of which Windows owns and never lets go (the program
// folders and Uninstall under CurrentVersion, the profile list, the computer name, the shell
// folders, HKCR\CLSID, ...): on a real machine they are full or protected, so a setup that prunes
// the keys it emptied stops below them, and a setup that deletes Software or SYSTEM whole leaves
// them. The machine refuses to delete them.
std::vector<std::pair<RegRoot, std::string>> WindowsOwnedKeys(const MachineConfig& config);
// The Control Panel international settings of a language (en-US, de-DE, fr-FR; others en-US).
InternationalSettings DefaultInternational(unsigned nLanguage);
// "en-US", "de-DE" or "fr-FR" for a LANGID (en-US for any other).
std::string LanguageTag(unsigned nLanguage);

}  // namespace platform::emulated
