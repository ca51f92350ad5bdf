// Processes of the emulated machine: Windows command lines started as host processes. Host
// programs (ELF, "#!" scripts) run directly, PE files through Wine when it is there, engine
// images as the setup engine (engine_image.h). Handles are entries of a table owned by this
// object; one object serves one engine run on one thread.
//
// Construction: HostProcesses processes({.mapPath = machine path mapping,
//                                        .searchDirectories = {"C:\\Windows\\System32", ...}});
// The program search rule is in program_search.h, the module name rule in process_list.h, the
// exit-code mechanism (TARVIUM_EXIT_CODE_FILE) in exit_code_file.h.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/processes/program_search.h"
#include "platform/processes.h"

namespace platform {

class HostChild;

// Checks an account's logon: ERROR_SUCCESS or the Windows error (ERROR_LOGON_FAILURE, ...).
using LogonCheck = std::function<uint32_t(const std::string& domain, const std::string& userName,
                                          const std::string& password)>;

struct HostProcessesConfig {
  PathMapper mapPath;  // Windows path -> host path of the machine
  // Windows directories searched for a bare program name after the current directory.
  std::vector<std::string> searchDirectories;
  // Host directory for the children's exit-code files; empty: the host's temporary directory.
  std::string exitCodeDirectory;
  // The machine's own directory: a host program inside it runs whatever its host permissions.
  std::string machineDirectory;
  // Host path of Wine; empty: PE files fail with ERROR_BAD_EXE_FORMAT.
  std::string wineProgram = FindOnHostPath("wine");
  // The engine binaries an engine image may run, in order of preference (engine_image.h).
  std::vector<std::string> engineCandidates;
  // Writes a whole file at a Windows path of the machine (for engine images); without it placing
  // an image fails with ERROR_NOT_SUPPORTED.
  std::function<uint32_t(const std::string& windowsPath, const std::string& bytes)> writeFile;
  // Decides logons for starts under another account; without it such a start fails with
  // ERROR_LOGON_FAILURE. A program started as another user runs as the engine's host user.
  LogonCheck checkLogon;
};

class HostProcesses final : public Processes {
 public:
  explicit HostProcesses(HostProcessesConfig config);
  ~HostProcesses() override;

  uint32_t CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) override;
  uint32_t FindProgram(const ProcessStart& start, std::string& programPath) override;
  uint32_t OpenProcess(uint32_t dwProcessId, ProcessHandle& hProcess) override;
  uint32_t WaitForProcess(ProcessHandle hProcess, uint32_t nTimeoutMs,
                          const WaitStepCallback& onStep, WaitResult& result) override;
  uint32_t TerminateProcess(ProcessHandle hProcess, uint32_t dwExitCode) override;
  uint32_t GetExitCodeProcess(ProcessHandle hProcess, uint32_t& dwExitCode) override;
  uint32_t IsProcessRunning(ProcessHandle hProcess, bool& bRunning) override;
  uint32_t GetProcessInfo(ProcessHandle hProcess, ProcessInfo& info) override;
  uint32_t CloseProcess(ProcessHandle hProcess) override;
  uint32_t EnumProcesses(const std::string& moduleName,
                         std::vector<ProcessEntry>& entries) override;
  uint32_t PlaceEngineImage(const std::string& windowsPath) override;
  uint32_t GetEngineImage(EngineImage& image) override;
  [[noreturn]] void ExitProcess(uint32_t dwExitCode) override;

  // Starts a service's program as CreateProcess does, but detached from the engine: in a session
  // of its own, its standard handles on /dev/null and without an exit-code file, so that it runs
  // on after the engine has ended and another engine process can stop it (process_signal.h).
  uint32_t CreateServiceProcess(const ProcessStart& start, ProcessHandle& hProcess);

 private:
  struct Entry {
    std::unique_ptr<HostChild> child;
    ProcessInfo info;
  };

  HostChild* ChildOf(ProcessHandle hProcess);
  ProcessHandle AddEntry(std::unique_ptr<HostChild> child, ProcessInfo info);
  uint32_t Start(const ProcessStart& start, bool bDetached, ProcessHandle& hProcess);
  uint32_t LogOn(const ProcessStart& start, std::string& userName) const;
  // The program of a command line's first word, and the host directory the process starts in.
  uint32_t LocateProgram(const ProcessStart& start, const std::string& programWord,
                         std::string& hostDirectory, FoundProgram& program) const;
  uint32_t HostArgv(const FoundProgram& program, const std::vector<std::string>& args,
                    std::vector<std::string>& argv) const;

  HostProcessesConfig config_;
  std::map<uint32_t, Entry> entries_;
  uint32_t nNextHandle_ = 1;
};

}  // namespace platform
