#include "script/message_spec.h"

#include <algorithm>

#include "script/decimal_text.h"

namespace tarvium {
namespace {

ui::IconKind IconOf(char c) {
  switch (c) {
    case 's':
      return ui::IconKind::Stop;
    case '!':
      return ui::IconKind::Exclamation;
    case '?':
      return ui::IconKind::Question;
    default:
      return ui::IconKind::Information;
  }
}

// The text between the next opening delimiter at or after nFrom and the closing delimiter after
// it; nFrom moves past that closing delimiter. Empty when the delimiters are missing.
std::string_view NextField(std::string_view messageSpec, char open, char close, size_t& nFrom) {
  const size_t nOpen = messageSpec.find(open, nFrom);
  if (nOpen == std::string_view::npos) {
    nFrom = messageSpec.size();
    return {};
  }
  const size_t nClose = messageSpec.find(close, nOpen + 1);
  const size_t nEnd = nClose == std::string_view::npos ? messageSpec.size() : nClose;
  nFrom = nClose == std::string_view::npos ? messageSpec.size() : nClose + 1;
  return messageSpec.substr(nOpen + 1, nEnd - nOpen - 1);
}

// "label=result" with an optional '!' after the result. The result is read back from the '!' (or
// the entry's end) to the '=' before it, the way atoi reads: blanks, a sign, then digits, so
// "&No= 7!" and "&OK=+2" are buttons; without any digit the entry is no button.
bool ParseButton(std::string_view entry, SpecButton& button) {
  const size_t nEquals = entry.rfind('=');
  if (nEquals == std::string_view::npos) return false;
  std::string_view result = entry.substr(nEquals + 1);
  const size_t nMark = result.find('!');
  button.bDefault = nMark != std::string_view::npos;
  result = result.substr(0, nMark);
  size_t nDigits = result.find_first_not_of(" \t");
  if (nDigits != std::string_view::npos && (result[nDigits] == '+' || result[nDigits] == '-'))
    ++nDigits;
  if (nDigits >= result.size() || !IsDecimalDigit(result[nDigits])) return false;
  button.nResult = ReadDecimal(result);
  button.label = std::string(entry.substr(0, std::min(nEquals, kButtonLabelMax)));
  return true;
}

std::vector<SpecButton> ParseButtons(std::string_view field) {
  std::vector<SpecButton> buttons;
  while (true) {
    const size_t nBar = field.find('|');
    SpecButton button;
    if (ParseButton(field.substr(0, nBar), button)) buttons.push_back(std::move(button));
    if (nBar == std::string_view::npos) return buttons;
    field.remove_prefix(nBar + 1);
  }
}

}  // namespace

bool ParseMessageSpec(std::string_view messageSpec, MessageSpec& parsed) {
  parsed = MessageSpec();
  if (messageSpec.empty()) return false;
  const char open = messageSpec[0];
  const char close = messageSpec.size() > 2 ? messageSpec[2] : open;
  parsed.icon = IconOf(messageSpec.size() > 1 ? messageSpec[1] : 'i');
  size_t nFrom = std::min<size_t>(3, messageSpec.size());
  parsed.textTemplate =
      std::string(NextField(messageSpec, open, close, nFrom).substr(0, kMessageTemplateMax));
  parsed.buttons = ParseButtons(NextField(messageSpec, open, close, nFrom));
  for (size_t i = 0; i < parsed.buttons.size(); ++i) {
    if (parsed.buttons[i].bDefault) {
      parsed.nDefault = i;
      break;
    }
  }
  return true;
}

int DefaultResult(const MessageSpec& messageSpec) {
  return messageSpec.buttons.empty() ? 2 : messageSpec.buttons[messageSpec.nDefault].nResult;
}

}  // namespace tarvium
