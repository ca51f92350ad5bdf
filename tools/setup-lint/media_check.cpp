// The run behind the lookup is set up as Setup.exe sets up its own (script engine, language,
// predefined variables, product identity: the cabinet name pattern comes from there), then its
// source directory is pointed at MEDIA_DIR, where [Application] SrcDir moves it as in a run. The
// engine's own path rules give each line's full source (an administrator installation's layout
// included). A source whose text holds a variable other than %Src% is known only at run time
// and is not looked for.
#include "media_check.h"

#include <string_view>
#include <unordered_map>

#include "engine/init_variables.h"
#include "engine/product_identity.h"
#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "install/cabinet_files.h"
#include "install/copy_flags.h"
#include "install/copy_line_fields.h"
#include "install/copy_line_paths.h"
#include "install/copy_source.h"
#include "install/install_engine.h"
#include "install/installation_media.h"
#include "platform/ansi_case.h"
#include "platform/ansi_no_case_hash.h"
#include "platform/emulated/machine/emulated_machine.h"
#include "platform/error_text.h"
#include "platform/host/host_file_system.h"
#include "platform/win_error.h"
#include "script/language_choice.h"
#include "script/script_engine.h"

namespace tarvium::lint {
namespace {

using platform::emulated::EmulatedMachine;

// The media folders, each listed once through the machine's file system when first asked about.
class ListedMedium final : public MediumFiles {
 public:
  explicit ListedMedium(SetupRun& run) : run_(run) {}

  bool FileInfoOf(const std::string& path, platform::FileInfo& info) override {
    const platform::FileInfo* found = Entry(path);
    if (!found || (found->dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY)) return false;
    info = *found;
    return true;
  }
  bool Exists(const std::string& path) override { return Entry(path) != nullptr; }
  std::string CabinetOf(uint32_t nMedium) override { return CabinetPath(run_, nMedium); }

 private:
  // Names in any case, as the file system finds them.
  template <class Value>
  using NoCaseMap =
      std::unordered_map<std::string, Value, platform::AnsiNoCaseHash, platform::AnsiNoCaseEqual>;
  using Listing = NoCaseMap<platform::FileInfo>;

  const platform::FileInfo* Entry(const std::string& path) {
    const size_t nSlash = path.find_last_of("\\/");
    if (path.empty() || nSlash == std::string::npos) return nullptr;
    const Listing& listing = ListingOf(std::string_view(path).substr(0, nSlash));
    const auto found = listing.find(std::string_view(path).substr(nSlash + 1));
    return found == listing.end() ? nullptr : &found->second;
  }

  const Listing& ListingOf(std::string_view dir) {
    if (const auto known = listings_.find(dir); known != listings_.end()) return known->second;
    Listing& listing = listings_[std::string(dir)];
    platform::FileSystem& files = run_.machine.Files();
    platform::FindHandle hFind = platform::FindHandle::Invalid;
    platform::FindData data;
    if (files.FindFirstFile(std::string(dir) + "\\*", hFind, data) != platform::ERROR_SUCCESS)
      return listing;
    do {
      listing.emplace(data.cFileName, data);
    } while (files.FindNextFile(hFind, data) == platform::ERROR_SUCCESS);
    files.FindClose(hFind);
    return listing;
  }

  SetupRun& run_;
  NoCaseMap<Listing> listings_;
};

// Whether the source holds a variable that only the run knows (%Src% and %SrcDir% are MEDIA_DIR).
bool HasRunTimeVariable(const std::string& source) {
  std::string rest = platform::AnsiUpper(source);
  for (const std::string_view known : {"%SRCDIR%", "%SRC%"})
    for (size_t nAt = rest.find(known); nAt != std::string::npos; nAt = rest.find(known))
      rest.erase(nAt, known.size());
  return rest.find('%') != std::string::npos;
}

uint64_t ExpandedSize(SetupRun& run, const std::string& path, uint64_t nStoredSize) {
  uint64_t nSize = 0;
  bool bCompressed = false;
  const uint32_t dwError = ExpandFile(
      run, path,
      [&](const uint8_t*, size_t nBytes) {
        nSize += nBytes;
        return true;
      },
      bCompressed);
  return dwError == platform::ERROR_SUCCESS ? nSize : nStoredSize;
}

std::string NameOf(const std::string& path) {
  return path.substr(path.find_last_of('\\') + 1);
}

// The engine checks a size other than 0 after the copy and, unless NOSIZEWARNING, asks 5517 in
// an interactive run, whose default answer, Cancel, stops the installation.
void ReportWrongSize(int nLine, const std::string& source, int64_t nGiven,
                     const SourceOnMedia& found, LintReport& report) {
  const bool bStops = nGiven != 0 && found.bSizeAsked;
  report.Add(nLine, bStops ? Severity::Error : Severity::Warning, "wrong-size",
             "copy line of " + source + " gives the size " + std::to_string(nGiven) +
                 ", the source has " + std::to_string(found.nSize) +
                 (bStops ? ": an interactive run asks message 5517 (Ignore/Cancel) and Cancel, "
                           "its default, stops the installation"
                         : "") +
                 " (setup-lint --fill-sizes corrects it)");
}

}  // namespace

struct Media::State {
  std::unique_ptr<platform::HostTempDirectory> temp;  // the fresh machine, when none was named
  std::unique_ptr<EmulatedMachine> machine;
  std::unique_ptr<SetupRun> run;
  std::unique_ptr<ListedMedium> listed;
};

Media::Media() : state_(std::make_unique<State>()) {}
Media::~Media() = default;

bool Media::Open(const std::string& machineDir, const std::string& mediaDir, const InfFile& inf,
                 std::string& error) {
  State& s = *state_;
  std::string dir = machineDir;
  if (dir.empty()) {
    s.temp = std::make_unique<platform::HostTempDirectory>("setup-lint-", /*bInMemory=*/true);
    if (s.temp->Path().empty()) return error = "cannot make a temporary machine", false;
    dir = s.temp->Path() + "/machine";
  }
  s.machine = EmulatedMachine::Open(dir, {}, error);
  if (!s.machine) return false;
  std::string srcDir;
  bool bDirectory = false;
  if (!s.machine->EmulatedFiles().GetWindowsPath(mediaDir, srcDir) ||
      s.machine->Files().GetEntryKind(srcDir, bDirectory) != platform::ERROR_SUCCESS || !bDirectory)
    return error = "'" + mediaDir + "' is no folder of the machine", false;
  if (srcDir.back() != '\\') srcDir += '\\';
  s.run = std::make_unique<SetupRun>(*s.machine);
  AttachScriptEngine(*s.run);
  AttachInstallEngine(*s.run);
  ChooseLanguage(*s.run);
  InitVariables(*s.run);
  ReadProductIdentity(*s.run, inf);
  s.run->ctx.szSrcDir = srcDir;
  s.run->variables.Set("Src", srcDir);
  ApplySourceDirectory(*s.run);  // [Application] SrcDir, relative to the media or instead of them
  s.listed = std::make_unique<ListedMedium>(*s.run);
  return true;
}

SourceOnMedia Media::Find(const std::string& copyLine, bool bNeedSize) {
  return Find(ParseCopyLine(copyLine), bNeedSize);
}

SourceOnMedia Media::Find(CopyLineFields fields, bool bNeedSize) {
  SetupRun& run = *state_->run;
  uint32_t dwCopyFlags = 0, dwAttributes = 0;
  SourceOnMedia found;
  if (fields.source.empty() || HasRunTimeVariable(fields.source)) return found;
  for (std::string* field : {&fields.source, &fields.destination, &fields.flags})
    ReplaceVariables(run, *field);
  if (!ParseCopyLineFlags(fields.flags, dwCopyFlags, dwAttributes) ||
      (dwCopyFlags & (COPY_CREATE | COPY_DIRECTORY | COPY_DELETE)))
    return found;
  const CopyLinePaths paths = ResolveCopyLinePaths(run, fields, dwCopyFlags, dwAttributes);
  if (paths.bSkip) return found;
  found.bOptional = (dwCopyFlags & COPY_OPTIONAL) != 0;
  found.bSizeAsked = !(dwCopyFlags & COPY_NOSIZEWARNING);
  CopySource source;
  source.fullSource = paths.fullSource;
  found.where = source.fullSource;
  if (!LocateSourceOn(*state_->listed, fields.nMedium, run.ctx.bAdminInstallation, source)) {
    found.state = SourceState::Missing;
    return found;
  }
  found.state = SourceState::Found;
  if (!source.cabinet.empty()) {
    CabinetFileInfo info;
    found.dwError = FindCabinetFile(run, source.cabinet, source.fullSource, info);
    found.where = source.cabinet;
    if (found.dwError != platform::ERROR_SUCCESS) found.state = SourceState::NotInCabinet;
    found.nSize = info.nSize;
  } else {
    const bool bCompressed = source.fullSource != found.where;
    found.nSize = bCompressed && bNeedSize
                      ? ExpandedSize(run, source.fullSource, source.info.nFileSize)
                      : source.info.nFileSize;
  }
  return found;
}

void Media::ForgetListings() {
  state_->listed = std::make_unique<ListedMedium>(*state_->run);
}

std::string Media::WindowsPathOf(const std::string& hostPath) const {
  std::string path;
  return state_->machine->EmulatedFiles().GetWindowsPath(hostPath, path) ? path : std::string();
}

bool IsMachineDirectory(const std::string& dir) {
  return EmulatedMachine::Exists(dir);
}

void CheckMissingSources(Media& media, const WalkResult& walk, LintReport& report) {
  for (const MetCopyLine& met : walk.copyLines) {
    const CopyLineFields fields = ParseCopyLine(met.line);
    const SourceOnMedia found = media.Find(fields, fields.bHasSize);
    const std::string source = "'" + fields.source + "'";
    if (found.state == SourceState::Found && fields.bHasSize &&
        static_cast<uint64_t>(fields.nSize) != found.nSize)
      ReportWrongSize(met.nLine, source, fields.nSize, found, report);
    if (found.bOptional) continue;  // skipped without a word when missing
    if (found.state == SourceState::Missing)
      report.Add(met.nLine, Severity::Error, "missing-source",
                 "source " + source +
                     " is not on the media, compressed or in the medium's cabinet (the engine "
                     "asks for the medium at run time)");
    else if (found.state == SourceState::NotInCabinet &&
             found.dwError == platform::ERROR_FILE_NOT_FOUND)
      report.Add(met.nLine, Severity::Error, "missing-source",
                 "source " + source + " is not in cabinet '" + NameOf(found.where) +
                     "' (message 5560 at run time)");
    else if (found.state == SourceState::NotInCabinet)
      report.Add(met.nLine, Severity::Error, "missing-source",
                 "cabinet '" + NameOf(found.where) + "' of source " + source +
                     " cannot be read: " + platform::SystemErrorText(found.dwError));
  }
}

}  // namespace tarvium::lint
