#include "ui/text_progress.h"

#include <algorithm>

#include "ui/page_texts.h"
#include "ui/text_layout.h"

namespace tarvium::ui {
namespace {

constexpr int kMaxWidth = 76;
constexpr int kHeight = 8;
constexpr int kLookEveryMs = 50;  // often enough for a key press to feel answered

}  // namespace

void TextProgress::Open(const ProgressWindowRequest& request) {
  if (form_) return;
  session_.BeginDialog();
  const RunFrame frame = session_.Frame();
  nWidth_ = std::min(kMaxWidth, session_.Columns() - 6);
  newtCenteredWindow(nWidth_, kHeight, FitLine(ForDisplay(frame.title), nWidth_ - 4).c_str());
  form_ = newtForm(nullptr, nullptr, NEWT_FLAG_NOF12);
  newtFormAddComponent(form_,
                       newtLabel(2, 0, TextOf(PageText::ProgressHeading, frame.lcidLanguage)));
  firstLine_ = newtLabel(2, 2, "");
  secondLine_ = newtLabel(2, 3, "");
  // The meter writes its percentage in its middle.
  meter_ = newtScale(2, 5, nWidth_ - 4, 100);
  for (newtComponent line : {firstLine_, secondLine_, meter_}) newtFormAddComponent(form_, line);
  // newt sizes a label by its first text: the status lines get their full width now.
  const std::string blank(static_cast<size_t>(nWidth_ - 4), ' ');
  newtLabelSetText(firstLine_, blank.c_str());
  newtLabelSetText(secondLine_, blank.c_str());
  if (request.bCancel) {
    const char* pszCancel = TextOf(PageText::Cancel, frame.lcidLanguage);
    const int nLeft = nWidth_ - 4 - static_cast<int>(DisplayWidth(pszCancel));
    cancel_ = newtCompactButton(nLeft, kHeight - 1, pszCancel);
    newtFormAddComponent(form_, cancel_);
    newtFormAddHotKey(form_, NEWT_KEY_ESCAPE);
  }
  // Each look at the keyboard returns at once when no key waits.
  newtFormSetTimer(form_, 1);
  bCancelled_ = false;
  Refresh();
}

void TextProgress::Close() {
  if (!form_) return;
  newtFormDestroy(form_);
  newtPopWindow();
  form_ = firstLine_ = secondLine_ = meter_ = cancel_ = nullptr;
  session_.EndDialog();
}

void TextProgress::ShowProgress(int nPercent) {
  if (!form_) return;
  if (nPercent < 0) {
    newtScaleSet(meter_, 0);
    newtLabelSetText(firstLine_, "");
    newtLabelSetText(secondLine_, "");
  } else {
    newtScaleSet(meter_, static_cast<unsigned long long>(std::min(nPercent, 100)));
  }
  Refresh();
}

void TextProgress::ShowStatus(const std::string& firstLine, const std::string& secondLine) {
  if (!form_) return;
  const size_t nWidth = static_cast<size_t>(nWidth_ - 4);
  newtLabelSetText(firstLine_, FitLine(ForDisplay(firstLine), nWidth).c_str());
  newtLabelSetText(secondLine_, FitLine(ForDisplay(secondLine), nWidth).c_str());
  Refresh();
}

bool TextProgress::PumpMessages() {
  if (bCancelled_) return false;
  if (!form_ || !cancel_ || session_.IsSuspended() || !IsTimeToLook()) return true;
  newtExitStruct exit{};
  newtFormRun(form_, &exit);
  const bool bCancelPressed =
      (exit.reason == newtExitStruct::NEWT_EXIT_COMPONENT && exit.u.co == cancel_) ||
      (exit.reason == newtExitStruct::NEWT_EXIT_HOTKEY && exit.u.key == NEWT_KEY_ESCAPE);
  if (bCancelPressed && session_.ConfirmCancel()) bCancelled_ = true;
  return !bCancelled_;
}

bool TextProgress::IsTimeToLook() {
  if (!clock_) return true;
  const uint64_t nNow = clock_->GetTickCount64();
  if (nNow - nLastLook_ < kLookEveryMs) return false;
  nLastLook_ = nNow;
  return true;
}

void TextProgress::Refresh() {
  if (session_.IsSuspended()) return;
  newtDrawForm(form_);
  newtRefresh();
}

}  // namespace tarvium::ui
