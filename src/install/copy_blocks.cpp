#include "install/copy_blocks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/pump_messages.h"
#include "engine/setup_run.h"
#include "install/copy_times.h"
#include "install/file_path_parts.h"
#include "install/file_text_variables.h"
#include "install/install_engine.h"
#include "install/progress.h"
#include "install/user_info_marks.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

using platform::FileHandle;

constexpr uint8_t kSzddMagic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

bool IsSzddHeader(const uint8_t* pData, size_t nSize) {
  return nSize >= sizeof kSzddMagic && std::equal(kSzddMagic, kSzddMagic + 8, pData);
}

// Takes the copied bytes block by block: scans them for the user information marks, writes them
// (unless the file system already did), moves the progress and pumps. The first failure is
// shown once; an abort ends the copy without a message.
class BlockWriter {
 public:
  BlockWriter(SetupRun& run, CopyJob& job, FileHandle hTarget, UserInfoMarks* pMarks)
      : run_(run), job_(job), hTarget_(hTarget), pMarks_(pMarks) {}

  bool Scans() const { return pMarks_ != nullptr; }

  bool WriteBlock(const uint8_t* pData, uint32_t nSize) {
    if (pMarks_) pMarks_->Scan(pData, nSize, job_.nStartOffset + job_.nWritten);
    uint32_t nWritten = 0;
    const uint32_t err = run_.machine.Files().WriteFile(hTarget_, pData, nSize, nWritten);
    if (err != 0 || nWritten != nSize) return WriteFailed();
    return Counted(nSize);
  }

  // A block the file system moved itself.
  bool Counted(uint32_t nSize) {
    job_.nWritten += nSize;
    MoveProgress(run_, nSize);
    return PumpWindowMessages(run_) && !run_.ctx.bAborted;
  }

  bool WriteFailed() {
    ShowMessage(run_, 5503, job_.target);
    return false;
  }

  // Streamed bytes (expansion, cabinet) are gathered into whole blocks.
  bool Put(const uint8_t* pData, size_t nSize) {
    while (nSize > 0) {
      const size_t nTake = std::min(nSize, kCopyBlockSize - pending_.size());
      pending_.insert(pending_.end(), pData, pData + nTake);
      pData += nTake;
      nSize -= nTake;
      if (pending_.size() == kCopyBlockSize && !WritePending()) return false;
    }
    return true;
  }

  // The last bytes of a stream.
  bool FlushPending() { return pending_.empty() || WritePending(); }

 private:
  bool WritePending() {
    const bool bOk = WriteBlock(pending_.data(), static_cast<uint32_t>(pending_.size()));
    pending_.clear();
    return bOk;
  }

  SetupRun& run_;
  CopyJob& job_;
  FileHandle hTarget_;
  UserInfoMarks* pMarks_;
  std::vector<uint8_t> pending_;
};

uint32_t CreateTarget(SetupRun& run, CopyJob& job, FileHandle& hTarget) {
  platform::FileSystem& files = run.machine.Files();
  if (job.bOpenExisting) {
    uint32_t err =
        files.CreateFile(job.target, platform::GENERIC_WRITE, platform::OPEN_ALWAYS, 0, hTarget);
    if (err == 0) err = files.SetFilePointerEx(hTarget, 0, platform::FILE_END, &job.nStartOffset);
    return err;
  }
  if (job.Has(COPY_KEEPEXISTING))
    files.SetFileAttributes(job.target, platform::FILE_ATTRIBUTE_NORMAL);  // an old .new
  return files.CreateFile(job.target, platform::GENERIC_WRITE, platform::CREATE_ALWAYS,
                          CopiedAttributes(job) & ~platform::FILE_ATTRIBUTE_READONLY, hTarget);
}

// Opens the target: a new file, or the file being extended positioned at its end. Either is
// stamped with the unfinished-copy time before its first byte, which the file system keeps through
// the writes until the final times replace it: a run that dies at any point of the copy leaves a
// file that the next run recognises as unfinished (one that dies before the stamp, a file still
// empty). The directory is created with its parents when the target cannot be made without it,
// which spares a look at the directory for every file but the first of each.
bool OpenTarget(SetupRun& run, CopyJob& job, FileHandle& hTarget) {
  platform::FileSystem& files = run.machine.Files();
  uint32_t err = CreateTarget(run, job, hTarget);
  if (err == platform::ERROR_PATH_NOT_FOUND) {
    const std::string directory = ParentDirectoryOf(job.target);
    const uint32_t errDirectory = files.CreateDirectoryTree(directory);
    if (errDirectory != 0 && errDirectory != platform::ERROR_ALREADY_EXISTS) {
      ShowMessage(run, 5507, directory);
      return false;
    }
    err = CreateTarget(run, job, hTarget);
  }
  if (err != 0) {
    if (hTarget != FileHandle::Invalid) files.CloseHandle(hTarget);
    hTarget = FileHandle::Invalid;
    ShowMessage(run, 5504, job.target);
    return false;
  }
  const uint64_t ftUnfinished = InterruptedCopyStamp(run);
  files.SetFileTime(hTarget, {ftUnfinished, ftUnfinished, ftUnfinished});
  return true;
}

// Whether the source starts with the SZDD header. Only the header is read, without moving the
// file pointer, so that a file that is not compressed still moves in kernel copies.
bool ReadSzddHeader(SetupRun& run, CopyJob& job, FileHandle hSource, bool& bCompressed) {
  uint8_t header[sizeof kSzddMagic] = {};
  uint32_t nRead = 0;
  if (run.machine.Files().ReadFileAt(hSource, 0, header, sizeof header, nRead) != 0) {
    ShowMessage(run, 5502, job.request.source);
    return false;
  }
  bCompressed = IsSzddHeader(header, nRead);
  return true;
}

// A plain source, or an SZDD file read through the expansion (bCompressed: the source showed its
// header and nothing was written; the caller expands it). The size the source had when it was
// looked at ends the loop, which spares the read that would only find the end.
bool CopyOpenSource(SetupRun& run, CopyJob& job, FileHandle hSource, uint64_t nSourceLeft,
                    BlockWriter& writer, FileHandle hTarget, bool& bCompressed) {
  platform::FileSystem& files = run.machine.Files();
  if (!job.bPlainRead && (!ReadSzddHeader(run, job, hSource, bCompressed) || bCompressed))
    return bCompressed;  // false after a failed read
  std::vector<uint8_t> block(writer.Scans() ? kCopyBlockSize : 0);
  while (nSourceLeft > 0) {
    const auto nToCopy = static_cast<uint32_t>(std::min<uint64_t>(kCopyBlockSize, nSourceLeft));
    uint32_t nSize = 0;
    if (!writer.Scans()) {
      if (files.CopyFileRange(hSource, hTarget, nToCopy, nSize) != 0) return writer.WriteFailed();
      if (nSize == 0) return true;
      nSourceLeft -= nSize;
      if (!writer.Counted(nSize)) return false;
      continue;
    }
    if (files.ReadFile(hSource, block.data(), nToCopy, nSize) != 0) {
      ShowMessage(run, 5502, job.request.source);
      return false;
    }
    if (nSize == 0) return true;
    nSourceLeft -= nSize;
    if (!writer.WriteBlock(block.data(), nSize)) return false;
  }
  return true;
}

// A streamed source: 5560 for a member the cabinet set lacks, 5502 when it cannot be read.
bool FinishStream(SetupRun& run, CopyJob& job, uint32_t err, BlockWriter& writer) {
  if (err == platform::ERROR_CANCELLED) return false;  // the writer failed or the run aborted
  if (err == platform::ERROR_FILE_NOT_FOUND && job.FromCabinet()) {
    ShowMessage(run, 5560, job.request.source, job.request.cabinet);
    return false;
  }
  if (err != 0) {
    ShowMessage(run, 5502, job.FromCabinet() ? job.request.cabinet : job.request.source);
    return false;
  }
  return writer.FlushPending();
}

// A member that runs on into the set's later cabinets has taken the reader to a later medium:
// the medium counter follows, and later lines look on that medium first.
void FollowCabinetMedia(SetupRun& run, const CopyJob& job) {
  uint32_t& nCurrent = EngineOf(run).nCurrentMedium;
  const uint32_t nReached = std::max(job.request.nMedium, 1u) + job.cabinetFile.nLaterCabinets;
  nCurrent = std::max(nCurrent, nReached);
}

// A plain source is opened before the target is made, so that a source that cannot be read
// leaves nothing behind; its attributes, which the new file takes, are those it was opened with.
bool OpenPlainSource(SetupRun& run, CopyJob& job, FileHandle& hSource) {
  platform::FileInfo info;
  if (run.machine.Files().OpenForReading(job.request.source, hSource, info) != 0) {
    ShowMessage(run, 5501, job.request.source);
    return false;
  }
  if (!job.bSourceAttributesKnown) job.source.dwFileAttributes = info.dwFileAttributes;
  job.bSourceAttributesKnown = true;
  return true;
}

bool CopySource(SetupRun& run, CopyJob& job, FileHandle hSource, FileHandle hTarget,
                UserInfoMarks* pMarks) {
  BlockWriter writer(run, job, hTarget, pMarks);
  const ByteSink sink = [&writer](const uint8_t* pData, size_t nSize) {
    return writer.Put(pData, nSize);
  };
  if (job.FromCabinet()) {
    const uint32_t err =
        ExtractCabinetFile(run, job.request.cabinet, job.request.source, sink, job.cabinetFile);
    if (err == 0) FollowCabinetMedia(run, job);
    return FinishStream(run, job, err, writer);
  }
  uint64_t nSourceLeft = job.bSourceFound ? job.source.nFileSize : UINT64_MAX;
  if (job.nStartOffset > 0 && !job.Has(COPY_APPEND)) {  // a resumed copy
    run.machine.Files().SetFilePointerEx(hSource, static_cast<int64_t>(job.nStartOffset),
                                         platform::FILE_BEGIN, nullptr);
    MoveProgress(run, static_cast<int64_t>(job.nStartOffset));
    nSourceLeft -= std::min(nSourceLeft, job.nStartOffset);
  }
  bool bCompressed = false;
  const bool bOk = CopyOpenSource(run, job, hSource, nSourceLeft, writer, hTarget, bCompressed);
  if (!bOk || !bCompressed) return bOk;
  bool bWasCompressed = false;
  return FinishStream(run, job, ExpandFile(run, job.request.source, sink, bWasCompressed), writer);
}

bool ScansForUserInfo(const CopyJob& job) {
  return job.Has(COPY_SETUSERINFO) &&
         !platform::AnsiEqualNoCase(FileNameOf(job.request.destination), "SETUP.EXE");
}

bool ReplacesVariables(SetupRun& run, const CopyJob& job) {
  const SetupContext& ctx = run.ctx;
  if (!job.Has(COPY_REPLACEVARS)) return false;
  if (ctx.bAdminSetup) return job.Has(COPY_ADMIN);
  if (ctx.bWorkstationSetup && job.Has(COPY_MACHINE)) return false;
  return !(ctx.bUserPartRun && job.Has(COPY_CLIENT));
}

// Times, and the attributes when the target did not get them when it was created.
bool FinishTarget(SetupRun& run, CopyJob& job, FileHandle hTarget, bool bReplaceVariables) {
  platform::FileSystem& files = run.machine.Files();
  const platform::FileTimes times = CopiedTimes(run, job);
  if (!bReplaceVariables) files.SetFileTime(hTarget, times);
  if (files.CloseHandle(hTarget) != 0) {
    ShowMessage(run, 5503, job.target);
    return false;
  }
  if (bReplaceVariables) {
    if (!ReplaceVariablesInFile(run, job.target)) {
      ShowMessage(run, 5503, job.target);
      return false;
    }
    uint64_t nSize = 0;
    if (files.GetFileSize(job.target, nSize) == 0) job.nWritten = nSize - job.nStartOffset;
    files.SetFileTimes(job.target, times);
  }
  const uint32_t dwAttributes = CopiedAttributes(job);
  const uint32_t dwCreated =
      (dwAttributes & ~platform::FILE_ATTRIBUTE_READONLY) | platform::FILE_ATTRIBUTE_ARCHIVE;
  if (job.bOpenExisting || dwAttributes != (dwCreated & ~platform::FILE_ATTRIBUTE_NORMAL))
    files.SetFileAttributes(job.target, dwAttributes);
  return true;
}

}  // namespace

bool WriteCopyTarget(SetupRun& run, CopyJob& job) {
  platform::FileSystem& files = run.machine.Files();
  if (job.FromCabinet() && !job.bCabinetLookedUp) {
    // The stored time and attributes are needed for the new file even when nothing asked yet.
    job.dwCabinetError =
        FindCabinetFile(run, job.request.cabinet, job.request.source, job.cabinetFile);
    job.bCabinetLookedUp = true;
  }
  FileHandle hSource = FileHandle::Invalid;
  if (!job.FromCabinet() && !OpenPlainSource(run, job, hSource)) return false;
  FileHandle hTarget = FileHandle::Invalid;
  bool bOk = OpenTarget(run, job, hTarget);
  UserInfoMarks marks;
  const bool bScans = ScansForUserInfo(job);
  bOk = bOk && CopySource(run, job, hSource, hTarget, bScans ? &marks : nullptr);
  if (hSource != FileHandle::Invalid) files.CloseHandle(hSource);
  if (bOk && bScans && !marks.WriteUserInfo(run, hTarget)) {
    ShowMessage(run, 5503, job.target);
    bOk = false;
  }
  if (bOk) return FinishTarget(run, job, hTarget, ReplacesVariables(run, job));
  if (hTarget == FileHandle::Invalid) return false;
  files.CloseHandle(hTarget);
  if (!job.bOpenExisting) files.DeleteFile(job.target);
  return false;
}

}  // namespace tarvium
