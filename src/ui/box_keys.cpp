#include "ui/box_keys.h"

#include <cctype>

#include "ui/text_layout.h"

namespace tarvium::ui {

int ResultOfBoxKey(const MessageBoxRequest& request, int nKey) {
  if (nKey == kEscapeKey) {
    for (const MessageButton& button : request.buttons)
      if (button.nResult == 2) return 2;
    return 0;
  }
  if (nKey == kF1Key) {
    for (const MessageButton& button : request.buttons)
      if (button.nResult == kHelpButton) return kHelpButton;
    return 0;
  }
  if (nKey <= 0 || nKey > 255) return 0;
  const char cKey = static_cast<char>(std::tolower(nKey));
  for (const MessageButton& button : request.buttons) {
    const char cAccess = AccessKey(button.label);
    if (cAccess != '\0' && cAccess == cKey) return button.nResult;
  }
  return 0;
}

}  // namespace tarvium::ui
