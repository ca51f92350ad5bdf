// Subtree sizes are summed from the last record to the first: a parent is declared before its
// children, so every child's subtree is complete when its parent is reached, and each option is
// visited once.
#include "install/option_sizes.h"

#include <algorithm>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/install_pass.h"
#include "install/option_record.h"
#include "install/process_section.h"

namespace tarvium {
namespace {

constexpr double kMaxFreeSpace = 2147483647.0;

int64_t MeasureOwnSections(SetupRun& run, int32_t i) {
  InstallEngine& engine = EngineOf(run);
  const OptionRecord& option = engine.options[i];
  SetOptionVariables(run, option);
  engine.bSizing = true;
  engine.nSizedBytes = 0;
  ProcessSection(run, OwnSectionCall(option));
  engine.bSizing = false;
  return engine.nSizedBytes;
}

// The children's subtree sizes: summed, or only the largest when they all form one group.
int64_t ChildrenSize(const OptionTable& table, int32_t i) {
  int64_t nSum = 0, nLargest = 0;
  const int32_t nGroup = table[i].firstChild >= 0 ? table[table[i].firstChild].groupIndex : -1;
  bool bOneGroup = nGroup >= 0;
  for (int32_t c = table[i].firstChild; c >= 0; c = table[c].nextSibling) {
    nSum += table[c].size;
    nLargest = std::max<int64_t>(nLargest, table[c].size);
    bOneGroup = bOneGroup && table[c].groupIndex == nGroup;
  }
  return bOneGroup ? nLargest : nSum;
}

bool TakesPart(const SetupRun& run, const OptionRecord& option, int nMode) {
  if (nMode == kModeComplete) return true;
  if (nMode == kModeTypical) return (option.flags & (OPTION_DEFAULT | OPTION_COPYALWAYS)) != 0;
  return option.selected || (run.ctx.bModify && option.selected != option.installed);
}

}  // namespace

void ComputeOptionSizes(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  OptionTable& table = engine.options;
  engine.processedSections.clear();
  for (int32_t i = 1; i < table.Count(); ++i) table[i].ownSize = MeasureOwnSections(run, i);
  engine.processedSections.clear();
  for (int32_t i = table.Count() - 1; i >= 0; --i)
    table[i].size = static_cast<uint32_t>(table[i].ownSize + ChildrenSize(table, i));
}

int64_t SizeOfSelection(SetupRun& run, int nMode, bool bRemovalsAsWork) {
  const OptionTable& table = EngineOf(run).options;
  int64_t nTotal = 0;
  for (const OptionRecord& option : table.records) {
    if (run.ctx.bModify && option.installed && !option.selected)
      nTotal += bRemovalsAsWork ? option.ownSize : -option.ownSize;
    else if (TakesPart(run, option, nMode))
      nTotal += option.ownSize;
  }
  return nTotal;
}

std::string FreeSpaceRoot(const std::string& path) {
  size_t nEnd = std::string::npos;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    const size_t nShare = path.find('\\', 2);
    if (nShare != std::string::npos) nEnd = path.find('\\', nShare + 1);
  } else {
    nEnd = path.find('\\');
  }
  std::string root = nEnd == std::string::npos ? path : path.substr(0, nEnd + 1);
  if (root.empty() || root.back() != '\\') root += '\\';
  return root;
}

FreeSpace FreeSpaceOf(SetupRun& run, const std::string& path) {
  platform::DiskSpace space;
  if (run.machine.Files().GetDiskFreeSpaceEx(FreeSpaceRoot(path), space) != 0) return {};
  const double bytes = static_cast<double>(space.nTotalFreeBytes);
  return {static_cast<uint32_t>(std::min(bytes, kMaxFreeSpace)),
          static_cast<uint32_t>(std::min(bytes / 1024.0, kMaxFreeSpace))};
}

SelectionSpace SpaceForSelection(SetupRun& run) {
  SelectionSpace space;
  space.target = run.variables.Get("ApplicationDir");
  ReplaceVariables(run, space.target);
  space.nNeeded = SizeOfSelection(run, run.ctx.iInstallMode, false);
  space.nFreeBytes = FreeSpaceOf(run, space.target).nBytes;
  return space;
}

}  // namespace tarvium
