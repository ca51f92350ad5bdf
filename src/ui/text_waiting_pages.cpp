// The pages that wait for something else than a person: the restart warning and the programs that
// must end. Both count down once a second with a line of the remaining seconds and a meter that
// runs from 0 to the seconds minus one, and proceed by themselves at zero: the restart warning
// with Yes, the processes page as if OK had been pressed (also as soon as none of its programs
// runs any more). Without a countdown the line and the meter are left out and the page waits for
// OK. A positive time-out on the processes page hides Cancel, so Escape cannot close it either.
#include <newt.h>

#include <algorithm>

#include "ui/countdown.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

constexpr int kTickMs = 1000;

// The countdown line and meter of a page; nothing when the countdown is not shown.
class CountdownView {
 public:
  CountdownView(TextPage& page, const char* pszFormat, int nSeconds)
      : countdown_(nSeconds), format_(pszFormat) {
    if (!countdown_.IsShown()) return;
    label_ = newtLabel(page.Left(), page.Row(), "");
    page.AddComponent(label_, 1);
    meter_ = newtScale(page.Left(), page.Row(), page.Width(), std::max(1, countdown_.MeterLimit()));
    page.AddComponent(meter_, 1);
    Show();
  }

  bool IsOver() const { return countdown_.IsOver(); }
  // One second went by: shows the new state; true when the countdown is over.
  bool Tick() {
    const bool bOver = countdown_.Tick();
    Show();
    return bOver;
  }

 private:
  void Show() {
    if (!label_) return;
    newtLabelSetText(label_, CountdownText(format_, countdown_.Remaining()).c_str());
    newtScaleSet(meter_, static_cast<unsigned long long>(countdown_.MeterPosition()));
  }

  Countdown countdown_;
  const char* format_;
  newtComponent label_ = nullptr;
  newtComponent meter_ = nullptr;
};

}  // namespace

int ShowRestartPage(TextSession& session, PageRequest& request) {
  // Nothing to count down: the screen is not even opened.
  if (Countdown(request.nSeconds).IsOver()) return kRestartNow;
  PageRequest shown = request;
  shown.bBack = false;
  shown.bCancel = false;
  TextPage page(session, shown, PageText::RestartHeading, 7700,
                {.bNext = true, .next = PageText::OK});
  page.AddText(ForDisplay(request.text), page.RowsLeft() - 3);
  page.SkipRows(1);
  const std::string format =
      request.value.empty() ? page.Text(PageText::RestartCountdown) : ForDisplay(request.value);
  CountdownView countdown(page, format.c_str(), request.nSeconds);
  page.SetTimer(kTickMs, [&] { return countdown.Tick() ? kRestartNow : 0; });
  return page.Run();
}

int ShowProcessesPage(TextSession& session, PageRequest& request) {
  if (request.items.empty() || request.nSeconds == 0) return kPageNext;
  PageRequest shown = request;
  if (request.nSeconds > 0) shown.bCancel = false;
  TextPage page(session, shown, PageText::ProcessesHeading, 7600,
                {.bNext = true, .next = PageText::OK});
  const int nCountdownRows = request.nSeconds > 0 ? 3 : 0;
  page.AddText(ForDisplay(request.text), std::max(1, page.RowsLeft() - nCountdownRows - 3));
  page.SkipRows(1);
  const int nListRows = std::max(
      1, std::min(static_cast<int>(request.items.size()), page.RowsLeft() - nCountdownRows - 1));
  newtComponent list = newtListbox(page.Left(), page.Row(), nListRows, NEWT_FLAG_SCROLL);
  newtListboxSetWidth(list, page.Width());
  for (const std::string& item : request.items)
    newtListboxAppendEntry(list, ForDisplay(item).c_str(), nullptr);
  page.AddComponent(list, nListRows + 1);
  if (request.nSeconds < 0) return page.Run();
  CountdownView countdown(page, page.Text(PageText::ProcessesCountdown), request.nSeconds);
  page.SetTimer(kTickMs, [&] {
    const bool bSettled = request.isSettled && request.isSettled();
    return countdown.Tick() || bSettled ? kPageNext : 0;
  });
  return page.Run();
}

}  // namespace tarvium::ui
