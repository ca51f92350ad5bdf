// The emulated spooler's answers, as a setup branches on them: the checks of AddPrinter (names,
// driver, port, processor, data type, share, server), ports added through the monitor's dialog
// and refused while a printer uses them, and the Win.ini device settings kept in the registry.
#include <gtest/gtest.h>

#include "platform/spooler.h"
#include "platform/win_error.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using emulated::EmulatedMachine;

constexpr const char* kDriverDir = "C:\\Windows\\System32\\spool\\drivers\\x64";

void AddDriver(EmulatedMachine& machine, const std::string& name) {
  for (const char* file : {"d.dll", "d.ini", "dui.dll"})
    ASSERT_EQ(machine.Files().WriteWholeFile(std::string(kDriverDir) + "\\" + file, "MZ"), 0u);
  DriverInfo driver;
  driver.name = name;
  driver.driverPath = "d.dll";
  driver.dataFile = "d.ini";
  driver.configFile = std::string(kDriverDir) + "\\dui.dll";
  ASSERT_EQ(machine.Printing().AddPrinterDriver("", driver), 0u);
}

TEST(EmulatedSpooler, AddPrinterChecksWhatThePrinterNames) {
  tarvium::test::TestMachine t;
  Spooler& spooler = t.Machine().Printing();
  AddDriver(t.Machine(), "Laser");
  const auto printer = [](std::string name, std::string port, std::string driver) {
    PrinterInfo info;
    info.printerName = std::move(name);
    info.portName = std::move(port);
    info.driverName = std::move(driver);
    return info;
  };
  struct Case {
    PrinterInfo info;
    uint32_t dwExpected;
  };
  PrinterInfo remote = printer("P", "LPT1:", "Laser");
  remote.serverName = "\\\\OTHER-PC";
  PrinterInfo local = printer("P", "LPT1:", "Laser");
  local.serverName = "\\\\tarvium-pc";
  PrinterInfo badType = printer("P2", "LPT1:", "Laser");
  badType.datatype = "PCL";
  PrinterInfo badProcessor = printer("P2", "LPT1:", "Laser");
  badProcessor.printProcessor = "NoProc";
  PrinterInfo unshared = printer("P2", "LPT1:", "Laser");
  unshared.dwAttributes = PRINTER_ATTRIBUTE_SHARED;
  const Case cases[] = {
      {printer("", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("A,B", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("A\\B", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("P", "LPT1:", "Inkjet"), ERROR_UNKNOWN_PRINTER_DRIVER},
      {printer("P", "LPT9:", "Laser"), ERROR_UNKNOWN_PORT},
      {printer("P", "LPT1:,LPT9:", "Laser"), ERROR_UNKNOWN_PORT},
      {printer("P", "", "Laser"), ERROR_UNKNOWN_PORT},
      {remote, RPC_S_SERVER_UNAVAILABLE},
      {local, ERROR_SUCCESS},
      {printer("p", "LPT2:", "Laser"), ERROR_PRINTER_ALREADY_EXISTS},
      {badType, ERROR_INVALID_DATATYPE},
      {badProcessor, ERROR_UNKNOWN_PRINTPROCESSOR},
      {unshared, ERROR_INVALID_SHARENAME},
      {printer("Q", "LPT1:, COM1:", "Laser"), ERROR_SUCCESS},
  };
  for (const Case& c : cases)
    EXPECT_EQ(spooler.AddPrinter(c.info), c.dwExpected) << "'" << c.info.printerName << "'";
  std::string dir;
  EXPECT_EQ(spooler.GetPrinterDriverDirectory("", "Windows NT x86", dir), 0u);
  EXPECT_EQ(dir, "C:\\Windows\\System32\\spool\\drivers\\W32X86");
  EXPECT_EQ(spooler.GetPrinterDriverDirectory("", "Windows 3.1", dir), ERROR_INVALID_ENVIRONMENT);
  EXPECT_EQ(spooler.DeletePrinterDriver("", "", "Laser"), ERROR_PRINTER_DRIVER_IN_USE);
  EXPECT_EQ(spooler.DeletePort("", "COM1:"), ERROR_BUSY);
}

TEST(EmulatedSpooler, PortDialogIsAnsweredByTheMachine) {
  tarvium::test::TestMachine t;
  EXPECT_EQ(t.Machine().Printing().AddPort("", "Local Port"), ERROR_CANCELLED);
  auto machine = t.OpenReconfigured([](auto& config) { config.szPortDialogAnswer = "TARVIUM1:"; });
  Spooler& spooler = machine->Printing();
  EXPECT_EQ(spooler.AddPort("", "No Monitor"), ERROR_UNKNOWN_PRINT_MONITOR);
  EXPECT_EQ(spooler.AddPort("", "Local Port"), ERROR_SUCCESS);
  EXPECT_EQ(spooler.AddPort("", "Local Port"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(spooler.AddPort("", "Standard TCP/IP Port"), ERROR_ALREADY_EXISTS);
  std::vector<std::pair<std::string, std::string>> ports;
  ASSERT_EQ(spooler.EnumPorts("", ports), 0u);
  EXPECT_NE(std::find(ports.begin(), ports.end(),
                      std::pair<std::string, std::string>("TARVIUM1:", "Local Port")),
            ports.end());
  EXPECT_EQ(spooler.DeletePort("", "TARVIUM1:"), ERROR_SUCCESS);
  EXPECT_EQ(spooler.DeletePort("", "TARVIUM1:"), ERROR_UNKNOWN_PORT);
  EXPECT_EQ(spooler.DeleteMonitor("", "", "Local Port"), ERROR_ACCESS_DENIED)
      << "Windows' own monitor stays";
}

TEST(EmulatedSpooler, WinIniDeviceSettingsLiveInTheUsersRegistry) {
  tarvium::test::TestMachine t;
  Profile& profile = t.Machine().Profiles();
  const std::string devices = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
  EXPECT_EQ(profile.WriteProfileString("devices", "Laser", "winspool,Ne00:"), 0u);
  EXPECT_EQ(profile.WritePrivateProfileString("windows", "Device",
                                              "Laser,winspool,Ne00:", "C:\\Windows\\WIN.INI"),
            0u);
  EXPECT_EQ(profile.WriteProfileString("windows", "load", "tray.exe"), 0u);
  EXPECT_EQ(t.RegString(RegRoot::CurrentUser, devices, "Laser"), "winspool,Ne00:");
  EXPECT_EQ(t.RegString(RegRoot::CurrentUser,
                        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device"),
            "Laser,winspool,Ne00:");
  EXPECT_EQ(profile.GetProfileString("devices", nullptr, ""), std::string("Laser\0", 6));
  EXPECT_EQ(profile.GetPrivateProfileSection("devices", "win.ini"),
            std::string("Laser=winspool,Ne00:\0", 21));
  std::string text;
  ASSERT_EQ(t.Machine().Files().ReadWholeFile("C:\\Windows\\win.ini", text), 0u);
  EXPECT_EQ(text, "[windows]\r\nload=tray.exe\r\n") << "other entries stay in the file";
  EXPECT_EQ(profile.WriteProfileString("devices", nullptr, nullptr), 0u);
  EXPECT_EQ(profile.GetProfileString("devices", "Laser", "none "), "none");
}

}  // namespace
}  // namespace platform
