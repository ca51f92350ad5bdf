// A section entered through a reference without '!' is listed by its upper-cased name in a hash
// set for the pass (or the size computation), so the once-per-pass test does not depend on how
// many sections were entered before. In sizing mode nothing is carried out: copy lines add their
// size field when they apply, commands the bytes they declare, and a section already counted
// adds nothing.
#include "install/generic_section.h"

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/replace_variables.h"
#include "engine/section_position.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/copy_flags.h"
#include "install/copy_line.h"
#include "install/copy_line_fields.h"
#include "install/flag_applicability.h"
#include "install/install_engine.h"
#include "install/process_section.h"
#include "install/section_text.h"
#include "install/system_directory.h"
#include "platform/ansi_case.h"
#include "script/execute_cmd.h"

namespace tarvium {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether reading a line's fields could change something: a variable reference may fill a
// value on its first use, and the administrator's second copy probes the system directory.
bool ReadingHasEffects(SetupRun& run, const std::string& line) {
  return run.ctx.bAdminSetup || line.find('%') != std::string::npos;
}

// The size field of a copy line that applies to this run (twice for a file that an administrator
// setup copies twice); 0 for any other line. A line without a size adds nothing whatever its
// flags say: unless reading it has effects, its other fields are not read.
int64_t CopyLineSize(SetupRun& run, const std::string& line) {
  if (!ReadingHasEffects(run, line) && CopyLineSizeField(line) == 0) return 0;
  CopyLineFields fields = ParseCopyLine(line);
  ReplaceVariables(run, fields.flags);
  ReplaceVariables(run, fields.destination);
  uint32_t dwCopyFlags = 0, dwAttributes = 0;
  if (!ParseCopyLineFlags(fields.flags, dwCopyFlags, dwAttributes)) return 0;
  dwCopyFlags = AddEngineFlags(run, dwCopyFlags, fields.destination, fields.source);
  if (!FlagsApplyToRun(run, dwCopyFlags, FlagForm::CopyLine)) return 0;
  const bool bTwice = CopiesSystemFilesTwice(run) && LiesInSystemDirectory(run, fields.destination);
  return fields.nSize * (bTwice ? 2 : 1);
}

bool HandOnCopyLine(SetupRun& run, const SectionCall& call, const std::string& line) {
  InstallEngine& engine = EngineOf(run);
  if (engine.bSizing) {
    if (call.bCarryOut) engine.nSizedBytes += CopyLineSize(run, line);
    return true;
  }
  if (engine.copyLineProcessor) return engine.copyLineProcessor(run, line, call);
  SetupTrace(run, "Copy line not processed: %s\n", line.c_str());
  return true;
}

bool ProcessCommandLine(SetupRun& run, const SectionCall& call, const std::string& line) {
  if (!call.bCarryOut) return true;
  const SetupContext& ctx = run.ctx;
  const bool bNotCarriedOut = (ctx.bAdminSetup && !(call.dwSectionFlags & COPY_ADMIN)) ||
                              (ctx.bUserPartRun && !(call.dwSectionFlags & COPY_CLIENT));
  const CommandPass pass{call.dwOptionFlags, call.dwSectionFlags, bNotCarriedOut};
  InstallEngine& engine = EngineOf(run);
  int64_t nBytes = 0;
  const bool bSizing = engine.bSizing;
  const bool bOk = ExecuteCmd(run, line, pass, bSizing, !bSizing, &nBytes) != 0;
  if (bSizing) engine.nSizedBytes += nBytes;
  return bOk;
}

// A section that refers to itself, directly or through others, would never end: a reference to a
// section that is being processed is passed over, with a trace line that names it.
bool IsBeingProcessed(SetupRun& run, const std::string& section) {
  for (const SectionCall& open : EngineOf(run).sectionStack)
    if (platform::AnsiEqualNoCase(open.section, section)) return true;
  return false;
}

// Each section of a chain of references holds a level of the stack. A chain deeper than setup
// files nest (a few levels) fails the section with a message before the stack runs out.
bool IsTooDeep(SetupRun& run, const std::string& section) {
  InstallEngine& engine = EngineOf(run);
  if (engine.sectionStack.size() < kMaxSectionDepth) return false;
  if (!engine.bSizing)
    ShowMessage(run, 5565,
                "Section '" + section + "' is referenced more than " +
                    std::to_string(kMaxSectionDepth) +
                    " levels deep: the setup information file nests its sections too deeply.");
  return true;
}

// "#[!]Name[, Flags]", the text after '#'.
bool ProcessReference(SetupRun& run, const SectionCall& call, std::string_view text) {
  const bool bBang = !text.empty() && text[0] == '!';
  if (bBang) text.remove_prefix(1);
  const std::string body(text);
  std::string nameField, flagField;
  NextField(NextField(body.c_str(), nameField), flagField);
  const std::string flagText = TrimmedField(flagField);
  const uint32_t dwFlags = flagText.empty() ? 0 : ParseFlags(flagText, kCopyFlagNames);
  if (dwFlags == kUnknownFlags) {
    if (!EngineOf(run).bSizing) ShowMessage(run, 5530, flagText);
    return false;
  }
  if (!FlagsApplyToRun(run, dwFlags, FlagForm::Reference)) return true;
  SectionCall reference;
  reference.section = TrimmedField(nameField);
  if (IsBeingProcessed(run, reference.section)) {
    if (!EngineOf(run).bSizing)
      SetupTrace(run, "Reference to section [%s] passed over: it is being processed\n",
                 reference.section.c_str());
    return true;
  }
  if (IsTooDeep(run, reference.section)) return false;
  reference.pDescription = call.pDescription;
  reference.dwOptionFlags = call.dwOptionFlags;
  reference.dwSectionFlags = dwFlags;
  reference.bRequired = true;
  reference.bInstalledBefore = call.bInstalledBefore;
  reference.bRepeat = bBang || call.bRepeat;
  // Without '!' below no '!': the first reference in the pass carries the section out.
  reference.bCarryOut =
      reference.bRepeat ||
      EngineOf(run).processedSections.insert(platform::AnsiUpper(reference.section)).second;
  return ProcessSection(run, reference);
}

}  // namespace

bool ProcessGenericSection(SetupRun& run, const SectionCall& call) {
  InstallEngine& engine = EngineOf(run);
  if (engine.bSizing && !call.bCarryOut) return true;  // counted where it was first referenced
  const InfFile* pInf = InstallFile(run);
  std::string name = call.section;
  const char* start = pInf ? FindSection(*pInf, name) : nullptr;
  if (!start && (call.dwOptionFlags & OPTION_WILDCARD)) {
    name = "%Option%";
    start = pInf ? FindSection(*pInf, name) : nullptr;
  }
  if (!start) {
    if (call.bRequired) ShowMessage(run, 5529, call.section);
    return !call.bRequired;
  }
  InfSection cursor;
  OpenSection(cursor, *pInf, start, false, false, run.ctx.bUninstall);
  engine.sectionStack.push_back(call);
  const SectionPositionScope position(run);
  bool bOk = true;
  std::string line;
  while (bOk && !run.ctx.bAborted && NextLine(cursor, line, kVariableLineSize)) {
    SetPosition(run, name, cursor.CurrentLineNumber());
    bOk = ProcessSectionLine(run, call, line);  // which passes blank lines over
  }
  engine.sectionStack.pop_back();
  return bOk;
}

bool ProcessSectionLine(SetupRun& run, const SectionCall& call, const std::string& line) {
  // Most lines start with their text: then they are not trimmed.
  const std::string_view text =
      line.empty() || !IsAnsiSpace(line.front()) ? std::string_view(line) : TrimAnsiLeft(line);
  if (text.empty()) return true;
  if (text[0] == '#') return ProcessReference(run, call, text.substr(1));
  if (IsDigit(text[0])) return HandOnCopyLine(run, call, line);
  return ProcessCommandLine(run, call, line);
}

}  // namespace tarvium
