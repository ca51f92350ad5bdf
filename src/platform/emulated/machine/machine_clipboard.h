// The clipboard of the emulated machine: a UTF-8 text file in the machine directory
// (MachineClipboard clipboard(machineDir + "/clipboard.txt")). A file rather than memory so that
// a test, a person or a second engine process on the same machine sees and sets the same text;
// no file means an empty clipboard.
#pragma once
#include <string>

#include "platform/clipboard.h"

namespace platform::emulated {

class MachineClipboard final : public Clipboard {
 public:
  explicit MachineClipboard(std::string hostFile) : hostFile_(std::move(hostFile)) {}

  uint32_t GetClipboardText(std::string& text) override;
  uint32_t SetClipboardText(const std::string& text) override;

 private:
  std::string hostFile_;
};

}  // namespace platform::emulated
