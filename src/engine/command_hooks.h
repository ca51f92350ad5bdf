// What the script commands ask of the layers above the script engine: the installation engine's
// file copy, removal, renaming and cabinet reading, its progress meter, the counter update of the
// registry lines, the service handlers and the setup service pipe. Each layer fills its entries
// when it attaches; an empty entry means that service is not part of this build, and the command
// falls back to the plain file operation or traces the line and goes on.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tarvium {

struct SetupRun;

struct CommandHooks {
  // --- Installation engine ----------------------------------------------------------------------
  // Copies one file through the copy procedure (no size and date warnings; bReplaceOlder replaces
  // an older destination without asking). False fails the line.
  std::function<bool(SetupRun&, const std::string& source, const std::string& destination,
                     bool bReplaceOlder)>
      copyFile;
  // Deletes a file, deferring the delete to the next restart when it is in use.
  std::function<bool(SetupRun&, const std::string& path)> removeFile;
  // Renames a file, deferring the rename when it is in use.
  std::function<bool(SetupRun&, const std::string& from, const std::string& to)> renameFile;
  // Writes a member of a cabinet set to a path; ERROR_SUCCESS or the Windows error.
  std::function<uint32_t(SetupRun&, const std::string& cabinet, const std::string& member,
                         const std::string& destination)>
      extractCabinetFile;
  // Moves the progress meter by n bytes; -1 resets it.
  std::function<void(SetupRun&, int64_t nAmount)> moveProgress;
  // The detail lines of the progress window (while it exists).
  std::function<void(SetupRun&, const std::string& line1, const std::string& line2)>
      showProgressDetail;

  // --- System configuration
  // ----------------------------------------------------------------------- The counter update
  // behind Increment, Decrement, Multiply and Divide: the command's argument text, the operation
  // (bIncrease, bMultiplicative) and whether a removal pass keeps the direction (a marked line)
  // instead of inverting it.
  std::function<bool(SetupRun&, const std::string& argumentText, bool bIncrease,
                     bool bMultiplicative, bool bKeepDirection)>
      updateCounter;
  // The service and event-source commands (AddService, StartService, AddEventSource, ...):
  // the command name, its argument text and whether an unmarked line is being undone. A failure
  // leaves its text in errorText.
  std::function<bool(SetupRun&, const std::string& command, const std::string& arguments,
                     bool bUndo, std::string& errorText)>
      serviceCommand;
  // Sends one DDE command to the Program Manager (the DDE line of a script), opening the
  // conversation when there is none; false fails the line.
  std::function<bool(SetupRun&, const std::string& command)> progmanCommand;
};

}  // namespace tarvium
