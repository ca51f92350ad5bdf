// Recorded program starts: each gets a handle of this class whose process has already ended with
// exit code 0; handles of opened wrapped processes pass their questions on.
#include "platform/recording/recording_processes.h"

#include "platform/command_line_args.h"
#include "platform/search_path.h"
#include "platform/win_error.h"

namespace platform {

namespace {

// The file name of the program a command line starts (the first word; quotes group).
std::string ModuleNameOf(const std::string& commandLine) {
  std::string program;
  if (!commandLine.empty() && commandLine[0] == '"')
    program = commandLine.substr(1, commandLine.find('"', 1) - 1);
  else
    program = commandLine.substr(0, commandLine.find(' '));
  const size_t slash = program.find_last_of("\\/");
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

}  // namespace

RecordingProcesses::~RecordingProcesses() {
  for (auto& [nHandle, process] : m_processes)
    if (process.hWrapped != ProcessHandle::Invalid) m_wrapped.CloseProcess(process.hWrapped);
}

RecordingProcesses::Process* RecordingProcesses::Find(ProcessHandle hProcess) {
  auto it = m_processes.find(static_cast<uint32_t>(hProcess));
  return it == m_processes.end() ? nullptr : &it->second;
}

uint32_t RecordingProcesses::CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) {
  std::string programPath;
  if (uint32_t dwError = FindProgram(start, programPath)) return dwError;
  std::string detail = start.currentDirectory;
  if (!start.userName.empty()) detail += (detail.empty() ? "as " : ", as ") + start.userName;
  m_changes.Add(ChangeKind::ProgramStarted, start.commandLine, detail);
  Process process;
  process.info.moduleName = ModuleNameOf(start.commandLine);
  process.info.nShowCmd = start.nShowCmd;
  process.info.userName = start.userName;
  m_processes.emplace(++m_nLastHandle, std::move(process));
  hProcess = static_cast<ProcessHandle>(m_nLastHandle);
  return ERROR_SUCCESS;
}

// The wrapped machine finds the programs it has; one the run made (copied, say) is found among the
// run's files. A current directory that the run made, and the wrapped machine lacks, is left to
// the run's files too.
uint32_t RecordingProcesses::FindProgram(const ProcessStart& start, std::string& programPath) {
  uint32_t dwWrapped = m_wrapped.FindProgram(start, programPath);
  if (dwWrapped == ERROR_DIRECTORY && IsRunDirectory(start.currentDirectory)) {
    ProcessStart elsewhere = start;
    elsewhere.currentDirectory.clear();
    dwWrapped = m_wrapped.FindProgram(elsewhere, programPath);
  }
  if (dwWrapped == ERROR_SUCCESS) return ERROR_SUCCESS;
  const std::vector<std::string> args = CommandLineToArgv(start.commandLine);
  const std::string program = args.empty() ? std::string() : args[0];
  for (const std::string& name : {program, program + ".exe"})
    if (SearchPath(m_machine, start.currentDirectory, name, programPath) == ERROR_SUCCESS)
      return CheckCopiedProgram(start, programPath);
  return dwWrapped;
}

// A copy is no program when the wrapped machine finds its source none; a file the run wrote
// itself is taken as a program.
uint32_t RecordingProcesses::CheckCopiedProgram(const ProcessStart& start,
                                                const std::string& programPath) {
  const std::string source = m_files.WrappedContentOf(programPath);
  if (source.empty()) return ERROR_SUCCESS;
  ProcessStart asSource = start;
  asSource.commandLine = "\"" + source + "\"";
  asSource.currentDirectory.clear();
  std::string sourcePath;
  const uint32_t dwError = m_wrapped.FindProgram(asSource, sourcePath);
  return dwError == ERROR_BAD_EXE_FORMAT ? dwError : ERROR_SUCCESS;
}

// A directory among the run's files.
bool RecordingProcesses::IsRunDirectory(const std::string& path) {
  uint32_t dwAttributes = 0;
  return !path.empty() &&
         m_machine.Files().GetFileAttributes(path, dwAttributes) == ERROR_SUCCESS &&
         (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

uint32_t RecordingProcesses::OpenProcess(uint32_t dwProcessId, ProcessHandle& hProcess) {
  Process process;
  if (uint32_t dwError = m_wrapped.OpenProcess(dwProcessId, process.hWrapped)) return dwError;
  m_processes.emplace(++m_nLastHandle, std::move(process));
  hProcess = static_cast<ProcessHandle>(m_nLastHandle);
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::WaitForProcess(ProcessHandle hProcess, uint32_t nTimeoutMs,
                                            const WaitStepCallback& onStep, WaitResult& result) {
  Process* pProcess = Find(hProcess);
  if (!pProcess) return ERROR_INVALID_HANDLE;
  if (pProcess->hWrapped != ProcessHandle::Invalid)
    return m_wrapped.WaitForProcess(pProcess->hWrapped, nTimeoutMs, onStep, result);
  result = WaitResult::Exited;
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::TerminateProcess(ProcessHandle hProcess, uint32_t dwExitCode) {
  Process* pProcess = Find(hProcess);
  if (!pProcess) return ERROR_INVALID_HANDLE;
  if (pProcess->hWrapped == ProcessHandle::Invalid) return ERROR_ACCESS_DENIED;  // ended already
  ProcessInfo info;
  m_wrapped.GetProcessInfo(pProcess->hWrapped, info);
  m_changes.Add(
      ChangeKind::ProgramEnded, info.moduleName,
      "process " + std::to_string(info.dwProcessId) + ", exit code " + std::to_string(dwExitCode));
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::GetExitCodeProcess(ProcessHandle hProcess, uint32_t& dwExitCode) {
  Process* pProcess = Find(hProcess);
  if (!pProcess) return ERROR_INVALID_HANDLE;
  if (pProcess->hWrapped != ProcessHandle::Invalid)
    return m_wrapped.GetExitCodeProcess(pProcess->hWrapped, dwExitCode);
  dwExitCode = 0;
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::IsProcessRunning(ProcessHandle hProcess, bool& bRunning) {
  Process* pProcess = Find(hProcess);
  if (!pProcess) return ERROR_INVALID_HANDLE;
  if (pProcess->hWrapped != ProcessHandle::Invalid)
    return m_wrapped.IsProcessRunning(pProcess->hWrapped, bRunning);
  bRunning = false;
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::GetProcessInfo(ProcessHandle hProcess, ProcessInfo& info) {
  Process* pProcess = Find(hProcess);
  if (!pProcess) return ERROR_INVALID_HANDLE;
  if (pProcess->hWrapped != ProcessHandle::Invalid)
    return m_wrapped.GetProcessInfo(pProcess->hWrapped, info);
  info = pProcess->info;
  return ERROR_SUCCESS;
}

uint32_t RecordingProcesses::CloseProcess(ProcessHandle hProcess) {
  auto it = m_processes.find(static_cast<uint32_t>(hProcess));
  if (it == m_processes.end()) return ERROR_INVALID_HANDLE;
  const ProcessHandle hWrapped = it->second.hWrapped;
  m_processes.erase(it);
  return hWrapped == ProcessHandle::Invalid ? ERROR_SUCCESS : m_wrapped.CloseProcess(hWrapped);
}

// Ending the engine itself changes nothing on the machine: the wrapped machine ends it.
void RecordingProcesses::ExitProcess(uint32_t dwExitCode) {
  m_wrapped.ExitProcess(dwExitCode);
  for (;;) {
  }  // never reached: the compiler cannot tell that an override does not return
}

uint32_t RecordingProcesses::PlaceEngineImage(const std::string& windowsPath) {
  EngineImage image;
  if (const uint32_t dwError = m_wrapped.GetEngineImage(image)) return dwError;
  FileSystem& files = m_machine.Files();
  return image.programPath.empty() ? files.WriteWholeFile(windowsPath, image.bytes)
                                   : files.CopyFile(image.programPath, windowsPath, false);
}

}  // namespace platform
