// The emulated service control manager on a real temporary machine. First the cases of Wine's
// conformance tests for the service functions (dlls/advapi32/tests/service.c), ported as tables:
// the argument checks of CreateService, opening by key name only, display and key names, the
// create-query-change-delete sequence, enumeration, the failed starts of try_start_stop (the
// deletion of a service still in use goes with the machine's own deletion case). Cases about
// handles, access masks, NULL pointers, buffer sizes, the other databases and notifications do
// not apply to this name-based interface. Then
// what the machine adds: the registry values, the state shared by engine processes, stop requests
// honoured late or ignored, deletion while running, dependencies and the restart.
#include <gtest/gtest.h>
#include <signal.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/emulated/machine/machine_reboot.h"
#include "platform/emulated/processes/process_signal.h"
#include "platform/emulated/services/service_registry.h"
#include "platform/services.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace {

using namespace platform;
using tarvium::test::TestMachine;
namespace fs = std::filesystem;

constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";

ServiceConfig Config(const std::string& path, uint32_t dwStart = SERVICE_DEMAND_START,
                     uint32_t dwType = SERVICE_WIN32_OWN_PROCESS) {
  ServiceConfig config;
  config.binaryPathName = path;
  config.dwStartType = dwStart;
  config.dwServiceType = dwType;
  return config;
}

// Every field of a configuration in one line, so that a whole configuration compares at once.
std::string Describe(const ServiceConfig& config) {
  std::string text = std::to_string(config.dwServiceType) + " " +
                     std::to_string(config.dwStartType) + " " +
                     std::to_string(config.dwErrorControl) + " [" + config.binaryPathName + "] [" +
                     config.loadOrderGroup + "] [";
  for (const std::string& dependency : config.dependencies) text += dependency + ";";
  return text + "] [" + config.serviceStartName + "] [" + config.displayName + "]";
}

class ServiceManagerTest : public ::testing::Test {
 protected:
  ~ServiceManagerTest() override {
    std::vector<emulated::ServiceRestartStep> steps;
    machine_.Machine().EmulatedServiceManager().ShutDown(steps);  // no program outlives a test
  }

  ServiceManager& Scm() { return machine_.Machine().Services(); }

  // The stand-in as C:\Svc\<name>.exe, told by <name>.ini how to behave; its Windows path.
  std::string PlaceProgram(const std::string& name, const std::string& ini) {
    const std::string path = "C:\\Svc\\" + name + ".exe";
    machine_.WriteFile(path, "");
    machine_.WriteFile("C:\\Svc\\" + name + ".ini", ini);
    fs::copy_file(TARVIUM_STAND_IN, machine_.HostPath(path), fs::copy_options::overwrite_existing);
    fs::permissions(machine_.HostPath(path), fs::perms::owner_all, fs::perm_options::add);
    return path;
  }

  uint32_t State(const std::string& name, ServiceManager* scm = nullptr) {
    ServiceStatus status;
    EXPECT_EQ((scm ? *scm : Scm()).QueryStatus(name, status), ERROR_SUCCESS) << name;
    return status.dwCurrentState;
  }

  // Polls until the state is reached or the seconds have passed.
  bool WaitForState(const std::string& name, uint32_t dwState, int nSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (std::chrono::steady_clock::now() < end) {
      ServiceStatus status;
      Scm().QueryStatus(name, status);
      if (status.dwCurrentState == dwState) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  TestMachine machine_;
};

// --- Wine: test_create_delete_svc (argument checks), test_open_svc, test_open_scm ------------

TEST_F(ServiceManagerTest, WineCreateArgumentChecks) {
  const std::string path = "we_dont_care.exe";
  ServiceConfig interactive =
      Config(path, SERVICE_DISABLED, SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS);
  ServiceConfig withAccount = interactive;
  withAccount.serviceStartName = ".\\User";
  const struct {
    const char* what;
    std::string name;
    ServiceConfig config;
    uint32_t dwExpected;
  } cases[] = {
      {"empty name", "", Config(path), ERROR_INVALID_NAME},
      {"empty path", "winetest", Config(""), ERROR_INVALID_PARAMETER},
      {"empty name and path", "", Config(""), ERROR_INVALID_NAME},
      {"disabled, empty path", "winetest", Config("", SERVICE_DISABLED), ERROR_INVALID_PARAMETER},
      {"own and share process", "winetest",
       Config(path, SERVICE_DISABLED, SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS),
       ERROR_INVALID_PARAMETER},
      {"interactive driver", "winetest",
       Config(path, SERVICE_DISABLED, SERVICE_FILE_SYSTEM_DRIVER | SERVICE_INTERACTIVE_PROCESS),
       ERROR_INVALID_PARAMETER},
      {"interactive with an account", "winetest", withAccount, ERROR_INVALID_PARAMETER},
      {"start types or-ed", "winetest", Config(path, SERVICE_AUTO_START | SERVICE_DISABLED),
       ERROR_INVALID_PARAMETER},
      {"boot start of a process", "winetest", Config(path, SERVICE_BOOT_START),
       ERROR_INVALID_PARAMETER},
      {"both driver types", "winetest",
       Config(path, SERVICE_BOOT_START, SERVICE_KERNEL_DRIVER | SERVICE_FILE_SYSTEM_DRIVER),
       ERROR_INVALID_PARAMETER},
      {"valid interactive", "winetest", interactive, ERROR_SUCCESS},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Scm().CreateService(c.name, c.config, ""), c.dwExpected) << c.what;
  EXPECT_EQ(Scm().DeleteService("winetest"), ERROR_SUCCESS);
  ServiceConfig config;
  EXPECT_EQ(Scm().QueryConfig("winetest", config), ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST_F(ServiceManagerTest, WineDuplicateNames) {
  ServiceConfig first = Config("we_dont_care.exe", SERVICE_AUTO_START);
  first.displayName = "winetest_display";
  ASSERT_EQ(Scm().CreateService("winetest_dupname", first, ""), ERROR_SUCCESS);
  ServiceConfig second = Config("we_dont_care.exe", SERVICE_AUTO_START);
  EXPECT_EQ(Scm().CreateService("winetest_dupname", second, ""), ERROR_SERVICE_EXISTS);
  EXPECT_EQ(Scm().CreateService("WINETEST_DUPNAME", second, ""), ERROR_SERVICE_EXISTS);
  second.displayName = "winetest_dupname";  // another service's key name
  EXPECT_EQ(Scm().CreateService("winetest_dupname2", second, ""), ERROR_DUPLICATE_SERVICE_NAME);
  second.displayName = "winetest_display";  // another's display name (before Windows 10 1709)
  EXPECT_EQ(Scm().CreateService("winetest_dupname2", second, ""), ERROR_DUPLICATE_SERVICE_NAME);
  second.displayName.clear();  // the key name is another's display name
  EXPECT_EQ(Scm().CreateService("winetest_display", second, ""), ERROR_DUPLICATE_SERVICE_NAME);
  EXPECT_EQ(Scm().DeleteService("winetest_dupname"), ERROR_SUCCESS);
}

TEST_F(ServiceManagerTest, WineOpenByKeyNameOnly) {
  EXPECT_EQ(Scm().OpenManager(), ERROR_SUCCESS);
  ServiceConfig config = Config("we_dont_care.exe");
  config.displayName = "Winetest Display";
  ASSERT_EQ(Scm().CreateService("winetest_open", config, ""), ERROR_SUCCESS);
  ServiceStatus status;
  for (const char* name : {"deadbeef", "Winetest Display"}) {
    EXPECT_EQ(Scm().QueryConfig(name, config), ERROR_SERVICE_DOES_NOT_EXIST) << name;
    EXPECT_EQ(Scm().QueryStatus(name, status), ERROR_SERVICE_DOES_NOT_EXIST) << name;
    EXPECT_EQ(Scm().StartService(name, {}), ERROR_SERVICE_DOES_NOT_EXIST) << name;
    EXPECT_EQ(Scm().DeleteService(name), ERROR_SERVICE_DOES_NOT_EXIST) << name;
  }
  EXPECT_EQ(Scm().QueryConfig("WINETEST_OPEN", config), ERROR_SUCCESS);
}

// --- Wine: test_get_displayname, test_get_servicekeyname -------------------------------------

TEST_F(ServiceManagerTest, WineDisplayAndKeyNames) {
  ASSERT_EQ(Scm().CreateService("winetest_displayname", Config("we_dont_care.exe"), ""),
            ERROR_SUCCESS);
  ServiceConfig withDisplay = Config("we_dont_care.exe");
  withDisplay.displayName = "Winetest Spooler";
  ASSERT_EQ(Scm().CreateService("winetest_spooler", withDisplay, ""), ERROR_SUCCESS);
  ServiceConfig config;
  ASSERT_EQ(Scm().QueryConfig("winetest_displayname", config), ERROR_SUCCESS);
  EXPECT_EQ(config.displayName, "winetest_displayname");  // none given: the key name
  std::string name = "ABC";
  EXPECT_EQ(Scm().GetKeyName("Deadbeef", name), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(name, "");
  const struct {
    const char* display;
    const char* key;
  } lookups[] = {{"Winetest Spooler", "winetest_spooler"},
                 {"WINETEST SPOOLER", "winetest_spooler"},
                 {"winetest_displayname", "winetest_displayname"}};
  for (const auto& lookup : lookups) {
    EXPECT_EQ(Scm().GetKeyName(lookup.display, name), ERROR_SUCCESS) << lookup.display;
    EXPECT_EQ(name, lookup.key);
  }
}

// --- Wine: test_sequence, test_enum_svc ------------------------------------------------------

TEST_F(ServiceManagerTest, WineSequenceCreateQueryChangeDelete) {
  ServiceConfig config = Config("we_dont_care.exe", SERVICE_DISABLED,
                                SERVICE_INTERACTIVE_PROCESS | SERVICE_WIN32_OWN_PROCESS);
  config.dwErrorControl = SERVICE_ERROR_IGNORE;
  config.dependencies = {"Master1", "Master2", "+MasterGroup1"};
  config.displayName = "Winetest dummy service";
  ASSERT_EQ(Scm().CreateService("Winetest", config, ""), ERROR_SUCCESS);
  ServiceConfig read;
  ASSERT_EQ(Scm().QueryConfig("Winetest", read), ERROR_SUCCESS);
  config.serviceStartName = "LocalSystem";  // no account given
  EXPECT_EQ(Describe(read), Describe(config));

  read.dwErrorControl = SERVICE_ERROR_NORMAL;
  read.loadOrderGroup = "TestGroup2";
  read.displayName = "Winetest dummy service (2)";
  ASSERT_EQ(Scm().ChangeConfig("Winetest", read, ""), ERROR_SUCCESS);
  ServiceConfig changed;
  ASSERT_EQ(Scm().QueryConfig("Winetest", changed), ERROR_SUCCESS);
  EXPECT_EQ(Describe(changed), Describe(read));

  std::vector<std::string> names;
  ASSERT_EQ(Scm().EnumServices(names), ERROR_SUCCESS);
  EXPECT_NE(std::find(names.begin(), names.end(), "Winetest"), names.end());
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }));
  EXPECT_EQ(Scm().DeleteService("Winetest"), ERROR_SUCCESS);
  ASSERT_EQ(Scm().EnumServices(names), ERROR_SUCCESS);
  EXPECT_EQ(std::find(names.begin(), names.end(), "Winetest"), names.end());
}

// --- Wine: test_start_stop (try_start_stop) ---------------------------------------------------

TEST_F(ServiceManagerTest, WineFailedStartsLeaveTheServiceStopped) {
  const std::string exits = PlaceProgram("exits", "ExitCode=0\n");
  const struct {
    const char* what;
    ServiceConfig config;
    uint32_t dwExpected;
  } cases[] = {
      {"disabled", Config(exits, SERVICE_DISABLED), ERROR_SERVICE_DISABLED},
      {"bad path", Config("c:\\no_such_file.exe"), ERROR_FILE_NOT_FOUND},
      {"exits at once", Config(exits), ERROR_SERVICE_REQUEST_TIMEOUT},
  };
  ASSERT_EQ(Scm().CreateService("winetest_start_stop", cases[0].config, ""), ERROR_SUCCESS);
  for (const auto& c : cases) {
    ASSERT_EQ(Scm().ChangeConfig("winetest_start_stop", c.config, ""), ERROR_SUCCESS) << c.what;
    EXPECT_EQ(Scm().StartService("winetest_start_stop", {}), c.dwExpected) << c.what;
    ServiceStatus status;
    ASSERT_EQ(Scm().QueryStatus("winetest_start_stop", status), ERROR_SUCCESS);
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED) << c.what;
    EXPECT_EQ(status.dwProcessId, 0u) << c.what;
    EXPECT_EQ(Scm().StartService("winetest_start_stop", {}), c.dwExpected) << c.what << ", again";
    status.dwCurrentState = 0xdeadbeef;
    EXPECT_EQ(Scm().ControlStop("winetest_start_stop", status), ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED) << c.what;
  }
}

// --- The machine's own behaviour -------------------------------------------------------------

TEST_F(ServiceManagerTest, EveryFieldRoundTripsThroughTheRegistry) {
  ServiceConfig config = Config("\"C:\\Program Files\\T\\svc.exe\" -service", SERVICE_AUTO_START,
                                SERVICE_WIN32_SHARE_PROCESS);
  config.dwErrorControl = SERVICE_ERROR_SEVERE;
  config.loadOrderGroup = "TarviumGroup";
  config.dependencies = {"RpcSs", "Tcpip", "+NetworkProvider"};
  config.serviceStartName = ".\\User";
  config.displayName = "Tarvium Test Service";
  ASSERT_EQ(Scm().CreateService("TarviumSvc", config, "secret"), ERROR_SUCCESS);
  ServiceConfig read;
  ASSERT_EQ(Scm().QueryConfig("tarviumsvc", read), ERROR_SUCCESS);
  EXPECT_EQ(Describe(read), Describe(config));

  const std::string key = std::string(kServicesKey) + "TarviumSvc";
  Registry& reg = machine_.Machine().Reg();
  const struct {
    const char* name;
    uint32_t dwType;
    std::string data;
  } values[] = {
      {"Type", REG_DWORD, std::string("\x20\0\0\0", 4)},
      {"Start", REG_DWORD, std::string("\x02\0\0\0", 4)},
      {"ErrorControl", REG_DWORD, std::string("\x02\0\0\0", 4)},
      {"ImagePath", REG_EXPAND_SZ, config.binaryPathName + '\0'},
      {"Group", REG_SZ, std::string("TarviumGroup\0", 13)},
      {"DependOnService", REG_MULTI_SZ, std::string("RpcSs\0Tcpip\0\0", 13)},
      {"DependOnGroup", REG_MULTI_SZ, std::string("NetworkProvider\0\0", 17)},
      {"ObjectName", REG_SZ, std::string(".\\User\0", 7)},
      {"DisplayName", REG_SZ, config.displayName + '\0'},
  };
  for (const auto& v : values) {
    RegValue value;
    ASSERT_EQ(reg.QueryValue(RegRoot::LocalMachine, key, v.name, value), ERROR_SUCCESS) << v.name;
    EXPECT_EQ(value.dwType, v.dwType) << v.name;
    EXPECT_EQ(std::string(value.data.begin(), value.data.end()), v.data) << v.name;
  }
  // A change replaces every field: the emptied ones go.
  ServiceConfig plain = Config("svc.exe");
  ASSERT_EQ(Scm().ChangeConfig("TarviumSvc", plain, ""), ERROR_SUCCESS);
  for (const char* gone : {"Group", "DependOnService", "DependOnGroup", "DisplayName"})
    EXPECT_FALSE(machine_.HasRegValue(RegRoot::LocalMachine, key, gone)) << gone;
  EXPECT_EQ(machine_.RegString(RegRoot::LocalMachine, key, "ObjectName"), "LocalSystem");
}

TEST_F(ServiceManagerTest, SeededKeysStayKeysAndKeepTheirContents) {
  std::vector<std::string> names;
  ASSERT_EQ(Scm().EnumServices(names), ERROR_SUCCESS);
  EXPECT_TRUE(names.empty());  // EventLog's sources and Tcpip's parameters are no services
  ASSERT_TRUE(machine_.HasRegKey(RegRoot::LocalMachine,
                                 std::string(kServicesKey) + "EventLog\\Application"));
  ASSERT_EQ(Scm().CreateService("EventLog", Config("%SystemRoot%\\System32\\svchost.exe"), ""),
            ERROR_SUCCESS);
  EXPECT_EQ(Scm().CreateService("EventLog", Config("svchost.exe"), ""), ERROR_SERVICE_EXISTS);
  ASSERT_EQ(Scm().DeleteService("EventLog"), ERROR_SUCCESS);
  ServiceConfig config;
  EXPECT_EQ(Scm().QueryConfig("EventLog", config), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_TRUE(machine_.HasRegKey(RegRoot::LocalMachine,
                                 std::string(kServicesKey) + "EventLog\\Application"));
}

TEST_F(ServiceManagerTest, StateIsSharedByTwoProcessesOfTheMachine) {
  ASSERT_EQ(Scm().CreateService("Shared", Config(PlaceProgram("shared", "Sleep=30\n")), ""),
            ERROR_SUCCESS);
  auto other = machine_.OpenAgain();
  ServiceManager& otherScm = other->Services();
  ASSERT_EQ(Scm().StartService("Shared", {}), ERROR_SUCCESS);
  ServiceStatus mine, theirs;
  ASSERT_EQ(Scm().QueryStatus("Shared", mine), ERROR_SUCCESS);
  ASSERT_EQ(otherScm.QueryStatus("Shared", theirs), ERROR_SUCCESS);
  EXPECT_EQ(theirs.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(theirs.dwControlsAccepted, SERVICE_ACCEPT_STOP);
  EXPECT_NE(mine.dwProcessId, 0u);
  EXPECT_EQ(theirs.dwProcessId, mine.dwProcessId);
  EXPECT_EQ(otherScm.StartService("Shared", {}), ERROR_SERVICE_ALREADY_RUNNING);
  ASSERT_EQ(otherScm.ControlStop("Shared", theirs), ERROR_SUCCESS);
  EXPECT_TRUE(WaitForState("Shared", SERVICE_STOPPED, 5));
  EXPECT_EQ(State("Shared", &otherScm), SERVICE_STOPPED);
  // A state whose process ended without anyone stopping it reads as stopped.
  ASSERT_EQ(otherScm.StartService("Shared", {}), ERROR_SUCCESS);
  other.reset();
  EXPECT_EQ(State("Shared"), SERVICE_RUNNING);
  ASSERT_EQ(Scm().QueryStatus("Shared", mine), ERROR_SUCCESS);
  ::kill(static_cast<pid_t>(mine.dwProcessId), SIGKILL);
  EXPECT_TRUE(WaitForState("Shared", SERVICE_STOPPED, 5));
}

TEST_F(ServiceManagerTest, StopRequestsHonouredLateOrIgnored) {
  ASSERT_EQ(
      Scm().CreateService("Late", Config(PlaceProgram("late", "Sleep=30\nStopDelay=1\n")), ""),
      ERROR_SUCCESS);
  ASSERT_EQ(
      Scm().CreateService("Deaf", Config(PlaceProgram("deaf", "Sleep=30\nIgnoreStop=1\n")), ""),
      ERROR_SUCCESS);
  for (const char* name : {"Late", "Deaf"}) ASSERT_EQ(Scm().StartService(name, {}), ERROR_SUCCESS);
  ServiceStatus status;
  for (const char* name : {"Late", "Deaf"}) {
    ASSERT_EQ(Scm().ControlStop(name, status), ERROR_SUCCESS) << name;
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING) << name;
    EXPECT_EQ(Scm().ControlStop(name, status), ERROR_SERVICE_CANNOT_ACCEPT_CTRL) << name;
    EXPECT_EQ(Scm().StartService(name, {}), ERROR_SERVICE_ALREADY_RUNNING) << name;
  }
  EXPECT_TRUE(WaitForState("Late", SERVICE_STOPPED, 5));
  EXPECT_EQ(State("Deaf"), SERVICE_STOP_PENDING);
}

// Wine's test_refcount, with a running service as the one in use: marked, refused, then gone, and
// its name free again.
TEST_F(ServiceManagerTest, DeleteWhileRunningMarksItAndItGoesWhenItStops) {
  const ServiceConfig marked = Config(PlaceProgram("marked", "Sleep=30\n"));
  ASSERT_EQ(Scm().CreateService("Marked", marked, ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().StartService("Marked", {}), ERROR_SUCCESS);
  ASSERT_EQ(Scm().DeleteService("Marked"), ERROR_SUCCESS);
  const std::string key = std::string(kServicesKey) + "Marked";
  RegValue flag;
  ASSERT_EQ(machine_.Machine().Reg().QueryValue(RegRoot::LocalMachine, key, "DeleteFlag", flag),
            ERROR_SUCCESS);
  EXPECT_EQ(flag.dwType, REG_DWORD);
  EXPECT_EQ(flag.data, (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Scm().DeleteService("Marked"), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(Scm().ChangeConfig("Marked", Config("x.exe"), ""), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(Scm().CreateService("Marked", marked, ""), ERROR_SERVICE_MARKED_FOR_DELETE);
  EXPECT_EQ(State("Marked"), SERVICE_RUNNING);
  ServiceStatus status;
  ASSERT_EQ(Scm().ControlStop("Marked", status), ERROR_SUCCESS);
  ASSERT_TRUE(WaitForState("Marked", SERVICE_STOPPED, 5));
  ServiceConfig config;
  EXPECT_EQ(Scm().QueryConfig("Marked", config), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_FALSE(machine_.HasRegKey(RegRoot::LocalMachine, key));
  EXPECT_EQ(Scm().StartService("Marked", {}), ERROR_SERVICE_DOES_NOT_EXIST);
  EXPECT_EQ(Scm().CreateService("Marked", marked, ""), ERROR_SUCCESS);
}

TEST_F(ServiceManagerTest, DependenciesDriversAndStoppedErrors) {
  const std::string program = PlaceProgram("dep", "Sleep=30\n");
  ServiceConfig driver =
      Config("System32\\drivers\\tdrv.sys", SERVICE_DEMAND_START, SERVICE_KERNEL_DRIVER);
  driver.loadOrderGroup = "TGroup";
  ASSERT_EQ(Scm().CreateService("TDriver", driver, ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService("Base", Config(program), ""), ERROR_SUCCESS);
  ServiceConfig top = Config(program);
  top.dependencies = {"Base", "+TGroup"};
  ASSERT_EQ(Scm().CreateService("Top", top, ""), ERROR_SUCCESS);
  ServiceConfig orphan = Config(program);
  orphan.dependencies = {"Missing"};
  ASSERT_EQ(Scm().CreateService("Orphan", orphan, ""), ERROR_SUCCESS);
  ServiceConfig self = Config(program);
  self.dependencies = {"Self"};
  EXPECT_EQ(Scm().CreateService("Self", self, ""), ERROR_CIRCULAR_DEPENDENCY);
  ServiceConfig onDisabled = Config(program);
  onDisabled.dependencies = {"Off"};
  ASSERT_EQ(Scm().CreateService("Off", Config(program, SERVICE_DISABLED), ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService("OnOff", onDisabled, ""), ERROR_SUCCESS);

  EXPECT_EQ(Scm().StartService("Orphan", {}), ERROR_SERVICE_DEPENDENCY_DELETED);
  EXPECT_EQ(Scm().StartService("OnOff", {}), ERROR_SERVICE_DEPENDENCY_FAIL);
  ASSERT_EQ(Scm().StartService("Top", {}), ERROR_SUCCESS);
  ServiceStatus status;
  ASSERT_EQ(Scm().QueryStatus("TDriver", status), ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(status.dwProcessId, 0u);
  EXPECT_EQ(State("Base"), SERVICE_RUNNING);
  EXPECT_EQ(Scm().ControlStop("Base", status), ERROR_DEPENDENT_SERVICES_RUNNING);
  EXPECT_EQ(Scm().ControlStop("TDriver", status), ERROR_DEPENDENT_SERVICES_RUNNING);
  ASSERT_EQ(Scm().ControlStop("Top", status), ERROR_SUCCESS);
  ASSERT_TRUE(WaitForState("Top", SERVICE_STOPPED, 5));
  ASSERT_EQ(Scm().ControlStop("TDriver", status), ERROR_SUCCESS);
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(Scm().ControlStop("TDriver", status), ERROR_SERVICE_NOT_ACTIVE);
  EXPECT_EQ(Scm().ControlStop("Nothing", status), ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST_F(ServiceManagerTest, RebootEndsServicesAndStartsTheAutomaticOnes) {
  const std::string program = PlaceProgram("boot", "Sleep=30\nIgnoreStop=1\n");
  ASSERT_EQ(Scm().CreateService("AutoSvc", Config(program, SERVICE_AUTO_START), ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService("DemandSvc", Config(program), ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService("GoneSvc", Config(program), ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService(
                "BootDrv",
                Config("System32\\drivers\\b.sys", SERVICE_BOOT_START, SERVICE_KERNEL_DRIVER), ""),
            ERROR_SUCCESS);
  ASSERT_EQ(Scm().CreateService("OffSvc", Config(program, SERVICE_DISABLED), ""), ERROR_SUCCESS);
  ASSERT_EQ(Scm().StartService("DemandSvc", {}), ERROR_SUCCESS);
  ASSERT_EQ(Scm().StartService("GoneSvc", {}), ERROR_SUCCESS);
  ASSERT_EQ(Scm().DeleteService("GoneSvc"), ERROR_SUCCESS);
  ServiceStatus demand;
  ASSERT_EQ(Scm().QueryStatus("DemandSvc", demand), ERROR_SUCCESS);

  const auto steps = emulated::RebootMachine(machine_.Machine());
  std::vector<std::string> said;
  for (const auto& step : steps) said.push_back(step.what + " " + std::to_string(step.dwResult));
  for (const char* line :
       {"end service DemandSvc 0", "end service GoneSvc 0", "delete service GoneSvc 0",
        "start service BootDrv 0", "start service AutoSvc 0"})
    EXPECT_NE(std::find(said.begin(), said.end(), line), said.end()) << line;
  EXPECT_EQ(State("AutoSvc"), SERVICE_RUNNING);
  EXPECT_EQ(State("BootDrv"), SERVICE_RUNNING);
  EXPECT_EQ(State("DemandSvc"), SERVICE_STOPPED);
  EXPECT_EQ(State("OffSvc"), SERVICE_STOPPED);
  ServiceConfig config;
  EXPECT_EQ(Scm().QueryConfig("GoneSvc", config), ERROR_SERVICE_DOES_NOT_EXIST);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (ProcessStartTime(demand.dwProcessId) != 0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ProcessStartTime(demand.dwProcessId), 0u);  // ended although it ignores stops
}

}  // namespace
