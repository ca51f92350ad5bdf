#include "ui/console_questions_ui.h"

#include "platform/ansi_case.h"

namespace tarvium::ui {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t nStart = text.find_first_not_of(" \t");
  if (nStart == std::string::npos) return "";
  return text.substr(nStart, text.find_last_not_of(" \t") - nStart + 1);
}

// The button the answer names: its whole label, else the one label the answer starts; null for
// none or more than one.
const MessageButton* ButtonNamed(const MessageBoxRequest& request, const std::string& answer) {
  const MessageButton* pStarted = nullptr;
  int nStarted = 0;
  for (const MessageButton& button : request.buttons) {
    const std::string label = LabelText(button.label);
    if (platform::AnsiEqualNoCase(label, answer)) return &button;
    if (platform::AnsiStartsWithNoCase(label, answer)) {
      pStarted = &button;
      ++nStarted;
    }
  }
  return nStarted == 1 ? pStarted : nullptr;
}

}  // namespace

int ConsoleQuestionsUserInterface::MessageBox(const MessageBoxRequest& request) {
  if (IsSilent() || request.nTimeoutMs > 0 || request.nDefault >= request.buttons.size())
    return HeadlessUserInterface::MessageBox(request);
  WriteBox(console_, request);
  const MessageButton& byDefault = request.buttons[request.nDefault];
  for (;;) {
    console_.WriteErrorText("Answer (Enter: " + LabelText(byDefault.label) + "): ");
    std::string answer;
    if (!console_.ReadLine(answer)) {
      console_.WriteErrorLine("");
      console_.WriteErrorLine("No answer (end of input): the default button " +
                              LabelText(byDefault.label) + " was taken.");
      return byDefault.nResult;
    }
    answer = Trimmed(answer);
    if (answer.empty()) return byDefault.nResult;
    if (const MessageButton* pButton = ButtonNamed(request, answer)) return pButton->nResult;
    console_.WriteErrorLine("'" + answer + "' is not the name of one button.");
  }
}

}  // namespace tarvium::ui
