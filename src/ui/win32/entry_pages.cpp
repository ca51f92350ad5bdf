// The pages with entry fields: the two directory pages (a drop-down list of directories when the
// default holds ";"), the user page, the disk page (OK, Skip and Cancel with the directory of the
// missing file) and a prompt's value page (its entry hidden for a secret, and going on by itself
// after a time-out). Browse opens the system's folder browser and puts the chosen folder into the
// field, selected.
#include <vector>

#include "platform/win32/win32_wide_text.h"
#include "ui/text_layout.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/folder_browser.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

constexpr int kDirectoryId = 6201;
constexpr int kDirectoryBrowse = 6205;
constexpr int kNameId = 6305;
constexpr int kCompanyId = 6307;
constexpr int kDiskDirectoryId = 6601;
constexpr int kDiskBrowse = 6605;
constexpr int kValueId = 6801;
constexpr int kValueBrowse = 6806;
constexpr short kBrowseWidth = 50;
constexpr short kFieldHeight = 14;
constexpr int kListRows = 5;  // the entries a drop-down list shows; more scroll
constexpr int kSecondMs = 1000;

// A directory field with Browse beside it: an entry, or, when the default holds ";", a drop-down
// of its parts (the first one shown) whose text can still be typed or browsed for.
class DirectoryField {
 public:
  DirectoryField(WizardPage& page, const std::string& ansiDefault, int nId, int nBrowseId)
      : page_(page), nId_(nId), nBrowseId_(nBrowseId), choices_(DropDownEntries(ansiDefault)) {
    constexpr short kFieldWidth = WizardPage::kBodyWidth - kBrowseWidth - 4;
    if (choices_.empty()) {
      page.AddEdit(nId, ansiDefault, 0, kFieldWidth);
    } else {
      page.AddText(page.WideText(PageText::DirectoryChoices));
      page.AddControl({.predefined = ControlClass::ComboBox,
                       .nId = nId,
                       .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                       .cx = kFieldWidth,
                       .cy = kFieldHeight});
      page.Focus(nId);
      page.WhenOpen([this] { FillList(); });
    }
    page.AddButton(nBrowseId, page.WideText(PageText::Browse),
                   WizardPage::kBodyWidth - kBrowseWidth, kBrowseWidth, true);
  }

  std::string Value() const { return page_.ItemRunText(nId_); }

  // Browse keeps the page open; other buttons are not the field's.
  void OnButton(int nButton) {
    if (nButton != nBrowseId_) return;
    std::string directory = Value();
    if (!ChooseFolder(page_.Handle(), page_.WideText(PageText::ChooserHeading),
                      page_.Session().Files(), directory))
      return;
    page_.SetItemText(nId_, platform::win32::WideFromAnsi(directory));
    const HWND hField = page_.Item(nId_);
    if (choices_.empty())
      SendMessageW(hField, EM_SETSEL, 0, -1);
    else
      SendMessageW(hField, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    SetFocus(hField);
  }

 private:
  void FillList() const {
    const HWND hList = page_.Item(nId_);
    for (const std::string& choice : choices_)
      SendMessageW(hList, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(platform::win32::WideFromAnsi(choice).c_str()));
    SendMessageW(hList, CB_SETMINVISIBLE, kListRows, 0);
    SendMessageW(hList, CB_SETCURSEL, 0, 0);
  }

  WizardPage& page_;
  int nId_;
  int nBrowseId_;
  std::vector<std::string> choices_;
};

// Runs a page whose value is the field's directory.
int RunWithField(WizardPage& page, PageRequest& request, DirectoryField& field) {
  return page.Run(
      [&] {
        request.value = field.Value();
        return true;
      },
      [&](int nButton) { field.OnButton(nButton); });
}

// A value page with a time-out goes on by itself, with the value in its field, once its seconds
// are over. The seconds are counted one by one rather than turned into one timer of
// milliseconds, which would overflow for a time-out of days.
void GoOnAfter(WizardPage& page, int nSeconds, std::function<void()> store) {
  if (nSeconds <= 0) return;
  page.SetTimer(kSecondMs, [nLeft = nSeconds, store = std::move(store)]() mutable {
    if (--nLeft > 0) return 0;
    store();
    return kPageNext;
  });
}

}  // namespace

int ShowDirectoryPage(DialogSession& session, PageRequest& request) {
  const bool bData = request.kind == PageKind::DataDirectory;
  WizardPage page(session, request,
                  bData ? PageText::DataDirectoryHeading : PageText::DirectoryHeading, 6200);
  page.AddText(platform::win32::WideFromAnsi(session.Explanation(request.text)), 3);
  page.SkipRows(4);
  DirectoryField field(page, request.value, kDirectoryId, kDirectoryBrowse);
  return RunWithField(page, request, field);
}

int ShowUserPage(DialogSession& session, PageRequest& request) {
  WizardPage page(session, request, PageText::UserHeading, 6300);
  page.AddText(page.WideText(PageText::UserExplanation), 2);
  page.SkipRows(4);
  page.AddText(page.WideText(PageText::UserName));
  page.AddEdit(kNameId, request.value);
  page.AddText(page.WideText(PageText::UserCompany));
  page.AddEdit(kCompanyId, request.secondValue);
  return page.Run([&] {
    request.value = page.ItemRunText(kNameId);
    request.secondValue = page.ItemRunText(kCompanyId);
    return true;
  });
}

int ShowDiskPage(DialogSession& session, PageRequest& request) {
  WizardPage page(session, request, PageText::DiskHeading, 6600, {.next = PageText::OK});
  page.AddText(page.WideText(PageText::DiskExplanation));
  page.AddText(platform::win32::WideFromAnsi(request.text), 3);
  page.SkipRows(4);
  page.AddText(page.WideText(PageText::DiskDirectory));
  DirectoryField field(page, request.value, kDiskDirectoryId, kDiskBrowse);
  page.AddButton(kPageSkip, page.WideText(PageText::Skip), 0, kBrowseWidth);
  return page.Run(
      [&] {
        request.value = field.Value();
        return true;
      },
      [&](int nButton) {
        if (nButton == kPageSkip) return page.EndWith(kPageSkip);
        field.OnButton(nButton);
      });
}

int ShowValuePage(DialogSession& session, PageRequest& request) {
  WizardPage page(session, request, PageText::ValueHeading, 6800);
  page.AddText(platform::win32::WideFromAnsi(request.text), 6);
  page.SkipRows(4);
  if (request.bBrowse) {
    DirectoryField field(page, request.value, kValueId, kValueBrowse);
    GoOnAfter(page, request.nSeconds, [&] { request.value = field.Value(); });
    return RunWithField(page, request, field);
  }
  page.AddEdit(kValueId, request.value, request.bSecret ? ES_PASSWORD : 0);
  const auto store = [&] { request.value = page.ItemRunText(kValueId); };
  GoOnAfter(page, request.nSeconds, store);
  return page.Run([&] {
    store();
    return true;
  });
}

}  // namespace tarvium::ui::win32
