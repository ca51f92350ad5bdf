// The table is built in one pass over the "Copy" and "Options" lines: a record's parent is found
// through the name index of the records before it (a parent must be declared first), so linking
// is constant time per option and the whole build is linear in the lines of the sections.
#include "install/build_options.h"

#include "engine/inf_fields.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "install/option_relations.h"
#include "install/option_sizes.h"
#include "install/options_registry.h"
#include "install/section_text.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr uint32_t kIconFieldFormat = 0x510;  // option lines carry an icon field from 5.10 on

constexpr std::array<FlagName, 2> kIconFlagNames = {{{"ICON", 1}, {"BITMAP", 2}}};

std::string Cut(std::string text) {
  if (text.size() > kOptionTextMax) text.resize(kOptionTextMax);
  return text;
}

// "\n" becomes a line break and "\\" one backslash.
std::string UnescapeHelp(const std::string& text) {
  std::string help;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      help += text[++i] == 'n' ? '\n' : '\\';
      continue;
    }
    help += text[i];
  }
  return help;
}

void ReadIcons(SetupRun& run, OptionTable& table) {
  if (run.ctx.bUninstall) return;
  for (const std::string& line : NonEmptyLines(InstallFile(run), "Icons")) {
    IconEntry icon;
    std::string fields;
    if (!SplitAtEquals(line, icon.name, fields)) icon.name = TrimmedField(line), fields = line;
    std::string field;
    const char* rest = NextField(fields.c_str(), icon.picture);
    NextField(rest, field);
    const uint32_t flags = ParseFlags(TrimmedField(field), kIconFlagNames);
    icon.flags = flags == kUnknownFlags ? 0 : flags;
    table.icons.push_back(std::move(icon));
  }
}

int32_t FindIcon(const OptionTable& table, const std::string& name) {
  for (size_t i = 0; i < table.icons.size(); ++i)
    if (platform::AnsiEqualNoCase(table.icons[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

class TableBuilder {
 public:
  TableBuilder(SetupRun& run, OptionTable& table) : run_(run), table_(table) {
    const SetupContext& ctx = run.ctx;
    bReadInstalled_ =
        (ctx.bUninstall || ctx.bRepair || ctx.bModify) && !OptionsKeyPath(run).empty();
    const bool bSetsEverything = ctx.bAdminSetup || ctx.bWorkstationSetup || ctx.bClientSetup;
    bSelectAll_ =
        bSetsEverything && !ctx.bAskOptions && !ctx.bUninstall && !ctx.bRepair && !ctx.bModify;
  }

  // Adds the record of one line; false when the run was marked aborted by it.
  bool AddLine(const std::string& line, uint32_t dwPreset, bool bSelectable) {
    OptionRecord record;
    std::string fields;
    if (!SplitAtEquals(line, record.name, fields)) record.name = TrimmedField(line), fields = line;
    ReplaceVariables(run_, record.name);
    record.name = Cut(record.name);
    const bool bFlagsKnown = ReadFields(fields, record);
    record.flags |= dwPreset;
    ApplyInstalledState(record);
    record.selected = bSelectAll_ || (record.flags & (OPTION_DEFAULT | OPTION_COPYALWAYS)) != 0;
    if (bSelectable && run_.ctx.bUserPartRun && !run_.ctx.bUninstall &&
        !IsRecordedInstalled(run_, record.name, true)) {
      record.selected = false;
      record.flags |= OPTION_HIDDEN;
    }
    return Link(std::move(record)) && bFlagsKnown;
  }

 private:
  bool ReadFields(const std::string& fields, OptionRecord& record) {
    std::string field;
    const char* rest = NextField(fields.c_str(), field);
    record.description = Cut(field);
    rest = NextField(rest, field);
    const std::string flagText = TrimmedField(field);
    const uint32_t flags = flagText.empty() ? 0 : ParseFlags(flagText, kOptionFlagNames);
    if (flags == kUnknownFlags) {
      ShowMessage(run_, 5530, flagText);
      run_.ctx.bAborted = true;
      return false;
    }
    record.flags = flags;
    if (run_.ctx.nFormatVersion >= kIconFieldFormat) {
      rest = NextField(rest, field);
      std::string icon = TrimmedField(field);
      ReplaceVariables(run_, icon);
      if (!icon.empty()) record.iconIndex = FindIcon(table_, icon);
    }
    NextField(rest, field);
    record.help = Cut(UnescapeHelp(field));
    return true;
  }

  void ApplyInstalledState(OptionRecord& record) {
    if (!bReadInstalled_) return;
    if (IsRecordedInstalled(run_, record.name)) {
      record.flags |= OPTION_DEFAULT;
      record.installed = true;
    } else {
      record.flags &= ~(OPTION_DEFAULT | OPTION_COPYALWAYS);
    }
  }

  // The parent is the record whose full name is the name up to its last backslash.
  int32_t FindParent(const std::string& name) const {
    const size_t nSlash = name.rfind('\\');
    if (nSlash == std::string::npos || nSlash == 0) return 0;
    return FindOption(table_, std::string_view(name).substr(0, nSlash));
  }

  bool Link(OptionRecord record) {
    const int32_t i = table_.Count();
    record.depth = 1;
    for (size_t c = 1; c < record.name.size(); ++c) record.depth += record.name[c] == '\\';
    record.parent = FindParent(record.name);
    table_.records.push_back(std::move(record));
    OptionRecord& added = table_[i];
    if (added.parent < 0) {
      ShowMessage(run_, 5533, added.name);
      run_.ctx.bAborted = true;
      return false;
    }
    table_.indexByName.emplace(platform::AnsiUpper(added.name), i);
    OptionRecord& parent = table_[added.parent];
    added.prevSibling = parent.lastChild;
    if (parent.lastChild >= 0) table_[parent.lastChild].nextSibling = i;
    if (parent.firstChild < 0) parent.firstChild = i;
    parent.lastChild = i;
    return true;
  }

  SetupRun& run_;
  OptionTable& table_;
  bool bReadInstalled_ = false;
  bool bSelectAll_ = false;
};

}  // namespace

bool BuildOptions(SetupRun& run) {
  OptionTable& table = EngineOf(run).options;
  table = OptionTable{};
  ReadIcons(run, table);
  const std::vector<std::string> copyLines = NonEmptyLines(InstallFile(run), "Copy");
  const std::vector<std::string> optionLines = NonEmptyLines(InstallFile(run), "Options");
  table.records.reserve(1 + copyLines.size() + optionLines.size());
  OptionRecord root;
  root.installed = root.selected = true;
  table.records.push_back(std::move(root));
  TableBuilder builder(run, table);
  bool bOk = true;
  for (const std::string& line : copyLines)
    bOk = builder.AddLine(line, OPTION_COPYALWAYS, false) && bOk;
  for (const std::string& line : optionLines) bOk = builder.AddLine(line, 0, true) && bOk;
  if (!bOk) return false;
  ReadOptionDependencies(run, table);
  ReadOptionGroups(run, table);
  ComputeOptionSizes(run);
  return !run.ctx.bAborted;
}

}  // namespace tarvium
