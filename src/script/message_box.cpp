#include "script/message_box.h"

#include "engine/date_time_variables.h"
#include "engine/error_file.h"
#include "engine/setup_run.h"
#include "script/last_error.h"
#include "script/message_catalog.h"
#include "script/message_spec.h"

namespace tarvium {
namespace {

// Help opens through the main window into the help file, and not while boxes are system-modal.
bool HelpButtonShown(const SetupRun& run) {
  const MessageState& state = run.messages;
  return !state.bSystemModal && !state.szHelpFile.empty() && state.bMainWindow;
}

bool ButtonCreated(const SetupRun& run, const SpecButton& button) {
  if (button.nResult == kResultNotCreated) return false;
  return button.nResult != kResultHelp || HelpButtonShown(run);
}

bool ErrorFileAttached(const SetupRun& run) {
  return run.log.hErrorFile != platform::FileHandle::Invalid;
}

// The result of the button the box ends with when nobody is asked: its default one, or the
// Cancel/close result when it has no button at all.
int DefaultAnswer(const ui::MessageBoxRequest& request) {
  return request.buttons.empty() ? 2 : request.buttons[request.nDefault].nResult;
}

std::string AnswerLabel(const ui::MessageBoxRequest& request, int nResult) {
  for (const ui::MessageButton& button : request.buttons)
    if (button.nResult == nResult) return ui::LabelText(button.label);
  return std::to_string(nResult);
}

}  // namespace

ui::MessageBoxRequest BuildMessageBoxRequest(const SetupRun& run, int nMessage,
                                             const MessageSpec& messageSpec,
                                             const std::string& text) {
  ui::MessageBoxRequest request;
  request.nMessage = nMessage;
  request.caption = GetText(run, 5000);
  request.text = text;
  request.icon = messageSpec.icon;
  request.bSystemModal = run.messages.bSystemModal;
  request.bBeep = run.messages.bBeep;
  bool bMarkedFound = false;
  for (const SpecButton& button : messageSpec.buttons) {
    if (!ButtonCreated(run, button)) continue;
    if (button.bDefault && !bMarkedFound) {
      request.nDefault = request.buttons.size();
      bMarkedFound = true;
    }
    request.buttons.push_back({button.label, button.nResult});
  }
  return request;
}

std::string ErrorEntryHead(SetupRun& run) {
  platform::SystemTime now;
  run.machine.Time().GetLocalTime(now);
  const DateTimeTexts texts = FormatDateTime(run, now, SlashDate::Kept);
  std::string head = texts.date + " " + texts.longTime;
  if (!run.position.section.empty() && run.position.nLine > 0)
    head += ", Section [" + run.position.section + "], Line " + std::to_string(run.position.nLine) +
            ": ";
  return head;
}

int ShowMessageBox(SetupRun& run, int nMessage, const MessageSpec& messageSpec,
                   const std::string& text) {
  const ui::MessageBoxRequest request = BuildMessageBoxRequest(run, nMessage, messageSpec, text);
  const bool bErrorFile = ErrorFileAttached(run);
  if (bErrorFile) WriteErrorFile(run, ErrorEntryHead(run) + "\n" + text + "\n");
  RecordLastError(run, text);
  int nResult = DefaultAnswer(request);
  if (!(bErrorFile && run.messages.bAnswerAtOnce) && run.ui) nResult = run.ui->MessageBox(request);
  if (bErrorFile) WriteErrorFile(run, AnswerLabel(request, nResult) + "\n------------\n");
  return nResult;
}

}  // namespace tarvium
