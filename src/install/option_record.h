// OptionRecord and the option table: the options of a product as one array whose indexes are the
// tree links, the dependency lists, the option page's items and the install pass's visits. Index 0
// is the root. Besides the links the table keeps two indexes built with it, so that no operation
// scans the whole table: the records by upper-cased full name, and for every option the options
// whose dependency lists name it (what deselecting it must reach).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/inf_fields.h"

namespace tarvium {

// Option flags, the words of an option line's second field.
inline constexpr uint32_t OPTION_NORMAL = 0x0;
inline constexpr uint32_t OPTION_DEFAULT = 0x1;   // selected by default
inline constexpr uint32_t OPTION_WILDCARD = 0x2;  // a missing own section falls back to "%Option%"
inline constexpr uint32_t OPTION_COPYALWAYS = 0x4;  // always installed, not a visible option
inline constexpr uint32_t OPTION_HIDDEN = 0x8;      // not shown in the option list

inline constexpr std::array<FlagName, 5> kOptionFlagNames = {{
    {"NORMAL", OPTION_NORMAL},
    {"DEFAULT", OPTION_DEFAULT},
    {"WILDCARD", OPTION_WILDCARD},
    {"COPYALWAYS", OPTION_COPYALWAYS},
    {"HIDDEN", OPTION_HIDDEN},
}};

// The installation modes, as the mode page answers them.
inline constexpr int kModeComplete = 6102;
inline constexpr int kModeTypical = 6105;
inline constexpr int kModeCustom = 6108;

struct OptionRecord {
  std::string name;  // full path name ("Program\\Help"); empty for the root
  std::string description;
  std::string help;
  uint32_t flags = 0;
  int32_t iconIndex = -1;
  uint32_t size = 0;    // own sections and subtree, from the size computation
  int64_t ownSize = 0;  // the option's own sections alone
  int32_t parent = -1;
  int32_t firstChild = -1;
  int32_t lastChild = -1;
  int32_t nextSibling = -1;
  int32_t prevSibling = -1;
  int32_t depth = 0;
  int32_t groupIndex = -1;
  int32_t groupValue = -1;
  bool selected = false;
  bool installed = false;
  std::vector<int32_t> dependencies;  // options that selecting this one selects
};

struct IconEntry {
  std::string name;
  std::string picture;  // the line's text after the name; the user interface draws it
  uint32_t flags = 0;   // 1 icon, 2 bitmap
};

struct OptionTable {
  std::vector<OptionRecord> records;  // index 0 is the root
  std::vector<IconEntry> icons;
  std::unordered_map<std::string, int32_t> indexByName;  // upper-cased full name -> first index
  std::vector<std::vector<int32_t>> dependants;  // options whose dependency list holds the index
  // The selection operation that last decided each option, and the state it decided (see
  // SelectOption): the operation's number times two, plus one for selected.
  std::vector<uint32_t> selectionMarks;
  uint32_t nSelection = 0;
  size_t nRedecisionsLeft = 0;  // how often the current selection may still reverse a decision

  int32_t Count() const { return static_cast<int32_t>(records.size()); }
  OptionRecord& operator[](int32_t i) { return records[static_cast<size_t>(i)]; }
  const OptionRecord& operator[](int32_t i) const { return records[static_cast<size_t>(i)]; }
};

// The index of the option with that full name, compared without regard to case; -1 when none.
int32_t FindOption(const OptionTable& table, std::string_view name);

// The last path component of an option's name ("Help" of "Program\\Help").
std::string_view OptionShortName(std::string_view fullName);

}  // namespace tarvium
