#include "script/last_error.h"

#include "engine/registry_operations.h"
#include "engine/setup_run.h"

namespace tarvium {

void RecordLastError(SetupRun& run, const std::string& text) {
  if (text.empty()) return;
  run.messages.szLastError = text;
  RegWriteText(run, platform::RegRoot::LocalMachine, kLastErrorKey, kLastErrorValue, text);
}

}  // namespace tarvium
