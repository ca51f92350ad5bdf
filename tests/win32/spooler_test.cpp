// The print spooler of the real Windows: its directories and environments, its ports, the errors
// for printers, drivers and monitors it does not know, and a printer's whole life (added, read,
// listed, refused a second time, deleted) on a driver of the machine.
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
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

constexpr char kUnknownEnvironment[] = "Windows Nonsense";

std::string UniqueName(const std::string& stem) {
  return stem + " " + std::to_string(tarvium::test::ThisProcessId());
}

class SpoolerTest : public ::testing::Test {
 protected:
  Win32Spooler spooler_;
};

TEST_F(SpoolerTest, DirectoriesFollowTheEnvironment) {
  const struct {
    const char* environment;
    const char* folder;
  } environments[] = {{"Windows x64", "\\x64"}, {"Windows NT x86", "\\W32X86"}, {"", "\\x64"}};
  for (const auto& one : environments) {
    std::string drivers, processors;
    EXPECT_EQ(spooler_.GetPrinterDriverDirectory("", one.environment, drivers), ERROR_SUCCESS);
    EXPECT_EQ(spooler_.GetPrintProcessorDirectory("", one.environment, processors), ERROR_SUCCESS);
    EXPECT_TRUE(AnsiEndsWithNoCase(drivers, std::string("\\drivers") + one.folder)) << drivers;
    EXPECT_TRUE(AnsiEndsWithNoCase(processors, std::string("\\prtprocs") + one.folder))
        << processors;
  }
}

TEST_F(SpoolerTest, AnUnknownEnvironmentIsRefused) {
  std::string directory;
  EXPECT_EQ(spooler_.GetPrinterDriverDirectory("", kUnknownEnvironment, directory),
            ERROR_INVALID_ENVIRONMENT);
  EXPECT_EQ(spooler_.GetPrintProcessorDirectory("", kUnknownEnvironment, directory),
            ERROR_INVALID_ENVIRONMENT);
  std::vector<DriverInfo> drivers;
  EXPECT_EQ(spooler_.EnumPrinterDrivers("", kUnknownEnvironment, drivers),
            ERROR_INVALID_ENVIRONMENT);
  DriverInfo driver{3, "Tarvium Driver", kUnknownEnvironment, "t.dll", "t.ppd", "tui.dll"};
  EXPECT_EQ(spooler_.AddPrinterDriver("", driver), ERROR_INVALID_ENVIRONMENT);
}

TEST_F(SpoolerTest, EveryPortHasANameAndAMonitor) {
  std::vector<std::pair<std::string, std::string>> ports;
  ASSERT_EQ(spooler_.EnumPorts("", ports), ERROR_SUCCESS);
  ASSERT_FALSE(ports.empty());
  for (const auto& [port, monitor] : ports) {
    EXPECT_FALSE(port.empty());
    EXPECT_FALSE(monitor.empty()) << port;
  }
  EXPECT_TRUE(std::any_of(ports.begin(), ports.end(),
                          [](const auto& port) { return AnsiEqualNoCase(port.first, "LPT1:"); }));
}

TEST_F(SpoolerTest, UnknownPartsGiveTheSpoolersErrors) {
  const std::string printer = UniqueName("Tarvium No Printer");
  PrinterInfo info;
  EXPECT_EQ(spooler_.GetPrinter("", printer, info), ERROR_INVALID_PRINTER_NAME);
  EXPECT_EQ(spooler_.DeletePrinter("", printer), ERROR_INVALID_PRINTER_NAME);
  EXPECT_EQ(spooler_.DeleteMonitor("", "", UniqueName("Tarvium No Monitor")),
            ERROR_UNKNOWN_PRINT_MONITOR);
  EXPECT_NE(spooler_.AddMonitor("", "", UniqueName("Tarvium Monitor"), "tarvium-none.dll"),
            ERROR_SUCCESS);
}

TEST_F(SpoolerTest, UnknownDriversAndProcessorsAreRefused) {
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine's spooler reports success for these, or fails without an error";
  EXPECT_EQ(spooler_.DeletePrinterDriver("", "", UniqueName("Tarvium No Driver")),
            ERROR_UNKNOWN_PRINTER_DRIVER);
  EXPECT_EQ(spooler_.DeletePrintProcessor("", "", UniqueName("Tarvium No Processor")),
            ERROR_UNKNOWN_PRINTPROCESSOR);
  EXPECT_NE(spooler_.AddPrintProcessor("", "", "tarvium-none.dll", UniqueName("Tarvium Proc")),
            ERROR_SUCCESS);
  EXPECT_NE(spooler_.AddPrintProvider("", "", UniqueName("Tarvium Prov"), "tarvium-none.dll"),
            ERROR_SUCCESS);
  EXPECT_NE(spooler_.DeletePrinterConnection("\\\\tarvium-no-server\\printer"), ERROR_SUCCESS);
  PrinterInfo printer;
  printer.printerName = UniqueName("Tarvium Printer");
  printer.portName = "LPT1:";
  printer.driverName = UniqueName("Tarvium No Driver");
  printer.printProcessor = "WinPrint";
  printer.datatype = "RAW";
  EXPECT_EQ(spooler_.AddPrinter(printer), ERROR_UNKNOWN_PRINTER_DRIVER);
}

TEST_F(SpoolerTest, AConnectionToAMachineThatDoesNotAnswerFails) {
  EXPECT_NE(spooler_.AddPrinterConnection("\\\\tarvium-no-server\\printer"), ERROR_SUCCESS);
  std::vector<PrinterEntry> printers;
  ASSERT_EQ(spooler_.EnumPrinters("", true, printers), ERROR_SUCCESS);
  for (const PrinterEntry& printer : printers)
    EXPECT_FALSE(AnsiStartsWithNoCase(printer.name, "\\\\tarvium-no-server\\"));
}

// A printer needs a driver: the first one the machine has, or else one made of plain files put
// into the printer driver directory, where the spooler takes them from.
class PrinterLifeTest : public SpoolerTest {
 protected:
  void SetUp() override {
    std::vector<DriverInfo> drivers;
    ASSERT_EQ(spooler_.EnumPrinterDrivers("", "", drivers), ERROR_SUCCESS);
    if (!drivers.empty()) {
      driverName_ = drivers.front().name;
      return;
    }
    std::string directory;
    ASSERT_EQ(spooler_.GetPrinterDriverDirectory("", "", directory), ERROR_SUCCESS);
    DriverInfo driver{
        3, UniqueName("Tarvium Driver"), "", "tarvium.dll", "tarvium.ppd", "tarviumui.dll"};
    for (const std::string* file : {&driver.driverPath, &driver.dataFile, &driver.configFile}) {
      files_.push_back(directory + "\\" + *file);
      std::ofstream(files_.back()) << "tarvium";
    }
    if (spooler_.AddPrinterDriver("", driver) != ERROR_SUCCESS)
      GTEST_SKIP() << "the machine has no printer driver, and takes none made of plain files";
    driverName_ = driver.name;
    bOwnDriver_ = true;
  }
  void TearDown() override {
    if (bOwnDriver_) {
      EXPECT_EQ(spooler_.DeletePrinterDriver("", "", driverName_), ERROR_SUCCESS);
    }
    for (const std::string& file : files_) std::remove(file.c_str());
  }

  PrinterInfo NewPrinter() const {
    PrinterInfo printer;
    printer.printerName = UniqueName("Tarvium Printer");
    printer.portName = "LPT1:";
    printer.driverName = driverName_;
    printer.printProcessor = "WinPrint";
    printer.datatype = "RAW";
    printer.comment = "left by a test";
    printer.location = "Room 7";
    return printer;
  }
  uint32_t Add(const PrinterInfo& printer) {
    const uint32_t err = spooler_.AddPrinter(printer);
    if (err == ERROR_INVALID_PARAMETER && tarvium::test::RunsUnderWine())
      ADD_FAILURE() << "Wine's AddPrinterA refused the printer";
    return err;
  }

  std::string driverName_;
  bool bOwnDriver_ = false;
  std::vector<std::string> files_;  // put into the printer driver directory
};

TEST_F(PrinterLifeTest, APrinterIsAddedReadListedAndDeleted) {
  const PrinterInfo printer = NewPrinter();
  ASSERT_EQ(Add(printer), ERROR_SUCCESS);
  PrinterInfo read;
  EXPECT_EQ(spooler_.GetPrinter("", printer.printerName, read), ERROR_SUCCESS);
  EXPECT_EQ(read.printerName, printer.printerName);
  EXPECT_EQ(read.portName, printer.portName);
  EXPECT_EQ(read.driverName, printer.driverName);
  EXPECT_EQ(read.comment, printer.comment);
  EXPECT_EQ(read.location, printer.location);
  std::vector<PrinterEntry> printers;
  EXPECT_EQ(spooler_.EnumPrinters("", false, printers), ERROR_SUCCESS);
  EXPECT_EQ(std::count_if(printers.begin(), printers.end(),
                          [&](const PrinterEntry& entry) {
                            return entry.name == printer.printerName && !entry.bConnection;
                          }),
            1);
  EXPECT_EQ(spooler_.DeletePrinter("", printer.printerName), ERROR_SUCCESS);
  EXPECT_EQ(spooler_.GetPrinter("", printer.printerName, read), ERROR_INVALID_PRINTER_NAME);
}

TEST_F(PrinterLifeTest, APrinterOfTheSameNameIsRefused) {
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine's AddPrinterA adds a printer of a name already taken";
  const PrinterInfo printer = NewPrinter();
  ASSERT_EQ(Add(printer), ERROR_SUCCESS);
  EXPECT_EQ(spooler_.AddPrinter(printer), ERROR_PRINTER_ALREADY_EXISTS);
  EXPECT_EQ(spooler_.DeletePrinter("", printer.printerName), ERROR_SUCCESS);
}

TEST_F(PrinterLifeTest, TheDriverIsListedWithItsFiles) {
  std::vector<DriverInfo> drivers;
  ASSERT_EQ(spooler_.EnumPrinterDrivers("", "", drivers), ERROR_SUCCESS);
  const auto found = std::find_if(drivers.begin(), drivers.end(),
                                  [&](const DriverInfo& one) { return one.name == driverName_; });
  ASSERT_NE(found, drivers.end());
  EXPECT_FALSE(found->driverPath.empty());
  EXPECT_FALSE(found->dataFile.empty());
  EXPECT_FALSE(found->configFile.empty());
  EXPECT_FALSE(found->environment.empty());
}

}  // namespace
}  // namespace platform::win32
