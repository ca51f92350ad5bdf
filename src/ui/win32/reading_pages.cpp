// The pages that show a text to read: the terms of use (Yes goes on, No asks whether to abort as
// Cancel does) and the information text (with the information icon). The text is read-only, with
// nothing selected: the focus starts on the page's Yes or Next.
#include "platform/win32/win32_wide_text.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

constexpr int kTextId = 7301;
constexpr int kIconId = 7302;
constexpr short kIconSize = 20;

// The run's text with its line breaks as an edit control shows them.
std::wstring WithWindowsLineBreaks(const std::string& ansiText) {
  std::wstring text;
  for (wchar_t c : platform::win32::WideFromAnsi(ansiText)) {
    if (c == L'\r') continue;
    if (c == L'\n') text += L'\r';
    text += c;
  }
  return text;
}

void AddReadingBox(WizardPage& page, const std::string& ansiText, short nUnitsBelow) {
  page.AddControl(
      {.predefined = ControlClass::Edit,
       .text = WithWindowsLineBreaks(ansiText),
       .nId = kTextId,
       .style = WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
       .exStyle = WS_EX_CLIENTEDGE,
       .cy = static_cast<short>(page.RowsLeft() - nUnitsBelow)});
}

}  // namespace

int ShowLicencePage(DialogSession& session, PageRequest& request) {
  PageRequest shown = request;
  shown.bCancel = true;  // No is always there
  WizardPage page(session, shown, PageText::LicenceHeading, 7300,
                  {.next = PageText::Yes, .cancel = PageText::No});
  AddReadingBox(page, request.text, 14);
  page.AddText(page.WideText(PageText::LicenceQuestion));
  page.Focus(kPageNext);
  return page.Run();
}

int ShowInfoPage(DialogSession& session, PageRequest& request) {
  WizardPage page(session, request, PageText::InfoHeading, 7300);
  page.AddControl({.predefined = ControlClass::Static,
                   .nId = kIconId,
                   .style = SS_ICON,
                   .cx = kIconSize,
                   .cy = kIconSize});
  page.WhenOpen([&] {
    SendMessageW(page.Item(kIconId), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
  });
  AddReadingBox(page, request.text, 0);
  page.Focus(kPageNext);
  return page.Run();
}

}  // namespace tarvium::ui::win32
