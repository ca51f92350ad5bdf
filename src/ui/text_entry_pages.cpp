// The pages with entry fields: the two directory pages (a drop-down list of directories when the
// default holds ";"), the user page, the disk page (OK, Skip and Cancel with the directory of the
// missing file) and a prompt's value page (its entry hidden for a secret, and going on by itself
// after a time-out). Browse opens the directory chooser and puts the chosen directory into the
// field.
#include <functional>
#include <string>
#include <vector>

#include "ui/directory_chooser.h"
#include "ui/text_layout.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

constexpr int kBrowse = 6205;
constexpr int kValueBrowse = 6806;
constexpr int kSecondMs = 1000;
constexpr int kListRows = 5;  // the rows of a drop-down list; more entries scroll

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

// Runs a page whose value is the field's directory; Browse keeps the page open.
int RunWithField(TextPage& page, PageRequest& request, DirectoryField& field, int nBrowseResult) {
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

int AskDirectory(TextPage& page, PageRequest& request, const std::string& explanation,
                 int nBrowseResult) {
  page.AddText(explanation);
  page.SkipRows(1);
  DirectoryField field(page, request.value, nBrowseResult);
  return RunWithField(page, request, field, nBrowseResult);
}

// A value page with a time-out goes on by itself, with the value in its field, once its seconds
// are over. The seconds are counted one by one rather than turned into one timer of
// milliseconds, which would overflow for a time-out of days.
void GoOnAfter(TextPage& page, int nSeconds, std::function<void()> store) {
  if (nSeconds <= 0) return;
  page.SetTimer(kSecondMs, [nLeft = nSeconds, store = std::move(store)]() mutable {
    if (--nLeft > 0) return 0;
    store();
    return kPageNext;
  });
}

}  // namespace

int ShowDirectoryPage(TextSession& session, PageRequest& request) {
  const bool bData = request.kind == PageKind::DataDirectory;
  TextPage page(session, request,
                bData ? PageText::DataDirectoryHeading : PageText::DirectoryHeading, 6200);
  return AskDirectory(page, request, ForDisplay(session.Explanation(request.text)), kBrowse);
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
  DirectoryField field(page, request.value, 6605);  // 6605: the disk page's Browse
  page.SkipRows(1);
  page.AddButton(page.Text(PageText::Skip), kPageSkip);
  return RunWithField(page, request, field, 6605);
}

int ShowValuePage(TextSession& session, PageRequest& request) {
  TextPage page(session, request, PageText::ValueHeading, 6800);
  page.AddText(ForDisplay(request.text), 6);
  page.SkipRows(1);
  if (request.bBrowse) {
    DirectoryField field(page, request.value, kValueBrowse);
    GoOnAfter(page, request.nSeconds, [&] { request.value = field.Value(); });
    return RunWithField(page, request, field, kValueBrowse);
  }
  newtComponent entry = page.AddEntry(request.value);
  if (request.bSecret) newtEntrySetFlags(entry, NEWT_FLAG_PASSWORD, NEWT_FLAGS_SET);
  const auto store = [&] { request.value = TextPage::EntryValue(entry); };
  GoOnAfter(page, request.nSeconds, store);
  return page.Run([&] {
    store();
    return true;
  });
}

}  // namespace tarvium::ui
