#include "ui/countdown.h"

namespace tarvium::ui {

std::string CountdownText(std::string_view format, int nSeconds) {
  std::string text;
  bool bReplaced = false;
  for (size_t i = 0; i < format.size(); ++i) {
    const std::string_view rest = format.substr(i);
    if (rest.starts_with("%%")) {
      text += '%';
      ++i;
    } else if (!bReplaced && (rest.starts_with("%d") || rest.starts_with("%ld"))) {
      text += std::to_string(nSeconds);
      i += rest[1] == 'l' ? 2 : 1;
      bReplaced = true;
    } else {
      text += format[i];
    }
  }
  return text;
}

bool Countdown::Tick() {
  if (IsShown() && !IsOver()) ++nElapsed_;
  return IsOver();
}

}  // namespace tarvium::ui
