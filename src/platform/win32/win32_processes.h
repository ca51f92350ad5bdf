// Programs started and watched through the Windows process functions. A program this service
// starts runs in a job object of its own, so that ending it ends the programs it started in turn;
// a program started as another account goes through the secondary logon (CreateProcessWithLogonW),
// which needs no privilege of the engine, and gets that user's profile and environment.
#pragma once
#include <map>
#include <memory>

#include "platform/processes.h"

namespace platform::win32 {

class Win32Processes final : public Processes {
 public:
  Win32Processes();
  ~Win32Processes() override;
  Win32Processes(const Win32Processes&) = delete;
  Win32Processes& operator=(const Win32Processes&) = delete;

  uint32_t CreateProcess(const ProcessStart& start, ProcessHandle& hProcess) override;
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

 private:
  struct Entry;  // the process and job handles of one number

  Entry* EntryOf(ProcessHandle hProcess);
  ProcessHandle AddEntry(std::unique_ptr<Entry> entry);

  std::map<uint32_t, std::unique_ptr<Entry>> entries_;
  uint32_t nNextHandle_ = 1;
};

}  // namespace platform::win32
