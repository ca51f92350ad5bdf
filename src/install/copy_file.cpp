// The copy procedure, step by step: what makes a copy unnecessary (DONTREPLACE, a cabinet member
// that is OPTIONAL and missing, the extension hook, a test run, equal files), where the new file
// is written (the destination, a temporary name beside an existing one, the file an APPEND line
// extends, or the remainder of an interrupted copy), and what becomes of an existing destination
// afterwards (conflict rules, backup, replacement, deferral when in use). In an uninstall pass
// the same request removes what the line installed. The steps themselves live in copy_blocks,
// copy_conflicts, copy_names, copy_times and copy_test_list.
#include "install/copy_file.h"

#include "engine/extension_library.h"
#include "engine/replace_variables.h"
#include "engine/run_plan.h"
#include "engine/setup_run.h"
#include "install/copy_blocks.h"
#include "install/copy_conflicts.h"
#include "install/copy_job.h"
#include "install/copy_names.h"
#include "install/copy_test_list.h"
#include "install/copy_times.h"
#include "install/install_engine.h"
#include "install/progress.h"
#include "install/run_journal.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr uint32_t kRunFlagHourTolerance = 0x20;  // /X 32: one hour apart counts as equal
constexpr uint64_t kOneHour = 36000000000ULL;     // in FILETIME ticks

bool Skipped(SetupRun& run, const CopyJob& job) {
  MoveProgress(run, job.request.nExpectedSize);
  return true;
}

// The copy's decision on the plan of a plan run.
void NoteDecision(SetupRun& run, const CopyJob& job, const char* pszDecision) {
  NotePlan(run, "file", job.request.destination, pszDecision, job.reason);
}

bool SkippedFor(SetupRun& run, CopyJob& job, const char* pszDecision, const char* pszReason) {
  job.reason = pszReason;
  NoteDecision(run, job, pszDecision);
  return Skipped(run, job);
}

// Whether the line counts the file in the shared-file table when it is installed.
bool CountsSharedFile(SetupRun& run, const CopyJob& job) {
  return job.Has(COPY_SHAREDDLL) && !job.Has(COPY_DONTDELETE) && !run.ctx.bTestRun &&
         !run.ctx.bAdminSetup;
}

void LookUpCabinetMember(SetupRun& run, CopyJob& job) {
  if (job.bCabinetLookedUp) return;
  job.dwCabinetError =
      FindCabinetFile(run, job.request.cabinet, job.request.source, job.cabinetFile);
  job.bCabinetLookedUp = true;
}

// What the source and the destination are, and how the source is read.
void ExamineFiles(SetupRun& run, CopyJob& job) {
  platform::FileSystem& files = run.machine.Files();
  const CopyFileRequest& request = job.request;
  if (job.Has(COPY_APPEND)) {
    const std::string& lastWritten = EngineOf(run).lastWrittenFiles[request.nSlot & 1];
    job.target = lastWritten.empty() ? request.destination : lastWritten;
    job.bOpenExisting = true;
  } else {
    // An extension's hook may have changed the destination since the caller looked at it.
    const bool bKnown = request.pDestinationInfo && !run.extension;
    if (bKnown) job.destination = *request.pDestinationInfo;
    const bool bFound = bKnown
                            ? job.destination.dwFileAttributes != platform::INVALID_FILE_ATTRIBUTES
                            : files.GetFileAttributesEx(request.destination, job.destination) == 0;
    job.bDestinationExisted =
        bFound && !(job.destination.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY);
  }
  if (!job.FromCabinet()) {
    if (request.pSourceInfo) job.source = *request.pSourceInfo;
    job.bSourceAttributesKnown = !request.pSourceInfo;
    job.bSourceFound = request.pSourceInfo != nullptr ||
                       files.GetFileAttributesEx(request.source, job.source) == 0;
  }
  job.bExpandMode = run.ctx.bExpand || job.Has(COPY_EXPAND);
  const bool bLongPathNotSmaller = request.source.size() >= 124 && job.bSourceFound &&
                                   job.source.nFileSize >= uint64_t(request.nExpectedSize);
  job.bPlainRead = !job.FromCabinet() && (!job.bExpandMode || bLongPathNotSmaller);
}

bool IsCompressedSource(SetupRun& run, const CopyJob& job) {
  if (job.FromCabinet() || job.bPlainRead) return false;
  platform::FileSystem& files = run.machine.Files();
  platform::FileHandle hFile = platform::FileHandle::Invalid;
  if (files.CreateFile(job.request.source, platform::GENERIC_READ, platform::OPEN_EXISTING, 0,
                       hFile) != 0)
    return false;
  char header[4] = {};
  uint32_t nRead = 0;
  files.ReadFile(hFile, header, sizeof header, nRead);
  files.CloseHandle(hFile);
  return nRead == sizeof header && std::string_view(header, 4) == "SZDD";
}

// The equal-files rule: the same last-write time (or exactly one hour apart under /X 32) and the
// expected size make the copy unnecessary.
bool IsEqualToDestination(SetupRun& run, CopyJob& job) {
  if (run.ctx.bCopyExistingFiles || job.Has(COPY_ALWAYS | COPY_SETUSERINFO | COPY_REPLACEVARS))
    return false;
  if (job.FromCabinet()) LookUpCabinetMember(run, job);
  const uint64_t ftSource = SourceLastWriteTime(run, job);
  const uint64_t ftDestination = job.destination.times.ftLastWriteTime;
  if (ftSource == 0) return false;
  const uint64_t nDifference =
      ftSource > ftDestination ? ftSource - ftDestination : ftDestination - ftSource;
  const bool bSameTime =
      nDifference == 0 || ((run.ctx.dwRunFlags & kRunFlagHourTolerance) && nDifference == kOneHour);
  const int64_t nExpected = job.request.nExpectedSize;
  return bSameTime && (nExpected == 0 || uint64_t(nExpected) == job.destination.nFileSize ||
                       job.Has(COPY_NOSIZEWARNING));
}

// What an interrupted copy left: a file stamped as unfinished, or, after a killed run, an empty
// file (the run died while it made the file, before the stamp went on).
bool IsUnfinishedCopy(SetupRun& run, const platform::FileInfo& destination) {
  return IsInterruptedCopyStamp(run, destination.times.ftLastWriteTime) ||
         (destination.nFileSize == 0 &&
          MayBeFromInterruptedRun(run, destination.times.ftLastWriteTime));
}

// Where the new file goes when the destination exists; false when the copy is unnecessary.
// An unfinished copy counts as not there: it is completed from its current size on when the
// source is read as it is (plain, without personalisation), else written again from its start.
bool ChooseTarget(SetupRun& run, CopyJob& job) {
  if (IsUnfinishedCopy(run, job.destination)) {
    job.bDestinationExisted = false;
    job.bOpenExisting = job.bPlainRead && !job.Has(COPY_SETUSERINFO);
    if (!job.bOpenExisting)  // rewritten: attributes it may have kept must not refuse that
      run.machine.Files().SetFileAttributes(job.request.destination,
                                            platform::FILE_ATTRIBUTE_NORMAL);
    return true;
  }
  if (IsEqualToDestination(run, job)) return false;
  job.target = TemporaryCopyName(run, job.request.destination, job.Has(COPY_KEEPEXISTING));
  job.bReplacing = true;
  return true;
}

// The size check: a size other than the expected one asks 5517 (Ignore goes on).
bool SizeAsExpected(SetupRun& run, const CopyJob& job) {
  const int64_t nExpected = job.request.nExpectedSize;
  const uint64_t nResumed = job.Has(COPY_APPEND) ? 0 : job.nStartOffset;
  const auto nReal = static_cast<int64_t>(nResumed + job.nWritten);
  if (nExpected == 0 || nReal == nExpected || run.ctx.bAdminInstallation) return true;
  if (!job.Has(COPY_NOSIZEWARNING) && !run.ctx.bSilent) {
    run.machine.Clip().SetClipboardText(std::to_string(nReal));
    if (ShowMessage(run, 5517, job.request.destination, nExpected, nReal) != kResultIgnore)
      return false;
  }
  if (nExpected - nReal != kProgressReset) MoveProgress(run, nExpected - nReal);
  return true;
}

// Drops a file this copy wrote, which may have taken the read-only attribute of its line.
void DeleteWrittenFile(SetupRun& run, const std::string& path) {
  platform::FileSystem& files = run.machine.Files();
  if (files.DeleteFile(path) != platform::ERROR_ACCESS_DENIED) return;
  files.SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
  files.DeleteFile(path);
}

// Puts the new file in the destination's place: the old one is backed up or removed (or its
// removal deferred), then the temporary file renamed (or the rename deferred).
bool ReplaceDestination(SetupRun& run, const CopyJob& job) {
  const std::string& destination = job.request.destination;
  if (job.request.dwAttributes & kAttributeBackup) {
    const std::string backup = BackupName(run, destination);
    if (!RenameInstalledFile(run, destination, backup)) {
      DeleteWrittenFile(run, job.target);
      ShowMessage(run, 5523, destination, backup);
      return false;
    }
  } else if (!RemoveFile(run, destination)) {
    DeleteWrittenFile(run, job.target);
    return false;
  }
  if (RenameInstalledFile(run, job.target, destination)) return true;
  ShowMessage(run, 5523, job.target, destination);
  DeleteWrittenFile(run, job.target);
  return false;
}

// After the copy: the new file replaces the destination, or is dropped, or stays under its .new
// name (KEEPEXISTING). False when the replacement failed.
bool SettleExistingDestination(SetupRun& run, CopyJob& job) {
  if (!job.bReplacing || job.Has(COPY_KEEPEXISTING)) return true;
  job.reason = "ALWAYS: the file there is replaced";
  if (!job.Has(COPY_ALWAYS) && !ReplacesExistingFile(run, job, job.reason)) {
    job.bKeptExisting = true;
    NoteDecision(run, job, "keep");
    DeleteWrittenFile(run, job.target);
  } else if (!ReplaceDestination(run, job)) {
    return false;
  }
  job.target = job.request.destination;
  return true;
}

// The Application key Readme names this file (as a whole, or after the program that shows it).
void NoteReadme(SetupRun& run, const std::string& destination) {
  if (run.ctx.szReadme.empty() || run.ctx.bReadmeExists) return;
  std::string readme = run.ctx.szReadme;
  ReplaceVariables(run, readme);
  const size_t nBlank = readme.find(' ');
  const bool bNamed = platform::AnsiEqualNoCase(readme, destination) ||
                      (nBlank != std::string::npos &&
                       platform::AnsiEqualNoCase(readme.substr(nBlank + 1), destination));
  if (bNamed && run.machine.Files().FileExists(destination)) run.ctx.bReadmeExists = true;
}

// Fonts and shared files once the file is in place; false when the shared count failed.
bool RegisterInstalledFile(SetupRun& run, const CopyJob& job) {
  const CopyFileRequest& request = job.request;
  if (run.ctx.bTestRun || run.ctx.bAdminSetup) return true;
  if (IsFontFile(request.destination) && !job.Has(COPY_SHAREDDLL))
    UpdateFontRegistration(run, request.destination, request.name, true);
  return !CountsSharedFile(run, job) ||
         CountSharedFileUp(run, request.destination, job.bDestinationExisted, job.dwFlags,
                           request.name);
}

// After a killed run the attributes of the files it copied may not have been kept (the file
// system may write them later than the data): an equal file gets those the copy gives.
void PutCopiedAttributesRight(SetupRun& run, CopyJob& job) {
  constexpr uint32_t kCopiedAttributes =
      platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
      platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_ARCHIVE;
  platform::FileSystem& files = run.machine.Files();
  if (!job.FromCabinet() && !job.bSourceAttributesKnown &&
      files.GetFileAttributes(job.request.source, job.source.dwFileAttributes) != 0)
    return;
  uint32_t dwFound = 0;
  if (files.GetFileAttributes(job.request.destination, dwFound) != 0) return;
  const uint32_t dwCopied = CopiedAttributes(job);
  if ((dwFound & kCopiedAttributes) != (dwCopied & kCopiedAttributes))
    files.SetFileAttributes(job.request.destination, dwCopied);
}

// An equal file already in place is this product's copy as much as a new one would be: it is
// counted as a shared file use (the earlier installation counting as one) and may be the readme.
bool KeptAsEqual(SetupRun& run, CopyJob& job) {
  job.reason = "the file there is equal: the same time and size";
  NoteDecision(run, job, "keep");
  if (FollowsInterruptedRun(run)) PutCopiedAttributesRight(run, job);
  Skipped(run, job);
  if (!RegisterInstalledFile(run, job)) return false;
  NoteReadme(run, job.request.destination);
  return true;
}

// DONTREPLACE keeps a destination that is there, but not the remainder of an interrupted copy.
bool KeptByDontReplace(SetupRun& run, const CopyFileRequest& request) {
  platform::FileInfo info;
  if (request.pDestinationInfo)
    info = *request.pDestinationInfo;
  else if (run.machine.Files().GetFileSizeAndTimes(request.destination, info) != 0)
    return false;
  return info.dwFileAttributes != platform::INVALID_FILE_ATTRIBUTES &&
         !(info.dwFileAttributes & platform::FILE_ATTRIBUTE_DIRECTORY) &&
         !IsUnfinishedCopy(run, info);
}

bool InstallTheFile(SetupRun& run, const CopyFileRequest& request) {
  CopyJob job(request);
  if (job.Has(COPY_DONTREPLACE) && KeptByDontReplace(run, request))
    return SkippedFor(run, job, "keep", "DONTREPLACE: the file is there");
  if (job.FromCabinet() && job.Has(COPY_OPTIONAL)) {
    LookUpCabinetMember(run, job);
    if (job.dwCabinetError == platform::ERROR_FILE_NOT_FOUND)
      return SkippedFor(run, job, "skip", "OPTIONAL: the cabinet does not hold it");
  }
  if (CallSetupHook(run, kHookBeforeCopy, request.source, request.destination) == 0)
    return SkippedFor(run, job, "skip", "the setup extension declined the copy") &&
           !run.ctx.bAborted;
  ExamineFiles(run, job);
  if (run.ctx.bTestRun) {
    WriteTestListEntry(run, job, IsCompressedSource(run, job));
    return Skipped(run, job);
  }
  const bool bCopies = !job.bDestinationExisted || ChooseTarget(run, job);
  if (CountsSharedFile(run, job))
    NoteSharedFileBeforeRun(run, request.destination, job.bDestinationExisted);
  if (!bCopies) return KeptAsEqual(run, job);
  // Without APPEND or a temporary name the destination itself is written. It is named only now:
  // most files of a re-run are found equal and written nowhere.
  if (job.target.empty()) job.target = request.destination;
  if (!WriteCopyTarget(run, job)) return false;
  if (!SizeAsExpected(run, job) || run.ctx.bAborted) {
    if (!job.bOpenExisting) DeleteWrittenFile(run, job.target);
    return false;
  }
  if (job.Has(COPY_SETUPHOOK) && run.extension)
    CallSetupHook(run, kHookAfterCopy, request.source, request.destination, job.target);
  if (!SettleExistingDestination(run, job)) return false;
  EngineOf(run).lastWrittenFiles[request.nSlot & 1] = job.target;
  if (!RegisterInstalledFile(run, job)) return false;
  NoteReadme(run, request.destination);
  if (job.bKeptExisting) return true;
  if (!job.bReplacing) job.reason = "the file is not there";
  if (job.bReplacing && job.Has(COPY_KEEPEXISTING))
    job.reason = "KEEPEXISTING: the new file goes beside the one there";
  NoteDecision(run, job, "copy");
  return true;
}

// Only the shared-file counting, for a line whose section was already processed in this pass.
bool CountOnly(SetupRun& run, const CopyFileRequest& request) {
  const uint32_t dwFlags = request.dwCopyFlags;
  if (!(dwFlags & COPY_SHAREDDLL) || (dwFlags & COPY_DONTDELETE) || run.ctx.bTestRun ||
      run.ctx.bAdminSetup)
    return true;
  if (run.ctx.bUninstall)
    return CountSharedFileDown(run, request.destination, dwFlags, request.name);
  const bool bThere = run.machine.Files().FileExists(request.destination);
  NoteSharedFileBeforeRun(run, request.destination, bThere);
  return CountSharedFileUp(run, request.destination, bThere, dwFlags, request.name);
}

bool RemoveTheFile(SetupRun& run, const CopyFileRequest& request) {
  const CopyJob job(request);
  const std::string& destination = request.destination;
  bool bOk = true;
  if (run.ctx.bAdminSetup) {
    // An administrator installation is removed as a whole, not file by file.
  } else if (job.Has(COPY_SHAREDDLL) && !job.Has(COPY_DONTDELETE)) {
    bOk = CountSharedFileDown(run, destination, job.dwFlags, request.name);
    NotePlan(run, "file", destination, "count down",
             "SHAREDDLL: removed when no other product uses it");
  } else if (!job.Has(COPY_DONTDELETE) &&
             // /X2 itself, not every machine-part run, keeps the files never replaced.
             !(job.Has(COPY_DONTREPLACE) && (run.ctx.dwRunFlags & kRunFlagMachinePart))) {
    if (IsFontFile(destination)) UpdateFontRegistration(run, destination, request.name, false);
    if (job.Has(COPY_KEEPEXISTING)) RemoveFile(run, TemporaryCopyName(run, destination, true));
    RemoveInstalledFile(run, destination);
    // The removal takes what the lines name, whether the install wrote it or kept the one there.
    NotePlan(run, "file", destination, "remove", "a copy line of the product names it");
  } else {
    NotePlan(run, "file", destination, "keep",
             job.Has(COPY_DONTDELETE) ? "DONTDELETE" : "DONTREPLACE in a machine-part run");
  }
  MoveProgress(run, request.nExpectedSize);
  return bOk && !run.ctx.bAborted;
}

}  // namespace

bool CopyTheFile(SetupRun& run, const CopyFileRequest& request) {
  if (!request.bCarryOut) return CountOnly(run, request);
  return run.ctx.bUninstall ? RemoveTheFile(run, request) : InstallTheFile(run, request);
}

}  // namespace tarvium
