// A message box in text mode: a window whose title is the icon's word in brackets and the
// caption, the word-wrapped text, and the buttons in their order with the default one focused.
// A button's access key (the letter after '&') presses it; Escape closes the box only when one
// of its buttons answers 2 (Cancel or OK), as a dialog's close box does. A box with a time-out
// ends by itself with its default button.
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
static_assert(NEWT_KEY_ESCAPE == kEscapeKey);

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

int RunBox(newtComponent form, const std::vector<BoxButton>& buttons,
           const MessageBoxRequest& request) {
  const int nDefault = buttons.empty() ? 2 : buttons[request.nDefault].nResult;
  while (true) {
    newtExitStruct exit{};
    newtFormRun(form, &exit);
    if (exit.reason == newtExitStruct::NEWT_EXIT_TIMER) return nDefault;
    if (exit.reason == newtExitStruct::NEWT_EXIT_ERROR) return nDefault;
    if (exit.reason == newtExitStruct::NEWT_EXIT_COMPONENT) {
      for (const BoxButton& button : buttons)
        if (button.component == exit.u.co) return button.nResult;
      continue;
    }
    if (const int nResult = ResultOfBoxKey(request, exit.u.key)) return nResult;
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
  std::vector<std::string> lines = WrapText(ForDisplay(request.text), nWidth - 4);
  const int nMaxLines = std::max(1, session.Rows() - 10);
  if (static_cast<int>(lines.size()) > nMaxLines) lines.resize(nMaxLines);
  const int nHeight = static_cast<int>(lines.size()) + 2;
  newtCenteredWindow(nWidth, nHeight, FitLine(title, nWidth - 4).c_str());
  newtComponent form = newtForm(nullptr, nullptr, NEWT_FLAG_NOF12);
  for (size_t i = 0; i < lines.size(); ++i)
    newtFormAddComponent(form, newtLabel(2, static_cast<int>(i), lines[i].c_str()));
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
  if (!buttons.empty()) newtFormSetCurrent(form, buttons[request.nDefault].component);
  if (request.nTimeoutMs > 0) newtFormSetTimer(form, static_cast<int>(request.nTimeoutMs));
  if (request.bBeep) newtBell();
  const int nResult = RunBox(form, buttons, request);
  newtFormDestroy(form);
  newtPopWindow();
  return nResult;
}

}  // namespace tarvium::ui
