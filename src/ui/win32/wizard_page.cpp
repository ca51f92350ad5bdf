#include "ui/win32/wizard_page.h"

#include <algorithm>

#include "platform/win32/win32_wide_text.h"
#include "ui/win32/pictures.h"
#include "ui/win32/wide_text.h"

namespace tarvium::ui::win32 {
namespace {

// The page in dialog units: the picture at the left, the body beside it, the foot row below.
constexpr short kPageWidth = 330;
constexpr short kPageHeight = 210;
constexpr short kMargin = 7;
constexpr short kPictureWidth = 82;
constexpr short kBodyLeft = kMargin + kPictureWidth + kMargin + 2;
constexpr short kHeadingHeight = 12;
constexpr short kBodyTop = kMargin + kHeadingHeight + 6;
constexpr short kFootLine = 180;
constexpr short kFootRow = 188;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr short kLineHeight = 8;
constexpr short kEditHeight = 14;
constexpr short kChoiceHeight = 18;
constexpr short kGap = 4;
constexpr UINT_PTR kTimerId = 1;
constexpr wchar_t kPictureName[] = L"LOGO";

DWORD ButtonStyle(bool bDefault) {
  return WS_TABSTOP | (bDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

// The product's wizard picture stretched over the control; the main window's gradient where it has
// none.
void DrawPicture(const DRAWITEMSTRUCT& item, const RunFrame& frame) {
  const Picture picture(frame.wizardPicture, kPictureName);
  if (picture)
    picture.Draw(item.hDC, item.rcItem);
  else
    PaintFrameGradient(item.hDC, item.rcItem, frame);
}

}  // namespace

WizardPage::WizardPage(DialogSession& session, const PageRequest& request, PageText heading,
                       int nHelpTopic, FootButtons foot)
    : session_(session),
      frame_(session.Frame()),
      template_(platform::win32::WideFromAnsi(frame_.title), kPageWidth, kPageHeight,
                DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU),
      nHelpTopic_(nHelpTopic),
      bNext_(foot.bNext),
      bBack_(request.bBack),
      bCancel_(request.bCancel),
      nRow_(kBodyTop) {
  template_.Add({.predefined = ControlClass::Static,
                 .text = kPictureName,
                 .nId = kPictureId,
                 .style = SS_OWNERDRAW,
                 .x = kMargin,
                 .y = kMargin,
                 .cx = kPictureWidth,
                 .cy = kFootLine - 2 * kMargin});
  template_.Add({.predefined = ControlClass::Static,
                 .text = WideText(heading),
                 .nId = kHeadingId,
                 .style = SS_LEFT | SS_NOPREFIX,
                 .x = kBodyLeft,
                 .y = kMargin,
                 .cx = kBodyWidth,
                 .cy = kHeadingHeight});
  AddFoot(foot);
}

WizardPage::~WizardPage() {
  if (hHeadingFont_) DeleteObject(hHeadingFont_);
}

std::wstring WizardPage::WideText(PageText text) const {
  return WideFromUtf8(Text(text));
}

short WizardPage::RowsLeft() const {
  return static_cast<short>(std::max(0, kFootLine - kGap - nRow_));
}

void WizardPage::AddFoot(const FootButtons& foot) {
  template_.Add({.predefined = ControlClass::Static,
                 .style = SS_ETCHEDHORZ,
                 .x = kMargin,
                 .y = kFootLine,
                 .cx = kPageWidth - 2 * kMargin,
                 .cy = 1});
  const auto button = [&](int nId, PageText label, short x, bool bShown) {
    if (!bShown) return;
    template_.Add({.predefined = ControlClass::Button,
                   .text = WideText(label),
                   .nId = nId,
                   .style = ButtonStyle(nId == IDOK),
                   .x = x,
                   .y = kFootRow,
                   .cx = kButtonWidth,
                   .cy = kButtonHeight});
  };
  const short nCancelLeft = kPageWidth - kMargin - kButtonWidth;
  const short nNextLeft = nCancelLeft - kMargin - kButtonWidth;
  button(kHelpId, PageText::Help, kMargin, frame_.bHelp);
  button(kPageBack, PageText::Back, static_cast<short>(nNextLeft - kButtonWidth), bBack_);
  button(kPageNext, foot.next, nNextLeft, bNext_);
  button(kPageCancel, foot.cancel, nCancelLeft, bCancel_);
}

void WizardPage::AddControl(DialogControl control, bool bSameRow) {
  control.x = static_cast<short>(kBodyLeft + control.x);
  if (control.cx == 0) control.cx = kBodyWidth;
  control.y = bSameRow ? nLastRow_ : nRow_;
  nLastRow_ = control.y;
  nRow_ = std::max<short>(nRow_, static_cast<short>(control.y + control.cy + kGap));
  template_.Add(std::move(control));
}

void WizardPage::AddText(const std::wstring& text, int nLines, int nId) {
  AddControl({.predefined = ControlClass::Static,
              .text = text,
              .nId = nId,
              .style = SS_LEFT | SS_NOPREFIX,
              .cy = static_cast<short>(nLines * kLineHeight)});
}

void WizardPage::AddEdit(int nId, const std::string& ansiValue, DWORD style, short cx) {
  AddControl({.predefined = ControlClass::Edit,
              .text = platform::win32::WideFromAnsi(ansiValue),
              .nId = nId,
              .style = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | style,
              .exStyle = WS_EX_CLIENTEDGE,
              .cx = cx,
              .cy = kEditHeight});
  if (!nFocus_) nFocus_ = nId;
}

void WizardPage::AddButton(int nId, const std::wstring& label, short x, short cx, bool bSameRow) {
  AddControl({.predefined = ControlClass::Button,
              .text = label,
              .nId = nId,
              .style = ButtonStyle(false),
              .x = x,
              .cx = cx,
              .cy = kButtonHeight},
             bSameRow);
}

void WizardPage::AddChoice(int nId, const std::wstring& label) {
  AddControl({.predefined = ControlClass::Button,
              .text = label,
              .nId = nId,
              .style = ButtonStyle(choices_.empty() && !bNext_) | BS_LEFT | BS_NOTIFY,
              .cy = kChoiceHeight});
  if (choices_.empty() && !nFocus_) nFocus_ = nId;
  choices_.push_back(nId);
}

void WizardPage::SetTimer(int nMilliseconds, std::function<int()> tick) {
  nTimerMs_ = nMilliseconds;
  tick_ = std::move(tick);
}

std::string WizardPage::ItemRunText(int nId) const {
  return platform::win32::AnsiFromWide(ItemText(nId).c_str());
}

int WizardPage::Run(std::function<bool()> store, std::function<void(int nId)> onButton) {
  store_ = std::move(store);
  onButton_ = std::move(onButton);
  session_.OpenMainWindow();
  const INT_PTR nResult = RunModal(session_.Owner(), template_);
  return nResult < 0 ? kPageCancel : static_cast<int>(nResult);
}

void WizardPage::OnInit() {
  session_.DialogOpened(Handle());
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  font.lfHeight = font.lfHeight * 5 / 4;
  hHeadingFont_ = CreateFontIndirectW(&font);
  SendMessageW(Item(kHeadingId), WM_SETFONT, reinterpret_cast<WPARAM>(hHeadingFont_), FALSE);
  if (!bCancel_) EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  for (const auto& fill : fills_) fill();
  const int nFocus = nFocus_ ? nFocus_ : (bNext_ ? kPageNext : kPageCancel);
  if (const HWND hFocus = Item(nFocus))
    PostMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hFocus), TRUE);
  if (nTimerMs_ > 0) ::SetTimer(Handle(), kTimerId, static_cast<UINT>(nTimerMs_), nullptr);
  SetForegroundWindow(Handle());
}

bool WizardPage::IsChoice(int nId) const {
  return std::find(choices_.begin(), choices_.end(), nId) != choices_.end();
}

void WizardPage::OnCommand(int nId, int nCode) {
  if (nCode != BN_CLICKED) return;
  if (IsChoice(nId)) return End(nId);
  switch (nId) {
    case kPageNext:
    case kPageBack:
      // Enter presses the default button: nothing when the page has no Next.
      if ((nId == kPageNext && !bNext_) || (nId == kPageBack && !bBack_)) return;
      if (!store_ || store_()) End(nId);
      return;
    case kPageCancel:
      return Cancel();
    case kHelpId:
      if (frame_.bHelp) session_.ShowHelp(nHelpTopic_);
      return;
    default:
      if (onButton_) onButton_(nId);
  }
}

// Cancel, Escape and the close box ask whether to abort; No leaves the page as it was.
void WizardPage::Cancel() {
  if (!bCancel_) return;
  const HWND hFocus = GetFocus();
  if (session_.ConfirmCancel()) return End(kPageCancel);
  if (hFocus) SetFocus(hFocus);
}

LRESULT WizardPage::OnNotify(const NMHDR& header) {
  return notify_ ? notify_(header) : 0;
}

void WizardPage::OnTimer(UINT_PTR nTimer) {
  if (nTimer != kTimerId || !tick_) return;
  if (const int nResult = tick_()) {
    KillTimer(Handle(), kTimerId);
    End(nResult);
  }
}

bool WizardPage::OnMessage(UINT uMsg, WPARAM, LPARAM) {
  if (uMsg == WM_DESTROY) session_.DialogClosed(Handle());
  return false;
}

bool WizardPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != kPictureId) return false;
  DrawPicture(item, frame_);
  return true;
}

}  // namespace tarvium::ui::win32
