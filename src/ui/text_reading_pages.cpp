// The pages that show a text to read: the terms of use (Yes goes on, No asks whether to abort as
// Cancel does) and the information text. The text scrolls read-only in a box over the page's
// free rows; the arrow keys and Page Up/Down move it once it has the focus.
#include "ui/text_layout.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

void AddReadingBox(TextPage& page, const std::string& ansiText, int nRowsBelow) {
  const std::vector<std::string> lines =
      WrapText(ForDisplay(ansiText), static_cast<size_t>(page.Width() - 2));
  std::string shown;
  for (const std::string& line : lines) shown += line + '\n';
  const int nRows = std::max(3, page.RowsLeft() - nRowsBelow);
  // A scroll bar only for a text longer than the box; the box takes the focus either way.
  const int nScroll = static_cast<int>(lines.size()) > nRows ? NEWT_FLAG_SCROLL : 0;
  newtComponent box = newtTextbox(page.Left(), page.Row(), page.Width(), nRows, nScroll);
  newtTextboxSetText(box, shown.c_str());
  page.AddComponent(box, nRows);
  page.Focus(box);
}

}  // namespace

int ShowLicencePage(TextSession& session, PageRequest& request) {
  FootButtons foot;
  foot.next = PageText::Yes;
  foot.cancel = PageText::No;
  PageRequest shown = request;
  shown.bCancel = true;  // No is always there
  TextPage page(session, shown, PageText::LicenceHeading, 7300, foot);
  AddReadingBox(page, request.text, 2);
  page.SkipRows(1);
  page.AddText(page.Text(PageText::LicenceQuestion));
  return page.Run();
}

int ShowInfoPage(TextSession& session, PageRequest& request) {
  TextPage page(session, request, PageText::InfoHeading, 7300);
  AddReadingBox(page, request.text, 0);
  return page.Run();
}

}  // namespace tarvium::ui
