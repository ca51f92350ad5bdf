// The options page in text mode: the entries of the page model as a flat newt checkbox tree whose
// rows draw their own marks (so that check items, radio items and the three states of a set look
// apart) with the option's text indented by its depth and its size at the right. newt toggles a
// row itself on Space or Enter; the tree's callback finds the row whose newt value no longer
// matches the model, hands the toggle to the engine through the page, and redraws every row and
// the count and warning lines from the refreshed model, so newt never decides a selection. The
// Description button shows the help text of the row under the cursor.
#include <newt.h>

#include <algorithm>
#include <utility>

#include "ui/text_layout.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

constexpr int kDescriptionResult = 6406;  // the Description button, which keeps the page open
constexpr int kFootLines = 3;             // count line, warning, the Description button
constexpr size_t kSizeColumns = 10;       // "1024,0 MB" and a blank
constexpr int kTreeChrome = 6;            // the tree's hidden box (4) and its scroll bar (2)

// The mark a row starts with, drawn for the picture the set gives it, in ASCII so that every
// terminal shows it.
std::string_view MarkText(CheckmarkSet set, const OptionEntry& entry) {
  constexpr std::pair<std::string_view, std::string_view> kMarks[] = {
      {"BulbN", "< >"},  {"BulbC", "<o>"},  {"Check0", "[ ]"}, {"Check1", "[x]"},
      {"Check2", "[~]"}, {"Radio0", "( )"}, {"Radio1", "(*)"}, {"Radio2", "(~)"}};
  const std::string_view picture = CheckmarkPicture(set, entry);
  for (const auto& [name, mark] : kMarks)
    if (name == picture) return mark;
  return entry.bSelected ? "[x]" : "[ ]";  // the plain check box
}

// "    [x] Map sets ...          5,5 MB": indent, mark, text cut to fit, size right-aligned.
std::string RowText(CheckmarkSet set, const OptionEntry& entry, size_t nWidth) {
  std::string row(static_cast<size_t>(std::max(entry.nDepth - 1, 0)) * 2, ' ');
  row += MarkText(set, entry);
  row += ' ';
  const size_t nTextWidth =
      nWidth > row.size() + kSizeColumns ? nWidth - row.size() - kSizeColumns : 1;
  const std::string title = FitLine(ForDisplay(entry.title), nTextWidth);
  row += title;
  const size_t nUsed = row.size() - title.size() + DisplayWidth(title);
  const std::string size = ForDisplay(entry.sizeText);
  if (nWidth > nUsed + size.size()) row.append(nWidth - nUsed - size.size(), ' ');
  return row + size;
}

void* KeyOf(size_t nEntry) {
  return reinterpret_cast<void*>(nEntry + 1);  // newt's keys must not be null
}

size_t EntryOf(const void* key) {
  return reinterpret_cast<size_t>(key) - 1;
}

// What the tree's callback works on while the page is open.
struct OptionsScreen {
  OptionsPage& page;
  newtComponent tree = nullptr;
  newtComponent countLabel = nullptr;
  newtComponent warningLabel = nullptr;
  size_t nRowWidth = 0;
  size_t nLineWidth = 0;

  void Redraw() {
    for (size_t i = 0; i < page.entries.size(); ++i) {
      const OptionEntry& entry = page.entries[i];
      newtCheckboxTreeSetEntry(tree, KeyOf(i), RowText(page.checkmarks, entry, nRowWidth).c_str());
      newtCheckboxTreeSetEntryValue(tree, KeyOf(i), entry.bSelected ? '*' : ' ');
    }
    SetLine(countLabel, page.countLine + " (" + page.selectionSizeText + ")");
    SetLine(warningLabel, page.spaceWarning);
  }
  void SetLine(newtComponent label, const std::string& ansiText) {
    std::string text = FitLine(ForDisplay(ansiText), nLineWidth);
    text.append(nLineWidth - std::min(nLineWidth, DisplayWidth(text)), ' ');
    newtLabelSetText(label, text.c_str());
  }
  // The row newt toggled, if any: the one whose value differs from the model's.
  void TakeToggle() {
    for (size_t i = 0; i < page.entries.size(); ++i) {
      const bool bShownSelected = newtCheckboxTreeGetEntryValue(tree, KeyOf(i)) == '*';
      if (bShownSelected == page.entries[i].bSelected) continue;
      if (!page.toggle || !page.toggle(page, i)) newtBell();
      Redraw();
      return;
    }
  }
  static void OnTreeEvent(newtComponent, void* data) {
    static_cast<OptionsScreen*>(data)->TakeToggle();
  }
  void ShowDescription(TextPage& shown) {
    const void* key = newtCheckboxTreeGetCurrent(tree);
    if (!key || EntryOf(key) >= page.entries.size()) return;
    const OptionEntry& entry = page.entries[EntryOf(key)];
    const std::string text = entry.description.empty() ? entry.title : entry.description;
    newtWinMessage(const_cast<char*>(FitLine(ForDisplay(entry.title), 40).c_str()),
                   const_cast<char*>(shown.Text(PageText::OK)), const_cast<char*>("%s"),
                   ForDisplay(text).c_str());
  }
};

}  // namespace

int ShowTextOptionsPage(TextSession& session, OptionsPage& page) {
  PageRequest frame;
  frame.bBack = page.bBack;
  frame.bCancel = page.bCancel;
  TextPage shown(session, frame, PageText::OptionsHeading, 6400);
  OptionsScreen screen{page};
  const int nTreeRows = std::max(3, shown.RowsLeft() - kFootLines);
  screen.nRowWidth = static_cast<size_t>(std::max(20, shown.Width() - kTreeChrome));
  screen.nLineWidth = static_cast<size_t>(shown.Width());
  // A scroll bar only when the options do not fit the rows of the tree.
  const int nScroll = static_cast<int>(page.entries.size()) > nTreeRows ? NEWT_FLAG_SCROLL : 0;
  screen.tree = newtCheckboxTreeMulti(shown.Left(), shown.Row(), nTreeRows, const_cast<char*>(" *"),
                                      nScroll | NEWT_CHECKBOXTREE_HIDE_BOX);
  for (size_t i = 0; i < page.entries.size(); ++i) {
    const int nFlags = page.entries[i].bEnabled ? 0 : NEWT_CHECKBOXTREE_UNSELECTABLE;
    newtCheckboxTreeAddItem(screen.tree, "", KeyOf(i), nFlags, NEWT_ARG_APPEND, NEWT_ARG_LAST);
  }
  newtCheckboxTreeSetWidth(screen.tree, shown.Width());
  shown.AddComponent(screen.tree, nTreeRows);
  const std::string blank(screen.nLineWidth, ' ');
  screen.countLabel = newtLabel(shown.Left(), shown.Row(), blank.c_str());
  shown.AddComponent(screen.countLabel, 1);
  screen.warningLabel = newtLabel(shown.Left(), shown.Row(), blank.c_str());
  shown.AddComponent(screen.warningLabel, 1);
  const std::string description = shown.Text(PageText::OptionsDescription);
  shown.AddButton(description, kDescriptionResult,
                  shown.Width() - static_cast<int>(DisplayWidth(description)) - 4);
  screen.Redraw();
  newtComponentAddCallback(screen.tree, OptionsScreen::OnTreeEvent, &screen);
  shown.Focus(screen.tree);
  return shown.Run({}, [&](int nResult) {
    if (nResult != kDescriptionResult) return false;
    screen.ShowDescription(shown);
    return true;
  });
}

}  // namespace tarvium::ui
