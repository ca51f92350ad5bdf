// The windows of one interactive run on Windows and what its dialogs need of the run: the run's
// link (frame, box route, help, catalog), the machine's file system (Browse starts from the
// field's directory), the main window behind the pages, and the window a new page or box opens
// over: the page or box open last (a box asked from a page belongs to the page, so that the page
// waits for it), else the progress window while the copy runs, else the main window, or none
// (a run that only shows its usage box).
#pragma once
#include <vector>

#include "platform/file_system.h"
#include "ui/run_connection.h"
#include "ui/win32/main_window.h"
#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

class DialogSession : public RunConnection {
 public:
  explicit DialogSession(platform::FileSystem& files) : files_(files) {}

  platform::FileSystem& Files() { return files_; }
  // Opens the main window (or gives it the run's current title) and returns it.
  HWND OpenMainWindow() { return mainWindow_.Open(Frame()); }
  HWND Owner() const;
  // A page or box is open from its start to its end; nested ones stack.
  void DialogOpened(HWND hDialog) { open_.push_back(hDialog); }
  void DialogClosed(HWND hDialog) { std::erase(open_, hDialog); }
  void SetProgressWindow(HWND hProgress) { hProgress_ = hProgress; }
  // The main window and the progress window take input or not (a started program runs).
  void EnableWindows(bool bEnable) const;

 private:
  platform::FileSystem& files_;
  MainWindow mainWindow_;
  HWND hProgress_ = nullptr;
  std::vector<HWND> open_;
};

}  // namespace tarvium::ui::win32
