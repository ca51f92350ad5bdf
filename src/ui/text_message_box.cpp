// A message box in text mode: a window whose title is the icon's word in brackets and the
// caption, the word-wrapped text, and the buttons in their order with the default one focused.
// A button's access key (the letter after '&') presses it; Escape closes the box only when one
// of its buttons answers 2 (Cancel or OK), as a dialog's close box does. A box with a time-out
// ends by itself with its default button. Help opens the box's topic and keeps the box open.
#include <newt.h>

#include <algorithm>
#include <cctype>

#include "ui/box_keys.h"
#include "ui/page_texts.h"
#include "ui/text_layout.h"
#include "ui/text_ui.h"

namespace tarvium::ui {
namespace {

constexpr int kMinWidth = 30;
static_assert(NEWT_KEY_ESCAPE == kEscapeKey && NEWT_KEY_F1 == kF1Key);

PageText IconText(IconKind icon) {
  switch (icon) {
    case IconKind::Stop:
      return PageText::IconStop;
    case IconKind::Exclamation:
      return PageText::IconExclamation;
    case IconKind::Question:
      return PageText::IconQuestion;
    case IconKind::Information:
      break;
  }
  return PageText::IconInformation;
}

struct BoxButton {
  newtComponent component;
  std::string label;  // as shown, UTF-8
  char cKey;
  int nResult;
};

std::vector<BoxButton> MakeButtons(const MessageBoxRequest& request) {
  std::vector<BoxButton> buttons;
  for (const MessageButton& button : request.buttons)
    buttons.push_back(
        {nullptr, ForDisplay(LabelText(button.label)), AccessKey(button.label), button.nResult});
  return buttons;
}

int ButtonRowWidth(const std::vector<BoxButton>& buttons) {
  int nWidth = 0;
  for (const BoxButton& button : buttons)
    nWidth += static_cast<int>(DisplayWidth(button.label)) + 5;
  return nWidth;
}

// Runs the box until a button other than Help ends it. Help (its button, its access key or F1)
// opens the box's help topic and leaves the box open; a box that runs out of time is answered
// with its default button and says so in the request.
int RunBox(TextSession& session, newtComponent form, const std::vector<BoxButton>& buttons,
           const MessageBoxRequest& request) {
  const int nDefault = buttons.empty() ? 2 : buttons[request.nDefault].nResult;
  while (true) {
    newtExitStruct exit{};
    newtFormRun(form, &exit);
    if (exit.reason == newtExitStruct::NEWT_EXIT_TIMER) {
      request.bTimedOut = true;
      return nDefault;
    }
    if (exit.reason == newtExitStruct::NEWT_EXIT_ERROR) return nDefault;
    int nResult = 0;
    if (exit.reason == newtExitStruct::NEWT_EXIT_COMPONENT) {
      for (const BoxButton& button : buttons)
        if (button.component == exit.u.co) nResult = button.nResult;
    } else {
      nResult = ResultOfBoxKey(request, exit.u.key);
    }
    if (nResult == kHelpButton) {
      session.ShowHelp(request.nMessage);
      newtFormSetCurrent(form, buttons[request.nDefault].component);
      continue;
    }
    if (nResult != 0) return nResult;
  }
}

}  // namespace

int ShowTextMessageBox(TextSession& session, const MessageBoxRequest& request) {
  DialogScope scope(session);
  const RunFrame frame = session.Frame();
  std::vector<BoxButton> buttons = MakeButtons(request);
  const int nMaxWidth = std::max(kMinWidth, session.Columns() - 8);
  const std::string title = std::string("[") + TextOf(IconText(request.icon), frame.lcidLanguage) +
                            "] " + ForDisplay(request.caption);
  const int nWidth =
      std::clamp(std::max({ButtonRowWidth(buttons), static_cast<int>(DisplayWidth(title)) + 4,
                           static_cast<int>(DisplayWidth(ForDisplay(request.text))) + 4}),
                 kMinWidth, nMaxWidth);
  // A text taller than the screen scrolls (its question comes last and must stay readable); its
  // scroll bar takes two columns of the text box.
  const int nMaxRows = std::max(1, session.Rows() - 10);
  std::vector<std::string> lines = WrapText(ForDisplay(request.text), nWidth - 4);
  if (static_cast<int>(lines.size()) > nMaxRows)
    lines = WrapText(ForDisplay(request.text), nWidth - 6);
  const int nTextRows = std::min(static_cast<int>(lines.size()), nMaxRows);
  const int nHeight = nTextRows + 2;
  newtCenteredWindow(nWidth, nHeight, FitLine(title, nWidth - 4).c_str());
  newtComponent form = newtForm(nullptr, nullptr, NEWT_FLAG_NOF12);
  std::string shown;
  for (const std::string& line : lines) shown += line + '\n';
  const bool bScroll = static_cast<int>(lines.size()) > nTextRows;
  newtComponent text = newtTextbox(2, 0, nWidth - 4, nTextRows, bScroll ? NEWT_FLAG_SCROLL : 0);
  newtTextboxSetText(text, shown.c_str());
  newtFormAddComponent(form, text);
  int nLeft = std::max(1, (nWidth - ButtonRowWidth(buttons)) / 2);
  for (BoxButton& button : buttons) {
    button.component = newtCompactButton(nLeft, nHeight - 1, button.label.c_str());
    newtFormAddComponent(form, button.component);
    nLeft += static_cast<int>(DisplayWidth(button.label)) + 5;
    if (button.cKey) {
      newtFormAddHotKey(form, button.cKey);
      newtFormAddHotKey(form, std::toupper(static_cast<unsigned char>(button.cKey)));
    }
  }
  newtFormAddHotKey(form, NEWT_KEY_ESCAPE);
  newtFormAddHotKey(form, NEWT_KEY_F1);
  if (!buttons.empty()) newtFormSetCurrent(form, buttons[request.nDefault].component);
  if (request.nTimeoutMs > 0) newtFormSetTimer(form, static_cast<int>(request.nTimeoutMs));
  if (request.bBeep) newtBell();
  const int nResult = RunBox(session, form, buttons, request);
  newtFormDestroy(form);
  newtPopWindow();
  return nResult;
}

}  // namespace tarvium::ui
