// The emulated machine's debugger output. Windows drops OutputDebugString text when no debugger
// listens, and so does this one by default; the host variable TARVIUM_DEBUG_OUTPUT attaches a
// listener: "stderr" (the host process's standard error), "syslog" (the host's system log, one
// entry per line) or "file:<host path>" (appended, so that a parent setup and its children share
// one file). Text is converted to UTF-8 on the way out.
#pragma once
#include <string>
#include <vector>

#include "platform/debugger_output.h"

namespace platform::emulated {

inline constexpr char kDebugOutputVariable[] = "TARVIUM_DEBUG_OUTPUT";

class HostDebuggerOutput final : public DebuggerOutput {
 public:
  enum class Target { None, StandardError, SystemLog, File };

  // Takes the listener from the host variables ("NAME=value"); an unknown value fails with a
  // message that names the accepted ones.
  bool Configure(const std::vector<std::string>& hostVariables, std::string& error);
  void OutputDebugString(const std::string& text) override;
  bool HasListener() const override { return target_ != Target::None; }

  Target CurrentTarget() const { return target_; }

 private:
  Target target_ = Target::None;
  std::string hostFile_;
};

}  // namespace platform::emulated
