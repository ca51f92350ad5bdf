#include "engine/mode_size_text.h"

#include <cstdio>

namespace tarvium {

std::string ModeSizeText(int64_t nBytes, const std::string& decimalSeparator) {
  char text[64];
  if (nBytes < 1024)
    std::snprintf(text, sizeof text, "%ld Bytes", static_cast<long>(nBytes));
  else if (nBytes < 1048576)
    std::snprintf(text, sizeof text, "%.0lf KB", static_cast<double>(nBytes) / 1024.0);
  else
    std::snprintf(text, sizeof text, "%.0lf MB", static_cast<double>(nBytes) / 1048576.0);
  std::string result = text;
  const size_t nPoint = result.find('.');
  if (nPoint != std::string::npos) result.replace(nPoint, 1, decimalSeparator);
  return result;
}

}  // namespace tarvium
