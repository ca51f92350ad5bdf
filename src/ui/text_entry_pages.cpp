// The pages with entry fields: the two directory pages (a drop-down list of directories when the
// default holds ";"), the user page, the disk page (OK, Skip and Cancel with the directory of the
// missing file) and a prompt's value page. Browse opens the directory chooser and puts the chosen
// directory into the field.
#include <string>
#include <vector>

#include "ui/directory_chooser.h"
#include "ui/text_layout.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

constexpr int kBrowse = 6205;
constexpr int kListRows = 5;  // the rows of a drop-down list; more entries scroll

// The explanation of a page: a catalog number ("5036") is the catalog's text.
std::string Explanation(TextSession& session, const std::string& text) {
  const bool bNumber = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  return ForDisplay(bNumber ? session.CatalogText(std::stoi(text)) : text);
}

// A directory field: an entry with Browse, or a list of the default's ";"-separated parts.
class DirectoryField {
 public:
  DirectoryField(TextPage& page, const std::string& ansiDefault, int nBrowseResult)
      : page_(page), choices_(DropDownEntries(ansiDefault)) {
    if (choices_.empty()) {
      const int nBrowseWidth = static_cast<int>(DisplayWidth(page.Text(PageText::Browse))) + 4;
      entry_ = newtEntry(page.Left(), page.Row(), ForDisplay(ansiDefault).c_str(),
                         page.Width() - nBrowseWidth - 1, nullptr, NEWT_FLAG_SCROLL);
      page.AddComponent(entry_, 1);
      page.AddButton(page.Text(PageText::Browse), nBrowseResult, page.Width() - nBrowseWidth, true);
      page.Focus(entry_);
      return;
    }
    page.AddText(page.Text(PageText::DirectoryChoices));
    const int nRows = std::min<int>(static_cast<int>(choices_.size()), kListRows);
    const int nScroll = static_cast<int>(choices_.size()) > kListRows ? NEWT_FLAG_SCROLL : 0;
    list_ = newtListbox(page.Left(), page.Row(), nRows, NEWT_FLAG_RETURNEXIT | nScroll);
    newtListboxSetWidth(list_, page.Width());
    for (size_t i = 0; i < choices_.size(); ++i)
      newtListboxAppendEntry(list_, ForDisplay(choices_[i]).c_str(),
                             reinterpret_cast<void*>(i + 1));
    page.AddComponent(list_, nRows);
    page.Focus(list_);
  }

  // The directory shown (ANSI).
  std::string Value() const {
    if (entry_) return TextPage::EntryValue(entry_);
    const auto nIndex = reinterpret_cast<size_t>(newtListboxGetCurrent(list_));
    return nIndex == 0 ? choices_.front() : choices_[nIndex - 1];
  }

  void Browse() {
    if (!entry_) return;
    std::string directory = Value();
    if (ChooseDirectory(page_.Session(), page_.Session().Files(), directory))
      newtEntrySet(entry_, ForDisplay(directory).c_str(), 1);
    page_.Focus(entry_);
  }

 private:
  TextPage& page_;
  std::vector<std::string> choices_;
  newtComponent entry_ = nullptr;
  newtComponent list_ = nullptr;
};

int AskDirectory(TextPage& page, PageRequest& request, const std::string& explanation,
                 int nBrowseResult) {
  page.AddText(explanation);
  page.SkipRows(1);
  DirectoryField field(page, request.value, nBrowseResult);
  return page.Run(
      [&] {
        request.value = field.Value();
        return true;
      },
      [&](int nResult) {
        if (nResult != nBrowseResult) return false;
        field.Browse();
        return true;
      });
}

}  // namespace

int ShowDirectoryPage(TextSession& session, PageRequest& request) {
  const bool bData = request.kind == PageKind::DataDirectory;
  TextPage page(session, request,
                bData ? PageText::DataDirectoryHeading : PageText::DirectoryHeading, 6200);
  return AskDirectory(page, request, Explanation(session, request.text), kBrowse);
}

int ShowUserPage(TextSession& session, PageRequest& request) {
  TextPage page(session, request, PageText::UserHeading, 6300);
  page.AddText(page.Text(PageText::UserExplanation));
  page.SkipRows(1);
  newtComponent name = page.AddEntry(request.value, page.Text(PageText::UserName));
  page.SkipRows(1);
  newtComponent company = page.AddEntry(request.secondValue, page.Text(PageText::UserCompany));
  return page.Run([&] {
    request.value = TextPage::EntryValue(name);
    request.secondValue = TextPage::EntryValue(company);
    return true;
  });
}

int ShowDiskPage(TextSession& session, PageRequest& request) {
  FootButtons foot;
  foot.next = PageText::OK;
  TextPage page(session, request, PageText::DiskHeading, 6600, foot);
  page.AddText(page.Text(PageText::DiskExplanation));
  page.AddText(ForDisplay(request.text), 3);
  page.SkipRows(1);
  page.AddText(page.Text(PageText::DiskDirectory));
  DirectoryField field(page, request.value, 6605);
  page.SkipRows(1);
  page.AddButton(page.Text(PageText::Skip), kPageSkip);
  return page.Run(
      [&] {
        request.value = field.Value();
        return true;
      },
      [&](int nResult) {
        if (nResult != 6605) return false;
        field.Browse();
        return true;
      });
}

int ShowValuePage(TextSession& session, PageRequest& request) {
  TextPage page(session, request, PageText::ValueHeading, 6800);
  page.AddText(ForDisplay(request.text), 6);
  page.SkipRows(1);
  if (!request.bBrowse) {
    newtComponent entry = page.AddEntry(request.value);
    return page.Run([&] {
      request.value = TextPage::EntryValue(entry);
      return true;
    });
  }
  return AskDirectory(page, request, "", 6806);
}

}  // namespace tarvium::ui
