// The shell link line: ten comma fields (link, target, arguments, working directory, description,
// icon file, icon index, show command, hot key, link flags) read with the field reader, the
// substitution of variables in the fields that take them, and the rules that need no machine: the
// quoted target that carries its arguments, the link path completed below the Programs folder with
// ".lnk", the run filters by the link's prefix, and the Program Manager item a line stands for.
// Everything here is a pure function of its text, so it is tested and fuzzed without a machine.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarvium {

struct ShellLinkLine {
  std::string link;  // field 1, as written (the run filters look at its prefix)
  std::string target;
  std::string arguments;
  std::string workingDir;
  std::string description;
  std::string iconFile;
  int32_t iIconIndex = 0;
  int32_t iShowCmd = -1;  // -1: not set
  uint16_t wHotKey = 0;
  uint32_t dwLinkFlags = 0;
  std::string flagText;  // field 10 after substitution
};

// Replaces the %Name% references of a field in place.
using SubstituteField = std::function<void(std::string&)>;

// Reads the ten fields; fields 1 to 6 and 10 go through `substitute` (field 1 is kept as written
// in `link` for the filters; `substitutedLink` receives it substituted). A target that starts with
// a double quote while the arguments are empty gives the text after its closing quote as the
// arguments. False when field 10 holds a word that is no link flag (the flags are then 0).
bool ParseShellLine(std::string_view line, const SubstituteField& substitute, ShellLinkLine& out,
                    std::string& substitutedLink);

// A link path with neither a drive colon nor a leading '\' lies below the Programs folder; an
// extension other than "lnk" or "pif" gets ".lnk" appended.
std::string CompleteLinkPath(std::string_view link, std::string_view programsFolder);

// Which kind of run a link line is made in.
struct LinkRunKind {
  bool bAdminSetup = false;
  bool bMachinePartRun = false;  // a workstation setup or /X2: no links of the current user
  bool bUserSetup = false;
  bool bClientSetup = false;
  bool bFromMedium = false;  // started from the installation medium (/D)
  bool bCommonShellLinks = false;
};

// Whether a link given as `link` (field 1 as written) is made in this kind of run.
bool LinkMadeInRun(std::string_view link, const LinkRunKind& run);

// The Program Manager item text of a link line (command with arguments, item name, icon file,
// icon index, working directory, hot key, minimized) and its group: the first element of the
// link path (substituted), whose last element (without extension) is the item name.
struct ProgmanItem {
  std::string group;
  std::string name;
  std::string text;  // the AddItem argument
};
ProgmanItem ProgmanItemOfLink(const ShellLinkLine& line, std::string_view link);

}  // namespace tarvium
