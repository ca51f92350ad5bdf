// The print spooler as the engine asks for it (winspool): printers, printer drivers, port
// monitors and their ports, print processors, print providers and connections to printers of
// other machines, and the directories where driver and processor files must lie before they are
// added. Every call returns ERROR_SUCCESS or the Windows error the spooler gives, because the
// setup counts some of them ("already installed") as success. An empty server means this machine,
// an empty environment the machine's own ("Windows x64" or "Windows NT x86").
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

inline constexpr uint32_t ERROR_PRINTER_DRIVER_ALREADY_INSTALLED = 1795;
inline constexpr uint32_t ERROR_UNKNOWN_PORT = 1796;
inline constexpr uint32_t ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
inline constexpr uint32_t ERROR_UNKNOWN_PRINTPROCESSOR = 1798;
inline constexpr uint32_t ERROR_INVALID_PRINTER_NAME = 1801;
inline constexpr uint32_t ERROR_PRINTER_ALREADY_EXISTS = 1802;
inline constexpr uint32_t ERROR_INVALID_DATATYPE = 1804;
inline constexpr uint32_t ERROR_INVALID_ENVIRONMENT = 1805;
inline constexpr uint32_t ERROR_UNKNOWN_PRINT_MONITOR = 3000;
inline constexpr uint32_t ERROR_PRINTER_DRIVER_IN_USE = 3001;
inline constexpr uint32_t ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED = 3005;
inline constexpr uint32_t ERROR_PRINT_MONITOR_ALREADY_INSTALLED = 3006;
inline constexpr uint32_t ERROR_PRINT_MONITOR_IN_USE = 3008;
inline constexpr uint32_t ERROR_INVALID_SHARENAME = 1215;
inline constexpr uint32_t RPC_S_SERVER_UNAVAILABLE = 1722;

// Printer attributes (PRINTER_ATTRIBUTE_*).
inline constexpr uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x4;
inline constexpr uint32_t PRINTER_ATTRIBUTE_SHARED = 0x8;
inline constexpr uint32_t PRINTER_ATTRIBUTE_NETWORK = 0x10;
inline constexpr uint32_t PRINTER_ATTRIBUTE_LOCAL = 0x40;

// PRINTER_INFO_2 without the device mode and the security descriptor.
struct PrinterInfo {
  std::string serverName;
  std::string printerName;
  std::string shareName;
  std::string portName;  // one port, or several separated by ','
  std::string driverName;
  std::string comment;
  std::string location;
  std::string sepFile;
  std::string printProcessor;
  std::string datatype;
  std::string parameters;
  uint32_t dwAttributes = 0;
  uint32_t dwPriority = 0;
  uint32_t dwDefaultPriority = 0;
  uint32_t dwStartTime = 0;  // minutes after midnight
  uint32_t dwUntilTime = 0;
};

// DRIVER_INFO_3. File names may be bare (in the printer driver directory) or full paths.
struct DriverInfo {
  uint32_t dwVersion = 3;
  std::string name;
  std::string environment;
  std::string driverPath;
  std::string dataFile;
  std::string configFile;
  std::string helpFile;
  std::vector<std::string> dependentFiles;
  std::string monitorName;
  std::string defaultDatatype;
};

// One entry of EnumPrinters.
struct PrinterEntry {
  std::string name;  // "Name" or, for a connection, "\\server\printer"
  bool bConnection = false;
};

class FileSystem;
class Registry;

class Spooler {
 public:
  virtual ~Spooler() = default;
  // The same spooler over other stores (a recording machine's registry and files), for a spooler
  // whose whole state lies in them; null for one whose state lies elsewhere (the system's own
  // service), whose calls a recording machine only records.
  virtual std::unique_ptr<Spooler> OverStores(Registry& registry, FileSystem& files) {
    (void)registry, (void)files;
    return nullptr;
  }

  virtual uint32_t AddPrinter(const PrinterInfo& printer) = 0;
  // OpenPrinter with full access and DeletePrinter: a local printer, or a connection.
  virtual uint32_t DeletePrinter(const std::string& server, const std::string& printerName) = 0;
  // GetPrinter at level 2; ERROR_INVALID_PRINTER_NAME when there is no such printer.
  virtual uint32_t GetPrinter(const std::string& server, const std::string& printerName,
                              PrinterInfo& printer) = 0;
  // The local printers, and with bConnections also the connections (level 4).
  virtual uint32_t EnumPrinters(const std::string& server, bool bConnections,
                                std::vector<PrinterEntry>& printers) = 0;

  virtual uint32_t AddPrinterDriver(const std::string& server, const DriverInfo& driver) = 0;
  virtual uint32_t DeletePrinterDriver(const std::string& server, const std::string& environment,
                                       const std::string& driverName) = 0;
  virtual uint32_t EnumPrinterDrivers(const std::string& server, const std::string& environment,
                                      std::vector<DriverInfo>& drivers) = 0;

  // AddMonitor at level 2.
  virtual uint32_t AddMonitor(const std::string& server, const std::string& environment,
                              const std::string& monitorName, const std::string& dllName) = 0;
  virtual uint32_t DeleteMonitor(const std::string& server, const std::string& environment,
                                 const std::string& monitorName) = 0;
  // Asks the monitor to add a port: the monitor shows its own dialog for the port's name.
  virtual uint32_t AddPort(const std::string& server, const std::string& monitorName) = 0;
  virtual uint32_t DeletePort(const std::string& server, const std::string& portName) = 0;
  // Every port with its monitor ("LPT1:" of "Local Port").
  virtual uint32_t EnumPorts(const std::string& server,
                             std::vector<std::pair<std::string, std::string>>& ports) = 0;

  virtual uint32_t AddPrintProcessor(const std::string& server, const std::string& environment,
                                     const std::string& fileName,
                                     const std::string& processorName) = 0;
  virtual uint32_t DeletePrintProcessor(const std::string& server, const std::string& environment,
                                        const std::string& processorName) = 0;
  // AddPrintProvidor at level 1.
  virtual uint32_t AddPrintProvider(const std::string& server, const std::string& environment,
                                    const std::string& providerName,
                                    const std::string& dllName) = 0;
  virtual uint32_t DeletePrintProvider(const std::string& server, const std::string& environment,
                                       const std::string& providerName) = 0;

  // "\\server\printer" of another machine, for the current user.
  virtual uint32_t AddPrinterConnection(const std::string& printerName) = 0;
  virtual uint32_t DeletePrinterConnection(const std::string& printerName) = 0;

  // GetPrinterDriverDirectory and GetPrintProcessorDirectory at level 1.
  virtual uint32_t GetPrinterDriverDirectory(const std::string& server,
                                             const std::string& environment,
                                             std::string& directory) = 0;
  virtual uint32_t GetPrintProcessorDirectory(const std::string& server,
                                              const std::string& environment,
                                              std::string& directory) = 0;
};

}  // namespace platform
