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
                   [&] { return SharedFileCountBeforeRun(run, path, bFileThere); });
}

uint32_t RestoreSharedFileCount(SetupRun& run, const std::string& path, const std::string& text) {
  platform::Registry& reg = run.machine.Reg();
  if (text == "-") return reg.DeleteValue(RegRoot::LocalMachine, kSharedDllsKey, path);
  RegValue value;
  if (reg.QueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, value) != 0) {
    value.dwType = platform::REG_DWORD;
    if (const uint32_t err = reg.CreateKey(RegRoot::LocalMachine, kSharedDllsKey)) return err;
  }
  const auto nCount = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
  return reg.SetValue(RegRoot::LocalMachine, kSharedDllsKey, path, WithCount(value, nCount));
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
    err = reg.SetValue(RegRoot::LocalMachine, kSharedDllsKey, path,
                       WithCount(value, CountOf(value) + 1));
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
  uint32_t nCount = CountOf(value);
  if (nCount > 0) --nCount;
  if (nCount > 0) {
    err = reg.SetValue(RegRoot::LocalMachine, kSharedDllsKey, path, WithCount(value, nCount));
    return err == 0 || AnswerIgnores(run, 5519, path, err);
  }
  err = reg.DeleteValue(RegRoot::LocalMachine, kSharedDllsKey, path);
  if (err != 0 && !AnswerIgnores(run, 5519, path, err)) return false;
  if (!ConfirmsDeletion(run, path)) return true;
  const bool bOk = UpdateRegistrations(run, path, dwCopyFlags, name, false);
  RemoveInstalledFile(run, path);
  return bOk;
}

}  // namespace tarvium
