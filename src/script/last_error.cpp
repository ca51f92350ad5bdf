#include "script/last_error.h"

#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {

void RecordLastError(SetupRun& run, const std::string& text) {
  if (text.empty()) return;
  run.messages.szLastError = text;
  platform::Registry& reg = run.machine.Reg();
  if (reg.CreateKey(platform::RegRoot::LocalMachine, kLastErrorKey) != platform::ERROR_SUCCESS)
    return;
  platform::RegValue value;
  value.dwType = platform::REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  reg.SetValue(platform::RegRoot::LocalMachine, kLastErrorKey, kLastErrorValue, value);
}

}  // namespace tarvium
