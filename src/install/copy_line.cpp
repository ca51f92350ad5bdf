// A copy line is handled in the order the rules build on each other: the flags first (the engine's
// additions decide applicability), then the paths, then the lines that need no source, then the
// source itself. Lines that are not carried out (a section already processed in this pass) only
// let the copy procedure count shared files, so they need neither source nor medium.
#include "install/copy_line.h"

#include <algorithm>
#include <utility>

#include "engine/predefined_names.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "install/copy_file.h"
#include "install/copy_flags.h"
#include "install/copy_line_fields.h"
#include "install/copy_line_paths.h"
#include "install/copy_line_special.h"
#include "install/copy_source.h"
#include "install/flag_applicability.h"
#include "install/install_engine.h"
#include "install/installed_product.h"
#include "install/system_directory.h"
#include "platform/ansi_case.h"
#include "script/message_catalog.h"
#include "ui/user_interface.h"

namespace tarvium {
namespace {

constexpr int kWindows = PredefinedIndex("Windows");
constexpr int kSystem = PredefinedIndex("System");
constexpr int kCommonFilesDir = PredefinedIndex("CommonFilesDir");
constexpr int kApp = PredefinedIndex("App");
constexpr int kMachineKeyName = PredefinedIndex("MachineKeyName");

constexpr uint32_t kRegistrations = COPY_SERVICE | COPY_REGISTER | COPY_REGASM;

// Whether the source names the uninstaller's control panel applet: "_UNINST.CPL" anywhere, in
// any case. No other character has '_' as its upper case, so its places are found by the
// library's search, which most sources (without '_') pass at once.
bool NamesUninstallApplet(std::string_view source) {
  constexpr std::string_view kApplet = "_UNINST.CPL";
  for (size_t nAt = source.find('_'); nAt != std::string_view::npos;
       nAt = source.find('_', nAt + 1))
    if (platform::AnsiEqualNoCase(source.substr(nAt, kApplet.size()), kApplet)) return true;
  return false;
}

bool IsMachineWideDirectory(SetupRun& run, const std::string& destination) {
  const VariableStore& v = run.variables;
  const std::string& windows = v.ValueAt(kWindows);
  if (PathLiesIn(destination, windows)) {
    std::string profiles = windows;
    if (!profiles.empty() && profiles.back() == '\\') profiles.pop_back();
    return !PathLiesIn(destination, profiles + "\\Profiles");
  }
  return PathLiesIn(destination, v.ValueAt(kSystem)) ||
         PathLiesIn(destination, v.ValueAt(kCommonFilesDir));
}

bool IsExactly(const std::string& path, std::string_view dir) {
  while (!dir.empty() && dir.back() == '\\') dir.remove_suffix(1);
  std::string_view trimmed = path;
  while (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
  return !dir.empty() && trimmed.size() == dir.size() && platform::AnsiEqualNoCase(trimmed, dir);
}

// With /N a reinstallation into another directory than the registered one counts its shared
// files again.
bool KeepsSharedCountOfReinstall(SetupRun& run, const std::string& fullDestination) {
  if (!run.ctx.bNewInstance) return false;
  const bool bClientRun = run.ctx.bClientSetup || run.ctx.bFromCD;
  const std::string& app = run.variables.ValueAt(kApp);
  if (!PathLiesIn(fullDestination, app)) return false;
  const std::string registered =
      RecordText(run, platform::RegRoot::LocalMachine,
                 ProductRecordKey(run.variables.ValueAt(kMachineKeyName)),
                 bClientRun ? "ClientPath" : "AppPath");
  return registered.empty() || !PathLiesIn(app, registered);
}

CopyStatusTexts& StatusTexts(SetupRun& run) {
  CopyStatusTexts& texts = EngineOf(run).copyStatusTexts;
  const uint32_t lcidLanguage = run.messages.lcidLanguage;
  if (!texts.bRead || texts.lcidLanguage != lcidLanguage)
    texts = {true, lcidLanguage, GetText(run, 5007), GetText(run, 5008), {}, {}};
  return texts;
}

// Writes the lead, a blank and the path into `line`, one of the engine's buffers, which keep
// their room from file to file (one size change and two copies: every file shows its lines).
void SetStatusLine(std::string& line, const std::string& lead, const std::string& path) {
  line.resize(lead.size() + 1 + path.size());
  char* pOut = std::copy(lead.begin(), lead.end(), line.data());
  *pOut++ = ' ';
  std::copy(path.begin(), path.end(), pOut);
}

void ShowCopyingStatus(SetupRun& run, const std::string& source, const std::string& destination) {
  if (!run.ui) return;
  CopyStatusTexts& texts = StatusTexts(run);
  SetStatusLine(texts.firstLine, texts.copying, source);
  SetStatusLine(texts.secondLine, texts.to, destination);
  run.ui->ShowStatus(texts.firstLine, texts.secondLine);
}

void CollectRuntimeCheck(SetupRun& run, const std::string& destination, uint32_t dwCopyFlags,
                         bool bCarryOut) {
  const SetupContext& ctx = run.ctx;
  if (!(dwCopyFlags & COPY_CHECKRTVERSION) || !bCarryOut || ctx.bAdminSetup || ctx.bUserPartRun ||
      ctx.bUninstall)
    return;
  std::vector<std::string>& list = EngineOf(run).runtimeCheckList;
  if (list.size() < kMaxRuntimeChecks) list.push_back(destination);
}

struct ParsedLine {
  CopyLineFields& fields;
  uint32_t dwCopyFlags = 0;
  uint32_t dwAttributes = 0;
};

// Reads the fields, replaces the variables and reads the flag words; false after 5530.
bool ReadLine(SetupRun& run, const std::string& line, ParsedLine& parsed) {
  ParseCopyLine(line, parsed.fields);
  CopyLineFields& fields = parsed.fields;
  if (line.find('%') != std::string::npos) {  // no field of a line without '%' refers to one
    ReplaceVariables(run, fields.source);
    ReplaceVariables(run, fields.destination);
    ReplaceVariables(run, fields.flags);
  }
  if (!ParseCopyLineFlags(fields.flags, parsed.dwCopyFlags, parsed.dwAttributes)) {
    ShowMessage(run, 5530, fields.flags);
    return false;
  }
  parsed.dwCopyFlags = AddEngineFlags(run, parsed.dwCopyFlags, fields.destination, fields.source);
  return true;
}

// The administrator setup's second copy of a system file: the same request to the second place.
bool CopyToSecondPlace(SetupRun& run, CopyFileRequest& request, const std::string& second) {
  std::string first = std::exchange(request.destination, second);
  request.nSlot = kSecondCopySlot;
  const bool bOk = CopyTheFile(run, request);
  request.destination = std::move(first);
  return bOk;
}

// Finds the source and copies; the request holds the line's full source and destination.
bool CopyFromSource(SetupRun& run, const ParsedLine& parsed, const SectionCall& call,
                    CopyLinePaths& paths, CopySource& source, CopyFileRequest& request) {
  const CopyLineFields& fields = parsed.fields;
  if (call.bCarryOut && !run.ctx.bUninstall) {
    const SourceFound found = FindCopySource(run, fields.nMedium, request.dwCopyFlags, source);
    if (found != SourceFound::Found) return found == SourceFound::Skipped;
    request.source = std::move(source.fullSource);
    request.cabinet = std::move(source.cabinet);
    request.nMedium = source.nMedium;
    if (source.bHasInfo) request.pSourceInfo = &source.info;
    if (paths.bDestinationLookedUp) request.pDestinationInfo = &paths.destinationInfo;
    request.nExpectedSize = fields.nSize;
    ShowCopyingStatus(run, request.source, request.destination);
  } else {
    request.source = request.destination;
    if (call.bCarryOut) request.nExpectedSize = fields.nSize;
  }
  if (!CopyTheFile(run, request)) return false;
  if (!paths.secondDestination.empty() && call.bCarryOut &&
      !CopyToSecondPlace(run, request, paths.secondDestination))
    return false;
  if (run.ctx.bRepair && !run.ctx.bUninstall && call.bCarryOut &&
      (parsed.dwCopyFlags & COPY_REGISTER)) {
    const ConfigurationHooks& hooks = EngineOf(run).configuration;
    if (hooks.registerServer) hooks.registerServer(run, request.destination, true);
  }
  CollectRuntimeCheck(run, request.destination, parsed.dwCopyFlags, call.bCarryOut);
  return true;
}

// The request takes the full source and destination and the name out of the line without a
// copy; the paths take the strings back afterwards, so that the next line builds its paths in
// the same room.
bool CopyAfterSourceFound(SetupRun& run, ParsedLine& parsed, const SectionCall& call,
                          CopyLinePaths& paths) {
  CopyFileRequest request;
  request.dwCopyFlags = parsed.dwCopyFlags;
  request.dwAttributes = parsed.dwAttributes;
  request.bCarryOut = call.bCarryOut;
  // Only a shared file asks for the registered directory (a registry read per line otherwise).
  if (call.bInstalledBefore && (request.dwCopyFlags & COPY_SHAREDDLL) &&
      !KeepsSharedCountOfReinstall(run, paths.fullDestination))
    request.dwCopyFlags &= ~COPY_SHAREDDLL;
  request.destination = std::move(paths.fullDestination);
  request.name = std::move(parsed.fields.name);
  // The source lives as long as the request points into it.
  CopySource source{std::move(paths.fullSource), {}};
  const bool bOk = CopyFromSource(run, parsed, call, paths, source, request);
  paths.fullDestination = std::move(request.destination);
  paths.fullSource = std::move(source.fullSource.empty() ? request.source : source.fullSource);
  return bOk;
}

// A removal passes over the lines whose files stay; a plan still names each of them.
void NoteKeptAtRemoval(SetupRun& run, const ParsedLine& parsed, const SectionCall& call,
                       CopyLinePaths& paths) {
  const uint32_t dwFlags = parsed.dwCopyFlags;
  if (!run.plan || !call.bCarryOut || !run.ctx.bUninstall || !(dwFlags & COPY_DONTDELETE) ||
      (dwFlags & (COPY_CREATE | COPY_DELETE)) || parsed.fields.source.empty() ||
      !FlagsApplyToRun(run, dwFlags & ~COPY_DONTDELETE, FlagForm::CopyLine))
    return;
  ResolveCopyLinePaths(run, parsed.fields, dwFlags, parsed.dwAttributes, paths);
  if (paths.bSkip) return;
  NotePlan(
      run, "file", paths.fullDestination, "keep",
      dwFlags & COPY_SETUP ? "SETUP: the removal keeps the files Setup runs from" : "DONTDELETE");
}

bool ProcessCopyLineIn(SetupRun& run, const std::string& line, const SectionCall& call,
                       CopyLineRoom& room) {
  ParsedLine parsed{room.fields};
  if (!ReadLine(run, line, parsed)) return false;
  CopyLinePaths& paths = room.paths;
  if (!FlagsApplyToRun(run, parsed.dwCopyFlags, FlagForm::CopyLine)) {
    NoteKeptAtRemoval(run, parsed, call, paths);
    return true;
  }
  const CopyLineFields& fields = parsed.fields;
  ResolveCopyLinePaths(run, fields, parsed.dwCopyFlags, parsed.dwAttributes, paths);
  if (paths.bSkip) return true;
  if ((parsed.dwCopyFlags & COPY_CREATE) || fields.source.empty())
    return !call.bCarryOut || CreateOrRemoveDestination(run, paths.fullDestination,
                                                        parsed.dwCopyFlags, parsed.dwAttributes);
  if (parsed.dwCopyFlags & COPY_DELETE)
    return !call.bCarryOut || DeleteDestination(run, paths.fullDestination);
  if (!run.ctx.bAdminSetup && RunOsVersion(run).dwMajorVersion >= 4 &&
      NamesUninstallApplet(fields.source))
    return true;
  return CopyAfterSourceFound(run, parsed, call, paths);
}

}  // namespace

uint32_t AddEngineFlags(SetupRun& run, uint32_t dwCopyFlags, const std::string& destination,
                        const std::string& source) {
  const SetupContext& ctx = run.ctx;
  if (!ctx.bDateWarning) dwCopyFlags |= COPY_NODATEWARNING;
  if (!ctx.bSizeWarning) dwCopyFlags |= COPY_NOSIZEWARNING;
  if (dwCopyFlags & kRegistrations) dwCopyFlags |= COPY_SHAREDDLL;
  if (ctx.bUserPartRun) dwCopyFlags &= ~(kRegistrations | COPY_SHAREDDLL);
  if (!(dwCopyFlags & COPY_CLIENT) && IsMachineWideDirectory(run, destination))
    dwCopyFlags |= COPY_CLIENT | COPY_MACHINE;
  if (dwCopyFlags & COPY_SETUP) dwCopyFlags |= COPY_EXPAND | COPY_DONTDELETE;
  if (ctx.bClientSetup && platform::AnsiEndsWithNoCase(source, "Setup.inf"))
    dwCopyFlags |= COPY_NOSIZEWARNING;
  if (IsExactly(destination, run.variables.ValueAt(kCommonFilesDir))) dwCopyFlags |= COPY_DIRECTORY;
  return dwCopyFlags;
}

bool ProcessCopyLine(SetupRun& run, const std::string& line, const SectionCall& call) {
  // Only into a trace file: on the debugger output a line per file would cost more than the
  // copy of a small file that is already there.
  if (run.log.hTraceFile != platform::FileHandle::Invalid)
    SetupTrace(run, "Copy line: %s\n", line.c_str());
  CopyLineRoom& room = EngineOf(run).copyLineRoom;
  if (room.bInUse) {  // a line within a line (nothing does that today) gets room of its own
    CopyLineRoom own;
    return ProcessCopyLineIn(run, line, call, own);
  }
  room.bInUse = true;
  const bool bOk = ProcessCopyLineIn(run, line, call, room);
  room.bInUse = false;
  return bOk;
}

}  // namespace tarvium
