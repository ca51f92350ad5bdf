// Screenshots of the setup's dialogs for the documentation, taken when TARVIUM_SCREENSHOTS names
// a folder: the dialog is brought in front and made active, and its rectangle is copied from the
// screen (under Wine's X11 driver, the X display) into a 24-bit .bmp, which
// scripts/windows-screenshots turns into PNG. A copy from the screen rather than PrintWindow, whose device context would have to
// cross into the setup's process.
#include <cstdlib>

#include "win32/dialogs/dialog_driver.h"
#include "win32/dialogs/dialog_windows.h"

namespace tarvium::test {
namespace {

using dialogs::AsWindow;
using dialogs::PollUntil;
using dialogs::Send;
using dialogs::WideOf;

// Writes 24-bit pixels as a bottom-up .bmp file.
bool WriteBitmap(const std::wstring& path, HDC dc, HBITMAP bitmap, int nWidth, int nHeight) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = nWidth;
  header.biHeight = nHeight;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD nStride = (static_cast<DWORD>(nWidth) * 3 + 3) & ~3u;
  std::string pixels(static_cast<size_t>(nStride) * nHeight, '\0');
  if (!GetDIBits(dc, bitmap, 0, nHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                 DIB_RGB_COLORS))
    return false;
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD nWritten = 0;
  bool bDone =
      WriteFile(file, &fileHeader, sizeof fileHeader, &nWritten, nullptr) &&
      WriteFile(file, &header, sizeof header, &nWritten, nullptr) &&
      WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &nWritten, nullptr);
  CloseHandle(file);
  return bDone;
}

// Whether a visible window above this one in the Z order overlaps it.
bool IsCovered(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    RECT other{};
    RECT overlap{};
    if (IsWindowVisible(above) && GetWindowRect(above, &other) &&
        IntersectRect(&overlap, &rect, &other))
      return true;
  }
  return false;
}

}  // namespace

void Dialog::Screenshot(const std::string& name) const {
  const char* folder = std::getenv("TARVIUM_SCREENSHOTS");
  if (!folder || !*folder || !Exists()) return;
  const HWND window = AsWindow(handle_);
  // In front and active, as the person working with it sees it: the dialog must stay clear for
  // two looks in a row (another window of the display may still be settling).
  int nClearLooks = 0;
  PollUntil(3000, [&] {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    nClearLooks = GetForegroundWindow() == window && !IsCovered(window) ? nClearLooks + 1 : 0;
    return nClearLooks >= 2;
  });
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Send(window, WM_NULL, 0, 0);  // the redraw has been done once the dialog answers
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // and the X server drew it
  RECT rect{};
  GetWindowRect(window, &rect);
  const int nWidth = rect.right - rect.left;
  const int nHeight = rect.bottom - rect.top;
  if (nWidth <= 0 || nHeight <= 0) return;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, nWidth, nHeight);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, nWidth, nHeight, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  WriteBitmap(WideOf(std::string(folder) + "\\" + name + ".bmp"), memory, bitmap, nWidth, nHeight);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

}  // namespace tarvium::test
