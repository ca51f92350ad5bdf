// The use counts of shared files in the system's table "SharedDLLs": one value per file, named
// by its full path, holding the number of products that use it. A value the engine creates is a
// REG_DWORD; an existing one keeps the type it has (older installers wrote other types), and
// its first four bytes are the count. Counting up is followed by the file's registration
// (REGISTER, SERVICE, REGASM, fonts), counting down to zero by the question whether the file is
// still needed and then its unregistration and removal.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/copy_flags.h"
#include "install/install_engine.h"
#include "install/run_journal.h"
#include "install/shared_files.h"
#include "platform/ansi_case.h"
#include "platform/registry.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using platform::RegValue;

constexpr const char* kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

uint32_t CountOf(const RegValue& value) {
  uint32_t nCount = 0;
  std::memcpy(&nCount, value.data.data(), std::min<size_t>(value.data.size(), sizeof nCount));
  return nCount;
}

RegValue WithCount(RegValue value, uint32_t nCount) {
  if (value.data.size() < sizeof nCount) value.data.resize(sizeof nCount);
  std::memcpy(value.data.data(), &nCount, sizeof nCount);
  return value;
}

// A registration whose handler is not part of this build is traced and counts as done.
template <class Hook, class... Args>
bool CallHook(SetupRun& run, const Hook& hook, const char* pszWhat, const std::string& path,
              Args&&... args) {
  if (!hook) {
    SetupTrace(run, "%s not available in this build: %s\n", pszWhat, path.c_str());
    return true;
  }
  return hook(run, path, std::forward<Args>(args)...);
}

// REGISTER, SERVICE, REGASM and fonts, in this order; the result of the last one done.
bool UpdateRegistrations(SetupRun& run, const std::string& path, uint32_t dwCopyFlags,
                         const std::string& name, bool bRegister) {
  const ConfigurationHooks& hooks = EngineOf(run).configuration;
  bool bOk = true;
  if (dwCopyFlags & COPY_REGISTER)
    bOk = CallHook(run, hooks.registerServer, "COM registration", path, bRegister);
  if (dwCopyFlags & COPY_SERVICE)
    bOk = CallHook(run, hooks.registerService, "Service installation", path, name, bRegister);
  if (dwCopyFlags & COPY_REGASM)
    bOk = CallHook(run, hooks.registerAssembly, "Assembly registration", path, bRegister);
  if (IsFontFile(path)) bOk = UpdateFontRegistration(run, path, name, bRegister);
  return bOk;
}

bool AnswerIgnores(SetupRun& run, int nMessage, const std::string& path, uint32_t err) {
  return ShowMessage(run, nMessage, path, static_cast<int64_t>(err)) == kResultIgnore;
}

// 5535: Yes without asking in silent runs, at level 3 and after All.
bool ConfirmsDeletion(SetupRun& run, const std::string& path) {
  InstallEngine& engine = EngineOf(run);
  if (run.ctx.bSilent || run.ctx.iSilentLevel == 3 || engine.bAnswerAllShared) return true;
  const int nAnswer = ShowMessage(run, 5535, path);
  if (nAnswer == kResultAll) engine.bAnswerAllShared = true;
  return nAnswer == kResultAll || nAnswer == kResultYes;
}

}  // namespace

std::string SharedFileCountBeforeRun(SetupRun& run, const std::string& path, bool bFileThere) {
  RegValue value;
  if (run.machine.Reg().QueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, value) == 0)
    return std::to_string(CountOf(value));
  return bFileThere ? "-" : "0";
}

void NoteSharedFileBeforeRun(SetupRun& run, const std::string& path, bool bFileThere) {
  NoteBeforeChange(run, JournalPart::SharedFiles, path,
                   [&] { return SharedFileCountBeforeRun(run, path, bFileThere) + "|0"; });
}

namespace {

// A shared file's note: its count before the run, a bar, and what the run has counted since.
struct SharedFileNote {
  std::string before;
  long nCounted = 0;
};

SharedFileNote ParseNote(const std::string& text) {
  const size_t nBar = text.find('|');
  if (nBar == std::string::npos) return {text, 0};
  return {text.substr(0, nBar), std::strtol(text.c_str() + nBar + 1, nullptr, 10)};
}

// The count a note's "before" stands for: no value counts the file's own installation ("-") or
// nothing ("0").
long CountBefore(const std::string& before) {
  return before == "-" ? 1 : std::strtol(before.c_str(), nullptr, 10);
}

// Changes the count (a count of 0 deletes the value) and adds the step to the run's note in the
// same change of the registry, so that a killed run's journal holds exactly what it counted.
uint32_t StepCount(SetupRun& run, const std::string& path, const RegValue& value, uint32_t nCount,
                   long nStep) {
  platform::Registry& reg = run.machine.Reg();
  const auto body = [&] {
    const uint32_t err = nCount == 0 ? reg.DeleteValue(RegRoot::LocalMachine, kSharedDllsKey, path)
                                     : reg.SetValue(RegRoot::LocalMachine, kSharedDllsKey, path,
                                                    WithCount(value, nCount));
    if (err != 0) return err;
    const std::string text = NoteOf(run, JournalPart::SharedFiles, path);
    if (text.empty()) return uint32_t{platform::ERROR_SUCCESS};
    const SharedFileNote note = ParseNote(text);
    RewriteNote(run, JournalPart::SharedFiles, path,
                note.before + "|" + std::to_string(note.nCounted + nStep));
    return uint32_t{platform::ERROR_SUCCESS};
  };
  return EngineOf(run).bJournalOpen ? reg.WriteAsOne(body) : body();
}

}  // namespace

// Takes back what the killed run counted from the count as it is now, so that what other
// products counted since stays; a count back where it was before the run is put back exactly as
// it was (no value, or 0 for a file that run put on the disk).
uint32_t RestoreSharedFileCount(SetupRun& run, const std::string& path, const std::string& text) {
  const SharedFileNote note = ParseNote(text);
  platform::Registry& reg = run.machine.Reg();
  RegValue value;
  const bool bValue = reg.QueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, value) == 0;
  const long nCount = (bValue ? static_cast<long>(CountOf(value)) : 0) - note.nCounted;
  if (nCount == CountBefore(note.before) && note.before == "-")
    return bValue ? reg.DeleteValue(RegRoot::LocalMachine, kSharedDllsKey, path)
                  : platform::ERROR_SUCCESS;
  if (nCount <= 0 && !bValue && note.before != "0") return platform::ERROR_SUCCESS;
  if (!bValue) {
    value.dwType = platform::REG_DWORD;
    if (const uint32_t err = reg.CreateKey(RegRoot::LocalMachine, kSharedDllsKey)) return err;
  }
  return reg.SetValue(RegRoot::LocalMachine, kSharedDllsKey, path,
                      WithCount(value, static_cast<uint32_t>(std::max(nCount, 0L))));
}

// Every copied file is asked this: the font extensions all have three letters, so only the last
// four characters need a look (a dot there starts the last name's extension, as no separator can
// follow it).
bool IsFontFile(const std::string& path) {
  if (path.size() < 4 || path[path.size() - 4] != '.') return false;
  // Every copied file asks: its three letters are upper-cased once, not in each comparison.
  char upper[3];
  for (size_t i = 0; i < 3; ++i) upper[i] = platform::AnsiUpperChar(path[path.size() - 3 + i]);
  const std::string_view extension(upper, 3);
  return extension == "TTF" || extension == "OTF" || extension == "FON";
}

bool UpdateFontRegistration(SetupRun& run, const std::string& path, const std::string& name,
                            bool bAdd) {
  return CallHook(run, EngineOf(run).configuration.updateFont, "Font registration", path, name,
                  bAdd);
}

bool CountSharedFileUp(SetupRun& run, const std::string& path, bool bExistedBefore,
                       uint32_t dwCopyFlags, const std::string& name) {
  SetupTrace(run, "IncrementCounter for file %s\n", path.c_str());
  platform::Registry& reg = run.machine.Reg();
  uint32_t err = reg.CreateKey(RegRoot::LocalMachine, kSharedDllsKey);
  if (err == 0) {
    RegValue value;
    if (reg.QueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, value) != 0) {
      value.dwType = platform::REG_DWORD;
      value = WithCount(value, bExistedBefore ? 1 : 0);
    }
    err = StepCount(run, path, value, CountOf(value) + 1, 1);
  }
  if (err != 0 && !AnswerIgnores(run, 5518, path, err)) return false;
  return UpdateRegistrations(run, path, dwCopyFlags, name, true);
}

bool CountSharedFileDown(SetupRun& run, const std::string& path, uint32_t dwCopyFlags,
                         const std::string& name) {
  NoteSharedFileBeforeRun(run, path, true);
  platform::Registry& reg = run.machine.Reg();
  RegValue value;
  uint32_t err = reg.QueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, value);
  if (err != 0) return AnswerIgnores(run, 5519, path, err);
  const uint32_t nBefore = CountOf(value);
  const uint32_t nCount = nBefore > 0 ? nBefore - 1 : 0;
  err = StepCount(run, path, value, nCount, nCount - static_cast<long>(nBefore));
  if (nCount > 0) return err == 0 || AnswerIgnores(run, 5519, path, err);
  if (err != 0 && !AnswerIgnores(run, 5519, path, err)) return false;
  if (!ConfirmsDeletion(run, path)) return true;
  const bool bOk = UpdateRegistrations(run, path, dwCopyFlags, name, false);
  RemoveInstalledFile(run, path);
  return bOk;
}

}  // namespace tarvium
