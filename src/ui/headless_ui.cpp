#include "ui/headless_ui.h"

#include <string_view>

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
  // Nobody can insert a medium: trying again would ask for ever, and skipping would install a
  // product without its file.
  if (request.kind == PageKind::Disk) {
    console_.WriteErrorLine(
        "== Page: installation medium == cannot be answered without a person: " + request.text +
        "; Cancel");
    return kPageCancel;
  }
  std::string line = "== Page: " + std::string(PageName(request.kind)) +
                     " == not asked (no interactive interface): ";
  line += request.nDefaultChoice == kPageNext ? std::string("Next")
                                              : "choice " + std::to_string(request.nDefaultChoice);
  if (!request.value.empty()) line += ", " + request.value;
  console_.WriteErrorLine(line);
  return request.nDefaultChoice;
}

int HeadlessUserInterface::ShowOptions(OptionsPage& page) {
  console_.WriteErrorLine("== Page: options == not asked (no interactive interface): Next, " +
                          page.countLine);
  return kPageNext;
}

int HeadlessUserInterface::MessageBox(const MessageBoxRequest& request) {
  console_.WriteErrorLine("== " + request.caption + ": " + std::string(IconWord(request.icon)) +
                          " ==");
  WriteLines(console_, request.text);
  console_.WriteErrorLine(ButtonLine(request));
  const std::string reason = console_.HasTerminal() ? "Not asked (no interactive interface): "
                                                    : "Not asked (no terminal): ";
  if (request.nDefault >= request.buttons.size()) {
    console_.WriteErrorLine(reason + "no button, answered as Cancel.");
    return 2;
  }
  const MessageButton& chosen = request.buttons[request.nDefault];
  console_.WriteErrorLine(reason + "the default button " + LabelText(chosen.label) + " was taken.");
  return chosen.nResult;
}

}  // namespace tarvium::ui
