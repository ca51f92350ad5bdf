// The processes of a recorded run: a program the run starts is logged and not started; its handle
// answers as a program that ran and ended with exit code 0, so that the engine's wait and its
// reading of the exit code go on as after a real run. A program that neither the wrapped machine
// nor the run's own files have is refused as CreateProcess refuses it, and so is a copy the run
// made of a file the wrapped machine would not start (no program). Running processes of the wrapped
// machine are listed and opened as they are; ending one is logged, not done. The engine image is
// the wrapped machine's, placed in the run's file system (a copy of its program, or its bytes): a
// later run of it would be a recorded start anyway.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/machine.h"
#include "platform/processes.h"
#include "platform/recording/machine_change.h"
#include "platform/recording/overlay_file_system.h"

namespace platform {

class RecordingProcesses final : public Processes {
 public:
  // machine: the recording machine, whose files (files) are the run's own (the engine image is
  // placed there, and a program the run made is found there).
  RecordingProcesses(Processes& wrapped, Machine& machine, OverlayFileSystem& files,
                     ChangeLog& changes)
      : m_wrapped(wrapped), m_machine(machine), m_files(files), m_changes(changes) {}
  ~RecordingProcesses() override;

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
                         std::vector<ProcessEntry>& entries) override {
    return m_wrapped.EnumProcesses(moduleName, entries);
  }
  uint32_t PlaceEngineImage(const std::string& windowsPath) override;
  uint32_t GetEngineImage(EngineImage& image) override { return m_wrapped.GetEngineImage(image); }
  [[noreturn]] void ExitProcess(uint32_t dwExitCode) override;

 private:
  // A program the run started (recorded, never run) or a wrapped process it opened.
  struct Process {
    ProcessHandle hWrapped = ProcessHandle::Invalid;
    ProcessInfo info;  // of a recorded start
  };
  Process* Find(ProcessHandle hProcess);
  bool IsRunDirectory(const std::string& path);
  uint32_t CheckCopiedProgram(const ProcessStart& start, const std::string& programPath);

  Processes& m_wrapped;
  Machine& m_machine;
  OverlayFileSystem& m_files;
  ChangeLog& m_changes;
  std::unordered_map<uint32_t, Process> m_processes;
  uint32_t m_nLastHandle = 0;
};

}  // namespace platform
