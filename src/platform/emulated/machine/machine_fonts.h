// The font table of the emulated machine. It has no rasteriser and no session that holds fonts,
// so the table is judged from the file itself: a file whose header is that of a TrueType or
// OpenType font (a collection counts its fonts) or of a bitmap-font resource file adds its fonts
// and can be taken out again; anything else adds none, as AddFontResource answers for a file
// that is not a font.
#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/font_table.h"

namespace platform::emulated {

class MachineFonts final : public FontTable {
 public:
  explicit MachineFonts(FileSystem& files) : files_(files) {}

  int AddFontResource(const std::string& path) override;
  bool RemoveFontResource(const std::string& path) override;

 private:
  int CountFonts(const std::string& path);

  FileSystem& files_;
};

}  // namespace platform::emulated
