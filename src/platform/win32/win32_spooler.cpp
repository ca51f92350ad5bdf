// Every call goes to winspool as it is, so that the spooler's own checks and errors (an unknown
// driver or port, a printer or monitor already there) reach the setup unchanged. The spooler's
// ANSI functions take their texts as LPSTR; they get copies. A printer named "\\server\printer"
// is a connection: it is removed with DeletePrinterConnectionA, not deleted on its server.
#include "platform/win32/win32_spooler.h"

#include "platform/win_error.h"

#include "platform/win32/windows_api.h"

#include <winspool.h>  // after <windows.h>, whose types it uses
#undef AddPrinter
#undef GetPrinter
#undef EnumPrinters
#undef AddPrinterDriver
#undef DeletePrinterDriver
#undef EnumPrinterDrivers
#undef AddMonitor
#undef DeleteMonitor
#undef AddPort
#undef DeletePort
#undef EnumPorts
#undef AddPrintProcessor
#undef DeletePrintProcessor
#undef AddPrinterConnection
#undef DeletePrinterConnection
#undef GetPrinterDriverDirectory
#undef GetPrintProcessorDirectory

namespace platform::win32 {
namespace {

constexpr int kQueryAttempts = 4;  // a list may grow between asking its size and reading it

uint32_t LastError() {
  const DWORD dwError = GetLastError();
  return dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE;
}

// Runs one spooler call. The last error is cleared first, so that a call failing without an
// error of its own (as some do) is not reported with the error of an earlier one.
template <class Call>
uint32_t Spool(Call call) {
  SetLastError(ERROR_SUCCESS);
  return call() ? ERROR_SUCCESS : LastError();
}

// A text for an LPSTR parameter: a copy the spooler may not change, NULL when empty.
class Arg {
 public:
  explicit Arg(const std::string& text) : text_(text) {}
  LPSTR Get() { return text_.empty() ? nullptr : text_.data(); }

 private:
  std::string text_;
};

std::string TextOf(const char* pszText) {
  return pszText ? pszText : "";
}

// The texts of a list of zero-terminated texts that ends with an empty one.
std::vector<std::string> TextsOf(const char* pszList) {
  std::vector<std::string> texts;
  for (const char* psz = pszList; psz && *psz; psz += texts.back().size() + 1) texts.push_back(psz);
  return texts;
}

std::string ListOf(const std::vector<std::string>& texts) {
  std::string list;
  for (const std::string& text : texts) list += text + '\0';
  return list + '\0';
}

// Calls query(buffer, size, &needed) again with a larger buffer until the answer fits.
template <class Query>
uint32_t QueryIntoBuffer(std::vector<BYTE>& buffer, Query query) {
  for (int nAttempt = 0; nAttempt < kQueryAttempts; ++nAttempt) {
    DWORD cbNeeded = 0;
    SetLastError(ERROR_SUCCESS);
    if (query(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
              &cbNeeded))
      return ERROR_SUCCESS;
    const uint32_t err = LastError();
    if (err != ERROR_INSUFFICIENT_BUFFER || cbNeeded <= buffer.size()) return err;
    buffer.resize(cbNeeded);
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

// The entries of one of the spooler's Enum* calls, as an array of `Entry` in the buffer.
template <class Entry, class Enumerate>
uint32_t EnumerateInto(std::vector<BYTE>& buffer, const Entry*& pEntries, DWORD& nEntries,
                       Enumerate enumerate) {
  nEntries = 0;
  const uint32_t err =
      QueryIntoBuffer(buffer, [&](LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbNeeded) {
        return enumerate(pBuffer, cbBuffer, pcbNeeded, &nEntries);
      });
  pEntries = reinterpret_cast<const Entry*>(buffer.data());
  if (err != ERROR_SUCCESS) nEntries = 0;
  return err;
}

uint32_t QueryDirectory(std::string& directory, auto query) {
  directory.clear();
  std::vector<BYTE> buffer(MAX_PATH + 1);
  if (const uint32_t err = QueryIntoBuffer(buffer, query)) return err;
  directory = TextOf(reinterpret_cast<const char*>(buffer.data()));
  return ERROR_SUCCESS;
}

bool IsConnectionName(const std::string& printerName) {
  return printerName.rfind("\\\\", 0) == 0;
}

// "\\server\printer" of a printer of another machine; the name itself for this machine's.
std::string PrinterPath(const std::string& server, const std::string& printerName) {
  if (server.empty() || IsConnectionName(printerName)) return printerName;
  const size_t nStart = server.find_first_not_of('\\');
  return "\\\\" + (nStart == std::string::npos ? "" : server.substr(nStart)) + "\\" + printerName;
}

class OpenedPrinter {
 public:
  OpenedPrinter() = default;
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;
  ~OpenedPrinter() {
    if (handle_) ClosePrinter(handle_);
  }
  uint32_t Open(const std::string& name, DWORD dwAccess) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, dwAccess};
    return Spool([&] { return OpenPrinterA(Arg(name).Get(), &handle_, &defaults); });
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

PrinterInfo PrinterInfoOf(const PRINTER_INFO_2A& info) {
  PrinterInfo printer;
  printer.serverName = TextOf(info.pServerName);
  printer.printerName = TextOf(info.pPrinterName);
  printer.shareName = TextOf(info.pShareName);
  printer.portName = TextOf(info.pPortName);
  printer.driverName = TextOf(info.pDriverName);
  printer.comment = TextOf(info.pComment);
  printer.location = TextOf(info.pLocation);
  printer.sepFile = TextOf(info.pSepFile);
  printer.printProcessor = TextOf(info.pPrintProcessor);
  printer.datatype = TextOf(info.pDatatype);
  printer.parameters = TextOf(info.pParameters);
  printer.dwAttributes = info.Attributes;
  printer.dwPriority = info.Priority;
  printer.dwDefaultPriority = info.DefaultPriority;
  printer.dwStartTime = info.StartTime;
  printer.dwUntilTime = info.UntilTime;
  return printer;
}

DriverInfo DriverInfoOf(const DRIVER_INFO_3A& info) {
  return {info.cVersion,
          TextOf(info.pName),
          TextOf(info.pEnvironment),
          TextOf(info.pDriverPath),
          TextOf(info.pDataFile),
          TextOf(info.pConfigFile),
          TextOf(info.pHelpFile),
          TextsOf(info.pDependentFiles),
          TextOf(info.pMonitorName),
          TextOf(info.pDefaultDataType)};
}

}  // namespace

// --- Printers -----------------------------------------------------------------------------------

uint32_t Win32Spooler::AddPrinter(const PrinterInfo& printer) {
  Arg server(printer.serverName), name(printer.printerName), share(printer.shareName),
      port(printer.portName), driver(printer.driverName), comment(printer.comment),
      location(printer.location), sepFile(printer.sepFile), processor(printer.printProcessor),
      datatype(printer.datatype), parameters(printer.parameters);
  PRINTER_INFO_2A info{};
  info.pServerName = server.Get();
  info.pPrinterName = name.Get();
  info.pShareName = share.Get();
  info.pPortName = port.Get();
  info.pDriverName = driver.Get();
  info.pComment = comment.Get();
  info.pLocation = location.Get();
  info.pSepFile = sepFile.Get();
  info.pPrintProcessor = processor.Get();
  info.pDatatype = datatype.Get();
  info.pParameters = parameters.Get();
  info.Attributes = printer.dwAttributes;
  info.Priority = printer.dwPriority;
  info.DefaultPriority = printer.dwDefaultPriority;
  info.StartTime = printer.dwStartTime;
  info.UntilTime = printer.dwUntilTime;
  HANDLE added = nullptr;
  if (const uint32_t err = Spool(
          [&] { return added = AddPrinterA(server.Get(), 2, reinterpret_cast<LPBYTE>(&info)); }))
    return err;
  ClosePrinter(added);
  return ERROR_SUCCESS;
}

uint32_t Win32Spooler::DeletePrinter(const std::string& server, const std::string& printerName) {
  if (IsConnectionName(printerName)) return DeletePrinterConnection(printerName);
  OpenedPrinter printer;
  if (const uint32_t err = printer.Open(PrinterPath(server, printerName), PRINTER_ALL_ACCESS))
    return err;
  return Spool([&] { return ::DeletePrinter(printer.Get()); });
}

uint32_t Win32Spooler::GetPrinter(const std::string& server, const std::string& printerName,
                                  PrinterInfo& printer) {
  OpenedPrinter opened;
  if (const uint32_t err = opened.Open(PrinterPath(server, printerName), PRINTER_ACCESS_USE))
    return err;
  std::vector<BYTE> buffer;
  if (const uint32_t err =
          QueryIntoBuffer(buffer, [&](LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbNeeded) {
            return GetPrinterA(opened.Get(), 2, pBuffer, cbBuffer, pcbNeeded);
          }))
    return err;
  printer = PrinterInfoOf(*reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data()));
  return ERROR_SUCCESS;
}

// This machine's printers come at level 4 (names and attributes only); another machine's are
// asked for by its name, at level 1, and have no connections of this user.
uint32_t Win32Spooler::EnumPrinters(const std::string& server, bool bConnections,
                                    std::vector<PrinterEntry>& printers) {
  printers.clear();
  std::vector<BYTE> buffer;
  DWORD nEntries = 0;
  if (server.empty()) {
    const DWORD dwFlags = PRINTER_ENUM_LOCAL | (bConnections ? PRINTER_ENUM_CONNECTIONS : 0);
    const PRINTER_INFO_4A* pEntries = nullptr;
    const uint32_t err = EnumerateInto(buffer, pEntries, nEntries, [&](auto... rest) {
      return EnumPrintersA(dwFlags, nullptr, 4, rest...);
    });
    for (DWORD i = 0; i < nEntries; ++i)
      printers.push_back({TextOf(pEntries[i].pPrinterName),
                          (pEntries[i].Attributes & PRINTER_ATTRIBUTE_NETWORK) != 0});
    return err;
  }
  const PRINTER_INFO_1A* pEntries = nullptr;
  const uint32_t err = EnumerateInto(buffer, pEntries, nEntries, [&](auto... rest) {
    return EnumPrintersA(PRINTER_ENUM_NAME, Arg(server).Get(), 1, rest...);
  });
  for (DWORD i = 0; i < nEntries; ++i) printers.push_back({TextOf(pEntries[i].pName), false});
  return err;
}

uint32_t Win32Spooler::AddPrinterConnection(const std::string& printerName) {
  return Spool([&] { return AddPrinterConnectionA(Arg(printerName).Get()); });
}

uint32_t Win32Spooler::DeletePrinterConnection(const std::string& printerName) {
  return Spool([&] { return DeletePrinterConnectionA(Arg(printerName).Get()); });
}

// --- Drivers ------------------------------------------------------------------------------------

// The driver's files are taken from the printer driver directory (or where a full path names
// them) and put in place by the spooler (APD_COPY_NEW_FILES, what AddPrinterDriverA does).
uint32_t Win32Spooler::AddPrinterDriver(const std::string& server, const DriverInfo& driver) {
  Arg name(driver.name), environment(driver.environment), driverPath(driver.driverPath),
      dataFile(driver.dataFile), configFile(driver.configFile), helpFile(driver.helpFile),
      monitor(driver.monitorName), datatype(driver.defaultDatatype);
  std::string dependents = ListOf(driver.dependentFiles);
  DRIVER_INFO_3A info{};
  info.cVersion = driver.dwVersion;
  info.pName = name.Get();
  info.pEnvironment = environment.Get();
  info.pDriverPath = driverPath.Get();
  info.pDataFile = dataFile.Get();
  info.pConfigFile = configFile.Get();
  info.pHelpFile = helpFile.Get();
  info.pDependentFiles = driver.dependentFiles.empty() ? nullptr : dependents.data();
  info.pMonitorName = monitor.Get();
  info.pDefaultDataType = datatype.Get();
  return Spool([&] {
    return AddPrinterDriverExA(Arg(server).Get(), 3, reinterpret_cast<LPBYTE>(&info),
                               APD_COPY_NEW_FILES);
  });
}

uint32_t Win32Spooler::DeletePrinterDriver(const std::string& server,
                                           const std::string& environment,
                                           const std::string& driverName) {
  return Spool([&] {
    return DeletePrinterDriverA(Arg(server).Get(), Arg(environment).Get(), Arg(driverName).Get());
  });
}

uint32_t Win32Spooler::EnumPrinterDrivers(const std::string& server, const std::string& environment,
                                          std::vector<DriverInfo>& drivers) {
  drivers.clear();
  std::vector<BYTE> buffer;
  const DRIVER_INFO_3A* pEntries = nullptr;
  DWORD nEntries = 0;
  const uint32_t err = EnumerateInto(buffer, pEntries, nEntries, [&](auto... rest) {
    return EnumPrinterDriversA(Arg(server).Get(), Arg(environment).Get(), 3, rest...);
  });
  for (DWORD i = 0; i < nEntries; ++i) drivers.push_back(DriverInfoOf(pEntries[i]));
  return err;
}

uint32_t Win32Spooler::GetPrinterDriverDirectory(const std::string& server,
                                                 const std::string& environment,
                                                 std::string& directory) {
  return QueryDirectory(directory, [&](LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbNeeded) {
    return GetPrinterDriverDirectoryA(Arg(server).Get(), Arg(environment).Get(), 1, pBuffer,
                                      cbBuffer, pcbNeeded);
  });
}

// --- Monitors and ports -------------------------------------------------------------------------

uint32_t Win32Spooler::AddMonitor(const std::string& server, const std::string& environment,
                                  const std::string& monitorName, const std::string& dllName) {
  Arg name(monitorName), monitorEnvironment(environment), dll(dllName);
  MONITOR_INFO_2A info{name.Get(), monitorEnvironment.Get(), dll.Get()};
  return Spool([&] { return AddMonitorA(Arg(server).Get(), 2, reinterpret_cast<LPBYTE>(&info)); });
}

uint32_t Win32Spooler::DeleteMonitor(const std::string& server, const std::string& environment,
                                     const std::string& monitorName) {
  return Spool([&] {
    return DeleteMonitorA(Arg(server).Get(), Arg(environment).Get(), Arg(monitorName).Get());
  });
}

uint32_t Win32Spooler::AddPort(const std::string& server, const std::string& monitorName) {
  return Spool(
      [&] { return AddPortA(Arg(server).Get(), GetActiveWindow(), Arg(monitorName).Get()); });
}

uint32_t Win32Spooler::DeletePort(const std::string& server, const std::string& portName) {
  return Spool(
      [&] { return DeletePortA(Arg(server).Get(), GetActiveWindow(), Arg(portName).Get()); });
}

uint32_t Win32Spooler::EnumPorts(const std::string& server,
                                 std::vector<std::pair<std::string, std::string>>& ports) {
  ports.clear();
  std::vector<BYTE> buffer;
  const PORT_INFO_2A* pEntries = nullptr;
  DWORD nEntries = 0;
  const uint32_t err = EnumerateInto(buffer, pEntries, nEntries, [&](auto... rest) {
    return EnumPortsA(Arg(server).Get(), 2, rest...);
  });
  for (DWORD i = 0; i < nEntries; ++i)
    ports.emplace_back(TextOf(pEntries[i].pPortName), TextOf(pEntries[i].pMonitorName));
  return err;
}

// --- Print processors and providers -------------------------------------------------------------

uint32_t Win32Spooler::AddPrintProcessor(const std::string& server, const std::string& environment,
                                         const std::string& fileName,
                                         const std::string& processorName) {
  return Spool([&] {
    return AddPrintProcessorA(Arg(server).Get(), Arg(environment).Get(), Arg(fileName).Get(),
                              Arg(processorName).Get());
  });
}

uint32_t Win32Spooler::DeletePrintProcessor(const std::string& server,
                                            const std::string& environment,
                                            const std::string& processorName) {
  return Spool([&] {
    return DeletePrintProcessorA(Arg(server).Get(), Arg(environment).Get(),
                                 Arg(processorName).Get());
  });
}

uint32_t Win32Spooler::GetPrintProcessorDirectory(const std::string& server,
                                                  const std::string& environment,
                                                  std::string& directory) {
  return QueryDirectory(directory, [&](LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbNeeded) {
    return GetPrintProcessorDirectoryA(Arg(server).Get(), Arg(environment).Get(), 1, pBuffer,
                                       cbBuffer, pcbNeeded);
  });
}

uint32_t Win32Spooler::AddPrintProvider(const std::string& server, const std::string& environment,
                                        const std::string& providerName,
                                        const std::string& dllName) {
  Arg name(providerName), providerEnvironment(environment), dll(dllName);
  PROVIDOR_INFO_1A info{name.Get(), providerEnvironment.Get(), dll.Get()};
  return Spool(
      [&] { return AddPrintProvidorA(Arg(server).Get(), 1, reinterpret_cast<LPBYTE>(&info)); });
}

uint32_t Win32Spooler::DeletePrintProvider(const std::string& server,
                                           const std::string& environment,
                                           const std::string& providerName) {
  return Spool([&] {
    return DeletePrintProvidorA(Arg(server).Get(), Arg(environment).Get(), Arg(providerName).Get());
  });
}

}  // namespace platform::win32
