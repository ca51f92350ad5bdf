// Dependencies are kept in both directions: the list of each option, and the dependants of each
// option built once after all lines were read (a later line for the same option replaces its
// list), so that deselecting an option reaches its dependants without scanning the table.
#include "install/option_relations.h"

#include <string>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/install_engine.h"
#include "install/option_record.h"
#include "install/section_text.h"

namespace tarvium {
namespace {

// The decimal value before '=' (its leading digits).
int32_t ReadGroupValue(const std::string& text) {
  int32_t value = 0;
  for (char c : TrimAnsi(text)) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return value;
}

void JoinGroup(OptionTable& table, int32_t i, int32_t nGroup, int32_t nValue) {
  OptionRecord& option = table[i];
  if (option.groupIndex >= 0) return;  // the first line that names an option wins
  option.groupIndex = nGroup;
  option.groupValue = nValue;
}

}  // namespace

void ReadOptionDependencies(SetupRun& run, OptionTable& table) {
  const bool bQuiet = run.ctx.bClientSetup || run.ctx.bAdminInstallation;
  auto report = [&](const std::string& name) {
    if (!bQuiet) ShowMessage(run, 5529, name);
  };
  for (const std::string& line : NonEmptyLines(InstallFile(run), "OptionDependencies")) {
    std::string name, list;
    if (!SplitAtEquals(line, name, list)) {
      report(line);
      continue;
    }
    const int32_t i = FindOption(table, name);
    if (i < 0) {
      report(name);
      continue;
    }
    std::vector<int32_t> dependencies;
    ForEachListedName(list, [&](const std::string& other) {
      const int32_t j = FindOption(table, other);
      if (j < 0) return report(other);
      dependencies.push_back(j);
    });
    table[i].dependencies = std::move(dependencies);
  }
  table.dependants.assign(table.records.size(), {});
  for (int32_t i = 0; i < table.Count(); ++i)
    for (int32_t j : table[i].dependencies) table.dependants[static_cast<size_t>(j)].push_back(i);
}

void ReadOptionGroups(SetupRun& run, OptionTable& table) {
  if (run.ctx.bAdminSetup || run.ctx.bWorkstationSetup) return;
  int32_t nGroup = 0;
  int32_t nValue = 0;
  for (const std::string& line : NonEmptyLines(InstallFile(run), "OptionGroups")) {
    std::string valueText, members = line;
    if (SplitAtEquals(line, valueText, members)) nValue = ReadGroupValue(valueText);
    ForEachListedName(members, [&](const std::string& member) {
      const bool bChildren = member.size() >= 2 && member.ends_with("\\*");
      const std::string name = bChildren ? member.substr(0, member.size() - 2) : member;
      const int32_t i = FindOption(table, name);
      if (i < 0) return static_cast<void>(ShowMessage(run, 5529, name));
      if (!bChildren) return JoinGroup(table, i, nGroup, nValue);
      for (int32_t c = table[i].firstChild; c >= 0; c = table[c].nextSibling)
        JoinGroup(table, c, nGroup, nValue);
    });
    ++nGroup;
  }
}

}  // namespace tarvium
