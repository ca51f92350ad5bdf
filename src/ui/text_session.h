// The terminal screen of the text-mode interface and what its pages need of the run. newt is
// started on the first page or box that is really shown (a run that asks nothing never clears the
// terminal), suspended while a started program owns the terminal, and finished when the session
// ends. Pages reach the run through the session: its frame (title, language, help), the box route
// for the questions they ask (5509 on Cancel), and the machine's file system for Browse.
#pragma once
#include <string>

#include "platform/file_system.h"
#include "ui/run_connection.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class TextSession : public RunConnection {
 public:
  explicit TextSession(platform::FileSystem& files) : files_(files) {}
  ~TextSession();
  TextSession(const TextSession&) = delete;
  TextSession& operator=(const TextSession&) = delete;

  // Starts newt (once) and takes the screen back when a program has the terminal; every page and
  // box opens with it (through DialogScope) and ends with EndDialog, which gives the terminal back
  // to a program still running.
  void BeginDialog();
  void EndDialog();
  // Gives the terminal to a started program (nested: each Suspend is ended by one Resume).
  void Suspend();
  void Resume();
  bool IsOpen() const { return bOpen_; }
  // A started program has the terminal: nothing may be drawn or read.
  bool IsSuspended() const { return bScreenSuspended_; }
  int Columns() const;
  int Rows() const;

  platform::FileSystem& Files() { return files_; }

 private:
  platform::FileSystem& files_;
  bool bOpen_ = false;
  bool bScreenSuspended_ = false;  // newt gave the terminal away
  int nSuspended_ = 0;
};

// One page or box on the screen, from its first drawing to its end.
class DialogScope {
 public:
  explicit DialogScope(TextSession& session) : session_(session) { session_.BeginDialog(); }
  ~DialogScope() { session_.EndDialog(); }
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

 private:
  TextSession& session_;
};

// An engine text (Windows-1252) as the terminal shows it (UTF-8), and an entered value back.
std::string ForDisplay(const std::string& ansiText);
std::string FromDisplay(const std::string& utf8Text);

}  // namespace tarvium::ui
