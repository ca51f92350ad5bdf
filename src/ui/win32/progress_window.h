// The progress window of the copy on Windows: a modeless dialog over the main window with the
// run's title, the two lines of the engine's status ("Copying:" the source, "to:" the
// destination), a meter and its percentage, and
// Cancel unless the run disabled it. It is modeless because the engine keeps working while it is
// open: the engine calls PumpMessages between the steps of the copy, which dispatches the pending
// window messages and hands a confirmed Cancel (message 5509 answered Yes) to the run. While the
// window is open, boxes and pages open over it (the session's current window).
#pragma once
#include <string>

#include "ui/progress_display.h"
#include "ui/user_interface.h"
#include "ui/win32/dialog.h"
#include "ui/win32/dialog_session.h"

namespace tarvium::ui::win32 {

inline constexpr int kProgressSourceId = 6502;
inline constexpr int kProgressDestinationId = 6504;
inline constexpr int kProgressBarId = 6505;
inline constexpr int kProgressPercentId = 6506;

class ProgressWindow final : public Dialog, public ProgressDisplay {
 public:
  explicit ProgressWindow(DialogSession& session) : session_(session) {}
  ~ProgressWindow() override { Close(); }

  // Opens the window (once; an open window stays as it is). Whether a silent run shows it is the
  // backend's choice: this always opens it.
  void Open(const ProgressWindowRequest& request);
  void Close();
  // The meter's percentage (0 to 100); -1 resets the meter and clears the texts.
  void ShowProgress(int nPercent);
  // What is being worked on: the source and the destination (ANSI).
  void ShowStatus(const std::string& firstLine, const std::string& secondLine);
  // Dispatches the pending messages of all the run's windows. False once Cancel was confirmed
  // (from then on, until the window opens again) or a quit message arrived.
  bool PumpMessages();

 private:
  void OnInit() override;
  void OnCommand(int nId, int nCode) override;
  void Dispatch(MSG& message);

  DialogSession& session_;
  bool bCancel_ = true;          // Cancel is shown
  bool bCancelPressed_ = false;  // waits for PumpMessages to ask 5509
  bool bCancelled_ = false;      // 5509 was answered Yes
  bool bQuit_ = false;
  int nPercent_ = -1;
};

}  // namespace tarvium::ui::win32
