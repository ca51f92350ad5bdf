#include "engine/show_message.h"

#include "engine/run_plan.h"
#include "engine/setup_run.h"

namespace tarvium {

int ShowMessageWith(SetupRun& run, int nMessage, std::vector<MessageArg> args) {
  run.shownMessages.push_back({nMessage, std::move(args)});
  const int nAnswer =
      run.script.showMessage ? run.script.showMessage(run, nMessage, run.shownMessages.back().args)
                             : 2;
  NotePlan(run, "message", std::to_string(nMessage), "answer " + std::to_string(nAnswer),
           run.messages.szLastError);
  return nAnswer;
}

}  // namespace tarvium
