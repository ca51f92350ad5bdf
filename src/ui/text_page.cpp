#include "ui/text_page.h"

#include <algorithm>
#include <array>

#include "ui/text_layout.h"

namespace tarvium::ui {
namespace {

constexpr int kMaxWidth = 76;
constexpr int kHelpResult = 9;
constexpr std::array<int, 6> kListKeys = {NEWT_KEY_UP,    NEWT_KEY_DOWN, NEWT_KEY_LEFT,
                                          NEWT_KEY_RIGHT, NEWT_KEY_TAB,  NEWT_KEY_UNTAB};

// Keys that move the focus of a page with a choice list; no other page asks for them.
bool IsListKey(int nKey) {
  return std::find(kListKeys.begin(), kListKeys.end(), nKey) != kListKeys.end();
}

int ComponentWidth(newtComponent component) {
  int nWidth = 0, nHeight = 0;
  newtComponentGetSize(component, &nWidth, &nHeight);
  return nWidth;
}

}  // namespace

TextPage::TextPage(TextSession& session, const PageRequest& request, PageText heading,
                   int nHelpTopic, FootButtons foot)
    : session_(session), scope_(session), frame_(session.Frame()), nHelpTopic_(nHelpTopic) {
  nWidth_ = std::min(kMaxWidth, session_.Columns() - 6);
  const int nHeight = std::max(10, session_.Rows() - 5);
  nFootRow_ = nHeight - 1;
  newtCenteredWindow(nWidth_, nHeight, FitLine(ForDisplay(frame_.title), nWidth_ - 4).c_str());
  newtPushHelpLine(Text(PageText::KeysLine));
  form_ = newtForm(nullptr, nullptr, 0);
  newtFormAddHotKey(form_, NEWT_KEY_ESCAPE);
  newtFormAddHotKey(form_, NEWT_KEY_ENTER);
  newtFormAddComponent(form_, newtLabel(kMargin, 0, Text(heading)));
  nRow_ = 2;
  bCancel_ = request.bCancel;
  bBack_ = request.bBack;
  bNext_ = foot.bNext;
  AddFoot(foot, request, nHelpTopic);
}

TextPage::~TextPage() {
  newtFormDestroy(form_);
  newtPopWindow();
  newtPopHelpLine();
}

void TextPage::AddFoot(const FootButtons& foot, const PageRequest& request, int nHelpTopic) {
  if (frame_.bHelp && nHelpTopic > 0) {
    newtComponent help = newtCompactButton(kMargin, nFootRow_, Text(PageText::Help));
    foot_.push_back({help, kHelpResult});
  }
  // Right-aligned: Back, Next, Cancel, as many as the page offers.
  std::vector<std::pair<const char*, int>> row;
  if (request.bBack) row.emplace_back(Text(PageText::Back), kPageBack);
  if (foot.bNext) row.emplace_back(Text(foot.next), kPageNext);
  if (request.bCancel) row.emplace_back(Text(foot.cancel), kPageCancel);
  int nLeft = nWidth_ - kMargin;
  std::vector<Button> made;
  for (auto it = row.rbegin(); it != row.rend(); ++it) {
    newtComponent button = newtCompactButton(0, nFootRow_, it->first);
    nLeft -= ComponentWidth(button) + 1;
    newtComponentDestroy(button);  // measured only
    button = newtCompactButton(nLeft, nFootRow_, it->first);
    made.insert(made.begin(), {button, it->second});
  }
  foot_.insert(foot_.end(), made.begin(), made.end());
}

void TextPage::AddText(const std::string& utf8Text, int nMaxRows) {
  int nAdded = 0;
  for (const std::string& line : WrapText(utf8Text, static_cast<size_t>(Width()))) {
    if (nAdded++ == nMaxRows || RowsLeft() <= 0) break;
    newtFormAddComponent(form_, newtLabel(kMargin, nRow_++, line.c_str()));
  }
}

newtComponent TextPage::AddEntry(const std::string& ansiValue, const std::string& utf8Label) {
  int nLeft = kMargin;
  if (!utf8Label.empty()) {
    newtFormAddComponent(form_, newtLabel(kMargin, nRow_, utf8Label.c_str()));
    nLeft += static_cast<int>(DisplayWidth(utf8Label)) + 1;
  }
  newtComponent entry = newtEntry(nLeft, nRow_++, ForDisplay(ansiValue).c_str(),
                                  nWidth_ - kMargin - nLeft, nullptr, NEWT_FLAG_SCROLL);
  newtFormAddComponent(form_, entry);
  if (!pFocus_) pFocus_ = entry;
  return entry;
}

std::string TextPage::EntryValue(newtComponent entry) {
  const char* pszValue = newtEntryGetValue(entry);
  return FromDisplay(pszValue ? pszValue : "");
}

newtComponent TextPage::AddButton(const std::string& utf8Label, int nResult, int nLeft,
                                  bool bSameRow) {
  if (bSameRow) --nRow_;
  newtComponent button = newtCompactButton(kMargin + nLeft, nRow_++, utf8Label.c_str());
  newtFormAddComponent(form_, button);
  buttons_.push_back({button, nResult});
  return button;
}

void TextPage::AddComponent(newtComponent component, int nRows) {
  newtFormAddComponent(form_, component);
  nRow_ += nRows;
}

void TextPage::SetTimer(int nMilliseconds, std::function<int()> tick) {
  tick_ = std::move(tick);
  newtFormSetTimer(form_, nMilliseconds);
}

void TextPage::MakeChoiceList() {
  nChoices_ = buttons_.size();
  if (nChoices_ == 0) return;
  pFocus_ = buttons_.front().component;
  for (int nKey : kListKeys) newtFormAddHotKey(form_, nKey);
}

// Where a key moves the focus on a page with a choice list (the choices, then the foot row). The
// arrows move within the list, stopping at its ends, and along the foot row, from whose first
// button Up and Left go back to the last choice. Tab leaves the list for the foot row and goes
// along it, then back to the first choice; Shift-Tab goes back the same way.
newtComponent TextPage::ListTarget(newtComponent current, int nKey) const {
  size_t i = 0;
  while (i < buttons_.size() && buttons_[i].component != current) ++i;
  if (i == buttons_.size()) return buttons_.front().component;
  const bool bInList = i < nChoices_;
  const size_t nLast = buttons_.size() - 1;
  const bool bForward = nKey == NEWT_KEY_DOWN || nKey == NEWT_KEY_RIGHT || nKey == NEWT_KEY_TAB;
  size_t nNext = i;
  if (nKey == NEWT_KEY_TAB) {
    nNext = bInList ? nChoices_ : (i == nLast ? 0 : i + 1);
  } else if (nKey == NEWT_KEY_UNTAB) {
    nNext = bInList ? nLast : (i == nChoices_ ? 0 : i - 1);
  } else if (bForward) {
    nNext = std::min(i + 1, bInList ? nChoices_ - 1 : nLast);
  } else {
    nNext = i == 0 ? 0 : i - 1;
  }
  return buttons_[nNext].component;
}

int TextPage::ResultOf(newtComponent component) const {
  for (const Button& button : buttons_)
    if (button.component == component) return button.nResult;
  return 0;
}

int TextPage::Run(const std::function<bool()>& store,
                  const std::function<bool(int nResult)>& onButton) {
  // The foot row comes last in the order of the Tab key, after the page's own fields.
  for (const Button& button : foot_) {
    newtFormAddComponent(form_, button.component);
    buttons_.push_back(button);
  }
  foot_.clear();
  while (true) {
    if (pFocus_) newtFormSetCurrent(form_, pFocus_);
    newtExitStruct exit{};
    newtFormRun(form_, &exit);
    int nResult = 0;
    if (exit.reason == newtExitStruct::NEWT_EXIT_TIMER) {
      if (tick_) nResult = tick_();
      if (nResult == 0) continue;
      return nResult;
    }
    if (exit.reason == newtExitStruct::NEWT_EXIT_HOTKEY && nChoices_ > 0 && IsListKey(exit.u.key)) {
      pFocus_ = ListTarget(newtFormGetCurrent(form_), exit.u.key);
      continue;
    }
    if (exit.reason == newtExitStruct::NEWT_EXIT_HOTKEY) {
      if (exit.u.key == NEWT_KEY_ESCAPE && bCancel_) nResult = kPageCancel;
      if (exit.u.key == NEWT_KEY_F12 && bNext_) nResult = kPageNext;
      // Enter presses the button that has the focus; elsewhere (a field, the text) it is Next,
      // the default button of a page.
      if (exit.u.key == NEWT_KEY_ENTER) nResult = ResultOf(newtFormGetCurrent(form_));
      if (exit.u.key == NEWT_KEY_ENTER && nResult == 0 && bNext_) nResult = kPageNext;
    } else if (exit.reason == newtExitStruct::NEWT_EXIT_COMPONENT) {
      nResult = ResultOf(exit.u.co);
    } else if (exit.reason == newtExitStruct::NEWT_EXIT_ERROR) {
      return kPageCancel;
    }
    pFocus_ = newtFormGetCurrent(form_);
    if (nResult == 0) continue;
    if (nResult == kHelpResult) {
      session_.ShowHelp(nHelpTopic_);
    } else if (nResult == kPageCancel) {
      if (session_.ConfirmCancel()) return kPageCancel;
    } else if (nResult == kPageNext || nResult == kPageBack) {
      if (!store || store()) return nResult;
    } else if (!onButton || !onButton(nResult)) {
      return nResult;
    }
  }
}

}  // namespace tarvium::ui
