// The font table of the running Windows: AddFontResourceA and RemoveFontResourceA, which load a
// font file into the session's table and take it out again.
#pragma once
#include "platform/font_table.h"

namespace platform::win32 {

class Win32FontTable final : public FontTable {
 public:
  int AddFontResource(const std::string& path) override;
  bool RemoveFontResource(const std::string& path) override;
};

}  // namespace platform::win32
