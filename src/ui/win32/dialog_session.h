// The windows of one interactive run on Windows and what its dialogs need of the run: the run's
// link (frame, box route, help, catalog), the machine's file system (Browse starts from the
// field's directory), the main window behind the pages, and the window a new page or box opens
// over: the progress window while the copy runs, the main window otherwise, or none before
// anything was shown (a run that only shows its usage box).
#pragma once
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
  HWND Owner() const { return hProgress_ ? hProgress_ : mainWindow_.Handle(); }
  void SetProgressWindow(HWND hProgress) { hProgress_ = hProgress; }
  // The main window and the progress window take input or not (a started program runs).
  void EnableWindows(bool bEnable) const;

 private:
  platform::FileSystem& files_;
  MainWindow mainWindow_;
  HWND hProgress_ = nullptr;
};

}  // namespace tarvium::ui::win32
