// The print spooler of the real Windows (winspool). An empty server or environment is passed as
// NULL, which the spooler takes as this machine and its own environment. A port monitor's "Add
// Port" dialog is owned by the calling thread's active window.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/spooler.h"

namespace platform::win32 {

class Win32Spooler final : public Spooler {
 public:
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
};

}  // namespace platform::win32
