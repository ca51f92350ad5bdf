// The version texts of a question are the files' own texts, unless those are equal while the
// binary versions differ: then both show the binary version with padded parts, so the user sees
// where they differ.
#include "install/copy_conflicts.h"

#include <vector>

#include "engine/setup_run.h"
#include "install/copy_times.h"
#include "install/install_engine.h"
#include "script/file_version_info.h"
#include "script/message_catalog.h"
#include "script/message_format.h"

namespace tarvium {
namespace {

std::string OsText(SetupRun& run, const FileVersionInfo& info) {
  if (info.nTargetOs == 0) return GetText(run, 5012);
  return FormatMessageText(GetText(run, 5013), {static_cast<int64_t>(info.nTargetOs)});
}

// A question of the conflict rules: No without asking when the run answers so; None (1) is
// remembered for the rest of the run.
bool AnswersReplace(SetupRun& run, int nMessage, std::vector<MessageArg> args) {
  InstallEngine& engine = EngineOf(run);
  if (run.ctx.bSilent || run.ctx.iSilentLevel == 3 || engine.bAnswerNone) return false;
  const int nAnswer = ShowMessageWith(run, nMessage, std::move(args));
  if (nAnswer == kResultAll) engine.bAnswerNone = true;
  return nAnswer == kResultYes;
}

}  // namespace

uint64_t BinaryFileVersion(const FileVersionInfo& info) {
  return uint64_t(info.dwFileVersionMS) << 32 | info.dwFileVersionLS;
}

VersionDecision CompareFileVersions(SetupRun& run, const std::string& newFile,
                                    const std::string& existingFile, std::string& reason) {
  FileVersionInfo added;
  FileVersionInfo existing;
  if (!ReadFileVersionInfo(run, newFile, added) ||
      !ReadFileVersionInfo(run, existingFile, existing))
    return VersionDecision::NoDecision;
  std::string addedVersion = added.szVersion;
  std::string existingVersion = existing.szVersion;
  if (addedVersion == existingVersion && BinaryFileVersion(added) != BinaryFileVersion(existing)) {
    addedVersion = FormatPaddedVersion(added);
    existingVersion = FormatPaddedVersion(existing);
  }
  const std::string versions = " (there " + existingVersion + ", new " + addedVersion;
  const std::string file = existingFile;
  bool bReplace = true;
  if (existing.nTargetOs > added.nTargetOs) {
    reason = "the file there is made for a later system (question 5543)";
    bReplace = AnswersReplace(run, 5543,
                              {file, existing.szDescription, existingVersion, OsText(run, existing),
                               added.szDescription, addedVersion, OsText(run, added)});
  } else if (existing.nTargetOs < added.nTargetOs) {
    reason = "the new file is made for a later system";
  } else if (BinaryFileVersion(existing) > BinaryFileVersion(added)) {
    reason = "the file there has a higher version" + versions + "; question 5544)";
    bReplace = AnswersReplace(
        run, 5544,
        {file, existing.szDescription, existingVersion, added.szDescription, addedVersion});
  } else if (BinaryFileVersion(existing) == BinaryFileVersion(added) &&
             (existing.szLanguageName != added.szLanguageName ||
              existing.nCharSetText != added.nCharSetText)) {
    reason = "the same version in another language" + versions + "; question 5545)";
    bReplace = AnswersReplace(
        run, 5545,
        {file, existing.szDescription, existingVersion, existing.szLanguageName,
         GetText(run, static_cast<int>(existing.nCharSetText)), added.szDescription, addedVersion,
         added.szLanguageName, GetText(run, static_cast<int>(added.nCharSetText))});
  } else {
    reason = "the new file's version is as high or higher" + versions + ")";
  }
  return bReplace ? VersionDecision::Replace : VersionDecision::Keep;
}

bool ReplacesExistingFile(SetupRun& run, const CopyJob& job, std::string& reason) {
  switch (CompareFileVersions(run, job.target, job.request.destination, reason)) {
    case VersionDecision::Replace:
      return true;
    case VersionDecision::Keep:
      return false;
    case VersionDecision::NoDecision:
      break;
  }
  const uint64_t ftAdded = SourceLastWriteTime(run, job);
  const uint64_t ftExisting = job.destination.times.ftLastWriteTime;
  reason = "no version on either side: the new file is as new or newer";
  if (CompareFileDates(run, ftAdded, ftExisting) >= 0) return true;
  reason = "no version on either side: the file there is newer, and REPLACEOLDER keeps it";
  if (job.Has(COPY_REPLACEOLDER)) return false;
  reason = "no version on either side: the file there is newer, but no date warning is asked";
  if (job.Has(COPY_NODATEWARNING)) return true;
  std::string addedDate;
  std::string existingDate;
  CompareFileDates(run, ftAdded, ftExisting, &addedDate, &existingDate);
  reason = "no version on either side: the file there is newer (question 5506)";
  return AnswersReplace(run, 5506, {job.request.destination, existingDate, addedDate});
}

}  // namespace tarvium
