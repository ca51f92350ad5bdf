// The service control manager with a real service: the scenarios' stand-in, copied into a scratch
// folder with an .ini beside it, runs in its service mode when the manager starts it. Waiting for
// a state asks again until the state changes, so no case depends on how fast the machine is.
#include "platform/win32/win32_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/ansi_case.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;
using tarvium::test::UniqueTestName;

using tarvium::test::RunsUnderWine;

constexpr int kMaxPolls = 600;  // a minute: far longer than any start or stop here takes

// A stand-in service of its own: its program and .ini in a scratch folder, its name unique, and
// whatever is left of it removed at the end.
class TestService {
 public:
  explicit TestService(const std::string& ini) : name_(UniqueTestName("TarviumSvc")) {
    program_ = folder_ / (name_ + ".exe");
    bReady_ = Win32FileSystem().CopyFile(TARVIUM_STAND_IN, program_, true) == ERROR_SUCCESS &&
              tarvium::test::WriteFileBytes(folder_ / (name_ + ".ini"), ini);
  }
  ~TestService() {
    ServiceStatus status;
    if (services_.QueryStatus(name_, status) == ERROR_SUCCESS && status.dwProcessId)
      EndProcess(status.dwProcessId);
    services_.DeleteService(name_);
    WaitWhile(SERVICE_STOP_PENDING);
  }
  TestService(const TestService&) = delete;
  TestService& operator=(const TestService&) = delete;

  bool Ready() const { return bReady_; }
  const std::string& Name() const { return name_; }
  ServiceConfig Config() const {
    ServiceConfig config;
    config.binaryPathName = "\"" + program_ + "\" --as-service";
    config.displayName = "Tarvium test service " + name_;
    return config;
  }
  // The status once it has left the state, or the last one read.
  ServiceStatus WaitWhile(uint32_t dwState) {
    ServiceStatus status;
    for (int i = 0; i < kMaxPolls; ++i) {
      if (services_.QueryStatus(name_, status) != ERROR_SUCCESS || status.dwCurrentState != dwState)
        break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return status;
  }

 private:
  static void EndProcess(uint32_t dwProcessId) {
    Win32Processes processes;
    ProcessHandle hProcess = ProcessHandle::Invalid;
    if (processes.OpenProcess(dwProcessId, hProcess) != ERROR_SUCCESS) return;
    processes.TerminateProcess(hProcess, 1);
    WaitResult result;
    processes.WaitForProcess(hProcess, 10000, {}, result);
    processes.CloseProcess(hProcess);
  }

  Win32Services services_;
  ScratchFolder folder_;
  std::string name_;
  std::string program_;
  bool bReady_ = false;
};

// Wine's QueryServiceConfig gives no dependencies; the service's key shows the services stored
// (Wine keeps no groups of the list).
std::vector<std::string> ServicesStoredAsDependencies(const std::string& service) {
  RegValue value;
  std::vector<std::string> names;
  if (Win32Registry().QueryValue(RegRoot::LocalMachine,
                                 "SYSTEM\\CurrentControlSet\\Services\\" + service,
                                 "DependOnService", value) != ERROR_SUCCESS)
    return names;
  const std::string list(value.data.begin(), value.data.end());
  for (size_t nStart = 0; nStart < list.size() && list[nStart] != '\0';) {
    const size_t nEnd = std::min(list.find('\0', nStart), list.size());
    names.push_back(list.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return names;
}

TEST(Win32Services, AServiceIsCreatedChangedStartedStoppedAndDeleted) {
  Win32Services services;
  ASSERT_EQ(services.OpenManager(), ERROR_SUCCESS);
  TestService service("StopDelay=2\r\n");
  ASSERT_TRUE(service.Ready());
  const std::string& name = service.Name();

  ServiceConfig config = service.Config();
  config.dwStartType = SERVICE_DISABLED;
  config.dependencies = {"RpcSs", "+TarviumNoSuchGroup"};
  ASSERT_EQ(services.CreateService(name, config, ""), ERROR_SUCCESS);
  EXPECT_EQ(services.CreateService(AnsiLower(name), config, ""), ERROR_SERVICE_EXISTS);
  ServiceConfig read;
  ASSERT_EQ(services.QueryConfig(name, read), ERROR_SUCCESS);
  EXPECT_EQ(read.dwServiceType, SERVICE_WIN32_OWN_PROCESS);
  EXPECT_EQ(read.dwStartType, SERVICE_DISABLED);
  EXPECT_EQ(read.binaryPathName, config.binaryPathName);
  if (RunsUnderWine())
    EXPECT_EQ(ServicesStoredAsDependencies(name), std::vector<std::string>{"RpcSs"});
  else
    EXPECT_EQ(read.dependencies, config.dependencies);
  EXPECT_EQ(read.displayName, config.displayName);
  EXPECT_TRUE(AnsiEqualNoCase(read.serviceStartName, "LocalSystem")) << read.serviceStartName;
  EXPECT_EQ(services.StartService(name, {}), ERROR_SERVICE_DISABLED);

  std::string keyName;
  ASSERT_EQ(services.GetKeyName(AnsiUpper(config.displayName), keyName), ERROR_SUCCESS);
  EXPECT_TRUE(AnsiEqualNoCase(keyName, name)) << keyName;
  std::vector<std::string> names;
  ASSERT_EQ(services.EnumServices(names), ERROR_SUCCESS);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return AnsiCompareNoCase(a, b) < 0;
  }));
  EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                          [&](const std::string& one) { return AnsiEqualNoCase(one, name); }));

  config.dwStartType = SERVICE_DEMAND_START;
  config.dwErrorControl = SERVICE_ERROR_IGNORE;
  config.dependencies.clear();
  config.displayName.clear();  // the key name becomes the display name
  ASSERT_EQ(services.ChangeConfig(name, config, ""), ERROR_SUCCESS);
  ASSERT_EQ(services.QueryConfig(name, read), ERROR_SUCCESS);
  EXPECT_EQ(read.dwStartType, SERVICE_DEMAND_START);
  EXPECT_EQ(read.dwErrorControl, SERVICE_ERROR_IGNORE);
  EXPECT_TRUE(read.dependencies.empty());
  EXPECT_TRUE(ServicesStoredAsDependencies(name).empty());
  EXPECT_EQ(read.displayName, name);

  ASSERT_EQ(services.StartService(name, {"one", "two words"}), ERROR_SUCCESS);
  ServiceStatus status = service.WaitWhile(SERVICE_START_PENDING);
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(status.dwControlsAccepted & SERVICE_ACCEPT_STOP, SERVICE_ACCEPT_STOP);
  EXPECT_NE(status.dwProcessId, 0u);
  EXPECT_EQ(services.StartService(name, {}), ERROR_SERVICE_ALREADY_RUNNING);

  ASSERT_EQ(services.ControlStop(name, status), ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING);
  EXPECT_EQ(service.WaitWhile(SERVICE_STOP_PENDING).dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(services.ControlStop(name, status), ERROR_SERVICE_NOT_ACTIVE);

  ASSERT_EQ(services.DeleteService(name), ERROR_SUCCESS);
  EXPECT_EQ(services.QueryConfig(name, read), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(services.DeleteService(name), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(services.StartService(name, {}), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(services.GetKeyName("Tarvium no such display name", keyName),
            ERROR_SERVICE_DOES_NOT_EXIST);
}

// Deleting a running service only marks it: the name stays taken until the service ends.
TEST(Win32Services, AServiceThatIgnoresStopStaysStopPendingAndMarkedForDeletion) {
  Win32Services services;
  TestService service("IgnoreStop=1\r\n");
  ASSERT_TRUE(service.Ready());
  const std::string& name = service.Name();
  ASSERT_EQ(services.CreateService(name, service.Config(), ""), ERROR_SUCCESS);
  ASSERT_EQ(services.StartService(name, {}), ERROR_SUCCESS);
  ASSERT_EQ(service.WaitWhile(SERVICE_START_PENDING).dwCurrentState, SERVICE_RUNNING);

  ServiceStatus status;
  ASSERT_EQ(services.ControlStop(name, status), ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING);
  ASSERT_EQ(services.QueryStatus(name, status), ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING);
  EXPECT_EQ(services.ControlStop(name, status), ERROR_SERVICE_CANNOT_ACCEPT_CTRL);

  ASSERT_EQ(services.DeleteService(name), ERROR_SUCCESS);
  EXPECT_EQ(services.DeleteService(name), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(services.CreateService(name, service.Config(), ""), ERROR_SERVICE_MARKED_FOR_DELETE);
}

}  // namespace
}  // namespace platform::win32
