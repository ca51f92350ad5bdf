// The installation engine's state on a run and its attachment: the option table, the pass state
// (processed sections, the section being processed, sizing), the section handlers and the
// copy-line processor that later parts register, and the progress meter. AttachInstallEngine
// creates the state and fills the run's InstallHooks, so the main sequence reaches options,
// requirements and the installation run without depending on this library.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "install/configuration_hooks.h"
#include "install/copy_line.h"
#include "install/option_record.h"

namespace tarvium {

struct SetupRun;
class InfFile;
struct CabinetSets;

// One call of the section processing: the arguments the pass passes down to references.
struct SectionCall {
  std::string section;
  const std::string* pDescription = nullptr;  // the option's description, when given
  uint32_t dwOptionFlags = 0;
  uint32_t dwSectionFlags = 0;  // copy flags of the reference that led here
  bool bRequired = false;       // a missing section is an error
  bool bCarryOut = true;        // false: the section was already processed in this pass
  bool bInstalledBefore = false;
  bool bRepeat = false;  // below a "#!" reference: references run again
};

// The section kinds whose names select a handler of their own.
enum class SectionKind : int {
  Odbc,
  IpFiles,
  Security,
  ConfigSys,
  AutoexecBat,
  BatchFile,
  IniFile,
  Registry,
  Progman,
  Shell,
  Count
};

// What a handler is given: the section, the file it edits (batch and INI forms, config.sys and
// autoexec.bat), the reference's flags and the pass's two switches.
struct HandlerCall {
  const std::string& section;
  std::string file;
  uint32_t dwSectionFlags = 0;
  bool bInstalledBefore = false;
  bool bCarryOut = true;
};
using SectionHandler = std::function<bool(SetupRun&, const HandlerCall&)>;

// A copy line with the flags and switches of its section.
using CopyLineProcessor =
    std::function<bool(SetupRun&, const std::string& line, const SectionCall&)>;

// The two texts shown for every copied file (5007 and 5008), read from the catalog once for the
// language they are in.
struct CopyStatusTexts {
  bool bRead = false;
  uint32_t lcidLanguage = 0;
  std::string copying;
  std::string to;
  // The two status lines of the latest file, rebuilt in place for each file.
  std::string firstLine;
  std::string secondLine;
};

struct InstallEngine {
  OptionTable options;
  std::array<SectionHandler, static_cast<size_t>(SectionKind::Count)> handlers;
  CopyLineProcessor copyLineProcessor;

  // Pass state.
  std::unordered_set<std::string> processedSections;  // upper-cased names entered by '#'
  std::vector<SectionCall> sectionStack;              // the sections being processed
  bool bSizing = false;  // walking sections to measure them, doing nothing
  int64_t nSizedBytes = 0;

  // Progress meter.
  int64_t nProgressRange = 100;
  int64_t nProgressPosition = 0;

  uint32_t nCurrentMedium = 1;  // grows while cabinets are read
  int nSystemWritable = -1;     // -1 until the system directory was probed

  // File copy state of the run.
  std::array<std::string, 2> lastWrittenFiles;  // the two last-written slots of APPEND
  bool bAnswerNone = false;                     // "None" was answered to a version or date question
  bool bAnswerAllShared = false;                // "All" was answered to 5535
  bool bAnswerAllUnused = false;  // "All" was answered to a security object's 5556, 5557 or 5558
  // The COM library's version, tested before the first in-process server's entry is called.
  enum class ComVersion { Untested, TooOld, Sufficient } comVersion = ComVersion::Untested;
  std::vector<std::string> runtimeCheckList;  // destinations of CHECKRTVERSION lines
  std::shared_ptr<CabinetSets> cabinets;      // the cabinet sets open for the run
  CopyStatusTexts copyStatusTexts;            // "Copying:" and "to:" in the run's language
  CopyLineRoom copyLineRoom;                  // the strings of the copy line being processed

  // The run's journal in the product's record (run_journal.h).
  bool bJournalOpen = false;
  std::unordered_set<std::string> notedValues;  // part and upper-cased name of each note
  bool bFollowsInterruptedRun = false;          // this run undid a killed run's journal
  uint64_t ftInterruptedRunStart = 0;           // when that run began (0: not known)

  // The system-configuration handlers' entries for the copy and the uninstall data.
  ConfigurationHooks configuration;

  // The ODBC installer library of the run: loaded by the first ODBC section, its version tested
  // by the first one that installs.
  bool bOdbcLoadTried = false;
  bool bOdbcLoaded = false;
  bool bOdbcVersionTested = false;
  bool bOdbcVersionOk = false;
};

// Creates the engine's state on the run and fills run.install and run.sectionLines.
void AttachInstallEngine(SetupRun& run);

// The run's engine state, created on first use.
InstallEngine& EngineOf(SetupRun& run);

// The run's setup information file, or null before the main sequence loaded it.
const InfFile* InstallFile(SetupRun& run);

// Registers the handler of a section kind; until one is registered its sections count as done.
void RegisterSectionHandler(SetupRun& run, SectionKind kind, SectionHandler handler);

// Sets the processor of copy lines; until one is set copy lines are traced and not processed.
void SetCopyLineProcessor(SetupRun& run, CopyLineProcessor processor);

}  // namespace tarvium
