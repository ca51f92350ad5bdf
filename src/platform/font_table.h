// The system's table of font resources as an installer changes it: a font file is added to it
// (AddFontResource) once it is copied and registered, and taken out (RemoveFontResource) before it
// is deleted. Running programs learn of the change from WM_FONTCHANGE (WindowBroadcast).
#pragma once
#include <string>

namespace platform {

class FontTable {
 public:
  virtual ~FontTable() = default;
  // AddFontResourceA: the number of fonts the file at the Windows path added; 0 when it is no
  // font file or cannot be read.
  virtual int AddFontResource(const std::string& path) = 0;
  // RemoveFontResourceA: whether the fonts of that file were taken out of the table.
  virtual bool RemoveFontResource(const std::string& path) = 0;
};

}  // namespace platform
