// The process service of the emulated machine: a start resolves the account, the current
// directory and the program, builds the host argv and environment and spawns; the other
// operations look the handle up and ask its HostChild. Waits run in short steps so the engine's
// callback can pump its user interface; the handle is looked up again after every callback
// because the callback may close it.
#include "platform/emulated/processes/host_processes.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/code_page.h"
#include "platform/command_line_args.h"
#include "platform/emulated/processes/child_environment.h"
#include "platform/emulated/processes/engine_image.h"
#include "platform/emulated/processes/exit_code_file.h"
#include "platform/emulated/processes/host_child.h"
#include "platform/emulated/processes/process_list.h"
#include "platform/emulated/processes/process_spawn.h"
#include "platform/module_name_match.h"
#include "platform/win_error.h"

namespace platform {
namespace {

std::string TrimLeadingBlanks(const std::string& text) {
  const size_t nStart = text.find_first_not_of(" \t");
  return nStart == std::string::npos ? std::string() : text.substr(nStart);
}

std::string FileNameOf(const std::string& hostPath) {
  const size_t nSlash = hostPath.find_last_of('/');
  return Utf8ToAnsi(nSlash == std::string::npos ? hostPath : hostPath.substr(nSlash + 1));
}

uint64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count());
}

}  // namespace

HostProcesses::HostProcesses(HostProcessesConfig config) : config_(std::move(config)) {}

HostProcesses::~HostProcesses() = default;

HostChild* HostProcesses::ChildOf(ProcessHandle hProcess) {
  const auto it = entries_.find(static_cast<uint32_t>(hProcess));
  return it == entries_.end() ? nullptr : it->second.child.get();
}

ProcessHandle HostProcesses::AddEntry(std::unique_ptr<HostChild> child, ProcessInfo info) {
  while (nNextHandle_ == 0 || entries_.contains(nNextHandle_)) ++nNextHandle_;
  const uint32_t nHandle = nNextHandle_++;
  entries_[nHandle] = Entry{std::move(child), std::move(info)};
  return static_cast<ProcessHandle>(nHandle);
}

uint32_t HostProcesses::LogOn(const ProcessStart& start, std::string& userName) const {
  userName.clear();
  if (start.userName.empty()) return ERROR_SUCCESS;
  if (!config_.checkLogon) return ERROR_LOGON_FAILURE;
  if (const uint32_t err = config_.checkLogon(start.domain, start.userName, start.password))
    return err;
  const bool bLocal = start.domain.empty() || start.domain == ".";
  userName = bLocal ? start.userName : start.domain + "\\" + start.userName;
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::HostArgv(const FoundProgram& program, const std::vector<std::string>& args,
                                 std::vector<std::string>& argv) const {
  argv.clear();
  if (program.kind == ProgramKind::Windows) {
    if (config_.wineProgram.empty()) return ERROR_BAD_EXE_FORMAT;
    argv.push_back(config_.wineProgram);
  }
  if (program.kind == ProgramKind::Engine) {
    const std::string engine = FindEngine(config_.engineCandidates);
    if (engine.empty()) return ERROR_BAD_EXE_FORMAT;
    argv.push_back(engine);
  } else {
    argv.push_back(program.hostPath);
  }
  for (size_t i = 1; i < args.size(); ++i) argv.push_back(AnsiToUtf8(args[i]));
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) {
  return Start(start, false, hProcess);
}

uint32_t HostProcesses::CreateServiceProcess(const ProcessStart& start, ProcessHandle& hProcess) {
  return Start(start, true, hProcess);
}

uint32_t HostProcesses::FindProgram(const ProcessStart& start, std::string& programPath) {
  programPath.clear();
  const std::vector<std::string> args = CommandLineToArgv(TrimLeadingBlanks(start.commandLine));
  std::string hostDirectory;
  FoundProgram program;
  if (const uint32_t err = LocateProgram(start, args[0], hostDirectory, program)) return err;
  programPath = program.windowsPath;
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::LocateProgram(const ProcessStart& start, const std::string& programWord,
                                      std::string& hostDirectory, FoundProgram& program) const {
  if (const uint32_t err =
          MapCurrentDirectory(config_.mapPath, start.currentDirectory, hostDirectory))
    return err;
  const ProgramSearch search{config_.mapPath, start.currentDirectory, hostDirectory,
                             config_.searchDirectories, config_.machineDirectory};
  return platform::FindProgram(search, programWord, program);
}

uint32_t HostProcesses::Start(const ProcessStart& start, bool bDetached, ProcessHandle& hProcess) {
  hProcess = ProcessHandle::Invalid;
  const std::vector<std::string> args = CommandLineToArgv(TrimLeadingBlanks(start.commandLine));
  std::string userName;
  if (const uint32_t err = LogOn(start, userName)) return err;
  SpawnRequest request;
  FoundProgram program;
  if (const uint32_t err = LocateProgram(start, args[0], request.directory, program)) return err;
  if (const uint32_t err = HostArgv(program, args, request.argv)) return err;
  std::string exitCodeFile;
  if (!bDetached)
    if (const uint32_t err = CreateExitCodeFile(config_.exitCodeDirectory, exitCodeFile))
      return err;
  request.bDetached = bDetached;
  request.environment = ChildEnvironment(start.environment, exitCodeFile);
  SetEngineImageVariable(request.environment, program.kind == ProgramKind::Engine
                                                  ? AnsiToUtf8(program.windowsPath)
                                                  : std::string());
  pid_t pid = 0;
  if (const uint32_t err = SpawnProcess(request, pid)) {
    if (!exitCodeFile.empty()) ::unlink(exitCodeFile.c_str());
    return err;
  }
  hProcess = AddEntry(
      HostChild::Started(pid, exitCodeFile),
      {static_cast<uint32_t>(pid), FileNameOf(program.hostPath), start.nShowCmd, userName});
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::OpenProcess(uint32_t dwProcessId, ProcessHandle& hProcess) {
  hProcess = ProcessHandle::Invalid;
  const pid_t pid = static_cast<pid_t>(dwProcessId);
  std::unique_ptr<HostChild> child;
  if (const uint32_t err = HostChild::Open(pid, child)) return err;
  ProcessInfo info{dwProcessId, {}, SW_SHOWNORMAL, {}};
  ModuleNameOfProcess(pid, info.moduleName);
  hProcess = AddEntry(std::move(child), std::move(info));
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::WaitForProcess(ProcessHandle hProcess, uint32_t nTimeoutMs,
                                       const WaitStepCallback& onStep, WaitResult& result) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    HostChild* child = ChildOf(hProcess);
    if (!child) return ERROR_INVALID_HANDLE;
    if (child->HasEnded()) {
      result = WaitResult::Exited;
      return ERROR_SUCCESS;
    }
    const uint64_t nElapsed = MillisecondsSince(start);
    if (nTimeoutMs != INFINITE && nElapsed >= nTimeoutMs) {
      result = WaitResult::TimedOut;
      return ERROR_SUCCESS;
    }
    const uint64_t nRemaining = nTimeoutMs == INFINITE ? INFINITE : nTimeoutMs - nElapsed;
    child->WaitStep(
        static_cast<uint32_t>(onStep ? std::min<uint64_t>(nRemaining, WAIT_STEP_MS) : nRemaining));
    if (!child->HasEnded() && onStep && !onStep()) {
      result = WaitResult::Stopped;
      return ERROR_SUCCESS;
    }
  }
}

uint32_t HostProcesses::TerminateProcess(ProcessHandle hProcess, uint32_t dwExitCode) {
  HostChild* child = ChildOf(hProcess);
  return child ? child->Terminate(dwExitCode) : ERROR_INVALID_HANDLE;
}

uint32_t HostProcesses::GetExitCodeProcess(ProcessHandle hProcess, uint32_t& dwExitCode) {
  HostChild* child = ChildOf(hProcess);
  if (!child) return ERROR_INVALID_HANDLE;
  dwExitCode = child->HasEnded() ? child->ExitCode() : STILL_ACTIVE;
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::IsProcessRunning(ProcessHandle hProcess, bool& bRunning) {
  HostChild* child = ChildOf(hProcess);
  if (!child) return ERROR_INVALID_HANDLE;
  bRunning = !child->HasEnded();
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::GetProcessInfo(ProcessHandle hProcess, ProcessInfo& info) {
  const auto it = entries_.find(static_cast<uint32_t>(hProcess));
  if (it == entries_.end()) return ERROR_INVALID_HANDLE;
  info = it->second.info;
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::CloseProcess(ProcessHandle hProcess) {
  return entries_.erase(static_cast<uint32_t>(hProcess)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t HostProcesses::EnumProcesses(const std::string& moduleName,
                                      std::vector<ProcessEntry>& entries) {
  ListHostProcesses(entries);
  if (!moduleName.empty())
    std::erase_if(entries, [&](const ProcessEntry& entry) {
      return !ModuleNamesMatch(moduleName, entry.moduleName);
    });
  return ERROR_SUCCESS;
}

uint32_t HostProcesses::PlaceEngineImage(const std::string& windowsPath) {
  return config_.writeFile ? config_.writeFile(windowsPath, EngineImageText())
                           : ERROR_NOT_SUPPORTED;
}

uint32_t HostProcesses::GetEngineImage(EngineImage& image) {
  image = {{}, EngineImageText()};
  return ERROR_SUCCESS;
}

void HostProcesses::ExitProcess(uint32_t dwExitCode) {
  WriteOwnExitCode(dwExitCode);
  std::exit(static_cast<int>(dwExitCode & 0xFF));
}

}  // namespace platform
