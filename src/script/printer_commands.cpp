// The printing-system commands: each reads its comma list and makes one spooler call. A monitor
// file without a path that the search path does not find is taken from the printer driver
// directory, which is also the current directory while the monitor is added. AddPrinter and
// AddPrinterConnection undo themselves when an unmarked line is met in the removal pass.
#include "script/printer_commands.h"

#include <cstdlib>
#include <string_view>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "platform/ansi_case.h"
#include "platform/error_text.h"
#include "platform/search_path.h"
#include "platform/win_error.h"
#include "script/command_handlers.h"
#include "script/decimal_text.h"

namespace tarvium {
namespace {

platform::Spooler& SpoolerOf(CommandCall& call) {
  return call.run.machine.Printing();
}

std::vector<std::string> Arguments(CommandCall& call) {
  return ListArguments(call.arguments);
}

// "0x.." hexadecimal, anything else decimal.
uint32_t ReadVersion(const std::string& text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return static_cast<uint32_t>(std::strtoul(text.c_str() + 2, nullptr, 16));
  return static_cast<uint32_t>(ReadDecimal(text));
}

// The ";"-separated list becomes the system's list of zero-terminated names, which ends at its
// first empty name: "a;;b" names only "a".
std::vector<std::string> SplitFileList(const std::string& text) {
  std::vector<std::string> files;
  size_t nStart = 0;
  while (nStart < text.size()) {
    size_t nEnd = text.find(';', nStart);
    if (nEnd == std::string::npos) nEnd = text.size();
    if (nEnd == nStart) break;
    files.push_back(text.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return files;
}

bool AddMonitorLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  std::string file = ArgumentAt(args, 3);
  if (ArgumentAt(args, 2).empty() || file.empty()) return MissingArgument(call);
  SetupRun& run = call.run;
  platform::FileSystem& files = run.machine.Files();
  const std::string driverDir = run.variables.Get("PrinterDriverDir");
  std::string found;
  if (file.find_first_of("\\/:") == std::string::npos &&
      platform::SearchPath(run.machine, "", file, found) != platform::ERROR_SUCCESS)
    file = driverDir + "\\" + file;
  std::string previousDir;
  const bool bChanged = files.GetCurrentDirectory(previousDir) == platform::ERROR_SUCCESS &&
                        files.SetCurrentDirectory(driverDir) == platform::ERROR_SUCCESS;
  const uint32_t err = SpoolerOf(call).AddMonitor(args[0], args[1], args[2], file);
  if (bChanged) files.SetCurrentDirectory(previousDir);
  return SpoolerResult(call, err, platform::ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
}

bool AddPortLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 1).empty()) return MissingArgument(call);
  return SpoolerResult(call, SpoolerOf(call).AddPort(args[0], args[1]));
}

bool DeletePortLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 1).empty()) return MissingArgument(call);
  return SpoolerResult(call, SpoolerOf(call).DeletePort(args[0], args[1]));
}

bool AddPrintProcessorLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 2).empty() || ArgumentAt(args, 3).empty()) return MissingArgument(call);
  return SpoolerResult(call, SpoolerOf(call).AddPrintProcessor(args[0], args[1], args[3], args[2]),
                       platform::ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
}

bool AddPrintProviderLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 2).empty() || ArgumentAt(args, 3).empty()) return MissingArgument(call);
  return SpoolerResult(call, SpoolerOf(call).AddPrintProvider(args[0], args[1], args[2], args[3]));
}

bool AddPrinterDriverLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 2).empty()) return MissingArgument(call);
  platform::DriverInfo driver;
  driver.environment = ArgumentAt(args, 1);
  driver.name = args[2];
  driver.dwVersion = ReadVersion(ArgumentAt(args, 3));
  driver.driverPath = ArgumentAt(args, 4);
  driver.dataFile = ArgumentAt(args, 5);
  driver.configFile = ArgumentAt(args, 6);
  driver.helpFile = ArgumentAt(args, 7);
  driver.dependentFiles = SplitFileList(ArgumentAt(args, 8));
  driver.monitorName = ArgumentAt(args, 9);
  driver.defaultDatatype = ArgumentAt(args, 10);
  return SpoolerResult(call, SpoolerOf(call).AddPrinterDriver(args[0], driver),
                       platform::ERROR_PRINTER_DRIVER_ALREADY_INSTALLED);
}

// DeleteMonitor, DeletePrintProcessor, DeletePrintProvider, DeletePrinterDriver: server,
// environment, name.
template <uint32_t (platform::Spooler::*Delete)(const std::string&, const std::string&,
                                                const std::string&)>
bool DeleteNamedLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 2).empty()) return MissingArgument(call);
  return SpoolerResult(call, (SpoolerOf(call).*Delete)(args[0], args[1], args[2]));
}

bool AddPrinterConnectionLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 0).empty()) return MissingArgument(call);
  platform::Spooler& spooler = SpoolerOf(call);
  return SpoolerResult(call, call.bUndo ? spooler.DeletePrinterConnection(args[0])
                                        : spooler.AddPrinterConnection(args[0]));
}

bool DeletePrinterConnectionLine(CommandCall& call) {
  const std::vector<std::string> args = Arguments(call);
  if (ArgumentAt(args, 0).empty()) return MissingArgument(call);
  return SpoolerResult(call, SpoolerOf(call).DeletePrinterConnection(args[0]));
}

struct PrinterLine {
  std::string_view name;
  CommandHandler handler;
};

constexpr PrinterLine kPrinterLines[] = {
    {"AddMonitor", AddMonitorLine},
    {"AddPort", AddPortLine},
    {"AddPrintProcessor", AddPrintProcessorLine},
    {"AddPrintProvider", AddPrintProviderLine},
    {"AddPrinterDriver", AddPrinterDriverLine},
    {"AddPrinter", AddPrinterLine},
    {"AddPrinterConnection", AddPrinterConnectionLine},
    {"DeleteAllPrinters", DeleteAllPrintersLine},
    {"DeleteMonitor", DeleteNamedLine<&platform::Spooler::DeleteMonitor>},
    {"DeletePort", DeletePortLine},
    {"DeletePrinter", DeletePrinterLine},
    {"DeletePrinterConnection", DeletePrinterConnectionLine},
    {"DeletePrinterDriver", DeleteNamedLine<&platform::Spooler::DeletePrinterDriver>},
    {"DeletePrintProcessor", DeleteNamedLine<&platform::Spooler::DeletePrintProcessor>},
    {"DeletePrintProvider", DeleteNamedLine<&platform::Spooler::DeletePrintProvider>},
};

}  // namespace

bool SpoolerResult(CommandCall& call, uint32_t dwError, uint32_t dwAlsoSuccess) {
  if (dwError == platform::ERROR_SUCCESS || dwError == platform::ERROR_ALREADY_EXISTS ||
      (dwAlsoSuccess != 0 && dwError == dwAlsoSuccess))
    return true;
  SetupTrace(call.run, "Printer command failed with error %u: %s\n", dwError, call.line.c_str());
  call.systemError = platform::SystemErrorText(dwError);
  return false;
}

bool PrinterCommand(CommandCall& call) {
  for (const PrinterLine& line : kPrinterLines)
    if (platform::AnsiEqualNoCase(line.name, call.name)) return line.handler(call);
  return true;
}

}  // namespace tarvium
