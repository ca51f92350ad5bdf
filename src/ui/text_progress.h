// The progress window of the text mode: "Copying:" the source and "to:" the destination, a meter
// and its percentage, open while the installation runs. Its Cancel button (unless the run
// disabled Cancel) asks message 5509; a confirmed Cancel is handed to the run by PumpMessages,
// which the engine calls between the steps of the copy. PumpMessages looks at the keyboard without
// waiting, at most every few milliseconds of the machine's clock, so the copy does not slow down.
#pragma once
#include <newt.h>

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "ui/progress_display.h"
#include "ui/text_session.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

class TextProgress final : public ProgressDisplay {
 public:
  // Without a clock the keyboard is looked at on every PumpMessages.
  TextProgress(TextSession& session, platform::Clock* clock) : session_(session), clock_(clock) {}
  ~TextProgress() override { Close(); }
  TextProgress(const TextProgress&) = delete;
  TextProgress& operator=(const TextProgress&) = delete;

  void Open(const ProgressWindowRequest& request) override;
  void Close() override;
  void ShowProgress(int nPercent) override;
  void ShowStatus(const std::string& firstLine, const std::string& secondLine) override;
  bool PumpMessages() override;

 private:
  bool IsTimeToLook();
  void Refresh();

  TextSession& session_;
  platform::Clock* clock_;
  newtComponent form_ = nullptr;
  newtComponent firstLine_ = nullptr;
  newtComponent secondLine_ = nullptr;
  newtComponent meter_ = nullptr;
  newtComponent cancel_ = nullptr;
  int nWidth_ = 0;
  uint64_t nLastLook_ = 0;
  bool bCancelled_ = false;
};

}  // namespace tarvium::ui
