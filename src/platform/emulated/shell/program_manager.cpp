// The commands are a table from name to member, compared without regard to case as the shell
// does. AddItem reads its fields in the Program Manager's order: command line, name, icon path,
// icon index, x and y position (ignored), default directory, hot key, minimized. Group and item
// names are kept below the Programs folder and the group: a name whose ".." steps lead out is
// refused, so that DeleteGroup never removes a tree outside the start menu.
#include "platform/emulated/shell/program_manager.h"

#include <array>

#include "platform/ansi_case.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
#include "platform/system_info.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::string Arg(const DdeCommand& command, size_t i) {
  return i < command.args.size() ? command.args[i] : std::string();
}

// A decimal field; text that is no number reads as 0.
int32_t Number(const std::string& text) {
  int32_t nValue = 0;
  const bool bNegative = !text.empty() && text[0] == '-';
  for (size_t i = bNegative ? 1 : 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    nValue = nValue * 10 + (text[i] - '0');
  return bNegative ? -nValue : nValue;
}

// Where the program of an unquoted command line ends: as CreateProcess reads it, at the first
// blank before which an existing file is named, else at the first blank.
size_t UnquotedProgramEnd(FileSystem& files, const std::string& commandLine) {
  for (size_t nEnd = commandLine.find(' '); nEnd != std::string::npos;
       nEnd = commandLine.find(' ', nEnd + 1))
    if (files.FileExists(commandLine.substr(0, nEnd))) return nEnd;
  return files.FileExists(commandLine) ? commandLine.size()
                                       : std::min(commandLine.find(' '), commandLine.size());
}

// The program of a command line (double quotes group) and the rest.
void SplitCommandLine(FileSystem& files, const std::string& commandLine, std::string& program,
                      std::string& rest) {
  size_t nEnd = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    nEnd = commandLine.find('"', 1);
    program = commandLine.substr(1, nEnd == std::string::npos ? std::string::npos : nEnd - 1);
    nEnd = nEnd == std::string::npos ? commandLine.size() : nEnd + 1;
  } else {
    nEnd = UnquotedProgramEnd(files, commandLine);
    program = commandLine.substr(0, nEnd);
  }
  const size_t nRest = commandLine.find_first_not_of(' ', nEnd);
  rest = nRest == std::string::npos ? std::string() : commandLine.substr(nRest);
}

std::string BaseName(const std::string& path) {
  const size_t nSep = path.find_last_of("\\/");
  std::string name = nSep == std::string::npos ? path : path.substr(nSep + 1);
  const size_t nDot = name.find_last_of('.');
  return nDot == std::string::npos || nDot == 0 ? name : name.substr(0, nDot);
}

// The full path of `name` in `folder`, or empty when the name is empty or its ".." steps lead out
// of the folder: a group or an item always lies below the folder it belongs to.
std::string PathBelow(FileSystem& files, const std::string& folder, const std::string& name) {
  std::string fullPath;
  if (name.empty() || files.GetFullPathName(folder + "\\" + name, fullPath) != ERROR_SUCCESS)
    return {};
  while (!fullPath.empty() && fullPath.back() == '\\') fullPath.pop_back();
  const bool bBelow =
      fullPath.size() > folder.size() + 1 && AnsiStartsWithNoCase(fullPath, folder + "\\");
  return bBelow ? fullPath : std::string();
}

}  // namespace

bool ProgramManager::Execute(const DdeCommand& command) {
  using Handler = bool (ProgramManager::*)(const DdeCommand&);
  static constexpr std::array<std::pair<std::string_view, Handler>, 4> kCommands = {{
      {"CreateGroup", &ProgramManager::CreateGroup},
      {"ShowGroup", &ProgramManager::ShowGroup},
      {"DeleteGroup", &ProgramManager::DeleteGroup},
      {"AddItem", &ProgramManager::AddItem},
  }};
  for (const auto& [name, handler] : kCommands)
    if (AnsiEqualNoCase(command.name, name)) return (this->*handler)(command);
  if (AnsiEqualNoCase(command.name, "DeleteItem")) return DeleteItem(command, true);
  if (AnsiEqualNoCase(command.name, "ReplaceItem")) return DeleteItem(command, false);
  return AnsiEqualNoCase(command.name, "ExitProgman") || AnsiEqualNoCase(command.name, "Reload");
}

std::string ProgramManager::GroupFolder(const DdeCommand& command, size_t nCommonArg) {
  const std::string name = Arg(command, 0);
  const bool bCommon = Arg(command, nCommonArg) == "1";
  std::string folder;
  if (system_.GetSpecialFolder(bCommon ? SpecialFolder::CommonPrograms : SpecialFolder::Programs,
                               folder) != ERROR_SUCCESS)
    return {};
  return PathBelow(files_, folder, name);
}

bool ProgramManager::CreateGroup(const DdeCommand& command) {
  const std::string folder = GroupFolder(command, 1);
  if (folder.empty() ||
      (!files_.DirectoryExists(folder) && files_.CreateDirectoryTree(folder) != ERROR_SUCCESS))
    return false;
  currentGroup_ = folder;
  return true;
}

bool ProgramManager::ShowGroup(const DdeCommand& command) {
  const std::string folder = GroupFolder(command, 2);
  if (folder.empty() || !files_.DirectoryExists(folder)) return false;
  currentGroup_ = folder;
  return true;
}

bool ProgramManager::DeleteGroup(const DdeCommand& command) {
  const std::string folder = GroupFolder(command, 1);
  if (folder.empty() || !files_.DirectoryExists(folder)) return false;
  if (AnsiEqualNoCase(folder, currentGroup_)) currentGroup_.clear();
  return RemoveTree(folder);
}

bool ProgramManager::RemoveTree(const std::string& folder) {
  FindHandle hFind = FindHandle::Invalid;
  FindData data;
  bool bOk = true;
  if (files_.FindFirstFile(folder + "\\*", hFind, data) == ERROR_SUCCESS) {
    do {
      if (data.cFileName == "." || data.cFileName == "..") continue;
      const std::string path = folder + "\\" + data.cFileName;
      bOk &= (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                 ? RemoveTree(path)
                 : files_.DeleteFile(path) == ERROR_SUCCESS;
    } while (files_.FindNextFile(hFind, data) == ERROR_SUCCESS);
    files_.FindClose(hFind);
  }
  return bOk && files_.RemoveDirectory(folder) == ERROR_SUCCESS;
}

bool ProgramManager::AddItem(const DdeCommand& command) {
  if (currentGroup_.empty() || Arg(command, 0).empty()) return false;
  ShellLinkProperties link;
  SplitCommandLine(files_, Arg(command, 0), link.path, link.arguments);
  const std::string name = Arg(command, 1).empty() ? BaseName(link.path) : Arg(command, 1);
  link.linkPath = PathBelow(files_, currentGroup_, name + ".lnk");
  if (link.linkPath.empty()) return false;
  link.iconFile = Arg(command, 2);
  link.iIconIndex = Number(Arg(command, 3));
  link.workingDir = Arg(command, 6);
  link.wHotKey = static_cast<uint16_t>(Number(Arg(command, 7)));
  if (Number(Arg(command, 8)) != 0) link.iShowCmd = static_cast<int32_t>(SW_SHOWMINNOACTIVE);
  return SaveShellLink(files_, link) == ERROR_SUCCESS;
}

bool ProgramManager::DeleteItem(const DdeCommand& command, bool bMustExist) {
  if (currentGroup_.empty() || Arg(command, 0).empty()) return false;
  const std::string base = PathBelow(files_, currentGroup_, Arg(command, 0));
  if (base.empty()) return false;
  const bool bDeleted = files_.DeleteFile(base + ".lnk") == ERROR_SUCCESS ||
                        files_.DeleteFile(base + ".pif") == ERROR_SUCCESS;
  return bDeleted || !bMustExist;
}

}  // namespace platform::emulated
