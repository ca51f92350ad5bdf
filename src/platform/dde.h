// DDE conversations with the servers of the machine, as the engine holds them with window
// messages: a conversation is opened by broadcasting WM_DDE_INITIATE for an application and a
// topic, and a command is posted as WM_DDE_EXECUTE and acknowledged by the server. The shell
// answers for "PROGMAN" (the Program Manager's groups and items). Handles are opaque numbers; a
// Win32 backend holds the server's window behind them.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

enum class DdeConversation : uint32_t { None = 0 };

class Dde {
 public:
  virtual ~Dde() = default;
  // The first server that acknowledges the application and topic (compared without regard to
  // case) within nTimeoutMs. ERROR_FILE_NOT_FOUND when none answers.
  virtual uint32_t Initiate(const std::string& application, const std::string& topic,
                            uint32_t nTimeoutMs, DdeConversation& hConv) = 0;
  // Posts one command text ("[CreateGroup(Tools)][ShowGroup(Tools,1)]") and waits for the
  // acknowledgement: bAccepted is its positive bit. ERROR_INVALID_HANDLE for no conversation.
  virtual uint32_t Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) = 0;
  // Ends the conversation (WM_DDE_TERMINATE).
  virtual uint32_t Terminate(DdeConversation hConv) = 0;
};

}  // namespace platform
