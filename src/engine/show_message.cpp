#include "engine/show_message.h"

#include "engine/setup_run.h"

namespace tarvium {

int ShowMessageWith(SetupRun& run, int nMessage, std::vector<MessageArg> args) {
  run.shownMessages.push_back({nMessage, std::move(args)});
  if (!run.script.showMessage) return 2;
  return run.script.showMessage(run, nMessage, run.shownMessages.back().args);
}

}  // namespace tarvium
