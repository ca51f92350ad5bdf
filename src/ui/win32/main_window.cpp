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
constexpr COLORREF kTop = RGB(0, 48, 112);  // the gradient of the background
constexpr COLORREF kBottom = RGB(0, 8, 32);

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

// In bands of two pixels.
void PaintSetupBackground(HDC hDC, const RECT& area) {
  const COLORREF top = kTop;
  const COLORREF bottom = kBottom;
  const LONG nHeight = area.bottom - area.top;
  for (LONG y = 0; y < nHeight; y += 2) {
    const auto mix = [&](int a, int b) { return a + (b - a) * y / (nHeight > 1 ? nHeight - 1 : 1); };
    const HBRUSH hBrush = CreateSolidBrush(RGB(mix(GetRValue(top), GetRValue(bottom)),
                                               mix(GetGValue(top), GetGValue(bottom)),
                                               mix(GetBValue(top), GetBValue(bottom))));
    const RECT band{area.left, area.top + y, area.right, area.top + y + 2};
    FillRect(hDC, &band, hBrush);
    DeleteObject(hBrush);
  }
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

HWND MainWindow::Open(const std::string& title) {
  title_ = platform::win32::WideFromAnsi(title);
  if (hWnd_) {
    SetWindowTextW(hWnd_, title_.c_str());
    InvalidateRect(hWnd_, nullptr, TRUE);
    return hWnd_;
  }
  if (!RegisterMainClass()) return nullptr;
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
  ShowWindow(hWnd_, SW_SHOW);
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

void MainWindow::Paint() const {
  PAINTSTRUCT paint{};
  const HDC hDC = BeginPaint(hWnd_, &paint);
  RECT client{};
  GetClientRect(hWnd_, &client);
  PaintSetupBackground(hDC, client);
  const UINT nDpi = DpiOf(hWnd_);
  const HFONT hFont = CreateFontW(-Scaled(kTitleHeight, nDpi), 0, 0, 0, FW_BOLD, TRUE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  const HGDIOBJ hOld = SelectObject(hDC, hFont);
  SetBkMode(hDC, TRANSPARENT);
  RECT text{client.left + Scaled(kMargin, nDpi), client.top + Scaled(kMargin, nDpi),
            client.right - Scaled(kMargin, nDpi), client.bottom};
  SetTextColor(hDC, RGB(0, 0, 0));  // a shadow under the white title
  OffsetRect(&text, Scaled(2, nDpi), Scaled(2, nDpi));
  DrawTextW(hDC, title_.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  OffsetRect(&text, -Scaled(2, nDpi), -Scaled(2, nDpi));
  SetTextColor(hDC, RGB(255, 255, 255));
  DrawTextW(hDC, title_.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(hDC, hOld);
  DeleteObject(hFont);
  EndPaint(hWnd_, &paint);
}

}  // namespace tarvium::ui::win32
