// The countdown of the restart and processes pages, apart from any screen: a page counts down
// from its number of seconds once a second, shows the remaining seconds in its countdown text
// (which holds "%d" or "%ld" for them) and moves a meter that runs from 0 to the number minus
// one; at zero the page proceeds by itself. A negative number means no countdown: the page waits
// for a person. Both text-mode pages and the headless backend step the same countdown.
#pragma once
#include <string>
#include <string_view>

namespace tarvium::ui {

// The countdown text with its first "%d" or "%ld" replaced by the seconds, "%%" read as "%". The
// text comes from the language texts or a setup information file, so it is never handed to a
// printf-like function.
std::string CountdownText(std::string_view format, int nSeconds);

class Countdown {
 public:
  explicit Countdown(int nSeconds) : nSeconds_(nSeconds) {}

  bool IsShown() const { return nSeconds_ >= 0; }
  // At zero the page proceeds; a countdown that is not shown never gets there.
  bool IsOver() const { return IsShown() && nElapsed_ >= nSeconds_; }
  int Remaining() const { return IsShown() ? nSeconds_ - nElapsed_ : 0; }
  // The meter: its last position, and where it stands now.
  int MeterLimit() const { return nSeconds_ > 1 ? nSeconds_ - 1 : 0; }
  int MeterPosition() const { return nElapsed_ < MeterLimit() ? nElapsed_ : MeterLimit(); }
  // One second went by; true when the countdown is over now.
  bool Tick();

 private:
  int nSeconds_;
  int nElapsed_ = 0;
};

}  // namespace tarvium::ui
