#include "ui/win32/pictures.h"

#include "platform/win32/win32_wide_text.h"

namespace tarvium::ui::win32 {

Picture::Picture(const std::string& ansiName, const wchar_t* pszDefaultResource) {
  const std::wstring name = platform::win32::WideFromAnsi(ansiName);
  if (name.empty()) {
    if (!pszDefaultResource) return;
    hBitmap_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), pszDefaultResource,
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return;
  }
  hBitmap_ = static_cast<HBITMAP>(
      LoadImageW(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!hBitmap_)
    hBitmap_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name.c_str(),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

Picture::~Picture() {
  if (hBitmap_) DeleteObject(hBitmap_);
}

SIZE Picture::Size() const {
  BITMAP info{};
  if (!hBitmap_ || !GetObjectW(hBitmap_, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

void Picture::Draw(HDC hDC, const RECT& area) const {
  if (!hBitmap_) return;
  const SIZE size = Size();
  const HDC hMemory = CreateCompatibleDC(hDC);
  const HGDIOBJ hOld = SelectObject(hMemory, hBitmap_);
  SetStretchBltMode(hDC, HALFTONE);
  StretchBlt(hDC, area.left, area.top, area.right - area.left, area.bottom - area.top, hMemory, 0,
             0, size.cx, size.cy, SRCCOPY);
  SelectObject(hMemory, hOld);
  DeleteDC(hMemory);
}

// In bands of two pixels.
void PaintGradient(HDC hDC, const RECT& area, uint32_t crTop, uint32_t crBottom) {
  const LONG nHeight = area.bottom - area.top;
  const LONG nSpan = nHeight > 1 ? nHeight - 1 : 1;
  const auto mix = [nSpan](int nTop, int nBottom, LONG y) {
    return static_cast<BYTE>(nTop + (nBottom - nTop) * y / nSpan);
  };
  for (LONG y = 0; y < nHeight; y += 2) {
    const HBRUSH hBrush = CreateSolidBrush(RGB(mix(GetRValue(crTop), GetRValue(crBottom), y),
                                               mix(GetGValue(crTop), GetGValue(crBottom), y),
                                               mix(GetBValue(crTop), GetBValue(crBottom), y)));
    const RECT band{area.left, area.top + y, area.right, area.top + y + 2};
    FillRect(hDC, &band, hBrush);
    DeleteObject(hBrush);
  }
}

}  // namespace tarvium::ui::win32
