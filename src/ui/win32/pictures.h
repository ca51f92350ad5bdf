// The pictures of the setup's windows: the main window's gradient, background picture and logo,
// and the picture at the left of every page. A picture is a bitmap file, or a bitmap resource of
// the program by that name; one that cannot be loaded is left out (the gradient shows instead).
#pragma once
#include <cstdint>
#include <string>

#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

// A loaded bitmap, freed with the object; null when nothing could be loaded.
class Picture {
 public:
  // The ANSI file name, or the resource name (the default resource, if any, when the name is
  // empty).
  Picture(const std::string& ansiName, const wchar_t* pszDefaultResource);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  explicit operator bool() const { return hBitmap_ != nullptr; }
  SIZE Size() const;
  // Drawn stretched over the area.
  void Draw(HDC hDC, const RECT& area) const;

 private:
  HBITMAP hBitmap_ = nullptr;
};

// A vertical gradient from the top colour to the bottom one (0x00BBGGRR each).
void PaintGradient(HDC hDC, const RECT& area, uint32_t crTop, uint32_t crBottom);

}  // namespace tarvium::ui::win32
