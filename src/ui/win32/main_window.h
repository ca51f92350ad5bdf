// The main window of an interactive run on Windows: the background behind the wizard, as the
// product draws it (the gradient of its two colours, its background picture stretched over the
// window, its logo at the top right), with the run's title written large across its top; it
// fills the screen unless the setup service shows the run. It opens with the first page or the
// progress window (a run that only shows a box, such as the usage, never opens it; a removal
// never does), and the pages and boxes belong to it: they open over it, and it is disabled while
// one is open. Closing it
// does nothing: a run is cancelled through its pages and the progress window.
#pragma once
#include <memory>
#include <string>

#include "ui/user_interface.h"
#include "ui/win32/pictures.h"
#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

class MainWindow {
 public:
  MainWindow() = default;
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Opens the window as the frame says or, when it is open, takes the frame's title; the handle,
  // or null when the frame has no main window or the system could not make it.
  HWND Open(const RunFrame& frame);
  HWND Handle() const { return hWnd_; }

 private:
  static bool RegisterMainClass();
  static LRESULT CALLBACK Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Paint() const;
  void PaintTitle(HDC hDC, const RECT& client) const;

  HWND hWnd_ = nullptr;
  RunFrame frame_;
  std::wstring title_;
  std::unique_ptr<Picture> background_;
  std::unique_ptr<Picture> logo_;
};

// The gradient of the frame's colours; blue to black where the frame has none.
void PaintFrameGradient(HDC hDC, const RECT& area, const RunFrame& frame);

// The DPI of the monitor the window is on (96 is 100%).
UINT DpiOf(HWND hWnd);

}  // namespace tarvium::ui::win32
