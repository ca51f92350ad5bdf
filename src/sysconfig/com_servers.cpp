// COM registration by the file's kind: a local server registers itself when started with
// /REGSERVER, a type library is registered by the COM library, and an in-process server's
// DllRegisterServer is called with the current directory at the server (so that the libraries
// it loads beside itself are found) — or, with UseRegSvr, the system's registration program does
// that in a process of its own. Unregistration mirrors each step. Every failure that has a
// message answers Ignore with success; type libraries fail quietly.
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "engine/wait_cursor.h"
#include "install/file_path_parts.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/launch_program.h"
#include "script/message_catalog.h"
#include "sysconfig/file_registrations.h"
#include "sysconfig/library_version.h"

namespace tarvium {
namespace {

using platform::AnsiEqualNoCase;

constexpr const char* kComLibraryName = "OLE32.DLL";
constexpr uint64_t kLeastComVersion = uint64_t{2} << 48 | uint64_t{3} << 32;  // 2.03.00.00

// What registration and unregistration differ in.
struct ComDirection {
  bool bRegister;
  int nStatusText;        // 5007 "Copying:" or 5009 "Working on:"
  int nFailureMessage;    // 5546 or 5547
  const char* pszSwitch;  // of a local server
  const char* pszRegSvr;  // the system's registration program
  const char* pszEntry;   // of an in-process server
};

constexpr ComDirection kRegistration{
    true, 5007, 5546, " /REGSERVER", "REGSVR32.EXE /S ", "DllRegisterServer"};
constexpr ComDirection kUnregistration{
    false, 5009, 5547, " /UNREGSERVER", "REGSVR32.EXE /U /S ", "DllUnregisterServer"};

bool Ignored(int nAnswer) {
  return nAnswer == kResultIgnore;
}

std::string QuotedWhenBlank(const std::string& file) {
  if (file.find(' ') == std::string::npos || (!file.empty() && file.front() == '"')) return file;
  return "\"" + file + "\"";
}

// Once per run: an older COM library is shown as 5552 the first time and refuses every entry.
bool ComLibraryIsRecent(SetupRun& run) {
  using ComVersion = InstallEngine::ComVersion;
  ComVersion& tested = EngineOf(run).comVersion;
  if (tested == ComVersion::Untested) {
    uint64_t qwVersion = 0;
    run.machine.Com().GetVersion(qwVersion);
    tested =
        LibraryVersionSuffices(run, kComLibraryName, "COM library", qwVersion, kLeastComVersion)
            ? ComVersion::Sufficient
            : ComVersion::TooOld;
  }
  return tested == ComVersion::Sufficient;
}

bool RunRegistrationProgram(SetupRun& run, const std::string& commandLine, const std::string& file,
                            const ComDirection& direction) {
  if (LaunchProgram(run, commandLine, "", "", false, true, false, nullptr, nullptr, ""))
    return true;
  return Ignored(ShowMessage(run, direction.nFailureMessage, file));
}

bool UpdateTypeLibrary(SetupRun& run, const std::string& file, bool bRegister) {
  platform::ComLibrary& com = run.machine.Com();
  com.Initialize();
  const int32_t hr = bRegister ? com.RegisterTypeLib(file) : com.UnregisterTypeLib(file);
  com.Uninitialize();
  return hr >= 0;
}

using ServerEntry = int32_t (*)();

// The entry of a loaded in-process server; a server without it counts as done.
bool CallServerEntry(SetupRun& run, platform::ModuleHandle hModule, const std::string& file,
                     const ComDirection& direction) {
  const platform::ProcAddress pEntry =
      run.machine.Libraries().GetProcAddress(hModule, direction.pszEntry);
  if (!pEntry) return true;
  if (ComLibraryIsRecent(run) && reinterpret_cast<ServerEntry>(pEntry)() >= 0) return true;
  return Ignored(ShowMessage(run, direction.nFailureMessage, file));
}

bool UpdateInProcessServer(SetupRun& run, const std::string& file, const ComDirection& direction) {
  platform::FileSystem& files = run.machine.Files();
  platform::ComLibrary& com = run.machine.Com();
  com.Initialize();
  std::string previousDirectory;
  files.GetCurrentDirectory(previousDirectory);
  files.SetCurrentDirectory(ParentDirectoryOf(file));
  bool bOk = false;
  platform::ModuleHandle hModule = platform::ModuleHandle::Invalid;
  if (const uint32_t err = run.machine.Libraries().LoadLibrary(file, hModule);
      err != platform::ERROR_SUCCESS) {
    bOk = Ignored(ShowMessage(run, 5520, file, int64_t{err}));
  } else {
    bOk = CallServerEntry(run, hModule, file, direction);
    run.machine.Libraries().FreeLibrary(hModule);
  }
  if (!previousDirectory.empty()) files.SetCurrentDirectory(previousDirectory);
  com.Uninitialize();
  return bOk;
}

bool UpdateComServer(SetupRun& run, const std::string& file, const ComDirection& direction) {
  if (const uint32_t err = run.machine.Com().Load(); err != platform::ERROR_SUCCESS)
    return Ignored(ShowMessage(run, 5520, kComLibraryName, int64_t{err}));
  const std::string extension = ExtensionOf(file);
  if (AnsiEqualNoCase(extension, ".exe"))
    return RunRegistrationProgram(run, QuotedWhenBlank(file) + direction.pszSwitch, file,
                                  direction);
  if (AnsiEqualNoCase(extension, ".tlb") || AnsiEqualNoCase(extension, ".olb"))
    return UpdateTypeLibrary(run, file, direction.bRegister);
  if (run.ctx.bUseRegSvr)
    return RunRegistrationProgram(run, direction.pszRegSvr + QuotedWhenBlank(file), file,
                                  direction);
  return UpdateInProcessServer(run, file, direction);
}

bool UpdateComRegistration(SetupRun& run, const std::string& file, const ComDirection& direction) {
  if (run.ui)
    run.ui->ShowStatus(GetText(run, direction.nStatusText) + " " + file,
                       GetText(run, 5008) + " " + GetText(run, 5011));
  WaitCursor waitCursor(run);
  return UpdateComServer(run, file, direction);
}

}  // namespace

bool RegisterComServer(SetupRun& run, const std::string& file) {
  return UpdateComRegistration(run, file, kRegistration);
}

bool UnregisterComServer(SetupRun& run, const std::string& file) {
  return UpdateComRegistration(run, file, kUnregistration);
}

}  // namespace tarvium
