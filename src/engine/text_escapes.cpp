#include "engine/text_escapes.h"

namespace tarvium {

std::string ResolveTextEscapes(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      result.push_back(text[i + 1] == 'n' ? '\n' : '\\');
      ++i;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

}  // namespace tarvium
