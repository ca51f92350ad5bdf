// The main window of an interactive run on Windows: the background behind the wizard, in the
// setup's own colours, with the run's title written large across its top. It opens with the first
// page or the progress window (a run that only shows a box, such as the usage, never opens it),
// and the pages and boxes belong to it: they open over it, and it is disabled while one is open.
// Closing it does nothing: a run is cancelled through its pages and the progress window.
#pragma once
#include <string>

#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

class MainWindow {
 public:
  MainWindow() = default;
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Opens the window with the title (ANSI) or, when it is open, changes its title; the handle,
  // or null when the system could not make the window.
  HWND Open(const std::string& title);
  HWND Handle() const { return hWnd_; }

 private:
  static bool RegisterMainClass();
  static LRESULT CALLBACK Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Paint() const;

  HWND hWnd_ = nullptr;
  std::wstring title_;
};

// The setup's own background (a vertical gradient), which the main window and the pages' picture
// share.
void PaintSetupBackground(HDC hDC, const RECT& area);

// The DPI of the monitor the window is on (96 is 100%).
UINT DpiOf(HWND hWnd);

}  // namespace tarvium::ui::win32
