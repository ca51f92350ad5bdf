#include "script/show_catalog_message.h"

#include "engine/setup_run.h"
#include "script/last_error.h"
#include "script/message_box.h"
#include "script/message_catalog.h"
#include "script/message_format.h"
#include "script/message_spec.h"
#include "script/service_message.h"

namespace tarvium {

int ShowCatalogMessage(SetupRun& run, int nMessage, const std::vector<MessageArg>& args) {
  MessageSpec messageSpec;
  if (!ParseMessageSpec(GetText(run, nMessage), messageSpec)) return 1;
  if (run.ctx.bServiceMode) {
    RecordLastError(run, FormatMessageText(messageSpec.textTemplate, args));
    if (run.ctx.bSilent) return DefaultResult(messageSpec);
    return AskServiceMessage(run, nMessage, messageSpec, args);
  }
  if (run.ctx.bSilentToErrorPath) return 2;
  return ShowMessageBox(run, nMessage, messageSpec,
                        FormatMessageText(messageSpec.textTemplate, args));
}

void AttachErrorFileToMessages(SetupRun& run) {
  const bool bErrorFile = run.log.hErrorFile != platform::FileHandle::Invalid;
  run.messages.bAnswerAtOnce = run.ctx.bSilent;
  run.messages.bBeep = !run.ctx.bSilent || !bErrorFile;
}

}  // namespace tarvium
