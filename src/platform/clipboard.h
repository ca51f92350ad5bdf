// The clipboard as the engine reads it: plain text only (CF_TEXT), in the ANSI code page. A
// clipboard without text reads as an empty text, as GetClipboardData without CF_TEXT data leaves
// the engine nothing to read.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // ERROR_SUCCESS with the text (empty when the clipboard holds none), or the error of opening
  // the clipboard.
  virtual uint32_t GetClipboardText(std::string& text) = 0;
  // Replaces the clipboard's content by the text (an empty text empties it).
  virtual uint32_t SetClipboardText(const std::string& text) = 0;
};

}  // namespace platform
