// A stand-in for the programs a scenario has a setup start (an old version's uninstaller, the
// Windows Installer, a product's tool, a readme viewer, a worker the setup ends), built for both
// machines from this one source: scenarios copy it under the name the program needs. It prints
// "<name> ran with: <arguments>" and ends as the file <name>.ini beside it says, if there is one:
//   ExitCode=-6708   the code it ends with, whole as a Windows exit code (default 0)
//   Sleep=30         the seconds it runs first, its output closed so that it holds no pipe open
//   StopDelay=3      a stop request (SIGTERM, as the emulated machine stops a service, or the
//                    service manager's stop control on Windows) ends it only this many seconds
//                    later (by default at once)
//   IgnoreStop=1     a stop request does not end it
//   LocalServer={CLSID}  the program is a local COM server of that class: /RegServer writes
//                    HKCR\CLSID\{CLSID}\LocalServer32 with the program's path, /UnregServer
//                    removes HKCR\CLSID\{CLSID}; it ends with the registry's error, if any
#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/program_path.h"

#ifndef _WIN32
#include "platform/emulated/machine/emulated_machine.h"
#include "platform/emulated/processes/exit_code_file.h"
#include "platform/win_error.h"
#endif

#ifdef _WIN32
#include "platform/win32/windows_api.h"
// clang-format off
#include <tlhelp32.h>
#include <winsvc.h>
// clang-format on
#endif

namespace {

struct Behaviour {
  long long nExitCode = 0;
  int nSleepSeconds = 0;
  int nStopDelaySeconds = 0;
  bool bIgnoreStop = false;
  std::string localServerClsid;
};

Behaviour ReadBehaviour(const std::string& iniPath) {
  Behaviour behaviour;
  std::ifstream ini(iniPath);
  for (std::string line; std::getline(ini, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t nEquals = line.find('=');
    if (nEquals == std::string::npos) continue;
    const std::string key = line.substr(0, nEquals);
    const std::string value = line.substr(nEquals + 1);
    if (key == "ExitCode") behaviour.nExitCode = std::stoll(value);
    if (key == "Sleep") behaviour.nSleepSeconds = std::stoi(value);
    if (key == "StopDelay") behaviour.nStopDelaySeconds = std::stoi(value);
    if (key == "IgnoreStop") behaviour.bIgnoreStop = std::stoi(value) != 0;
    if (key == "LocalServer") behaviour.localServerClsid = value;
  }
  return behaviour;
}

// The program's path without its extension; its name is the last part of it.
std::string PathWithoutExtension(const std::string& path) {
  const size_t nName = path.find_last_of("/\\") + 1;
  const size_t nDot = path.find('.', nName);
  return nDot == std::string::npos ? path : path.substr(0, nDot);
}

volatile std::sig_atomic_t g_bStopRequested = 0;

extern "C" void NoteStopRequest(int /*nSignal*/) {
  g_bStopRequested = 1;
}

// The sleep, and how a stop request ends it: at once by the signal's default action, after the
// delay when there is one, never when the request is ignored.
void SleepAsTold(const Behaviour& behaviour) {
  if (behaviour.bIgnoreStop)
    std::signal(SIGTERM, SIG_IGN);
  else if (behaviour.nStopDelaySeconds > 0)
    std::signal(SIGTERM, NoteStopRequest);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(behaviour.nSleepSeconds);
  while (std::chrono::steady_clock::now() < end) {
    if (g_bStopRequested) {
      std::this_thread::sleep_for(std::chrono::seconds(behaviour.nStopDelaySeconds));
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// A Windows program's exit code is its whole 32 bits; on Linux the low byte is the status, and
// the whole code goes to the file the emulated machine names.
int EndWith(uint32_t dwCode) {
#ifdef _WIN32
  return static_cast<int>(dwCode);
#else
  platform::WriteOwnExitCode(dwCode);
  return static_cast<int>(dwCode & 0xFF);
#endif
}

// "/RegServer" or "-RegServer" in any case: 1; the same for UnregServer: -1; anything else: 0.
int ServerSwitch(const std::string& arg) {
  std::string word;
  for (const char c : arg) word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "/regserver" || word == "-regserver") return 1;
  if (word == "/unregserver" || word == "-unregserver") return -1;
  return 0;
}

// Registers or unregisters the program as the local server of the class, in the registry of the
// machine it runs on: the real one through advapi32, the emulated one through the machine that
// TARVIUM_MACHINE names.
uint32_t RegisterLocalServer(const std::string& clsid, bool bRegister) {
  const std::string classKey = "CLSID\\" + clsid;
#ifdef _WIN32
  if (!bRegister) return static_cast<uint32_t>(RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey.c_str()));
  char path[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, path, sizeof path)) return GetLastError();
  HKEY hKey = nullptr;
  LONG err = RegCreateKeyExA(HKEY_CLASSES_ROOT, (classKey + "\\LocalServer32").c_str(), 0, nullptr,
                             0, KEY_WRITE, nullptr, &hKey, nullptr);
  if (err != ERROR_SUCCESS) return static_cast<uint32_t>(err);
  err = RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>(std::strlen(path) + 1));
  RegCloseKey(hKey);
  return static_cast<uint32_t>(err);
#else
  using platform::emulated::EmulatedMachine;
  // Only a machine that was named: a test never writes to the user's own default machine.
  if (EmulatedMachine::IsDefaultUnnamed()) return platform::ERROR_PATH_NOT_FOUND;
  std::string error;
  auto machine = EmulatedMachine::Open(EmulatedMachine::DefaultDirectory(),
                                       EmulatedMachine::HostVariables(), error);
  if (!machine) return platform::ERROR_PATH_NOT_FOUND;
  platform::Registry& registry = machine->Reg();
  if (!bRegister) return registry.DeleteTree(platform::RegRoot::ClassesRoot, classKey);
  std::string path;
  if (!machine->EmulatedFiles().GetWindowsPath(platform::RunningProgramHostPath(), path))
    return platform::ERROR_FILE_NOT_FOUND;
  platform::RegValue value{platform::REG_SZ, {path.begin(), path.end()}};
  value.data.push_back(0);
  const std::string serverKey = classKey + "\\LocalServer32";
  if (uint32_t err = registry.CreateKey(platform::RegRoot::ClassesRoot, serverKey)) return err;
  return registry.SetValue(platform::RegRoot::ClassesRoot, serverKey, "", value);
#endif
}

#ifdef _WIN32
// Windows-service mode. Started by the service control manager, the stand-in reports running and
// accepts the stop control; on it, it reports stop-pending and reports stopped StopDelay= seconds
// later, or never with IgnoreStop=1. The dispatcher's table gives ServiceMain no context, so the
// run is reached through one pointer, set while the dispatcher runs.
struct ServiceRun {
  Behaviour behaviour;
  HANDLE hStopAsked = nullptr;
  SERVICE_STATUS_HANDLE hStatus = nullptr;
  SERVICE_STATUS status{};
};
ServiceRun* g_pServiceRun = nullptr;

void ReportServiceState(ServiceRun& run, DWORD dwState) {
  run.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  run.status.dwCurrentState = dwState;
  run.status.dwControlsAccepted = dwState == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  run.status.dwWaitHint =
      dwState == SERVICE_STOP_PENDING ? (run.behaviour.nStopDelaySeconds + 1) * 1000 : 0;
  SetServiceStatus(run.hStatus, &run.status);
}

DWORD WINAPI HandleServiceControl(DWORD dwControl, DWORD /*dwEventType*/, void* /*pEventData*/,
                                  void* pContext) {
  ServiceRun& run = *static_cast<ServiceRun*>(pContext);
  if (dwControl == SERVICE_CONTROL_INTERROGATE) return NO_ERROR;
  if (dwControl != SERVICE_CONTROL_STOP) return ERROR_CALL_NOT_IMPLEMENTED;
  ReportServiceState(run, SERVICE_STOP_PENDING);
  if (!run.behaviour.bIgnoreStop) SetEvent(run.hStopAsked);
  return NO_ERROR;
}

// argv[0] is the service's name.
void WINAPI RunService(DWORD /*argc*/, LPSTR* argv) {
  ServiceRun& run = *g_pServiceRun;
  run.hStatus = RegisterServiceCtrlHandlerExA(argv[0], HandleServiceControl, &run);
  if (!run.hStatus) return;
  ReportServiceState(run, SERVICE_RUNNING);
  WaitForSingleObject(run.hStopAsked, INFINITE);
  Sleep(static_cast<DWORD>(run.behaviour.nStopDelaySeconds) * 1000);
  ReportServiceState(run, SERVICE_STOPPED);
}

// Whether services.exe, the service control manager, started this process. Only then is the
// dispatcher asked: from a console, Wine's dispatcher waits seconds on the manager's pipe before
// it fails.
bool StartedByServiceManager() {
  const HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (hSnapshot == INVALID_HANDLE_VALUE) return false;
  std::vector<PROCESSENTRY32> processes;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL bMore = Process32First(hSnapshot, &entry); bMore;
       bMore = Process32Next(hSnapshot, &entry))
    processes.push_back(entry);
  CloseHandle(hSnapshot);
  const auto byId = [&](DWORD dwId) {
    return std::find_if(processes.begin(), processes.end(),
                        [&](const PROCESSENTRY32& one) { return one.th32ProcessID == dwId; });
  };
  const auto self = byId(GetCurrentProcessId());
  if (self == processes.end()) return false;
  const auto parent = byId(self->th32ParentProcessID);
  return parent != processes.end() && lstrcmpiA(parent->szExeFile, "services.exe") == 0;
}

// Runs the service when the service control manager started the program and says whether it
// did; a program started any other way runs as a console program.
bool RanAsService(const Behaviour& behaviour) {
  if (!StartedByServiceManager()) return false;
  ServiceRun run{behaviour};
  run.hStopAsked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_pServiceRun = &run;
  char name[] = "stand-in";  // ignored for a service that has its process to itself
  const SERVICE_TABLE_ENTRYA table[] = {{name, RunService}, {nullptr, nullptr}};
  const bool bService = StartServiceCtrlDispatcherA(table) ||
                        GetLastError() != ERROR_FAILED_SERVICE_CONTROLLER_CONNECT;
  g_pServiceRun = nullptr;
  CloseHandle(run.hStopAsked);
  return bService;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::string self = PathWithoutExtension(platform::RunningProgramHostPath());
  std::string said = self.substr(self.find_last_of("/\\") + 1) + " ran with:";
  for (int i = 1; i < argc; ++i) said += std::string(" ") + argv[i];
  std::printf("%s\n", said.c_str());
  const Behaviour behaviour = ReadBehaviour(self + ".ini");
#ifdef _WIN32
  if (RanAsService(behaviour)) return EndWith(static_cast<uint32_t>(behaviour.nExitCode));
#endif
  if (!behaviour.localServerClsid.empty() && argc > 1) {
    if (const int nSwitch = ServerSwitch(argv[1]); nSwitch != 0) {
      if (uint32_t err = RegisterLocalServer(behaviour.localServerClsid, nSwitch > 0))
        return EndWith(err);
    }
  }
  if (behaviour.nSleepSeconds > 0) {
    std::fclose(stdout);
    std::fclose(stderr);
    SleepAsTold(behaviour);
  }
  return EndWith(static_cast<uint32_t>(behaviour.nExitCode));
}
