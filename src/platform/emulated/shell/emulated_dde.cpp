// A command text is parsed whole before any of it is carried out, so a malformed text changes
// nothing; then its commands run in order and the first refused one ends it, as the shell's
// Program Manager stops at a failing command of an execute string.
#include "platform/emulated/shell/emulated_dde.h"

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {

uint32_t EmulatedDde::Initiate(const std::string& application, const std::string& topic,
                               uint32_t /*nTimeoutMs*/, DdeConversation& hConv) {
  hConv = DdeConversation::None;
  if (!AnsiEqualNoCase(application, "PROGMAN") || !AnsiEqualNoCase(topic, "PROGMAN"))
    return ERROR_FILE_NOT_FOUND;
  const uint32_t nHandle = nNextHandle_++;
  conversations_.emplace(nHandle, ProgramManager(files_, system_));
  hConv = static_cast<DdeConversation>(nHandle);
  return ERROR_SUCCESS;
}

uint32_t EmulatedDde::Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) {
  bAccepted = false;
  const auto conversation = conversations_.find(static_cast<uint32_t>(hConv));
  if (conversation == conversations_.end()) return ERROR_INVALID_HANDLE;
  std::vector<DdeCommand> commands;
  if (!ParseDdeCommands(command, commands)) return ERROR_SUCCESS;
  bAccepted = true;
  for (const DdeCommand& one : commands)
    if (!(bAccepted = conversation->second.Execute(one))) break;
  return ERROR_SUCCESS;
}

uint32_t EmulatedDde::Terminate(DdeConversation hConv) {
  return conversations_.erase(static_cast<uint32_t>(hConv)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace platform::emulated
