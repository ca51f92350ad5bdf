// The layout of a new emulated machine: where Windows 10 keeps its special folders, and the
// registry values Windows keeps about them and the engine reads. Both are data over a few
// placeholders ({USER}, {SID}, {COMPUTER}, ...) so that a machine of any user, language or
// bitness is laid out from the same tables.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/system_info.h"

namespace platform::emulated {

struct LayoutValues {
  std::string user;           // "Packager"
  std::string sid;            // "S-1-5-21-...-1001"
  std::string computer;       // "TESTPC"
  std::string domain;         // "WORKGROUP"
  std::string productName;    // "Windows 10 Pro"
  std::string displayVersion; // "22H2"
  unsigned nMajor = 10, nMinor = 0, nBuild = 19045;
  unsigned nLanguage = 0x0409;  // LANGID of the user interface and the locale
  bool b64Bit = true;
};

struct FolderPlace {
  SpecialFolder folder;
  std::string path;  // a Windows path
};

// Every special folder of the machine, placeholders filled in.
std::vector<FolderPlace> DefaultFolders(const LayoutValues& values);
// The registry of a new machine as .reg text (version 5), placeholders filled in.
std::string DefaultRegistryText(const LayoutValues& values);
// The Control Panel international settings of a language (en-US, de-DE, fr-FR; others en-US).
InternationalSettings DefaultInternational(unsigned nLanguage);
// "en-US", "de-DE" or "fr-FR" for a LANGID (en-US for any other).
std::string LanguageTag(unsigned nLanguage);

}  // namespace platform::emulated
