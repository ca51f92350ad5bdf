// The printing commands on a real temporary machine: a driver, a monitor, a printer and their
// removal, the spooler's answers that count as success, the default printer in the device
// settings, DeleteAllPrinters, print processors and providers, and the failures that reach
// message 5561 or 5530.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/init_variables.h"
#include "platform/spooler.h"
#include "script/execute_cmd.h"
#include "script/script_test_run.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr const char* kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";
constexpr const char* kDriverDir = "C:\\Windows\\System32\\spool\\drivers\\x64";

class PrinterCommands : public ::testing::Test, public test::ScriptTestRun {
 protected:
  PrinterCommands() {
    InitVariables(run);
    for (const char* file : {"drv.dll", "drv.ini", "drvui.dll", "drv.hlp", "dep1.dll"})
      Put(std::string(kDriverDir) + "\\" + file);
    Put("C:\\Windows\\System32\\mymon.dll");
  }

  void Put(const std::string& path) { machine.WriteFile(path, "MZ"); }
  bool KeyExists(const std::string& key) {
    return run.machine.Reg().OpenKey(RegRoot::LocalMachine, key) == 0;
  }
  std::string WinIni(const char* section, const char* key) {
    return run.machine.Profiles().GetProfileString(section, key, "");
  }
  platform::FileSystem& files() { return run.machine.Files(); }
};

TEST_F(PrinterCommands, DriverMonitorAndPrinterAddedAndRemoved) {
  const std::string driverKey =
      std::string(kPrint) + "\\Environments\\Windows x64\\Drivers\\Version-3\\Tarvium Laser";
  const std::string printerKey = std::string(kPrint) + "\\Printers\\Office Laser";
  const std::string addPrinter =
      "AddPrinter (,Office Laser,LPT1:,Tarvium Laser,,,QUEUED|DEFAULT,,Second floor,Room 2,,,"
      "1,1,0,0)";
  // Each added twice: the spooler's "already installed" answers count as success.
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Line("AddMonitor ,,Tarvium Monitor,mymon.dll"), 1);
    EXPECT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,0x3,drv.dll,drv.ini,drvui.dll,drv.hlp,"
                   "dep1.dll;drv.ini,Tarvium Monitor,RAW"),
              1);
    EXPECT_EQ(Line(addPrinter), 1);
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, driverKey, "Configuration File"), "drvui.dll");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, printerKey, "Port"), "LPT1:");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, printerKey, "Print Processor"), "WinPrint");
  platform::PrinterInfo info;
  ASSERT_EQ(run.machine.Printing().GetPrinter("", "office laser", info), 0u);
  EXPECT_EQ(info.dwAttributes, 0x41u) << "QUEUED, and LOCAL added by the spooler";
  EXPECT_EQ(info.location, "Room 2");
  std::vector<platform::DriverInfo> drivers;
  ASSERT_EQ(run.machine.Printing().EnumPrinterDrivers("", "", drivers), 0u);
  ASSERT_EQ(drivers.size(), 1u);
  EXPECT_EQ(drivers[0].dependentFiles, (std::vector<std::string>{"dep1.dll", "drv.ini"}));
  EXPECT_EQ(drivers[0].dwVersion, 3u);
  // DEFAULT made it the default printer with its entry of the device list.
  EXPECT_EQ(WinIni("devices", "Office Laser"), "winspool,Ne00:");
  EXPECT_EQ(WinIni("windows", "device"), "Office Laser,winspool,Ne00:");

  // The driver is in use; the printer's unmarked line in the removal pass deletes the printer.
  EXPECT_EQ(Line("DeletePrinterDriver ,,Tarvium Laser"), 0);
  EXPECT_EQ(Messages(), std::vector<int>{5561});
  EXPECT_EQ(Removal(addPrinter), 1);
  EXPECT_FALSE(KeyExists(printerKey));
  EXPECT_EQ(WinIni("devices", "Office Laser"), "");
  EXPECT_EQ(WinIni("windows", "device"), "") << "no printer is left to be the default";
  // The marked removal lines of driver and monitor, and a machine left as it was without WIN.INI:
  // the scenario printer-installed-and-removed.
}

TEST_F(PrinterCommands, FailuresGiveTheirMessages) {
  const struct {
    const char* line;
    int nMessage;
  } cases[] = {
      {"AddPrinter ,Laser,LPT1:,No Such Driver", 5561},
      {"AddPrinterDriver ,,Laser,3,missing.dll,drv.ini,drvui.dll", 5561},
      {"AddPrinterDriver ,Windows 95,Laser,3,drv.dll,drv.ini,drvui.dll", 5561},
      {"AddMonitor ,,Monitor,nowhere.dll", 5561},
      {"AddPort ,Local Port", 5561},  // no one answers the monitor's dialog
      {"DeletePort ,COM9:", 5561},
      {"AddPrinter ,Laser,LPT1:,Driver,,,QUEUED|FANCY", 5530},
      {"AddPrinter ,", 5528},
      {"DeleteMonitor ,,", 5528},
  };
  for (const auto& c : cases) {
    run.shownMessages.clear();
    EXPECT_EQ(Line(c.line), 0) << c.line;
    EXPECT_EQ(Messages(), std::vector<int>{c.nMessage}) << c.line;
  }
  EXPECT_EQ(run.shownMessages.back().args.size(), 1u);
}

TEST_F(PrinterCommands, DefaultPassesOnAndDeleteAllPrintersEmptiesTheMachine) {
  ASSERT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  ASSERT_EQ(Line("AddPrinter ,First,LPT1:,Tarvium Laser,,,DEFAULT"), 1);
  ASSERT_EQ(Line("AddPrinter ,Second,LPT2:,Tarvium Laser"), 1);
  ASSERT_EQ(Line("AddPrinterConnection \\\\SERVER\\Shared"), 1);
  EXPECT_EQ(WinIni("devices", "\\\\SERVER\\Shared"), "winspool,Ne02:");
  ASSERT_EQ(Line("AddPrinterConnection \\\\SERVER\\Other"), 1);
  EXPECT_EQ(Removal("AddPrinterConnection \\\\SERVER\\Other"), 1);
  EXPECT_EQ(WinIni("devices", "\\\\SERVER\\Other"), "") << "undone in the removal pass";
  EXPECT_EQ(Line("DeletePrinter ,First"), 1);
  EXPECT_EQ(WinIni("windows", "device"), "Second,winspool,Ne01:");
  EXPECT_EQ(Line("DeletePrinter ,First"), 0) << "gone already";
  run.shownMessages.clear();

  EXPECT_EQ(Line("DeleteAllPrinters"), 1);
  std::vector<platform::PrinterEntry> printers;
  ASSERT_EQ(run.machine.Printing().EnumPrinters("", true, printers), 0u);
  EXPECT_TRUE(printers.empty());
  EXPECT_EQ(WinIni("devices", nullptr), "");
  EXPECT_EQ(WinIni("windows", "device"), "Second,winspool,Ne01:")
      << "DeleteAllPrinters leaves the default entry alone";
  EXPECT_EQ(Line("DeletePrinterDriver ,,Tarvium Laser"), 1) << "no printer uses it now";
}

TEST_F(PrinterCommands, DependentFilesEndAtTheFirstEmptyName) {
  const struct {
    const char* driver;
    const char* dependents;
    std::vector<std::string> expected;
  } cases[] = {
      {"Trailing", "dep1.dll;drv.ini;", {"dep1.dll", "drv.ini"}},
      {"Gap", "dep1.dll;;missing.dll", {"dep1.dll"}},  // the missing file is never named
      {"Leading", ";dep1.dll", {}},
  };
  for (const auto& c : cases)
    ASSERT_EQ(Line(std::string("AddPrinterDriver ,,") + c.driver +
                   ",3,drv.dll,drv.ini,drvui.dll,," + c.dependents),
              1)
        << c.driver;
  std::vector<platform::DriverInfo> drivers;
  ASSERT_EQ(run.machine.Printing().EnumPrinterDrivers("", "", drivers), 0u);
  for (const auto& c : cases) {
    const auto found = std::find_if(drivers.begin(), drivers.end(),
                                    [&](const auto& driver) { return driver.name == c.driver; });
    ASSERT_NE(found, drivers.end()) << c.driver;
    EXPECT_EQ(found->dependentFiles, c.expected) << c.driver;
  }
}

// DOS-based Windows keeps the default printer through the DEFAULT attribute: the printer added
// with it becomes the default, and when it is deleted the next printer takes its place.
TEST(PrinterCommandsOnDosBasedWindows, DefaultPrinterFollowsTheAttribute) {
  test::TestMachine test;
  const auto machine = test.OpenReconfigured([](auto& config) { config.dwPlatformId = 1; });
  SetupRun run(*machine);
  AttachScriptEngine(run);
  InitVariables(run);
  const std::string driverDir = run.variables.Get("PrinterDriverDir");
  for (const char* file : {"drv.dll", "drv.ini", "drvui.dll"})
    ASSERT_EQ(machine->Files().WriteWholeFile(driverDir + "\\" + file, "MZ"), 0u) << driverDir;
  const auto line = [&](const std::string& text) {
    return ExecuteCmd(run, text, {}, false, true, nullptr);
  };
  ASSERT_EQ(line("AddPrinterDriver ,,Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  ASSERT_EQ(line("AddPrinter ,First,LPT1:,Laser,,,DEFAULT"), 1);
  ASSERT_EQ(line("AddPrinter ,Second,LPT2:,Laser"), 1);
  platform::Profile& profile = machine->Profiles();
  EXPECT_EQ(profile.GetProfileString("windows", "device", ""), "First,winspool,Ne00:");
  EXPECT_EQ(line("DeletePrinter ,First"), 1);
  EXPECT_EQ(profile.GetProfileString("windows", "device", ""), "Second,winspool,Ne01:");
  EXPECT_TRUE(run.shownMessages.empty());
}

TEST_F(PrinterCommands, ProcessorsAndProvidersAddedAndRemoved) {
  Put("C:\\Windows\\System32\\spool\\prtprocs\\x64\\tproc.dll");
  Put("C:\\Windows\\System32\\tprov.dll");
  const std::string providers = std::string(kPrint) + "\\Providers";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Line("AddPrintProcessor ,,TarviumProc,tproc.dll"), 1);
    EXPECT_EQ(Line("AddPrintProvider ,,Tarvium Provider,tprov.dll"), 1);
  }
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(machine.RegString(
                RegRoot::LocalMachine,
                std::string(kPrint) + "\\Environments\\Windows x64\\Print Processors\\TarviumProc",
                "Driver"),
            "tproc.dll");
  EXPECT_EQ(machine.RegString(RegRoot::LocalMachine, providers + "\\Tarvium Provider", "Name"),
            "tprov.dll");
  ASSERT_EQ(Line("AddPrinterDriver ,,Tarvium Laser,3,drv.dll,drv.ini,drvui.dll"), 1);
  EXPECT_EQ(Line("AddPrinter ,Laser,LPT1:,Tarvium Laser,TarviumProc,MYTYPE"), 1)
      << "a processor of its own brings its own data types";
  EXPECT_EQ(Line("DeletePrinter ,Laser"), 1);
  EXPECT_EQ(Line("DeletePrintProvider ,,Tarvium Provider"), 1);
  EXPECT_EQ(Line("DeletePrintProcessor ,,TarviumProc"), 1);
  EXPECT_FALSE(KeyExists(providers + "\\Tarvium Provider"));
  platform::RegValue order;
  ASSERT_EQ(run.machine.Reg().QueryValue(RegRoot::LocalMachine, providers, "Order", order), 0u);
  const std::string expected("Internet Print Provider\0LanMan Print Services\0\0", 47);
  EXPECT_EQ(std::string(order.data.begin(), order.data.end()), expected);
  EXPECT_EQ(Line("DeletePrintProcessor ,,TarviumProc"), 0);
}

}  // namespace
}  // namespace tarvium
