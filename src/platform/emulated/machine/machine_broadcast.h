// The window broadcasts of the emulated machine: each is appended as one line to a text file in
// the machine directory (MachineBroadcast broadcasts(machineDir + "/broadcasts.txt")), like the
// power request, so that a setup's child processes and the machine tool see the same record.
#pragma once
#include <string>

#include "platform/window_broadcast.h"

namespace platform::emulated {

class MachineBroadcast final : public WindowBroadcast {
 public:
  explicit MachineBroadcast(std::string hostFile) : hostFile_(std::move(hostFile)) {}

  uint32_t BroadcastSettingChange(const std::string& area, uint32_t nTimeoutMs) override;
  uint32_t NotifyShellChange(uint32_t dwEventId, const std::string& path) override;
  uint32_t PostFontChange() override;
  std::vector<std::string> SettingChanges() override;

 private:
  uint32_t AppendLine(const std::string& line);

  std::string hostFile_;
};

}  // namespace platform::emulated
