#include "engine/show_message.h"

#include "engine/setup_run.h"

namespace tarvium {

int ShowMessageWith(SetupRun& run, int nMessage, std::vector<MessageArg> args) {
  run.shownMessages.push_back({nMessage, std::move(args)});
  return 2;
}

}  // namespace tarvium
