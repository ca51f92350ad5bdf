// SetupRun: one run of the engine and the services it uses. main creates it and passes it by
// reference; there are no globals, so a test can create as many runs as it likes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/setup_context.h"
#include "engine/show_message.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/modules.h"

namespace tarvium {

// The section and the 1-based line being processed; messages and the error file name it.
struct CurrentPosition {
  std::string section;
  int32_t nLine = 0;
};

struct SetupRun {
  explicit SetupRun(platform::FileSystem& files) : fileSystem(files) {}

  SetupContext ctx;
  platform::FileSystem& fileSystem;
  CurrentPosition position;
  std::vector<ShownMessage> shownMessages;  // every message shown in this run, in order
  platform::Modules* pModules = nullptr;    // run-time loaded modules; set by main
  platform::Clock* pClock = nullptr;        // local time and time zone; set by main
  std::vector<std::string> debugLines;      // diagnostic lines of DebugOutput, in order
  // Pumps the window messages between the steps of long operations (archive entries, ...), so
  // that the user interface stays alive and a Cancel reaches the abort flag. Empty: nothing to do.
  std::function<void()> pumpMessages;
};

inline void SetPosition(SetupRun& run, const std::string& section, int32_t nLine) {
  run.position.section = section;
  run.position.nLine = nLine;
}

}  // namespace tarvium
