// The DDE servers of the emulated machine: the shell's Program Manager answers the application
// and topic "PROGMAN"; nothing else answers. Each conversation has its own Program Manager state.
#pragma once
#include <map>

#include "platform/dde.h"
#include "platform/emulated/shell/program_manager.h"

namespace platform::emulated {

class EmulatedDde final : public Dde {
 public:
  EmulatedDde(FileSystem& files, SystemInfo& system) : files_(files), system_(system) {}

  uint32_t Initiate(const std::string& application, const std::string& topic, uint32_t nTimeoutMs,
                    DdeConversation& hConv) override;
  uint32_t Execute(DdeConversation hConv, const std::string& command, bool& bAccepted) override;
  uint32_t Terminate(DdeConversation hConv) override;

 private:
  FileSystem& files_;
  SystemInfo& system_;
  std::map<uint32_t, ProgramManager> conversations_;
  uint32_t nNextHandle_ = 1;
};

}  // namespace platform::emulated
