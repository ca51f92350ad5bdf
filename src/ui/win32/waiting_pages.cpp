// The pages that wait for something else than a person: the restart warning and the programs that
// must end. Both count down once a second with a line of the remaining seconds and a meter that
// runs from 0 to the seconds minus one, and proceed by themselves at zero: the restart warning
// with Yes, the processes page as if OK had been pressed (also as soon as none of its programs
// runs any more). Without a countdown the line and the meter are left out and the page waits for
// OK. The processes page stays above other windows; a positive time-out hides its Cancel, and
// with it Escape and the close box.
#include <algorithm>

#include "platform/code_page.h"
#include "platform/win32/win32_wide_text.h"
#include "ui/countdown.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

constexpr int kTickMs = 1000;
constexpr int kProcessListId = 7601;
constexpr int kProcessCountdownId = 7602;
constexpr int kProcessMeterId = 7603;
constexpr int kRestartTextId = 7701;
constexpr int kRestartCountdownId = 7702;
constexpr int kRestartMeterId = 7703;
constexpr short kMeterHeight = 10;
constexpr short kCountdownUnits = 24;  // the countdown's line and meter with their gaps

// The countdown line and meter of a page; nothing when the countdown is not shown.
class CountdownView {
 public:
  CountdownView(WizardPage& page, std::string utf8Format, int nSeconds, int nLabelId, int nMeterId)
      : page_(page),
        countdown_(nSeconds),
        format_(std::move(utf8Format)),
        nLabelId_(nLabelId),
        nMeterId_(nMeterId) {
    if (!countdown_.IsShown()) return;
    page.AddText(L"", 1, nLabelId);
    page.AddControl({.className = PROGRESS_CLASSW, .nId = nMeterId, .cy = kMeterHeight});
    page.WhenOpen([this] {
      SendMessageW(page_.Item(nMeterId_), PBM_SETRANGE32, 0, std::max(1, countdown_.MeterLimit()));
      Show();
    });
  }

  // One second went by: shows the new state; true when the countdown is over.
  bool Tick() {
    const bool bOver = countdown_.Tick();
    Show();
    return bOver;
  }

 private:
  void Show() const {
    page_.SetItemText(nLabelId_, WideFromUtf8(CountdownText(format_, countdown_.Remaining())));
    SendMessageW(page_.Item(nMeterId_), PBM_SETPOS, countdown_.MeterPosition(), 0);
  }

  WizardPage& page_;
  Countdown countdown_;
  std::string format_;
  int nLabelId_;
  int nMeterId_;
};

}  // namespace

int ShowRestartPage(DialogSession& session, PageRequest& request) {
  // Nothing to count down: the page is not even opened.
  if (Countdown(request.nSeconds).IsOver()) return kRestartNow;
  PageRequest shown = request;
  shown.bBack = false;
  shown.bCancel = false;
  WizardPage page(session, shown, PageText::RestartHeading, 7700, {.next = PageText::OK});
  page.AddText(platform::win32::WideFromAnsi(request.text), 8, kRestartTextId);
  page.SkipRows(4);
  const std::string format = request.value.empty() ? page.Text(PageText::RestartCountdown)
                                                   : platform::AnsiToUtf8(request.value);
  CountdownView countdown(page, format, request.nSeconds, kRestartCountdownId, kRestartMeterId);
  page.SetTimer(kTickMs, [&] { return countdown.Tick() ? kRestartNow : 0; });
  return page.Run();
}

int ShowProcessesPage(DialogSession& session, PageRequest& request) {
  if (request.items.empty() || request.nSeconds == 0) return kPageNext;
  PageRequest shown = request;
  if (request.nSeconds > 0) shown.bCancel = false;
  WizardPage page(session, shown, PageText::ProcessesHeading, 7600, {.next = PageText::OK});
  page.AddText(platform::win32::WideFromAnsi(request.text), 5);
  const short nCountdown = request.nSeconds > 0 ? kCountdownUnits : 0;
  page.AddControl({.predefined = ControlClass::ListBox,
                   .nId = kProcessListId,
                   .style = WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                   .cy = static_cast<short>(page.RowsLeft() - nCountdown)});
  page.WhenOpen([&] {
    for (const std::string& item : request.items)
      SendMessageW(page.Item(kProcessListId), LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(platform::win32::WideFromAnsi(item).c_str()));
    SetWindowPos(page.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  });
  page.Focus(kPageNext);
  if (request.nSeconds < 0) return page.Run();
  CountdownView countdown(page, page.Text(PageText::ProcessesCountdown), request.nSeconds,
                          kProcessCountdownId, kProcessMeterId);
  page.SetTimer(kTickMs, [&] {
    const bool bSettled = request.isSettled && request.isSettled();
    return countdown.Tick() || bSettled ? kPageNext : 0;
  });
  return page.Run();
}

}  // namespace tarvium::ui::win32
