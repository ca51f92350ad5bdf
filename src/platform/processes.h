// The machine's processes as the engine sees them: a program started from a Windows command line
// in a Windows directory with a Windows environment, waited for with a time limit while the engine
// keeps its user interface alive, ended, its full 32-bit exit code read; and the running programs
// listed by module name. Handles are opaque numbers so that no host type shows here; the emulated
// machine runs host processes behind them, a Win32 backend will hold real process handles.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class ProcessHandle : uint32_t { Invalid = 0 };

inline constexpr uint32_t INFINITE = 0xFFFFFFFF;
inline constexpr uint32_t STILL_ACTIVE = 259;  // GetExitCodeProcess of a running process

// Show states of a started program's main window (the SW_ values of Windows).
inline constexpr uint32_t SW_HIDE = 0;
inline constexpr uint32_t SW_SHOWNORMAL = 1;
inline constexpr uint32_t SW_SHOWMINIMIZED = 2;
inline constexpr uint32_t SW_SHOWMAXIMIZED = 3;
inline constexpr uint32_t SW_SHOWMINNOACTIVE = 7;
inline constexpr uint32_t SW_SHOWDEFAULT = 10;

struct ProcessStart {
  std::string commandLine;       // ANSI; the first word (double quotes group) is the program
  std::string currentDirectory;  // Windows path; empty: the engine's own current directory
  // "NAME=value" ANSI strings; none: the engine's own environment.
  std::optional<std::vector<std::string>> environment;
  uint32_t nShowCmd = SW_SHOWNORMAL;
  // Another account to start the program as: empty for the engine's own. The domain is empty or
  // "." for the local computer. The user is logged on first; a failed logon starts nothing.
  std::string userName;
  std::string domain;
  std::string password;
};

struct ProcessInfo {
  uint32_t dwProcessId = 0;
  std::string moduleName;  // file name of the program: "notepad.exe", "sleep"
  uint32_t nShowCmd = SW_SHOWNORMAL;
  std::string userName;  // "domain\user" it was started as; empty for the engine's own account
};

struct ProcessEntry {
  uint32_t dwProcessId = 0;
  std::string moduleName;
};

enum class WaitResult {
  Exited,    // the process has ended
  TimedOut,  // the time limit passed first
  Stopped,   // the step callback asked to stop waiting
};

// Called between the short steps of a wait (every WAIT_STEP_MS at most) so that the caller can
// dispatch window messages and notice a cancel; returning false ends the wait.
using WaitStepCallback = std::function<bool()>;
inline constexpr uint32_t WAIT_STEP_MS = 10;

class Processes {
 public:
  virtual ~Processes() = default;

  // Each returns ERROR_SUCCESS (0) or the Windows error of the failed operation. An unknown or
  // closed handle gives ERROR_INVALID_HANDLE.

  // Starts a program and returns at once. ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when the
  // program or its directory is missing, ERROR_BAD_EXE_FORMAT when the file is no program the
  // machine can run, ERROR_DIRECTORY for a bad current directory, ERROR_LOGON_FAILURE when the
  // given account cannot log on.
  virtual uint32_t CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) = 0;
  // Looks for the program CreateProcess would start for start's command line and current
  // directory, and starts nothing: ERROR_SUCCESS with its Windows path (empty when it has none,
  // such as a host program of the emulated machine), or the error CreateProcess would give for
  // the program or the directory. A machine that cannot tell without starting it says found.
  virtual uint32_t FindProgram(const ProcessStart& start, std::string& programPath) {
    (void)start;
    programPath.clear();
    return 0;
  }
  // A handle to a running process found by EnumProcesses (to end it). ERROR_INVALID_PARAMETER
  // when there is no such process.
  virtual uint32_t OpenProcess(uint32_t dwProcessId, ProcessHandle& hProcess) = 0;
  // Waits until the process ends, nTimeoutMs passes (INFINITE: no limit; 0: only looks) or the
  // callback (may be empty) returns false.
  virtual uint32_t WaitForProcess(ProcessHandle hProcess, uint32_t nTimeoutMs,
                                  const WaitStepCallback& onStep, WaitResult& result) = 0;
  // Ends the process (for one this service started: with every process of its group) and makes
  // dwExitCode its exit code. ERROR_ACCESS_DENIED when it had already ended.
  virtual uint32_t TerminateProcess(ProcessHandle hProcess, uint32_t dwExitCode) = 0;
  // STILL_ACTIVE while it runs, then its exit code with all 32 bits.
  virtual uint32_t GetExitCodeProcess(ProcessHandle hProcess, uint32_t& dwExitCode) = 0;
  virtual uint32_t IsProcessRunning(ProcessHandle hProcess, bool& bRunning) = 0;
  virtual uint32_t GetProcessInfo(ProcessHandle hProcess, ProcessInfo& info) = 0;
  // Releases the handle; a process still running goes on by itself.
  virtual uint32_t CloseProcess(ProcessHandle hProcess) = 0;
  // The running processes whose module name matches (case-insensitive; "name" also matches
  // "name.exe" and the other way round); every process for an empty name.
  virtual uint32_t EnumProcesses(const std::string& moduleName,
                                 std::vector<ProcessEntry>& entries) = 0;
  // Places at a Windows path a program that runs this setup engine when it is started, with the
  // command line and exit code of any other program (an uninstall registration puts _UnInst.exe
  // in the Windows directory so). Windows copies the running engine; the emulated machine writes
  // an engine image. Errors are those of writing the file.
  virtual uint32_t PlaceEngineImage(const std::string& windowsPath) = 0;
  // What PlaceEngineImage puts at its path: a program file of the machine that it copies
  // (Windows: the running engine), or else the bytes it writes (the emulated machine's image).
  struct EngineImage {
    std::string programPath;
    std::string bytes;
  };
  virtual uint32_t GetEngineImage(EngineImage& image) = 0;
  // Ends the calling process with a 32-bit exit code that a parent using this service reads back
  // whole. A setup engine's main ends through this.
  [[noreturn]] virtual void ExitProcess(uint32_t dwExitCode) = 0;
};

}  // namespace platform
