// The system's debugger output, where Windows' OutputDebugString sends diagnostic text: a debugger
// or a monitoring tool shows it when one listens, and it goes nowhere otherwise. The engine sends
// its diagnostic lines here and never waits for anyone to read them.
#pragma once
#include <string>

namespace platform {

class DebuggerOutput {
 public:
  virtual ~DebuggerOutput() = default;
  // Sends ANSI text as it is (line ends included); failures are not reported, as on Windows.
  virtual void OutputDebugString(const std::string& text) = 0;
  // Whether anyone reads the text, as OutputDebugString itself asks before sending: when no one
  // does, a caller may spare itself building it.
  virtual bool HasListener() const { return true; }
};

}  // namespace platform
