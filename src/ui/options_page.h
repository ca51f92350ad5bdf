// The options page as a backend draws it: the option tree flattened into entries in tree order,
// each with its title, size text, depth, kind of mark and state, plus the count line and the
// space warning. The page holds no rules of its own: a toggle goes back to the installation
// engine through the page's callback, which applies the selection rules of the option tree and
// refreshes every entry, so a backend only draws what it is given and passes keys on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium::ui {

// The pictures of the marks, chosen by the product's "UseCheckmarks": 0 bulbs, 1 a plain check
// box, any other value three-state check marks. Members of an exclusive group are radio items in
// every set.
enum class CheckmarkSet { Bulbs, CheckBox, ThreeState };

CheckmarkSet CheckmarkSetOf(int nUseCheckmarks);

// Partial: the option or its subtree is selected only in part (some options below it differ).
enum class CheckState { Clear, Checked, Partial };

struct OptionEntry {
  int32_t nOption = -1;    // the engine's index of the option; a backend only passes it back
  std::string title;       // the option's text in the list
  std::string sizeText;    // the size of the option with its subtree, as OptionSizeText gives it
  int nDepth = 1;          // 1 for an option at the top of the list
  bool bRadio = false;     // a member of an exclusive group
  bool bSelected = false;  // the option itself is selected
  CheckState state = CheckState::Clear;
  bool bEnabled = true;     // false: always installed; shown, never toggled
  std::string description;  // the longer text the Description button shows; may hold '\n'
};

struct OptionsPage {
  std::vector<OptionEntry> entries;  // in tree order: every option followed by its subtree
  std::string countLine;             // "%d of %d components selected"
  std::string selectionSizeText;     // what the selection needs, as OptionSizeText gives it
  std::string spaceWarning;          // "Warning! Not enough disk space!", or empty
  CheckmarkSet checkmarks = CheckmarkSet::ThreeState;
  bool bBack = false;   // Back is offered: a page was shown before
  bool bCancel = true;  // Cancel is offered
  // Toggles the option of entries[nEntry] by the rules of the option tree and refreshes the
  // entries, the count line, the size and the warning. False when the toggle is refused (a
  // fixed option, or the selected member of a group that must keep one): the page beeps.
  std::function<bool(OptionsPage& page, size_t nEntry)> toggle;
};

// "%.0lf KB" below one mebibyte, "%.1lf MB" from there on, with the locale's decimal separator
// in place of the point.
std::string OptionSizeText(uint64_t nBytes, std::string_view decimalSeparator);

// The picture of an entry's mark in a set: "BulbN"/"BulbC", "CheckBox", "Check0" to "Check2",
// "Radio0" to "Radio2"; a backend with its own pictures may draw them under these names.
std::string_view CheckmarkPicture(CheckmarkSet set, const OptionEntry& entry);

}  // namespace tarvium::ui
