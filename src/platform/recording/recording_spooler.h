// The print spooler of a recorded run: printers, drivers, monitors and ports of the wrapped machine
// are listed as they are; every addition and deletion is logged as a PrinterChange and answered
// with success without reaching the spooler.
#pragma once
#include "platform/recording/machine_change.h"
#include "platform/spooler.h"

namespace platform {

class RecordingSpooler final : public Spooler {
 public:
  RecordingSpooler(Spooler& wrapped, ChangeLog& changes) : m_wrapped(wrapped), m_changes(changes) {}

  uint32_t AddPrinter(const PrinterInfo& printer) override {
    return Record(printer.printerName, "add printer, driver " + printer.driverName);
  }
  uint32_t DeletePrinter(const std::string&, const std::string& printerName) override {
    return Record(printerName, "delete printer");
  }
  uint32_t GetPrinter(const std::string& server, const std::string& printerName,
                      PrinterInfo& printer) override {
    return m_wrapped.GetPrinter(server, printerName, printer);
  }
  uint32_t EnumPrinters(const std::string& server, bool bConnections,
                        std::vector<PrinterEntry>& printers) override {
    return m_wrapped.EnumPrinters(server, bConnections, printers);
  }
  uint32_t AddPrinterDriver(const std::string&, const DriverInfo& driver) override {
    return Record(driver.name, "add driver " + driver.driverPath + " for " + driver.environment);
  }
  uint32_t DeletePrinterDriver(const std::string&, const std::string& environment,
                               const std::string& driverName) override {
    return Record(driverName, "delete driver for " + environment);
  }
  uint32_t EnumPrinterDrivers(const std::string& server, const std::string& environment,
                              std::vector<DriverInfo>& drivers) override {
    return m_wrapped.EnumPrinterDrivers(server, environment, drivers);
  }
  uint32_t AddMonitor(const std::string&, const std::string&, const std::string& monitorName,
                      const std::string& dllName) override {
    return Record(monitorName, "add monitor " + dllName);
  }
  uint32_t DeleteMonitor(const std::string&, const std::string&,
                         const std::string& monitorName) override {
    return Record(monitorName, "delete monitor");
  }
  uint32_t AddPort(const std::string&, const std::string& monitorName) override {
    return Record(monitorName, "add port");
  }
  uint32_t DeletePort(const std::string&, const std::string& portName) override {
    return Record(portName, "delete port");
  }
  uint32_t EnumPorts(const std::string& server,
                     std::vector<std::pair<std::string, std::string>>& ports) override {
    return m_wrapped.EnumPorts(server, ports);
  }
  uint32_t AddPrintProcessor(const std::string&, const std::string&, const std::string& fileName,
                             const std::string& processorName) override {
    return Record(processorName, "add print processor " + fileName);
  }
  uint32_t DeletePrintProcessor(const std::string&, const std::string&,
                                const std::string& processorName) override {
    return Record(processorName, "delete print processor");
  }
  uint32_t AddPrintProvider(const std::string&, const std::string&, const std::string& providerName,
                            const std::string& dllName) override {
    return Record(providerName, "add print provider " + dllName);
  }
  uint32_t DeletePrintProvider(const std::string&, const std::string&,
                               const std::string& providerName) override {
    return Record(providerName, "delete print provider");
  }
  uint32_t AddPrinterConnection(const std::string& printerName) override {
    return Record(printerName, "add connection");
  }
  uint32_t DeletePrinterConnection(const std::string& printerName) override {
    return Record(printerName, "delete connection");
  }
  uint32_t GetPrinterDriverDirectory(const std::string& server, const std::string& environment,
                                     std::string& directory) override {
    return m_wrapped.GetPrinterDriverDirectory(server, environment, directory);
  }
  uint32_t GetPrintProcessorDirectory(const std::string& server, const std::string& environment,
                                      std::string& directory) override {
    return m_wrapped.GetPrintProcessorDirectory(server, environment, directory);
  }

 private:
  uint32_t Record(const std::string& target, std::string detail) {
    m_changes.Add(ChangeKind::PrinterChange, target, std::move(detail));
    return 0;
  }

  Spooler& m_wrapped;
  ChangeLog& m_changes;
};

}  // namespace platform
