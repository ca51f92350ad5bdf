// AddPrinter, DeletePrinter and DeleteAllPrinters, with the Windows device settings: a printer
// added with the DEFAULT attribute becomes the default printer ("device" of the [windows] section
// of WIN.INI, "printer,entry" with the printer's entry of [devices]); a deleted printer leaves
// [devices], and when it was the default the first printer left in [devices] takes its place (no
// default when none is left). A run on behalf of the setup service works on the user's own root
// for the registry side of these settings.
#include <string_view>

#include "engine/inf_fields.h"
#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "engine/setup_service_user.h"
#include "engine/show_message.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/decimal_text.h"
#include "script/printer_commands.h"

namespace tarvium {
namespace {

constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kDevicesKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
constexpr uint32_t kBroadcastMs = 1000;

constexpr FlagName kPrinterAttributes[] = {
    {"QUEUED", 0x1},
    {"DIRECT", 0x2},
    {"DEFAULT", 0x4},
    {"SHARED", 0x8},
    {"NETWORK", 0x10},
    {"HIDDEN", 0x20},
    {"LOCAL", 0x40},
    {"ENABLE_DEVQ", 0x80},
    {"KEEPPRINTEDJOBS", 0x100},
    {"DO_COMPLETE_FIRST", 0x200},
    {"WORK_OFFLINE", 0x400},
    {"ENABLE_BIDI", 0x800},
};

bool IsNt(SetupRun& run) {
  return RunOsVersion(run).dwPlatformId == 2;
}

bool ForService(SetupRun& run) {
  return CalledFromService(run) != 0;
}

// Writes (or with an empty text deletes) the default printer: "device" of [windows], and
// "Device" under the current user's Windows key.
void WriteDefaultPrinter(SetupRun& run, const std::string& device) {
  platform::RegRoot root = platform::RegRoot::CurrentUser;
  std::string key = kWindowsKey;
  MapCurrentUserRoot(run, root, key);
  if (device.empty())
    RegDeleteValueAt(run, root, key, "Device");
  else
    RegWriteText(run, root, key, "Device", device);
  run.machine.Profiles().WriteProfileString("windows", "device",
                                            device.empty() ? nullptr : device.c_str());
  run.machine.Broadcasts().BroadcastSettingChange("windows", kBroadcastMs);
}

// The printer's entry of the device list ("winspool,Ne00:").
std::string DeviceEntry(SetupRun& run, const std::string& printer) {
  if (!ForService(run))
    return run.machine.Profiles().GetProfileString("devices", printer.c_str(), "");
  platform::RegRoot root = platform::RegRoot::CurrentUser;
  std::string key = kDevicesKey;
  MapCurrentUserRoot(run, root, key);
  std::string entry;
  RegReadText(run, root, key, printer, entry);
  return entry;
}

void MakeDefaultPrinter(SetupRun& run, const std::string& printer) {
  WriteDefaultPrinter(run, printer + "," + DeviceEntry(run, printer));
}

// Takes the deleted printer out of the device settings.
void RemoveFromDeviceSettings(SetupRun& run, const std::string& printer, bool bWasDefault) {
  platform::Profile& profile = run.machine.Profiles();
  profile.WriteProfileString("devices", printer.c_str(), nullptr);
  if (!bWasDefault) return;
  const std::vector<std::string> left =
      platform::SplitProfileList(profile.GetProfileString("devices", nullptr, ""));
  WriteDefaultPrinter(run, left.empty() ? "" : left.front() + "," + DeviceEntry(run, left.front()));
}

// Whether the printer is the default one: on DOS-based Windows by its attribute, otherwise by the
// first field of the "device" entry.
bool IsDefaultPrinter(SetupRun& run, const platform::PrinterInfo& info, const std::string& name) {
  if (!IsNt(run)) return (info.dwAttributes & platform::PRINTER_ATTRIBUTE_DEFAULT) != 0;
  const std::string device = run.machine.Profiles().GetProfileString("windows", "device", "");
  return platform::AnsiEqualNoCase(device.substr(0, device.find(',')), name);
}

}  // namespace

uint32_t DeleteOnePrinter(SetupRun& run, const std::string& server, const std::string& printer,
                          bool bDeviceStep) {
  platform::Spooler& spooler = run.machine.Printing();
  platform::PrinterInfo info;
  const uint32_t dwOpen = spooler.GetPrinter(server, printer, info);
  if (dwOpen != platform::ERROR_SUCCESS) return dwOpen;
  const bool bWasDefault = IsDefaultPrinter(run, info, printer);
  const uint32_t err = spooler.DeletePrinter(server, printer);
  if (bDeviceStep &&
      (err == platform::ERROR_SUCCESS || err == platform::ERROR_PRINTER_DRIVER_IN_USE))
    RemoveFromDeviceSettings(run, printer, bWasDefault);
  return err;
}

bool AddPrinterLine(CommandCall& call) {
  SetupRun& run = call.run;
  const std::vector<std::string> args = ListArguments(call.arguments);
  if (ArgumentAt(args, 1).empty()) return MissingArgument(call);
  if (call.bUndo)
    return SpoolerResult(call, DeleteOnePrinter(run, args[0], args[1], true),
                         platform::ERROR_PRINTER_DRIVER_IN_USE);
  const std::string attributes = ArgumentAt(args, 6);
  const uint32_t dwAttributes = attributes.empty() ? 0 : ParseFlags(attributes, kPrinterAttributes);
  if (dwAttributes == kUnknownFlags) {
    ShowMessage(run, 5530, attributes);
    return false;
  }
  platform::PrinterInfo printer;
  printer.serverName = args[0];
  printer.printerName = args[1];
  printer.portName = ArgumentAt(args, 2);
  printer.driverName = ArgumentAt(args, 3);
  printer.printProcessor = ArgumentAt(args, 4).empty() ? "WinPrint" : args[4];
  printer.datatype = ArgumentAt(args, 5).empty() ? "RAW" : args[5];
  printer.dwAttributes = dwAttributes;
  printer.shareName = ArgumentAt(args, 7);
  printer.comment = ArgumentAt(args, 8);
  printer.location = ArgumentAt(args, 9);
  printer.sepFile = ArgumentAt(args, 10);
  printer.parameters = ArgumentAt(args, 11);
  printer.dwPriority = static_cast<uint32_t>(ReadDecimal(ArgumentAt(args, 12)));
  printer.dwDefaultPriority = static_cast<uint32_t>(ReadDecimal(ArgumentAt(args, 13)));
  printer.dwStartTime = static_cast<uint32_t>(ReadDecimal(ArgumentAt(args, 14)));
  printer.dwUntilTime = static_cast<uint32_t>(ReadDecimal(ArgumentAt(args, 15)));
  const uint32_t err = run.machine.Printing().AddPrinter(printer);
  if (!SpoolerResult(call, err, platform::ERROR_PRINTER_ALREADY_EXISTS)) return false;
  if ((dwAttributes & platform::PRINTER_ATTRIBUTE_DEFAULT) && IsNt(run))
    MakeDefaultPrinter(run, printer.printerName);
  return true;
}

bool DeletePrinterLine(CommandCall& call) {
  const std::vector<std::string> args = ListArguments(call.arguments);
  if (ArgumentAt(args, 1).empty()) return MissingArgument(call);
  return SpoolerResult(call, DeleteOnePrinter(call.run, args[0], args[1], true),
                       platform::ERROR_PRINTER_DRIVER_IN_USE);
}

bool DeleteAllPrintersLine(CommandCall& call) {
  SetupRun& run = call.run;
  const std::string server = ArgumentAt(ListArguments(call.arguments), 0);
  std::vector<platform::PrinterEntry> printers;
  uint32_t err = run.machine.Printing().EnumPrinters(server, IsNt(run), printers);
  for (const platform::PrinterEntry& printer : printers)
    err = DeleteOnePrinter(run, server, printer.name, false);
  return SpoolerResult(call, err);
}

}  // namespace tarvium
