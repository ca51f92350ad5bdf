#include "ui/win32/main_window.h"

#include <algorithm>

#include "platform/win32/win32_wide_text.h"

namespace tarvium::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TarviumSetupMain";
constexpr int kWidth = 800;  // at 96 DPI
constexpr int kHeight = 600;
constexpr int kTitleHeight = 36;
constexpr int kMargin = 20;

}  // namespace

bool MainWindow::RegisterMainClass() {
  static const bool bRegistered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindow::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
  }();
  return bRegistered;
}

namespace {

int Scaled(int nPixels, UINT nDpi) {
  return MulDiv(nPixels, static_cast<int>(nDpi), 96);
}

}  // namespace

void PaintFrameGradient(HDC hDC, const RECT& area, const RunFrame& frame) {
  const bool bColours =
      frame.crBackgroundFrom != kNoBackgroundColor && frame.crBackgroundTo != kNoBackgroundColor;
  PaintGradient(hDC, area, bColours ? frame.crBackgroundFrom : RunFrame{}.crBackgroundFrom,
                bColours ? frame.crBackgroundTo : RunFrame{}.crBackgroundTo);
}

UINT DpiOf(HWND hWnd) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto pGetDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (pGetDpiForWindow && hWnd) return pGetDpiForWindow(hWnd);
  const HDC hDC = GetDC(nullptr);
  const int nDpi = GetDeviceCaps(hDC, LOGPIXELSY);
  ReleaseDC(nullptr, hDC);
  return nDpi > 0 ? static_cast<UINT>(nDpi) : 96;
}

MainWindow::~MainWindow() {
  if (hWnd_) DestroyWindow(hWnd_);
}

HWND MainWindow::Open(const RunFrame& frame) {
  title_ = platform::win32::WideFromAnsi(frame.title);
  if (hWnd_) {
    SetWindowTextW(hWnd_, title_.c_str());
    InvalidateRect(hWnd_, nullptr, TRUE);
    return hWnd_;
  }
  if (!frame.bMainWindow || !RegisterMainClass()) return nullptr;
  frame_ = frame;
  background_ = std::make_unique<Picture>(frame.backgroundPicture, nullptr);
  logo_ = std::make_unique<Picture>(frame.logo, nullptr);
  const UINT nDpi = DpiOf(nullptr);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int nWidth = std::min<int>(Scaled(kWidth, nDpi), work.right - work.left);
  const int nHeight = std::min<int>(Scaled(kHeight, nDpi), work.bottom - work.top);
  hWnd_ = CreateWindowExW(0, kClassName, title_.c_str(), WS_OVERLAPPEDWINDOW,
                          work.left + (work.right - work.left - nWidth) / 2,
                          work.top + (work.bottom - work.top - nHeight) / 2, nWidth, nHeight,
                          nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hWnd_) return nullptr;
  ShowWindow(hWnd_, frame.bMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
  UpdateWindow(hWnd_);
  return hWnd_;
}

LRESULT CALLBACK MainWindow::Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
  }
  auto* pWindow = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  switch (uMsg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (pWindow) pWindow->Paint();
      return 0;
    case WM_CLOSE:
      return 0;
    case WM_DPICHANGED: {
      const auto* pSuggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hWnd, nullptr, pSuggested->left, pSuggested->top,
                   pSuggested->right - pSuggested->left, pSuggested->bottom - pSuggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NCDESTROY:
      if (pWindow) pWindow->hWnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// The background picture over the whole window, or the gradient; the logo at the top right at
// its own size; the title over both.
void MainWindow::Paint() const {
  PAINTSTRUCT paint{};
  const HDC hDC = BeginPaint(hWnd_, &paint);
  RECT client{};
  GetClientRect(hWnd_, &client);
  if (background_ && *background_)
    background_->Draw(hDC, client);
  else
    PaintFrameGradient(hDC, client, frame_);
  if (logo_ && *logo_) {
    const SIZE size = logo_->Size();
    const int nMargin = Scaled(kMargin, DpiOf(hWnd_));
    logo_->Draw(hDC, {client.right - nMargin - size.cx, client.top + nMargin,
                      client.right - nMargin, client.top + nMargin + size.cy});
  }
  PaintTitle(hDC, client);
  EndPaint(hWnd_, &paint);
}

// White with a black shadow, so that it reads on any background.
void MainWindow::PaintTitle(HDC hDC, const RECT& client) const {
  const UINT nDpi = DpiOf(hWnd_);
  const HFONT hFont = CreateFontW(-Scaled(kTitleHeight, nDpi), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  const HGDIOBJ hOld = SelectObject(hDC, hFont);
  SetBkMode(hDC, TRANSPARENT);
  const int nShadow = Scaled(2, nDpi);
  RECT text{client.left + Scaled(kMargin, nDpi), client.top + Scaled(kMargin, nDpi),
            client.right - Scaled(kMargin, nDpi), client.bottom};
  constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;
  OffsetRect(&text, nShadow, nShadow);
  SetTextColor(hDC, RGB(0, 0, 0));
  DrawTextW(hDC, title_.c_str(), -1, &text, kFormat);
  OffsetRect(&text, -nShadow, -nShadow);
  SetTextColor(hDC, RGB(255, 255, 255));
  DrawTextW(hDC, title_.c_str(), -1, &text, kFormat);
  SelectObject(hDC, hOld);
  DeleteObject(hFont);
}

}  // namespace tarvium::ui::win32
