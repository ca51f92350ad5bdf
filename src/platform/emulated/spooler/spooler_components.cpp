// The parts printers are made of: drivers, port monitors with their ports, print processors and
// print providers. Each is added only when its files lie where the spooler loads them from, and
// removed only when no printer still needs it.
#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/emulated/spooler/emulated_spooler.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::string FileNameOf(const std::string& path) {
  const size_t nSlash = path.find_last_of("\\/:");
  return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

bool HasDirectory(const std::string& path) {
  return path.find_first_of("\\/:") != std::string::npos;
}

std::string DriversKey(const std::string& envName) {
  return std::string(kEnvironmentsKey) + "\\" + envName + "\\Drivers";
}

std::string ProcessorKey(const std::string& envName, const std::string& name) {
  return std::string(kEnvironmentsKey) + "\\" + envName + "\\Print Processors\\" + name;
}

std::string MonitorKey(const std::string& name) {
  return std::string(kMonitorsKey) + "\\" + name;
}

}  // namespace

// --- Drivers ------------------------------------------------------------------------------------

std::string EmulatedSpooler::DriverKey(const std::string& envName, const std::string& driverName) {
  if (driverName.empty()) return "";
  const std::string drivers = DriversKey(envName);
  for (const std::string& version : store_.Subkeys(RegRoot::LocalMachine, drivers)) {
    const std::string key = drivers + "\\" + version + "\\" + driverName;
    if (store_.KeyExists(RegRoot::LocalMachine, key)) return key;
  }
  return "";
}

uint32_t EmulatedSpooler::AddPrinterDriver(const std::string& server, const DriverInfo& driver) {
  std::string envName, dirName, driverDir;
  if (uint32_t err = GetPrinterDriverDirectory(server, driver.environment, driverDir)) return err;
  ResolveEnvironment(driver.environment, envName, dirName);
  if (driver.name.empty() || driver.driverPath.empty() || driver.dataFile.empty() ||
      driver.configFile.empty())
    return ERROR_INVALID_PARAMETER;
  const std::string key =
      DriversKey(envName) + "\\Version-" + std::to_string(driver.dwVersion) + "\\" + driver.name;
  if (store_.KeyExists(RegRoot::LocalMachine, key)) return ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
  if (!driver.monitorName.empty() &&
      !store_.KeyExists(RegRoot::LocalMachine, MonitorKey(driver.monitorName)))
    return ERROR_UNKNOWN_PRINT_MONITOR;
  // Every file must already lie in the driver directory (or where a full path names it).
  std::vector<std::string> files = {driver.driverPath, driver.dataFile, driver.configFile};
  if (!driver.helpFile.empty()) files.push_back(driver.helpFile);
  files.insert(files.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
  for (const std::string& file : files)
    if (!FileExists(HasDirectory(file) ? file : driverDir + "\\" + file))
      return ERROR_FILE_NOT_FOUND;

  std::vector<std::string> dependents;
  for (const std::string& file : driver.dependentFiles) dependents.push_back(FileNameOf(file));
  const std::pair<const char*, std::string> texts[] = {
      {"Driver", FileNameOf(driver.driverPath)},
      {"Data File", FileNameOf(driver.dataFile)},
      {"Configuration File", FileNameOf(driver.configFile)},
      {"Help File", FileNameOf(driver.helpFile)},
      {"Monitor", driver.monitorName},
      {"Datatype", driver.defaultDatatype},
  };
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::LocalMachine, key)) return e;
    for (const auto& [name, text] : texts)
      if (uint32_t e = store_.SetText(RegRoot::LocalMachine, key, name, text)) return e;
    if (uint32_t e = store_.SetList(RegRoot::LocalMachine, key, "Dependent Files", dependents))
      return e;
    return store_.SetDword(RegRoot::LocalMachine, key, "Version", driver.dwVersion);
  });
}

uint32_t EmulatedSpooler::DeletePrinterDriver(const std::string& server,
                                              const std::string& environment,
                                              const std::string& driverName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  const std::string key = DriverKey(envName, driverName);
  if (key.empty()) return ERROR_UNKNOWN_PRINTER_DRIVER;
  std::string ownName, ownDir;
  ResolveEnvironment("", ownName, ownDir);
  if (envName == ownName) {
    for (const std::string& printer : store_.Subkeys(RegRoot::LocalMachine, kPrintersKey)) {
      const std::string used = store_.Text(
          RegRoot::LocalMachine, std::string(kPrintersKey) + "\\" + printer, "Printer Driver");
      if (AnsiEqualNoCase(used, driverName)) return ERROR_PRINTER_DRIVER_IN_USE;
    }
  }
  return store_.Reg().DeleteTree(RegRoot::LocalMachine, key);
}

uint32_t EmulatedSpooler::EnumPrinterDrivers(const std::string& server,
                                             const std::string& environment,
                                             std::vector<DriverInfo>& drivers) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  drivers.clear();
  const std::string driversKey = DriversKey(envName);
  for (const std::string& version : store_.Subkeys(RegRoot::LocalMachine, driversKey)) {
    for (const std::string& name :
         store_.Subkeys(RegRoot::LocalMachine, driversKey + "\\" + version)) {
      const std::string key = driversKey + "\\" + version + "\\" + name;
      const auto text = [&](const char* value) {
        return store_.Text(RegRoot::LocalMachine, key, value);
      };
      DriverInfo driver{store_.Dword(RegRoot::LocalMachine, key, "Version"),
                        name,
                        envName,
                        text("Driver"),
                        text("Data File"),
                        text("Configuration File"),
                        text("Help File"),
                        store_.List(RegRoot::LocalMachine, key, "Dependent Files"),
                        text("Monitor"),
                        text("Datatype")};
      drivers.push_back(std::move(driver));
    }
  }
  return ERROR_SUCCESS;
}

// --- Monitors and ports -------------------------------------------------------------------------

uint32_t EmulatedSpooler::AddMonitor(const std::string& server, const std::string& environment,
                                     const std::string& monitorName, const std::string& dllName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  if (monitorName.empty() || dllName.empty()) return ERROR_INVALID_PARAMETER;
  const std::string key = MonitorKey(monitorName);
  if (store_.KeyExists(RegRoot::LocalMachine, key)) return ERROR_PRINT_MONITOR_ALREADY_INSTALLED;
  // The spooler loads the monitor from the system directory unless given a full path.
  if (!FileExists(HasDirectory(dllName) ? dllName : SystemDirectory() + "\\" + dllName))
    return ERROR_MOD_NOT_FOUND;
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::LocalMachine, key)) return e;
    return store_.SetText(RegRoot::LocalMachine, key, "Driver", dllName);
  });
}

uint32_t EmulatedSpooler::DeleteMonitor(const std::string& server, const std::string& environment,
                                        const std::string& monitorName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  const std::string key = MonitorKey(monitorName);
  if (monitorName.empty() || !store_.KeyExists(RegRoot::LocalMachine, key))
    return ERROR_UNKNOWN_PRINT_MONITOR;
  for (const std::string& port : store_.Subkeys(RegRoot::LocalMachine, key + "\\Ports"))
    if (PortInUse(port)) return ERROR_PRINT_MONITOR_IN_USE;
  return store_.Reg().DeleteTree(RegRoot::LocalMachine, key);
}

std::string EmulatedSpooler::MonitorOfPort(const std::string& portName) {
  RegValue value;
  if (store_.Reg().QueryValue(RegRoot::LocalMachine, kLocalPortsKey, portName, value) ==
      ERROR_SUCCESS)
    return kLocalPortMonitor;
  for (const std::string& monitor : store_.Subkeys(RegRoot::LocalMachine, kMonitorsKey))
    if (store_.KeyExists(RegRoot::LocalMachine, MonitorKey(monitor) + "\\Ports\\" + portName))
      return monitor;
  return "";
}

bool EmulatedSpooler::PortInUse(const std::string& portName) {
  for (const std::string& printer : store_.Subkeys(RegRoot::LocalMachine, kPrintersKey)) {
    const std::string ports =
        store_.Text(RegRoot::LocalMachine, std::string(kPrintersKey) + "\\" + printer, "Port");
    for (const std::string& port : SplitPortList(ports))
      if (AnsiEqualNoCase(port, portName)) return true;
  }
  return false;
}

uint32_t EmulatedSpooler::AddPort(const std::string& server, const std::string& monitorName) {
  if (uint32_t err = CheckServer(server)) return err;
  const bool bLocal = AnsiEqualNoCase(monitorName, kLocalPortMonitor);
  if (monitorName.empty() || !store_.KeyExists(RegRoot::LocalMachine, MonitorKey(monitorName)))
    return ERROR_UNKNOWN_PRINT_MONITOR;
  // The monitor's dialog asks for the port's name; the machine's answer stands for the person.
  const std::string& portName = config_.szPortDialogAnswer;
  if (portName.empty()) return ERROR_CANCELLED;
  if (!MonitorOfPort(portName).empty()) return ERROR_ALREADY_EXISTS;
  if (bLocal) return store_.SetText(RegRoot::LocalMachine, kLocalPortsKey, portName, "");
  return store_.Reg().CreateKey(RegRoot::LocalMachine,
                                MonitorKey(monitorName) + "\\Ports\\" + portName);
}

uint32_t EmulatedSpooler::DeletePort(const std::string& server, const std::string& portName) {
  if (uint32_t err = CheckServer(server)) return err;
  const std::string monitor = portName.empty() ? "" : MonitorOfPort(portName);
  if (monitor.empty()) return ERROR_UNKNOWN_PORT;
  if (PortInUse(portName)) return ERROR_BUSY;
  if (monitor == kLocalPortMonitor)
    return store_.Reg().DeleteValue(RegRoot::LocalMachine, kLocalPortsKey, portName);
  const std::string portsKey = MonitorKey(monitor) + "\\Ports";
  if (uint32_t err = store_.Reg().DeleteTree(RegRoot::LocalMachine, portsKey + "\\" + portName))
    return err;
  if (store_.Subkeys(RegRoot::LocalMachine, portsKey).empty() &&
      store_.ValueNames(RegRoot::LocalMachine, portsKey).empty())
    store_.Reg().DeleteKey(RegRoot::LocalMachine, portsKey);
  return ERROR_SUCCESS;
}

uint32_t EmulatedSpooler::EnumPorts(const std::string& server,
                                    std::vector<std::pair<std::string, std::string>>& ports) {
  if (uint32_t err = CheckServer(server)) return err;
  ports.clear();
  for (const std::string& port : store_.ValueNames(RegRoot::LocalMachine, kLocalPortsKey))
    ports.emplace_back(port, kLocalPortMonitor);
  for (const std::string& monitor : store_.Subkeys(RegRoot::LocalMachine, kMonitorsKey))
    for (const std::string& port :
         store_.Subkeys(RegRoot::LocalMachine, MonitorKey(monitor) + "\\Ports"))
      ports.emplace_back(port, monitor);
  return ERROR_SUCCESS;
}

// --- Print processors and providers -------------------------------------------------------------

uint32_t EmulatedSpooler::AddPrintProcessor(const std::string& server,
                                            const std::string& environment,
                                            const std::string& fileName,
                                            const std::string& processorName) {
  std::string envName, dirName, processorDir;
  if (uint32_t err = GetPrintProcessorDirectory(server, environment, processorDir)) return err;
  ResolveEnvironment(environment, envName, dirName);
  if (processorName.empty() || fileName.empty()) return ERROR_INVALID_PARAMETER;
  const std::string key = ProcessorKey(envName, processorName);
  if (store_.KeyExists(RegRoot::LocalMachine, key)) return ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED;
  if (!FileExists(processorDir + "\\" + FileNameOf(fileName))) return ERROR_MOD_NOT_FOUND;
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::LocalMachine, key)) return e;
    return store_.SetText(RegRoot::LocalMachine, key, "Driver", FileNameOf(fileName));
  });
}

uint32_t EmulatedSpooler::DeletePrintProcessor(const std::string& server,
                                               const std::string& environment,
                                               const std::string& processorName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  const std::string key = ProcessorKey(envName, processorName);
  if (processorName.empty() || !store_.KeyExists(RegRoot::LocalMachine, key))
    return ERROR_UNKNOWN_PRINTPROCESSOR;
  return store_.Reg().DeleteTree(RegRoot::LocalMachine, key);
}

uint32_t EmulatedSpooler::AddPrintProvider(const std::string& server,
                                           const std::string& environment,
                                           const std::string& providerName,
                                           const std::string& dllName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  if (providerName.empty() || dllName.empty()) return ERROR_INVALID_PARAMETER;
  const std::string key = std::string(kProvidersKey) + "\\" + providerName;
  if (store_.KeyExists(RegRoot::LocalMachine, key)) return ERROR_ALREADY_EXISTS;
  if (!FileExists(HasDirectory(dllName) ? dllName : SystemDirectory() + "\\" + dllName))
    return ERROR_MOD_NOT_FOUND;
  std::vector<std::string> order = store_.List(RegRoot::LocalMachine, kProvidersKey, "Order");
  order.push_back(providerName);
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::LocalMachine, key)) return e;
    if (uint32_t e = store_.SetText(RegRoot::LocalMachine, key, "Name", dllName)) return e;
    return store_.SetList(RegRoot::LocalMachine, kProvidersKey, "Order", order);
  });
}

uint32_t EmulatedSpooler::DeletePrintProvider(const std::string& server,
                                              const std::string& environment,
                                              const std::string& providerName) {
  std::string envName, dirName;
  if (uint32_t err = ResolveTarget(server, environment, envName, dirName)) return err;
  const std::string key = std::string(kProvidersKey) + "\\" + providerName;
  if (providerName.empty() || !store_.KeyExists(RegRoot::LocalMachine, key))
    return ERROR_FILE_NOT_FOUND;
  std::vector<std::string> order = store_.List(RegRoot::LocalMachine, kProvidersKey, "Order");
  std::erase_if(order,
                [&](const std::string& name) { return AnsiEqualNoCase(name, providerName); });
  return store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().DeleteTree(RegRoot::LocalMachine, key)) return e;
    return store_.SetList(RegRoot::LocalMachine, kProvidersKey, "Order", order);
  });
}

}  // namespace platform::emulated
