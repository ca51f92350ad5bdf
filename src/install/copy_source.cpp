// A medium question that is answered with "try again" may come back with another source
// directory; the source path is then rebuilt on it, since everything below the old directory is
// the part of the path the line wrote.
#include "install/copy_source.h"

#include "engine/error_log_entries.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/copy_flags.h"
#include "install/install_engine.h"
#include "install/installation_media.h"
#include "platform/ansi_case.h"
#include "script/message_catalog.h"
#include "script/message_format.h"
#include "ui/user_interface.h"

namespace tarvium {
namespace {

// The medium as the run's machine shows it.
class RunMedium final : public MediumFiles {
 public:
  explicit RunMedium(SetupRun& run) : run_(run) {}
  bool FileInfoOf(const std::string& path, platform::FileInfo& info) override {
    return !path.empty() && run_.machine.Files().GetFileSizeAndTimes(path, info) == 0 &&
           !(info.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY);
  }
  bool Exists(const std::string& path) override {
    return !path.empty() && run_.machine.Files().FileExists(path);
  }
  std::string CabinetOf(uint32_t nMedium) override { return CabinetPath(run_, nMedium); }

 private:
  SetupRun& run_;
};

// Whether the file to read is there, keeping its size and times (its attributes are asked for
// only when it is copied).
bool ReadSourceInfo(MediumFiles& medium, const std::string& path, CopySource& source) {
  source.bHasInfo = medium.FileInfoOf(path, source.info);
  return source.bHasInfo;
}

// The plain file, then the compressed name; true when one of them exists.
bool FindPlainOrCompressed(MediumFiles& medium, CopySource& source) {
  if (ReadSourceInfo(medium, source.fullSource, source)) return true;
  const std::string compressed = CompressedName(source.fullSource);
  if (compressed.empty() || !ReadSourceInfo(medium, compressed, source)) return false;
  source.fullSource = compressed;
  return true;
}

// Asks for the medium; a changed source directory moves the source with it.
int AskForMedium(SetupRun& run, uint32_t nMedium, CopySource& source) {
  ui::PageRequest page;
  page.kind = ui::PageKind::Disk;
  page.text = FormatMessageText("%s: %s", {MediumLabel(run, nMedium), source.fullSource});
  const std::string oldDir = run.variables.Get("Src");
  page.value = oldDir;
  page.nDefaultChoice = ui::kPageCancel;
  const int nResult = run.ui ? run.ui->ShowPage(page) : ui::kPageCancel;
  NotePlanPage(run, page, nResult);
  if (nResult == ui::kPageNext && !page.value.empty() &&
      !platform::AnsiEqualNoCase(page.value, oldDir) &&
      platform::AnsiStartsWithNoCase(source.fullSource, oldDir)) {
    std::string newDir = page.value;
    if (newDir.back() != '\\') newDir += '\\';
    source.fullSource = newDir + source.fullSource.substr(oldDir.size());
    run.variables.Set("Src", newDir);
    run.ctx.szSrcDir = newDir;
  }
  return nResult;
}

}  // namespace

bool LocateSourceOn(MediumFiles& medium, uint32_t nMedium, bool bAdminInstallation,
                    CopySource& source) {
  source.cabinet.clear();
  if (ReadSourceInfo(medium, source.fullSource, source)) return true;
  if (!bAdminInstallation) {
    const std::string cabinet = medium.CabinetOf(nMedium);
    if (medium.Exists(cabinet)) {
      source.cabinet = cabinet;
      return true;
    }
  }
  return FindPlainOrCompressed(medium, source);
}

std::string CompressedName(const std::string& path) {
  const size_t nDot = path.find_last_of('.');
  const size_t nSlash = path.find_last_of("\\/");
  if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash)) return {};
  const size_t nExtension = path.size() - nDot - 1;
  if (nExtension == 0) return {};
  if (nExtension >= 3) return path.substr(0, path.size() - 1) + '_';
  return path + '_';
}

SourceFound FindCopySource(SetupRun& run, uint32_t nMedium, uint32_t dwCopyFlags,
                           CopySource& source) {
  InstallEngine& engine = EngineOf(run);
  if (engine.nCurrentMedium > nMedium) nMedium = engine.nCurrentMedium;
  source.nMedium = nMedium;
  RunMedium medium(run);
  while (!LocateSourceOn(medium, nMedium, run.ctx.bAdminInstallation, source)) {
    if (dwCopyFlags & COPY_OPTIONAL) return SourceFound::Skipped;
    if (run.ctx.bMissingFilesToErrorFile) {
      WriteMissingFileEntry(run, source.fullSource);
      SetupTrace(run, "File not found: %s\n", source.fullSource.c_str());
      return SourceFound::Failed;
    }
    const int nAnswer = AskForMedium(run, nMedium, source);
    if (nAnswer == ui::kPageSkip) return SourceFound::Skipped;
    if (nAnswer != ui::kPageNext) return SourceFound::Failed;
  }
  return SourceFound::Found;
}

}  // namespace tarvium
