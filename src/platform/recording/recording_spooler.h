// The print spooler of a recorded run: every addition and deletion is logged as a PrinterChange.
// A spooler whose state lies in the registry and files (the emulated one) carries the call out
// over the run's own stores, so that the plan holds its keys and later questions see them; the
// system's own spooler is not reached: its printers, drivers, monitors and ports are listed as
// they are and every change is answered with success.
#pragma once
#include <memory>

#include "platform/recording/machine_change.h"
#include "platform/spooler.h"

namespace platform {

class RecordingSpooler final : public Spooler {
 public:
  RecordingSpooler(Spooler& wrapped, Registry& registry, FileSystem& files, ChangeLog& changes)
      : m_wrapped(wrapped), m_over(wrapped.OverStores(registry, files)), m_changes(changes) {}

  uint32_t AddPrinter(const PrinterInfo& printer) override {
    return Record(printer.printerName, "add printer, driver " + printer.driverName,
                  [&](Spooler& s) { return s.AddPrinter(printer); });
  }
  uint32_t DeletePrinter(const std::string& server, const std::string& printerName) override {
    return Record(printerName, "delete printer",
                  [&](Spooler& s) { return s.DeletePrinter(server, printerName); });
  }
  uint32_t GetPrinter(const std::string& server, const std::string& printerName,
                      PrinterInfo& printer) override {
    return Reader().GetPrinter(server, printerName, printer);
  }
  uint32_t EnumPrinters(const std::string& server, bool bConnections,
                        std::vector<PrinterEntry>& printers) override {
    return Reader().EnumPrinters(server, bConnections, printers);
  }
  uint32_t AddPrinterDriver(const std::string& server, const DriverInfo& driver) override {
    return Record(driver.name, "add driver " + driver.driverPath + " for " + driver.environment,
                  [&](Spooler& s) { return s.AddPrinterDriver(server, driver); });
  }
  uint32_t DeletePrinterDriver(const std::string& server, const std::string& environment,
                               const std::string& driverName) override {
    return Record(driverName, "delete driver for " + environment, [&](Spooler& s) {
      return s.DeletePrinterDriver(server, environment, driverName);
    });
  }
  uint32_t EnumPrinterDrivers(const std::string& server, const std::string& environment,
                              std::vector<DriverInfo>& drivers) override {
    return Reader().EnumPrinterDrivers(server, environment, drivers);
  }
  uint32_t AddMonitor(const std::string& server, const std::string& environment,
                      const std::string& monitorName, const std::string& dllName) override {
    return Record(monitorName, "add monitor " + dllName, [&](Spooler& s) {
      return s.AddMonitor(server, environment, monitorName, dllName);
    });
  }
  uint32_t DeleteMonitor(const std::string& server, const std::string& environment,
                         const std::string& monitorName) override {
    return Record(monitorName, "delete monitor",
                  [&](Spooler& s) { return s.DeleteMonitor(server, environment, monitorName); });
  }
  uint32_t AddPort(const std::string& server, const std::string& monitorName) override {
    return Record(monitorName, "add port",
                  [&](Spooler& s) { return s.AddPort(server, monitorName); });
  }
  uint32_t DeletePort(const std::string& server, const std::string& portName) override {
    return Record(portName, "delete port",
                  [&](Spooler& s) { return s.DeletePort(server, portName); });
  }
  uint32_t EnumPorts(const std::string& server,
                     std::vector<std::pair<std::string, std::string>>& ports) override {
    return Reader().EnumPorts(server, ports);
  }
  uint32_t AddPrintProcessor(const std::string& server, const std::string& environment,
                             const std::string& fileName,
                             const std::string& processorName) override {
    return Record(processorName, "add print processor " + fileName, [&](Spooler& s) {
      return s.AddPrintProcessor(server, environment, fileName, processorName);
    });
  }
  uint32_t DeletePrintProcessor(const std::string& server, const std::string& environment,
                                const std::string& processorName) override {
    return Record(processorName, "delete print processor", [&](Spooler& s) {
      return s.DeletePrintProcessor(server, environment, processorName);
    });
  }
  uint32_t AddPrintProvider(const std::string& server, const std::string& environment,
                            const std::string& providerName, const std::string& dllName) override {
    return Record(providerName, "add print provider " + dllName, [&](Spooler& s) {
      return s.AddPrintProvider(server, environment, providerName, dllName);
    });
  }
  uint32_t DeletePrintProvider(const std::string& server, const std::string& environment,
                               const std::string& providerName) override {
    return Record(providerName, "delete print provider", [&](Spooler& s) {
      return s.DeletePrintProvider(server, environment, providerName);
    });
  }
  uint32_t AddPrinterConnection(const std::string& printerName) override {
    return Record(printerName, "add connection",
                  [&](Spooler& s) { return s.AddPrinterConnection(printerName); });
  }
  uint32_t DeletePrinterConnection(const std::string& printerName) override {
    return Record(printerName, "delete connection",
                  [&](Spooler& s) { return s.DeletePrinterConnection(printerName); });
  }
  uint32_t GetPrinterDriverDirectory(const std::string& server, const std::string& environment,
                                     std::string& directory) override {
    return Reader().GetPrinterDriverDirectory(server, environment, directory);
  }
  uint32_t GetPrintProcessorDirectory(const std::string& server, const std::string& environment,
                                      std::string& directory) override {
    return Reader().GetPrintProcessorDirectory(server, environment, directory);
  }

 private:
  // Logs the change and carries it out over the run's stores when the spooler can be.
  template <typename Apply>
  uint32_t Record(const std::string& target, std::string detail, Apply apply) {
    m_changes.Add(ChangeKind::PrinterChange, target, std::move(detail));
    return m_over ? apply(*m_over) : 0;
  }
  Spooler& Reader() { return m_over ? *m_over : m_wrapped; }

  Spooler& m_wrapped;
  std::unique_ptr<Spooler> m_over;
  ChangeLog& m_changes;
};

}  // namespace platform
