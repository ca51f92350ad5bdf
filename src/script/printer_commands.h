// The printing-system commands of script sections, as one family: AddPrinter, AddPrinterDriver,
// AddMonitor, AddPort, AddPrintProcessor, AddPrintProvider, AddPrinterConnection and their
// Delete counterparts, DeleteAllPrinters. Their argument text is a comma list (optionally in
// parentheses). A failure leaves the spooler's error text for message 5561; "already exists" and
// the spooler's "already installed" answers count as success.
#pragma once
#include <string>

#include "script/script_command.h"

namespace tarvium {

struct SetupRun;

// AddPrinter and DeletePrinter with the Windows device settings (printer_device_settings.cpp).
bool AddPrinterLine(CommandCall& call);
bool DeletePrinterLine(CommandCall& call);
bool DeleteAllPrintersLine(CommandCall& call);
// Deletes one printer; with bDeviceStep it is then taken out of the device settings. The
// spooler's result.
uint32_t DeleteOnePrinter(SetupRun& run, const std::string& server, const std::string& printer,
                          bool bDeviceStep);

// The result of a spooler call: true for ERROR_SUCCESS, ERROR_ALREADY_EXISTS and the extra codes
// the command accepts; otherwise the error's text is left for message 5561.
bool SpoolerResult(CommandCall& call, uint32_t dwError, uint32_t dwAlsoSuccess = 0);

}  // namespace tarvium
