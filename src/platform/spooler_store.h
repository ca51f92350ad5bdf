// Where the emulated spooler keeps its state: the keys Windows keeps it in, and the few value
// conversions it needs (text, numbers, string lists) over the machine's registry. Keeping the
// spooler's state in the registry, never in the spooler object, lets two engine processes on one
// machine and the machine tool see the same printers. Host-free, so that the Win.ini device
// settings can use it on either machine.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

inline constexpr const char* kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr const char* kPrintersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr const char* kEnvironmentsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";
inline constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr const char* kProvidersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Providers";
// The ports of the "Local Port" monitor, as values; other monitors keep theirs below their key.
inline constexpr const char* kLocalPortsKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
inline constexpr const char* kLocalPortMonitor = "Local Port";
// The current user's connections ("Printers\Connections\,,server,printer") and device settings.
inline constexpr const char* kConnectionsKey = "Printers\\Connections";
inline constexpr const char* kDevicesKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
inline constexpr const char* kPrinterPortsKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\PrinterPorts";
inline constexpr const char* kWindowsKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// The port names of a printer's "Port" ("LPT1:,LPT2:"), blanks around each cut.
std::vector<std::string> SplitPortList(const std::string& ports);

class SpoolerStore {
 public:
  explicit SpoolerStore(Registry& registry) : registry_(registry) {}

  Registry& Reg() { return registry_; }

  bool KeyExists(RegRoot root, const std::string& key);
  // The text of a REG_SZ value; empty when it is missing.
  std::string Text(RegRoot root, const std::string& key, const std::string& name);
  uint32_t Dword(RegRoot root, const std::string& key, const std::string& name);
  std::vector<std::string> List(RegRoot root, const std::string& key, const std::string& name);

  uint32_t SetText(RegRoot root, const std::string& key, const std::string& name,
                   const std::string& text);
  uint32_t SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t dw);
  uint32_t SetList(RegRoot root, const std::string& key, const std::string& name,
                   const std::vector<std::string>& items);

  // The names of the subkeys, and of the values, in the registry's order; none when the key is
  // missing.
  std::vector<std::string> Subkeys(RegRoot root, const std::string& key);
  std::vector<std::string> ValueNames(RegRoot root, const std::string& key);

 private:
  Registry& registry_;
};

}  // namespace platform
