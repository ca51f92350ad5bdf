// A note is written before the value it describes changes, and holds the value from before the
// run, so putting it back is right whether or not the change followed, and may be done again:
// a recovery that is itself killed is simply repeated by the next run. The undo is one change of
// the registry where it can be; otherwise it goes step by step, the journal's key last but for
// the record it lies in.
#include "install/run_journal.h"

#include <cstdlib>

#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/install_engine.h"
#include "install/product_registration.h"
#include "install/registration_keys.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr char kJournalKey[] = "InProgress";
constexpr const char* kPartKeys[] = {"Sections", "SharedDLLs", "Options"};
constexpr JournalPart kParts[] = {JournalPart::Sections, JournalPart::SharedFiles,
                                  JournalPart::Options};

RegPlace JournalPlace(SetupRun& run) {
  return RecordPlace(run, kJournalKey);
}

RegPlace PartPlace(SetupRun& run, JournalPart part) {
  return RecordPlace(run, std::string(kJournalKey) + "\\" + kPartKeys[static_cast<int>(part)]);
}

std::string NotedKey(JournalPart part, const std::string& name) {
  return std::to_string(static_cast<int>(part)) + platform::AnsiUpper(name);
}

bool IsMissing(uint32_t err) {
  return err == platform::ERROR_FILE_NOT_FOUND || err == platform::ERROR_PATH_NOT_FOUND;
}

void KeepFirstError(uint32_t& first, uint32_t err) {
  if (!first && err && !IsMissing(err)) first = err;
}

// A count of the record's Sections key: 0 is no value.
uint32_t PutSectionCountBack(SetupRun& run, const std::string& section, const std::string& text) {
  const RegPlace counts = RecordPlace(run, "Sections");
  if (text == "0") return RegDeleteValueAt(run, counts.root, counts.key, section);
  return RegWriteText(run, counts.root, counts.key, section, text);
}

// Every option the killed run came to counts as installed for a removal, so that it takes away
// the files that run may have copied for it; any other run puts the option back as it was.
uint32_t PutOptionBack(SetupRun& run, const std::string& option, const std::string& text) {
  const RegPlace options = RecordPlace(run, "Options");
  if (text == "1" || run.ctx.bUninstall)
    return RegWriteText(run, options.root, options.key, option, "1");
  return RegDeleteValueAt(run, options.root, options.key, option);
}

uint32_t PutValueBack(SetupRun& run, JournalPart part, const std::string& name,
                      const std::string& text) {
  switch (part) {
    case JournalPart::Sections:
      return PutSectionCountBack(run, name, text);
    case JournalPart::SharedFiles:
      return RestoreSharedFileCount(run, name, text);
    case JournalPart::Options:
      return PutOptionBack(run, name, text);
  }
  return platform::ERROR_SUCCESS;
}

uint32_t PutNotedValuesBack(SetupRun& run) {
  platform::Registry& reg = run.machine.Reg();
  uint32_t err = platform::ERROR_SUCCESS;
  for (const JournalPart part : kParts) {
    const RegPlace notes = PartPlace(run, part);
    std::string name;
    platform::RegValue value;
    for (uint32_t i = 0; reg.EnumValue(notes.root, notes.key, i, name, value) == 0; ++i)
      KeepFirstError(err, PutValueBack(run, part, name, RegValueToText(run, value)));
  }
  return err;
}

uint32_t DeleteJournal(SetupRun& run) {
  const RegPlace journal = JournalPlace(run);
  return RegDeleteTree(run, journal.root, journal.key, true);
}

std::string ParentKeyOf(const std::string& key) {
  const size_t nSlash = key.rfind('\\');
  return nSlash == std::string::npos ? std::string() : key.substr(0, nSlash);
}

// The highest key of the journal's path that is not there yet: the journal makes it.
std::string FirstKeyToMake(SetupRun& run, const RegPlace& journal) {
  std::string made;
  for (std::string key = journal.key;
       !key.empty() && run.machine.Reg().OpenKey(journal.root, key) != platform::ERROR_SUCCESS;
       key = ParentKeyOf(key))
    made = key;
  return made;
}

// The keys above the product's version that the journal made go as well when they stayed
// empty, so that an install undone leaves no trace of itself there.
void DeleteKeysMadeForJournal(SetupRun& run, const std::string& made) {
  const RegPlace record = RecordPlace(run);
  for (std::string key = ParentKeyOf(ProductVersionKey(RunMachineKeyName(run)));
       !made.empty() && key.size() >= made.size() &&
       platform::AnsiEqualNoCase(std::string_view(key).substr(0, made.size()), made);
       key = ParentKeyOf(key)) {
    if (!RegIsKeyEmpty(run, record.root, key)) break;
    RegDeleteKeyAt(run, record.root, key);
  }
}

// The journal without notes: what a removal leaves for the next install, which then still knows
// that it follows a killed run whose attributes may be missing on the files it finds equal.
uint32_t WriteEmptyJournal(SetupRun& run, const std::string& made, const std::string& started) {
  const RegPlace journal = JournalPlace(run);
  uint32_t err = RegWriteText(run, journal.root, journal.key, "Registered", "0");
  if (!err && !made.empty()) err = RegWriteText(run, journal.root, journal.key, "MadeKey", made);
  if (!err) err = RegWriteText(run, journal.root, journal.key, "Started", started);
  return err;
}

// The noted values back, the journal gone, and for a product that was not registered before the
// record's keys and the registration as well; the first error that left something behind (a
// value that could not be put back keeps the whole journal). A
// removal stops at a product that is not registered, so it leaves the files of the killed first
// install in place; it keeps an empty journal for the install that follows.
uint32_t UndoSteps(SetupRun& run, bool bCleanUp) {
  uint32_t err = PutNotedValuesBack(run);
  if (err) return err;  // the journal stays for the next run to finish
  const RegPlace journal = JournalPlace(run);
  std::string made, started;
  RegReadText(run, journal.root, journal.key, "MadeKey", made);
  RegReadText(run, journal.root, journal.key, "Started", started);
  KeepFirstError(err, DeleteJournal(run));
  if (!bCleanUp) return err;
  RemoveRegistration(run);
  KeepFirstError(err, DeleteRecordKeys(run, RunMachineKeyName(run)));
  if (run.ctx.bUninstall)
    KeepFirstError(err, WriteEmptyJournal(run, made, started));
  else
    DeleteKeysMadeForJournal(run, made);
  return err;
}

// As one change when the registry can make it, else step by step; 5519 with the record when
// something stays (an Ignore answer goes on).
bool UndoJournal(SetupRun& run, bool bCleanUp) {
  uint32_t err = run.machine.Reg().WriteAsOne([&] { return UndoSteps(run, bCleanUp); });
  if (err) err = UndoSteps(run, bCleanUp);
  EngineOf(run).bJournalOpen = false;
  EngineOf(run).notedValues.clear();
  if (!err) return true;
  return ShowMessage(run, 5519, RecordPlace(run).key, static_cast<int64_t>(err)) == kResultIgnore;
}

}  // namespace

void OpenRunJournal(SetupRun& run, bool bRegisteredBefore) {
  InstallEngine& engine = EngineOf(run);
  engine.notedValues.clear();
  const RegPlace journal = JournalPlace(run);
  if (journal.key.empty()) return;
  DeleteJournal(run);  // one that a run left and this one did not undo (a test run, a refusal)
  const std::string made = FirstKeyToMake(run, journal);
  engine.bJournalOpen = RegWriteText(run, journal.root, journal.key, "Registered",
                                     bRegisteredBefore ? "1" : "0") == platform::ERROR_SUCCESS;
  if (!engine.bJournalOpen) return;
  if (made != journal.key) RegWriteText(run, journal.root, journal.key, "MadeKey", made);
  RegWriteText(run, journal.root, journal.key, "Started",
               std::to_string(run.machine.Time().GetSystemTimeAsFileTime()));
}

bool NeedsNote(SetupRun& run, JournalPart part, const std::string& name) {
  const InstallEngine& engine = EngineOf(run);
  return engine.bJournalOpen && !engine.notedValues.count(NotedKey(part, name));
}

void NoteValueBeforeRun(SetupRun& run, JournalPart part, const std::string& name,
                        const std::string& before) {
  const RegPlace notes = PartPlace(run, part);
  if (RegWriteText(run, notes.root, notes.key, name, before) == platform::ERROR_SUCCESS)
    EngineOf(run).notedValues.insert(NotedKey(part, name));
}

bool RewriteNote(SetupRun& run, JournalPart part, const std::string& name,
                 const std::string& text) {
  if (!EngineOf(run).bJournalOpen || NeedsNote(run, part, name)) return false;
  const RegPlace notes = PartPlace(run, part);
  return RegWriteText(run, notes.root, notes.key, name, text) == platform::ERROR_SUCCESS;
}

std::string NoteOf(SetupRun& run, JournalPart part, const std::string& name) {
  std::string text;
  if (EngineOf(run).bJournalOpen && !NeedsNote(run, part, name)) {
    const RegPlace notes = PartPlace(run, part);
    RegReadText(run, notes.root, notes.key, name, text);
  }
  return text;
}

void CloseRunJournal(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  if (!engine.bJournalOpen) return;
  DeleteJournal(run);
  engine.bJournalOpen = false;
  engine.notedValues.clear();
}

void EndAbortedInstall(SetupRun& run, bool bRegisteredBefore) {
  if (bRegisteredBefore)
    CloseRunJournal(run);
  else
    UndoJournal(run, true);
}

bool RecoverInterruptedRun(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  if (ctx.bTestRun || RunMachineKeyName(run).empty()) return true;
  const bool bUserPartRun = ctx.bUserPartRun;
  bool bOk = true;
  for (const bool bUserHive : {false, true}) {
    ctx.bUserPartRun = bUserHive;  // the record's hive, as the killed run had it
    const RegPlace journal = JournalPlace(run);
    std::string registered;
    if (RegReadText(run, journal.root, journal.key, "Registered", registered) != 0) continue;
    SetupTrace(run, "Undoing the interrupted run found in %s\n", journal.key.c_str());
    std::string started;
    RegReadText(run, journal.root, journal.key, "Started", started);
    EngineOf(run).ftInterruptedRunStart = std::strtoull(started.c_str(), nullptr, 10);
    bOk = UndoJournal(run, registered == "0");
    EngineOf(run).bFollowsInterruptedRun = true;
    break;
  }
  ctx.bUserPartRun = bUserPartRun;
  return bOk;
}

bool FollowsInterruptedRun(SetupRun& run) {
  return EngineOf(run).bFollowsInterruptedRun;
}

bool MayBeFromInterruptedRun(SetupRun& run, uint64_t ftLastWrite) {
  // File systems stamp with a coarser clock than the one read at the start: two seconds spare
  // files made right after it.
  constexpr uint64_t kClockSlack = 2 * 10'000'000ULL;
  const InstallEngine& engine = EngineOf(run);
  return engine.bFollowsInterruptedRun && ftLastWrite + kClockSlack >= engine.ftInterruptedRunStart;
}

}  // namespace tarvium
