// The clipboard of the real Windows, as text of the ANSI code page (CF_TEXT; the system converts
// text put there as Unicode).
#pragma once
#include <string>

#include "platform/clipboard.h"

namespace platform::win32 {

class Win32Clipboard final : public Clipboard {
 public:
  uint32_t GetClipboardText(std::string& text) override;
  uint32_t SetClipboardText(const std::string& text) override;
};

}  // namespace platform::win32
