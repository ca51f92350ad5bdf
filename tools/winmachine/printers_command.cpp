// "winmachine printers": what the machine's spooler holds, one line each, for people and tests:
// the printers (with port and driver, a '*' marking the user's default printer), the connections,
// the drivers of the machine's environment and the ports with their monitors.
#include <vector>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/spooler.h"

namespace winmachine {

int PrintersCommand(const Invocation& invocation) {
  if (!invocation.args.empty()) return Fail(kExitUsage, "usage: printers");
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  platform::Spooler& spooler = machine->Printing();
  std::vector<platform::PrinterEntry> printers;
  std::vector<platform::DriverInfo> drivers;
  std::vector<std::pair<std::string, std::string>> ports;
  if (spooler.EnumPrinters("", true, printers) || spooler.EnumPrinterDrivers("", "", drivers) ||
      spooler.EnumPorts("", ports))
    return Fail(kExitFailed, "cannot read the spooler of the machine");
  const std::string device = machine->Profiles().GetProfileString("windows", "device", "");
  const std::string defaultPrinter = device.substr(0, device.find(','));
  for (const platform::PrinterEntry& entry : printers) {
    const char* mark = platform::AnsiEqualNoCase(entry.name, defaultPrinter) ? "* " : "  ";
    platform::PrinterInfo info;
    if (entry.bConnection || spooler.GetPrinter("", entry.name, info) != 0) {
      PrintLine(std::string("printer ") + mark + entry.name + "  (connection)");
      continue;
    }
    PrintLine(std::string("printer ") + mark + entry.name + "  port " + info.portName +
              "  driver " + info.driverName);
  }
  for (const platform::DriverInfo& driver : drivers)
    PrintLine("driver  " + driver.name + "  version " + std::to_string(driver.dwVersion) + "  " +
              driver.driverPath);
  for (const auto& [port, monitor] : ports) PrintLine("port    " + port + "  monitor " + monitor);
  return kExitOk;
}

}  // namespace winmachine
