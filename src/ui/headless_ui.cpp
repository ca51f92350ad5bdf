#include "ui/headless_ui.h"

#include <string_view>

#include "ui/headless_waiting_pages.h"

namespace tarvium::ui {
namespace {

std::string_view IconWord(IconKind icon) {
  switch (icon) {
    case IconKind::Stop:
      return "Error";
    case IconKind::Exclamation:
      return "Warning";
    case IconKind::Question:
      return "Question";
    case IconKind::Information:
      break;
  }
  return "Information";
}

// "Buttons: Yes | [No] | Help", the default one in brackets.
std::string ButtonLine(const MessageBoxRequest& request) {
  std::string line = "Buttons:";
  for (size_t i = 0; i < request.buttons.size(); ++i) {
    const std::string label = LabelText(request.buttons[i].label);
    line += (i == 0 ? " " : " | ") + (i == request.nDefault ? "[" + label + "]" : label);
  }
  return line;
}

void WriteLines(platform::Console& console, std::string_view text) {
  while (true) {
    const size_t nBreak = text.find('\n');
    console.WriteErrorLine(std::string(text.substr(0, nBreak)));
    if (nBreak == std::string_view::npos) return;
    text.remove_prefix(nBreak + 1);
  }
}

std::string_view PageName(PageKind kind) {
  switch (kind) {
    case PageKind::Admin:
      return "administrator setup";
    case PageKind::SameVersion:
      return "already installed";
    case PageKind::Licence:
      return "terms of use";
    case PageKind::Info:
      return "information";
    case PageKind::FromCD:
      return "start from CD";
    case PageKind::Shared:
      return "shared installation";
    case PageKind::Mode:
      return "installation mode";
    case PageKind::Directory:
      return "application directory";
    case PageKind::DataDirectory:
      return "data directory";
    case PageKind::Disk:
      return "installation medium";
    case PageKind::Value:
      return "value";
    case PageKind::Processes:
      return "programs to end";
    case PageKind::Restart:
      return "restart";
    case PageKind::User:
      break;
  }
  return "user";
}

}  // namespace

int HeadlessUserInterface::ShowPage(PageRequest& request) {
  progressLine_.Interrupt();
  // Nobody can insert a medium: trying again would ask for ever, and skipping would install a
  // product without its file.
  if (request.kind == PageKind::Disk) {
    console_.WriteErrorLine(
        "== Page: installation medium == cannot be answered without a person: " + request.text +
        "; Cancel");
    return kPageCancel;
  }
  if (request.kind == PageKind::Restart) return AnswerRestartPage(console_, clock_, request);
  if (request.kind == PageKind::Processes) return AnswerProcessesPage(console_, request);
  std::string line = "== Page: " + std::string(PageName(request.kind)) +
                     " == not asked (no interactive interface): ";
  line += request.nDefaultChoice == kPageNext ? std::string("Next")
                                              : "choice " + std::to_string(request.nDefaultChoice);
  if (!request.value.empty()) line += ", " + (request.bSecret ? "(hidden)" : request.value);
  console_.WriteErrorLine(line);
  return request.nDefaultChoice;
}

int HeadlessUserInterface::ShowOptions(OptionsPage& page) {
  console_.WriteErrorLine("== Page: options == not asked (no interactive interface): Next, " +
                          page.countLine);
  return kPageNext;
}

void HeadlessUserInterface::WriteBox(platform::Console& console, const MessageBoxRequest& request) {
  console.WriteErrorLine("== " + request.caption + ": " + std::string(IconWord(request.icon)) +
                         " ==");
  WriteLines(console, request.text);
  console.WriteErrorLine(ButtonLine(request));
}

int HeadlessUserInterface::MessageBox(const MessageBoxRequest& request) {
  progressLine_.Interrupt();
  WriteBox(console_, request);
  const std::string reason = console_.HasTerminal() ? "Not asked (no interactive interface): "
                                                    : "Not asked (no terminal): ";
  if (request.nDefault >= request.buttons.size()) {
    console_.WriteErrorLine(reason + "no button, answered as Cancel.");
    return 2;
  }
  const MessageButton& chosen = request.buttons[request.nDefault];
  if (request.nTimeoutMs > 0) {
    // Nobody presses a button, so the box would close by itself: it does so without the wait.
    request.bTimedOut = true;
    console_.WriteErrorLine("Closes by itself after " + std::to_string(request.nTimeoutMs / 1000) +
                            " s: the default button " + LabelText(chosen.label) + " was taken.");
    return chosen.nResult;
  }
  console_.WriteErrorLine(reason + "the default button " + LabelText(chosen.label) + " was taken.");
  return chosen.nResult;
}

// Only a silent run with progress draws the line: an interactive run at this backend has no
// terminal to ask at, and its standard error holds the answered pages and boxes.
void HeadlessUserInterface::OpenProgressWindow(const ProgressWindowRequest& request) {
  if (request.bSilent) progressLine_.Open();
}

}  // namespace tarvium::ui
