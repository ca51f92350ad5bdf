// The print spooler of the emulated machine. It keeps everything where Windows keeps it, so that
// a person or `winmachine` reads the printers in the registry and a setup's removal can be
// checked with `winmachine diff`:
//
//   HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\<name>     the printer (level-2 fields)
//   ...\Print\Environments\<env>\Drivers\Version-<n>\<driver>       a driver (level-3 fields)
//   ...\Print\Environments\<env>\Print Processors\<name>            "Driver": the processor file
//   ...\Print\Monitors\<name>                                       "Driver": the monitor file;
//                                                                   its ports below "Ports"
//   ...\Print\Providers\<name>, and "Order" of ...\Print\Providers  print providers
//   HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports         the "Local Port" ports
//   HKCU\Printers\Connections\,,server,printer                      connections of the user
//   HKCU\Software\Microsoft\Windows NT\CurrentVersion\Devices and PrinterPorts
//                                                                   the user's device settings
//
// Files are checked as the spooler checks them: driver files in the printer driver directory
// (C:\Windows\System32\spool\drivers\<x64|W32X86|...>), processor files in the print processor
// directory, monitor and provider files in the system directory. The machine has no network: a
// server other than this machine does not answer, and a connection to another machine's printer
// is recorded without asking that machine. A port monitor's "Add Port" dialog is answered by
// machine.ini ([Printing] PortDialogAnswer); without an answer the dialog is cancelled. On a
// DOS-based machine (PlatformId 1) the DEFAULT attribute stands for the default printer: a printer
// added with it becomes the default, and the default printer is read back with it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/machine/machine_config.h"
#include "platform/file_system.h"
#include "platform/spooler.h"
#include "platform/spooler_store.h"

namespace platform::emulated {

class EmulatedSpooler final : public Spooler {
 public:
  EmulatedSpooler(const MachineConfig& config, Registry& registry, FileSystem& files)
      : config_(config), store_(registry), files_(files) {}

  // The spooler's keys and values of a new machine (monitors, processor, providers, local
  // ports), which Windows owns as every key of a new machine.
  static std::string SeedRegistryText();
  // The spooler's folders of a new machine.
  static std::vector<std::string> Folders(const MachineConfig& config);

  std::unique_ptr<Spooler> OverStores(Registry& registry, FileSystem& files) override {
    return std::make_unique<EmulatedSpooler>(config_, registry, files);
  }
  uint32_t AddPrinter(const PrinterInfo& printer) override;
  uint32_t DeletePrinter(const std::string& server, const std::string& printerName) override;
  uint32_t GetPrinter(const std::string& server, const std::string& printerName,
                      PrinterInfo& printer) override;
  uint32_t EnumPrinters(const std::string& server, bool bConnections,
                        std::vector<PrinterEntry>& printers) override;

  uint32_t AddPrinterDriver(const std::string& server, const DriverInfo& driver) override;
  uint32_t DeletePrinterDriver(const std::string& server, const std::string& environment,
                               const std::string& driverName) override;
  uint32_t EnumPrinterDrivers(const std::string& server, const std::string& environment,
                              std::vector<DriverInfo>& drivers) override;

  uint32_t AddMonitor(const std::string& server, const std::string& environment,
                      const std::string& monitorName, const std::string& dllName) override;
  uint32_t DeleteMonitor(const std::string& server, const std::string& environment,
                         const std::string& monitorName) override;
  uint32_t AddPort(const std::string& server, const std::string& monitorName) override;
  uint32_t DeletePort(const std::string& server, const std::string& portName) override;
  uint32_t EnumPorts(const std::string& server,
                     std::vector<std::pair<std::string, std::string>>& ports) override;

  uint32_t AddPrintProcessor(const std::string& server, const std::string& environment,
                             const std::string& fileName,
                             const std::string& processorName) override;
  uint32_t DeletePrintProcessor(const std::string& server, const std::string& environment,
                                const std::string& processorName) override;
  uint32_t AddPrintProvider(const std::string& server, const std::string& environment,
                            const std::string& providerName, const std::string& dllName) override;
  uint32_t DeletePrintProvider(const std::string& server, const std::string& environment,
                               const std::string& providerName) override;

  uint32_t AddPrinterConnection(const std::string& printerName) override;
  uint32_t DeletePrinterConnection(const std::string& printerName) override;

  uint32_t GetPrinterDriverDirectory(const std::string& server, const std::string& environment,
                                     std::string& directory) override;
  uint32_t GetPrintProcessorDirectory(const std::string& server, const std::string& environment,
                                      std::string& directory) override;

 private:
  // ERROR_SUCCESS for this machine, RPC_S_SERVER_UNAVAILABLE for any other.
  uint32_t CheckServer(const std::string& server) const;
  // The environment's full name ("Windows x64") and its directory name ("x64");
  // ERROR_INVALID_ENVIRONMENT for a name Windows does not know.
  uint32_t ResolveEnvironment(const std::string& environment, std::string& name,
                              std::string& dirName) const;
  // Both checks at once: the server, then the environment.
  uint32_t ResolveTarget(const std::string& server, const std::string& environment,
                         std::string& name, std::string& dirName) const;
  // "<System32>\spool\<kind>\<environment's directory>".
  uint32_t SpoolDirectory(const std::string& server, const std::string& environment,
                          const char* kind, std::string& directory) const;
  bool IsDosBased() const { return config_.dwPlatformId == 1; }
  std::string SystemDirectory() const { return config_.szWindowsDir + "\\System32"; }
  bool FileExists(const std::string& path);
  // The driver's key below the environment, in any version; empty when it is not installed.
  std::string DriverKey(const std::string& envName, const std::string& driverName);
  std::string MonitorOfPort(const std::string& portName);
  bool PortInUse(const std::string& portName);
  // The user's device settings of a printer: "winspool,NeNN:" in Devices and PrinterPorts.
  uint32_t AddDeviceEntries(const std::string& printerName);
  void RemoveDeviceEntries(const std::string& printerName);

  const MachineConfig& config_;
  SpoolerStore store_;
  FileSystem& files_;
};

}  // namespace platform::emulated
