// The count of a section lives under "Setup\Sections" of the product's record, in the hive of the
// run, as decimal text. A repair run and a new instance (/N) leave the count as it is: they
// process the sections again without adding a user of them.
#include "install/section_counts.h"

#include <algorithm>
#include <cstdlib>

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "install/registration_keys.h"
#include "install/run_journal.h"

namespace tarvium {

bool StepSectionCount(SetupRun& run, const std::string& section) {
  const SetupContext& ctx = run.ctx;
  const RegPlace counts = RecordPlace(run, "Sections");
  if (counts.key.empty()) return true;
  std::string text;
  RegReadText(run, counts.root, counts.key, section, text);
  const long nBefore = std::max(std::strtol(text.c_str(), nullptr, 10), 0L);
  long nCount = nBefore;
  if (ctx.bUninstall) {
    if (nCount > 0) --nCount;
  } else if (!ctx.bRepair && !ctx.bNewInstance) {
    ++nCount;
  } else {
    return true;
  }
  NoteBeforeChange(run, JournalPart::Sections, section, [&] { return std::to_string(nBefore); });
  if (nCount == 0)
    RegDeleteValueAt(run, counts.root, counts.key, section);
  else
    RegWriteText(run, counts.root, counts.key, section, std::to_string(nCount));
  return !ctx.bUninstall || nCount == 0;
}

}  // namespace tarvium
