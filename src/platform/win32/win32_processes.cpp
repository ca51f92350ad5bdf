// A start creates the process suspended, puts it into a new job object and only then lets it
// run, so that no process it starts escapes the job before it is in. The numbers handed out are
// keys of a table of process and job handles. Waits run in steps of WAIT_STEP_MS at most and
// wake early for window messages, so the engine's callback can keep its window alive; the entry
// is looked up again after every callback because the callback may close it.
#include "platform/win32/win32_processes.h"

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/module_name_match.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <tlhelp32.h>
// clang-format on

#undef CreateProcess
#undef AnsiUpper

namespace platform::win32 {
namespace {

// How long an ended process may take to be gone after TerminateProcess or TerminateJobObject
// returned, which only start the ending.
constexpr DWORD kTerminationWaitMs = 5000;

std::string TrimLeadingBlanks(const std::string& text) {
  const size_t nStart = text.find_first_not_of(" \t");
  return nStart == std::string::npos ? std::string() : text.substr(nStart);
}

std::string FileNameOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/");
  return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

// The name of "NAME=value"; a name may start with '=' ("=C:=C:\dir").
std::string_view VariableName(std::string_view variable) {
  return variable.substr(0, variable.find('=', 1));
}

// An ANSI environment block: the variables sorted by name without regard to case, as Windows
// keeps its own, each ended by a null character, and the block by one more.
std::string EnvironmentBlock(std::vector<std::string> variables) {
  std::stable_sort(variables.begin(), variables.end(),
                   [](const std::string& a, const std::string& b) {
                     return AnsiUpper(VariableName(a)) < AnsiUpper(VariableName(b));
                   });
  std::string block;
  for (const std::string& variable : variables) block += variable + '\0';
  if (block.empty()) block += '\0';
  return block + '\0';
}

std::string ImageFileNameOf(HANDLE process) {
  char path[MAX_PATH * 4];
  DWORD nSize = sizeof path;
  return QueryFullProcessImageNameA(process, 0, path, &nSize) ? FileNameOf(path) : std::string();
}

uint32_t RunningProgramPath(std::string& path) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (nLength == 0) return GetLastError();
    if (nLength < buffer.size()) {
      path = buffer.substr(0, nLength);
      return ERROR_SUCCESS;
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool HasEnded(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// A job for a started process and the processes it starts. A program may still leave it on
// purpose (CREATE_BREAKAWAY_FROM_JOB), which some programs need to start at all.
HANDLE CreateProcessJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (!job) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);  // a job its programs could not leave: better none
    return nullptr;
  }
  return job;
}

// Whether a program is to get the engine's own environment: it then inherits it whole, in its
// Unicode form and with the drives' current directories, which an ANSI block would lose.
bool IsOwnEnvironment(const std::vector<std::string>& variables) {
  return variables == Win32Environment().Block();
}

// A program that is not there: ERROR_PATH_NOT_FOUND when its folder is missing too.
uint32_t MissingProgramError(const std::string& program) {
  const size_t nSlash = program.rfind('\\');
  if (nSlash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  const std::string folder = program.substr(0, nSlash);
  return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? ERROR_PATH_NOT_FOUND
                                                                       : ERROR_FILE_NOT_FOUND;
}

// The program of a command line is its first word (double quotes group), found as CreateProcess
// finds a program (with ".exe" added when it has no extension). Handing CreateProcess the program
// spares the guesses it makes for an unquoted path with blanks, which could start
// C:\Program.exe for C:\Program Files\App\app.exe.
uint32_t FindProgram(const std::string& commandLine, std::string& program) {
  std::string word;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t nEnd = commandLine.find('"', 1);
    word = commandLine.substr(1, nEnd == std::string::npos ? std::string::npos : nEnd - 1);
  } else {
    word = commandLine.substr(0, commandLine.find_first_of(" \t"));
  }
  if (word.empty()) return ERROR_FILE_NOT_FOUND;
  char found[MAX_PATH];
  const DWORD nLength = SearchPathA(nullptr, word.c_str(), ".exe", MAX_PATH, found, nullptr);
  if (nLength == 0) {
    const DWORD err = GetLastError();
    return err == ERROR_FILE_NOT_FOUND ? MissingProgramError(word) : err;
  }
  if (nLength >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  program.assign(found, nLength);
  return ERROR_SUCCESS;
}

struct StartedProcess {
  PROCESS_INFORMATION pi = {};
  std::string userName;  // "domain\user", or "user" for this computer; empty for the engine's
};

uint32_t StartAsEngine(const ProcessStart& start, std::string commandLine, DWORD dwFlags,
                       StartedProcess& started) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(start.nShowCmd);
  const bool bOwnEnvironment = !start.environment || IsOwnEnvironment(*start.environment);
  std::string environment;
  if (!bOwnEnvironment) environment = EnvironmentBlock(*start.environment);
  const char* pszDirectory =
      start.currentDirectory.empty() ? nullptr : start.currentDirectory.c_str();
  std::string program;
  if (const uint32_t err = FindProgram(commandLine, program)) return err;
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, dwFlags,
                      bOwnEnvironment ? nullptr : environment.data(), pszDirectory, &si,
                      &started.pi))
    return GetLastError();
  return ERROR_SUCCESS;
}

// The secondary logon logs the user on and starts the program in one call; a failed logon
// (ERROR_LOGON_FAILURE) starts nothing. The program gets the user's profile and, unless the
// caller gives one, the environment of that profile rather than the engine's.
uint32_t StartAsUser(const ProcessStart& start, const std::string& commandLine, DWORD dwFlags,
                     StartedProcess& started) {
  const bool bLocal = start.domain.empty() || start.domain == ".";
  const std::wstring user = WideFromAnsi(start.userName);
  const std::wstring domain = WideFromAnsi(bLocal ? std::string(".") : start.domain);
  const std::wstring password = WideFromAnsi(start.password);
  std::wstring wideCommandLine = WideFromAnsi(commandLine);
  std::wstring environment;
  if (start.environment) environment = WideFromAnsi(EnvironmentBlock(*start.environment));
  const std::wstring directory = WideFromAnsi(start.currentDirectory);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(start.nShowCmd);
  SetLastError(ERROR_SUCCESS);
  if (!CreateProcessWithLogonW(user.c_str(), domain.c_str(), password.c_str(), LOGON_WITH_PROFILE,
                               nullptr, wideCommandLine.data(),
                               dwFlags | CREATE_UNICODE_ENVIRONMENT,
                               start.environment ? environment.data() : nullptr,
                               directory.empty() ? nullptr : directory.c_str(), &si, &started.pi)) {
    const DWORD err = GetLastError();  // none where the system has no secondary logon (Wine)
    return err ? err : ERROR_LOGON_FAILURE;
  }
  started.userName = bLocal ? start.userName : start.domain + "\\" + start.userName;
  return ERROR_SUCCESS;
}

}  // namespace

struct Win32Processes::Entry {
  HANDLE process = nullptr;
  HANDLE job = nullptr;  // null for an opened process, or when Windows refused a job
  ProcessInfo info;

  Entry() = default;
  Entry(const Entry&) = delete;
  Entry& operator=(const Entry&) = delete;
  ~Entry() {
    if (job) CloseHandle(job);
    if (process) CloseHandle(process);
  }
};

Win32Processes::Win32Processes() = default;
Win32Processes::~Win32Processes() = default;

Win32Processes::Entry* Win32Processes::EntryOf(ProcessHandle hProcess) {
  const auto it = entries_.find(static_cast<uint32_t>(hProcess));
  return it == entries_.end() ? nullptr : it->second.get();
}

ProcessHandle Win32Processes::AddEntry(std::unique_ptr<Entry> entry) {
  while (nNextHandle_ == 0 || entries_.contains(nNextHandle_)) ++nNextHandle_;
  const uint32_t nHandle = nNextHandle_++;
  entries_[nHandle] = std::move(entry);
  return static_cast<ProcessHandle>(nHandle);
}

uint32_t Win32Processes::CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) {
  hProcess = ProcessHandle::Invalid;
  const std::string commandLine = TrimLeadingBlanks(start.commandLine);
  const DWORD dwFlags = CREATE_SUSPENDED | CREATE_DEFAULT_ERROR_MODE;
  StartedProcess started;
  const uint32_t err = start.userName.empty() ? StartAsEngine(start, commandLine, dwFlags, started)
                                              : StartAsUser(start, commandLine, dwFlags, started);
  if (err) return err;
  auto entry = std::make_unique<Entry>();
  entry->process = started.pi.hProcess;
  entry->job = CreateProcessJob();
  if (entry->job && !AssignProcessToJobObject(entry->job, entry->process)) {
    CloseHandle(entry->job);  // a job that forbids nested jobs: the process alone, then
    entry->job = nullptr;
  }
  const bool bResumed = ResumeThread(started.pi.hThread) != static_cast<DWORD>(-1);
  const DWORD dwResumeError = GetLastError();
  CloseHandle(started.pi.hThread);
  if (!bResumed) {  // a program that never runs would be waited for forever
    ::TerminateProcess(started.pi.hProcess, dwResumeError);  // the entry closes its handle
    return dwResumeError;
  }
  entry->info = {started.pi.dwProcessId, ImageFileNameOf(entry->process), start.nShowCmd,
                 started.userName};
  hProcess = AddEntry(std::move(entry));
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::OpenProcess(uint32_t dwProcessId, ProcessHandle& hProcess) {
  hProcess = ProcessHandle::Invalid;
  HANDLE process = ::OpenProcess(
      PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId);
  if (!process) return GetLastError();
  auto entry = std::make_unique<Entry>();
  entry->process = process;
  entry->info = {dwProcessId, ImageFileNameOf(process), SW_SHOWNORMAL, {}};
  hProcess = AddEntry(std::move(entry));
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::WaitForProcess(ProcessHandle hProcess, uint32_t nTimeoutMs,
                                        const WaitStepCallback& onStep, WaitResult& result) {
  const ULONGLONG nStart = GetTickCount64();
  for (;;) {
    Entry* entry = EntryOf(hProcess);
    if (!entry) return ERROR_INVALID_HANDLE;
    if (HasEnded(entry->process)) {
      result = WaitResult::Exited;
      return ERROR_SUCCESS;
    }
    const ULONGLONG nElapsed = GetTickCount64() - nStart;
    if (nTimeoutMs != INFINITE && nElapsed >= nTimeoutMs) {
      result = WaitResult::TimedOut;
      return ERROR_SUCCESS;
    }
    const ULONGLONG nRemaining = nTimeoutMs == INFINITE ? INFINITE : nTimeoutMs - nElapsed;
    if (!onStep) {
      WaitForSingleObject(entry->process, static_cast<DWORD>(nRemaining));
      continue;
    }
    const DWORD nStep = static_cast<DWORD>(std::min<ULONGLONG>(nRemaining, WAIT_STEP_MS));
    MsgWaitForMultipleObjects(1, &entry->process, FALSE, nStep, QS_ALLINPUT);
    if (!HasEnded(entry->process) && !onStep()) {
      result = WaitResult::Stopped;
      return ERROR_SUCCESS;
    }
  }
}

uint32_t Win32Processes::TerminateProcess(ProcessHandle hProcess, uint32_t dwExitCode) {
  Entry* entry = EntryOf(hProcess);
  if (!entry) return ERROR_INVALID_HANDLE;
  if (HasEnded(entry->process)) return ERROR_ACCESS_DENIED;
  const BOOL bEnded = entry->job ? TerminateJobObject(entry->job, dwExitCode)
                                 : ::TerminateProcess(entry->process, dwExitCode);
  if (!bEnded) return GetLastError();
  WaitForSingleObject(entry->process, kTerminationWaitMs);
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::GetExitCodeProcess(ProcessHandle hProcess, uint32_t& dwExitCode) {
  Entry* entry = EntryOf(hProcess);
  if (!entry) return ERROR_INVALID_HANDLE;
  if (!HasEnded(entry->process)) {
    dwExitCode = STILL_ACTIVE;
    return ERROR_SUCCESS;
  }
  DWORD dwCode = 0;
  if (!::GetExitCodeProcess(entry->process, &dwCode)) return GetLastError();
  dwExitCode = dwCode;
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::IsProcessRunning(ProcessHandle hProcess, bool& bRunning) {
  Entry* entry = EntryOf(hProcess);
  if (!entry) return ERROR_INVALID_HANDLE;
  bRunning = !HasEnded(entry->process);
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::GetProcessInfo(ProcessHandle hProcess, ProcessInfo& info) {
  Entry* entry = EntryOf(hProcess);
  if (!entry) return ERROR_INVALID_HANDLE;
  info = entry->info;
  return ERROR_SUCCESS;
}

uint32_t Win32Processes::CloseProcess(ProcessHandle hProcess) {
  return entries_.erase(static_cast<uint32_t>(hProcess)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t Win32Processes::EnumProcesses(const std::string& moduleName,
                                       std::vector<ProcessEntry>& entries) {
  entries.clear();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return GetLastError();
  PROCESSENTRY32 process = {};
  process.dwSize = sizeof process;
  for (BOOL bMore = Process32First(snapshot, &process); bMore;
       bMore = Process32Next(snapshot, &process)) {
    if (moduleName.empty() || ModuleNamesMatch(moduleName, process.szExeFile))
      entries.push_back({process.th32ProcessID, process.szExeFile});
  }
  const DWORD err = GetLastError();
  CloseHandle(snapshot);
  return err == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : err;
}

uint32_t Win32Processes::PlaceEngineImage(const std::string& windowsPath) {
  std::string enginePath;
  if (const uint32_t err = RunningProgramPath(enginePath)) return err;
  return CopyFileA(enginePath.c_str(), windowsPath.c_str(), FALSE) ? ERROR_SUCCESS : GetLastError();
}

uint32_t Win32Processes::GetEngineImage(EngineImage& image) {
  image = {};
  return RunningProgramPath(image.programPath);
}

void Win32Processes::ExitProcess(uint32_t dwExitCode) {
  ::ExitProcess(dwExitCode);
}

}  // namespace platform::win32
