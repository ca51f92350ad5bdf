// %NAME% expansion as ExpandEnvironmentStrings does it, shared by the environments that answer
// GetVariable themselves (the emulated machine's and the overlay of a recorded run).
#include "platform/environment.h"

#include "platform/win_error.h"

namespace platform {

std::string ExpandVariableReferences(Environment& environment, const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    out.append(text, i, open - i);
    std::string value;
    if (close > open + 1 &&
        environment.GetVariable(text.substr(open + 1, close - open - 1), value) == ERROR_SUCCESS) {
      out += value;
      i = close + 1;
    } else {
      out.append(text, open, close - open);  // kept as written; the closing mark may open the next
      i = close;
    }
  }
  out.append(text, i, std::string::npos);
  return out;
}

}  // namespace platform
