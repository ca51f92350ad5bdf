// Printers, connections, the user's device settings and the spooler's directories. A printer is
// checked against what it names (driver, ports, print processor, data type) before its key is
// written, so that a printer on the machine always names installed parts.
#include "platform/emulated/spooler/emulated_spooler.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

struct EnvironmentRow {
  const char* name;
  const char* dirName;
};

constexpr std::array<EnvironmentRow, 5> kEnvironments = {{
    {"Windows x64", "x64"},
    {"Windows NT x86", "W32X86"},
    {"Windows 4.0", "WIN40"},
    {"Windows IA64", "IA64"},
    {"Windows ARM64", "ARM64"},
}};

// The data types of the system's print processor.
constexpr std::array<const char*, 9> kWinPrintDatatypes = {
    "RAW",          "RAW [FF appended]", "RAW [FF auto]", "NT EMF 1.003", "NT EMF 1.006",
    "NT EMF 1.007", "NT EMF 1.008",      "TEXT",          "XPS2GDI"};

std::string PrinterKey(const std::string& name) {
  return std::string(kPrintersKey) + "\\" + name;
}

// ",,server,printer" of "\\server\printer"; false for any other form.
bool ConnectionKeyName(const std::string& printerName, std::string& keyName) {
  if (printerName.size() < 5 || printerName[0] != '\\' || printerName[1] != '\\') return false;
  const size_t nSlash = printerName.find('\\', 2);
  if (nSlash == std::string::npos || nSlash == 2 || nSlash + 1 == printerName.size() ||
      printerName.find('\\', nSlash + 1) != std::string::npos)
    return false;
  keyName = ",," + printerName.substr(2, nSlash - 2) + "," + printerName.substr(nSlash + 1);
  return true;
}

bool IsValidPrinterName(const std::string& name) {
  return !name.empty() && name.size() <= 220 && name.find_first_of("\\,!") == std::string::npos;
}

std::string FirstField(const std::string& entry) {
  return entry.substr(0, entry.find(','));
}

}  // namespace

// --- Machine, environment, files ----------------------------------------------------------------

uint32_t EmulatedSpooler::CheckServer(const std::string& server) const {
  std::string name = server;
  while (!name.empty() && name.front() == '\\') name.erase(name.begin());
  return name.empty() || name == "." || AnsiEqualNoCase(name, config_.szComputerName)
             ? ERROR_SUCCESS
             : RPC_S_SERVER_UNAVAILABLE;
}

uint32_t EmulatedSpooler::ResolveEnvironment(const std::string& environment, std::string& name,
                                             std::string& dirName) const {
  const EnvironmentRow& own = kEnvironments[config_.b64Bit ? 0 : 1];
  if (environment.empty()) {
    name = own.name;
    dirName = own.dirName;
    return ERROR_SUCCESS;
  }
  for (const EnvironmentRow& row : kEnvironments) {
    if (AnsiEqualNoCase(environment, row.name)) {
      name = row.name;
      dirName = row.dirName;
      return ERROR_SUCCESS;
    }
  }
  return ERROR_INVALID_ENVIRONMENT;
}

bool EmulatedSpooler::FileExists(const std::string& path) {
  bool bDirectory = false;
  return files_.GetEntryKind(path, bDirectory) == ERROR_SUCCESS && !bDirectory;
}

uint32_t EmulatedSpooler::ResolveTarget(const std::string& server, const std::string& environment,
                                        std::string& name, std::string& dirName) const {
  if (uint32_t err = CheckServer(server)) return err;
  return ResolveEnvironment(environment, name, dirName);
}

uint32_t EmulatedSpooler::SpoolDirectory(const std::string& server, const std::string& environment,
                                         const char* kind, std::string& directory) const {
  std::string name, dirName;
  if (uint32_t err = ResolveTarget(server, environment, name, dirName)) return err;
  directory = SystemDirectory() + "\\spool\\" + kind + "\\" + dirName;
  return ERROR_SUCCESS;
}

uint32_t EmulatedSpooler::GetPrinterDriverDirectory(const std::string& server,
                                                    const std::string& environment,
                                                    std::string& directory) {
  return SpoolDirectory(server, environment, "drivers", directory);
}

uint32_t EmulatedSpooler::GetPrintProcessorDirectory(const std::string& server,
                                                     const std::string& environment,
                                                     std::string& directory) {
  return SpoolDirectory(server, environment, "prtprocs", directory);
}

// --- Device settings ----------------------------------------------------------------------------

uint32_t EmulatedSpooler::AddDeviceEntries(const std::string& printerName) {
  std::vector<bool> used(100, false);
  for (const std::string& name : store_.ValueNames(RegRoot::CurrentUser, kDevicesKey)) {
    const std::string entry = store_.Text(RegRoot::CurrentUser, kDevicesKey, name);
    unsigned n = 0;
    if (std::sscanf(entry.c_str(), "winspool,Ne%2u:", &n) == 1 && n < used.size()) used[n] = true;
  }
  const auto free = std::find(used.begin(), used.end(), false);
  char port[16];
  std::snprintf(port, sizeof port, "Ne%02u:", static_cast<unsigned>(free - used.begin()));
  const std::string device = std::string("winspool,") + port;
  if (uint32_t err = store_.Reg().CreateKey(RegRoot::CurrentUser, kDevicesKey)) return err;
  if (uint32_t err = store_.Reg().CreateKey(RegRoot::CurrentUser, kPrinterPortsKey)) return err;
  if (uint32_t err = store_.SetText(RegRoot::CurrentUser, kDevicesKey, printerName, device))
    return err;
  return store_.SetText(RegRoot::CurrentUser, kPrinterPortsKey, printerName, device + ",15,45");
}

void EmulatedSpooler::RemoveDeviceEntries(const std::string& printerName) {
  store_.Reg().DeleteValue(RegRoot::CurrentUser, kDevicesKey, printerName);
  store_.Reg().DeleteValue(RegRoot::CurrentUser, kPrinterPortsKey, printerName);
}

// --- Printers -----------------------------------------------------------------------------------

uint32_t EmulatedSpooler::AddPrinter(const PrinterInfo& printer) {
  if (uint32_t err = CheckServer(printer.serverName)) return err;
  if (!IsValidPrinterName(printer.printerName)) return ERROR_INVALID_PRINTER_NAME;
  const std::string key = PrinterKey(printer.printerName);
  if (store_.KeyExists(RegRoot::LocalMachine, key)) return ERROR_PRINTER_ALREADY_EXISTS;
  std::string envName, dirName;
  ResolveEnvironment("", envName, dirName);
  if (DriverKey(envName, printer.driverName).empty()) return ERROR_UNKNOWN_PRINTER_DRIVER;
  const std::vector<std::string> ports = SplitPortList(printer.portName);
  if (ports.empty()) return ERROR_UNKNOWN_PORT;
  for (const std::string& port : ports)
    if (MonitorOfPort(port).empty()) return ERROR_UNKNOWN_PORT;
  const std::string processor =
      printer.printProcessor.empty() ? "winprint" : printer.printProcessor;
  const std::string processorsKey =
      std::string(kEnvironmentsKey) + "\\" + envName + "\\Print Processors\\" + processor;
  if (!store_.KeyExists(RegRoot::LocalMachine, processorsKey)) return ERROR_UNKNOWN_PRINTPROCESSOR;
  const std::string datatype = printer.datatype.empty() ? "RAW" : printer.datatype;
  if (AnsiEqualNoCase(processor, "winprint") &&
      std::none_of(kWinPrintDatatypes.begin(), kWinPrintDatatypes.end(),
                   [&](const char* known) { return AnsiEqualNoCase(datatype, known); }))
    return ERROR_INVALID_DATATYPE;
  if ((printer.dwAttributes & PRINTER_ATTRIBUTE_SHARED) && printer.shareName.empty())
    return ERROR_INVALID_SHARENAME;

  const uint32_t dwAttributes =
      (printer.dwAttributes & ~PRINTER_ATTRIBUTE_DEFAULT) | PRINTER_ATTRIBUTE_LOCAL;
  const std::pair<const char*, std::string> texts[] = {
      {"Name", printer.printerName},
      {"Share Name", printer.shareName},
      {"Port", printer.portName},
      {"Printer Driver", printer.driverName},
      {"Description", printer.comment},
      {"Location", printer.location},
      {"Separator File", printer.sepFile},
      {"Print Processor", processor},
      {"Datatype", datatype},
      {"Parameters", printer.parameters},
  };
  const std::pair<const char*, uint32_t> numbers[] = {
      {"Attributes", dwAttributes},
      {"Priority", printer.dwPriority},
      {"Default Priority", printer.dwDefaultPriority},
      {"StartTime", printer.dwStartTime},
      {"UntilTime", printer.dwUntilTime},
      {"Status", 0},
  };
  const uint32_t err = store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::LocalMachine, key)) return e;
    for (const auto& [name, text] : texts)
      if (uint32_t e = store_.SetText(RegRoot::LocalMachine, key, name, text)) return e;
    for (const auto& [name, dw] : numbers)
      if (uint32_t e = store_.SetDword(RegRoot::LocalMachine, key, name, dw)) return e;
    return ERROR_SUCCESS;
  });
  if (err != ERROR_SUCCESS) return err;
  if (uint32_t e = AddDeviceEntries(printer.printerName)) return e;
  // DOS-based Windows takes the DEFAULT attribute as "make this the default printer".
  if (!IsDosBased() || !(printer.dwAttributes & PRINTER_ATTRIBUTE_DEFAULT)) return ERROR_SUCCESS;
  const std::string entry = store_.Text(RegRoot::CurrentUser, kDevicesKey, printer.printerName);
  return store_.SetText(RegRoot::CurrentUser, kWindowsKey, "Device",
                        printer.printerName + "," + entry);
}

uint32_t EmulatedSpooler::GetPrinter(const std::string& server, const std::string& printerName,
                                     PrinterInfo& printer) {
  if (uint32_t err = CheckServer(server)) return err;
  std::string connection;
  if (ConnectionKeyName(printerName, connection)) {
    if (!store_.KeyExists(RegRoot::CurrentUser, std::string(kConnectionsKey) + "\\" + connection))
      return ERROR_INVALID_PRINTER_NAME;
    printer = {};
    printer.printerName = printerName;
    printer.serverName = printerName.substr(0, printerName.find('\\', 2));
    printer.dwAttributes = PRINTER_ATTRIBUTE_NETWORK;
    return ERROR_SUCCESS;
  }
  const std::string key = PrinterKey(printerName);
  if (!IsValidPrinterName(printerName) || !store_.KeyExists(RegRoot::LocalMachine, key))
    return ERROR_INVALID_PRINTER_NAME;
  const auto text = [&](const char* name) { return store_.Text(RegRoot::LocalMachine, key, name); };
  const auto number = [&](const char* name) {
    return store_.Dword(RegRoot::LocalMachine, key, name);
  };
  printer = {};
  printer.serverName = server;
  printer.printerName = text("Name");
  printer.shareName = text("Share Name");
  printer.portName = text("Port");
  printer.driverName = text("Printer Driver");
  printer.comment = text("Description");
  printer.location = text("Location");
  printer.sepFile = text("Separator File");
  printer.printProcessor = text("Print Processor");
  printer.datatype = text("Datatype");
  printer.parameters = text("Parameters");
  printer.dwAttributes = number("Attributes");
  printer.dwPriority = number("Priority");
  printer.dwDefaultPriority = number("Default Priority");
  printer.dwStartTime = number("StartTime");
  printer.dwUntilTime = number("UntilTime");
  // DOS-based Windows reports the default printer by its DEFAULT attribute.
  if (IsDosBased() &&
      AnsiEqualNoCase(FirstField(store_.Text(RegRoot::CurrentUser, kWindowsKey, "Device")),
                      printer.printerName))
    printer.dwAttributes |= PRINTER_ATTRIBUTE_DEFAULT;
  return ERROR_SUCCESS;
}

uint32_t EmulatedSpooler::DeletePrinter(const std::string& server, const std::string& printerName) {
  if (uint32_t err = CheckServer(server)) return err;
  std::string connection;
  if (ConnectionKeyName(printerName, connection)) return DeletePrinterConnection(printerName);
  const std::string key = PrinterKey(printerName);
  if (!IsValidPrinterName(printerName) || !store_.KeyExists(RegRoot::LocalMachine, key))
    return ERROR_INVALID_PRINTER_NAME;
  // The key's own name, in the case it was created with, names the device entries.
  const std::string name = store_.Text(RegRoot::LocalMachine, key, "Name");
  if (uint32_t err = store_.Reg().DeleteTree(RegRoot::LocalMachine, key)) return err;
  RemoveDeviceEntries(name.empty() ? printerName : name);
  return ERROR_SUCCESS;
}

uint32_t EmulatedSpooler::EnumPrinters(const std::string& server, bool bConnections,
                                       std::vector<PrinterEntry>& printers) {
  if (uint32_t err = CheckServer(server)) return err;
  printers.clear();
  for (const std::string& key : store_.Subkeys(RegRoot::LocalMachine, kPrintersKey)) {
    const std::string name = store_.Text(RegRoot::LocalMachine, PrinterKey(key), "Name");
    printers.push_back({name.empty() ? key : name, false});
  }
  if (!bConnections) return ERROR_SUCCESS;
  for (const std::string& key : store_.Subkeys(RegRoot::CurrentUser, kConnectionsKey)) {
    // ",,server,printer"
    const size_t nComma = key.find(',', 2);
    if (key.rfind(",,", 0) != 0 || nComma == std::string::npos) continue;
    printers.push_back({"\\\\" + key.substr(2, nComma - 2) + "\\" + key.substr(nComma + 1), true});
  }
  return ERROR_SUCCESS;
}

// --- Connections --------------------------------------------------------------------------------

uint32_t EmulatedSpooler::AddPrinterConnection(const std::string& printerName) {
  std::string keyName;
  if (!ConnectionKeyName(printerName, keyName)) return ERROR_INVALID_PRINTER_NAME;
  const std::string server = printerName.substr(0, printerName.find('\\', 2));
  if (CheckServer(server) == ERROR_SUCCESS) return ERROR_INVALID_PRINTER_NAME;
  const std::string key = std::string(kConnectionsKey) + "\\" + keyName;
  if (store_.KeyExists(RegRoot::CurrentUser, key)) return ERROR_SUCCESS;
  const uint32_t err = store_.Reg().WriteAsOne([&]() -> uint32_t {
    if (uint32_t e = store_.Reg().CreateKey(RegRoot::CurrentUser, key)) return e;
    if (uint32_t e = store_.SetText(RegRoot::CurrentUser, key, "Server", server)) return e;
    return store_.SetText(RegRoot::CurrentUser, key, "Provider", "win32spl.dll");
  });
  return err != ERROR_SUCCESS ? err : AddDeviceEntries(printerName);
}

uint32_t EmulatedSpooler::DeletePrinterConnection(const std::string& printerName) {
  std::string keyName;
  if (!ConnectionKeyName(printerName, keyName)) return ERROR_INVALID_PRINTER_NAME;
  const std::string key = std::string(kConnectionsKey) + "\\" + keyName;
  if (!store_.KeyExists(RegRoot::CurrentUser, key)) return ERROR_INVALID_PRINTER_NAME;
  if (uint32_t err = store_.Reg().DeleteTree(RegRoot::CurrentUser, key)) return err;
  RemoveDeviceEntries(printerName);
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
