// The print spooler service's own work: empty texts passed as the spooler's defaults, the lists and
// records it reads out of the spooler's buffers, and a printer's whole life on a driver of the
// machine (or one made of plain files when the machine has none).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/spooler.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win_error.h"
#include "win32/test_window.h"

namespace platform::win32 {
namespace {

std::string UniqueName(const std::string& stem) {
  return stem + " " + std::to_string(tarvium::test::ThisProcessId());
}

TEST(Win32Spooler, DirectoriesFollowTheEnvironmentAndPortsHaveMonitors) {
  Win32Spooler spooler;
  const std::pair<const char*, const char*> environments[] = {
      {"Windows x64", "\\x64"}, {"Windows NT x86", "\\W32X86"}, {"", "\\x64"}};
  for (const auto& [environment, folder] : environments) {
    std::string drivers, processors;
    EXPECT_EQ(spooler.GetPrinterDriverDirectory("", environment, drivers), ERROR_SUCCESS);
    EXPECT_EQ(spooler.GetPrintProcessorDirectory("", environment, processors), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEndsWithNoCase(drivers, std::string("\\drivers") + folder)) << drivers;
    EXPECT_TRUE(AnsiEndsWithNoCase(processors, std::string("\\prtprocs") + folder)) << processors;
  }
  std::vector<std::pair<std::string, std::string>> ports;
  ASSERT_EQ(spooler.EnumPorts("", ports), ERROR_SUCCESS);
  for (const auto& [port, monitor] : ports) EXPECT_FALSE(monitor.empty()) << port;
  EXPECT_TRUE(std::any_of(ports.begin(), ports.end(),
                          [](const auto& port) { return AnsiEqualNoCase(port.first, "LPT1:"); }));
  // A call that fails without an error of its own is still a failure.
  EXPECT_NE(spooler.AddMonitor("", "", UniqueName("Tarvium Monitor"), "tarvium-none.dll"),
            ERROR_SUCCESS);
}

TEST(Win32Spooler, APrinterIsAddedReadListedAndDeleted) {
  Win32Spooler spooler;
  std::vector<DriverInfo> drivers;
  ASSERT_EQ(spooler.EnumPrinterDrivers("", "", drivers), ERROR_SUCCESS);
  std::vector<std::string> driverFiles;  // put into the printer driver directory
  if (drivers.empty()) {
    std::string directory;
    ASSERT_EQ(spooler.GetPrinterDriverDirectory("", "", directory), ERROR_SUCCESS);
    const DriverInfo driver{
        3, UniqueName("Tarvium Driver"), "", "tarvium.dll", "tarvium.ppd", "tarviumui.dll"};
    for (const std::string* file : {&driver.driverPath, &driver.dataFile, &driver.configFile}) {
      driverFiles.push_back(directory + "\\" + *file);
      std::ofstream(driverFiles.back()) << "tarvium";
    }
    if (spooler.AddPrinterDriver("", driver) != ERROR_SUCCESS) {
      for (const std::string& file : driverFiles) std::remove(file.c_str());
      GTEST_SKIP() << "the machine has no printer driver, and takes none made of plain files";
    }
    ASSERT_EQ(spooler.EnumPrinterDrivers("", "", drivers), ERROR_SUCCESS);
    ASSERT_FALSE(drivers.empty());
  }
  const DriverInfo& driver = drivers.front();
  for (const std::string* text :
       {&driver.name, &driver.environment, &driver.driverPath, &driver.dataFile})
    EXPECT_FALSE(text->empty()) << driver.name;

  PrinterInfo printer;
  printer.printerName = UniqueName("Tarvium Printer");
  printer.portName = "LPT1:";
  printer.driverName = driver.name;
  printer.printProcessor = "WinPrint";
  printer.datatype = "RAW";
  printer.comment = "left by a test";
  printer.location = "Room 7";
  ASSERT_EQ(spooler.AddPrinter(printer), ERROR_SUCCESS);
  PrinterInfo read;
  EXPECT_EQ(spooler.GetPrinter("", printer.printerName, read), ERROR_SUCCESS);
  for (const auto field : {&PrinterInfo::printerName, &PrinterInfo::portName,
                           &PrinterInfo::driverName, &PrinterInfo::comment, &PrinterInfo::location})
    EXPECT_EQ(read.*field, printer.*field);
  std::vector<PrinterEntry> printers;
  EXPECT_EQ(spooler.EnumPrinters("", false, printers), ERROR_SUCCESS);
  EXPECT_EQ(std::count_if(printers.begin(), printers.end(),
                          [&](const PrinterEntry& entry) {
                            return entry.name == printer.printerName && !entry.bConnection;
                          }),
            1);
  EXPECT_EQ(spooler.DeletePrinter("", printer.printerName), ERROR_SUCCESS);
  EXPECT_EQ(spooler.GetPrinter("", printer.printerName, read), ERROR_INVALID_PRINTER_NAME);
  if (!driverFiles.empty()) {
    EXPECT_EQ(spooler.DeletePrinterDriver("", "", driver.name), ERROR_SUCCESS);
  }
  for (const std::string& file : driverFiles) std::remove(file.c_str());
}

}  // namespace
}  // namespace platform::win32
