// The Program Manager of the emulated shell: what the shell does with the DDE commands of the
// "PROGMAN" topic. A group is a folder below the user's Programs folder (the all-users one when a
// common flag of 1 is given); CreateGroup and ShowGroup make a group the current one, AddItem
// saves a link in it, DeleteItem and ReplaceItem delete one, DeleteGroup removes the folder with
// everything in it. One object per conversation, because the current group belongs to it.
#pragma once
#include <string>

#include "platform/dde_command.h"

namespace platform {
class FileSystem;
class SystemInfo;
}  // namespace platform

namespace platform::emulated {

class ProgramManager {
 public:
  ProgramManager(FileSystem& files, SystemInfo& system) : files_(files), system_(system) {}
  // Carries out one command; false when the shell refuses it (a negative acknowledgement).
  bool Execute(const DdeCommand& command);

 private:
  std::string GroupFolder(const DdeCommand& command, size_t nCommonArg);
  bool CreateGroup(const DdeCommand& command);
  bool ShowGroup(const DdeCommand& command);
  bool DeleteGroup(const DdeCommand& command);
  bool AddItem(const DdeCommand& command);
  bool DeleteItem(const DdeCommand& command, bool bMustExist);
  bool RemoveTree(const std::string& folder);

  FileSystem& files_;
  SystemInfo& system_;
  std::string currentGroup_;  // folder of the current group; empty before one is named
};

}  // namespace platform::emulated
