// The identity and layout of an emulated Windows machine, kept in the machine directory's
// "machine.ini": who and what the machine is (computer, domain, user, operating system, language)
// and where its drives and shares lie on the host. Every emulated service starts from this one
// struct; the defaults describe a Windows 10 Pro x64 machine (build 19045, English, en-US) with
// C: in "drive_c/" and the host's root as the read-only drive Z:.
//
// machine.ini is UTF-8 text a person may edit. The names in it (computer, user, product, Windows
// paths) are held here in the engine's ANSI code page; host directories stay UTF-8.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::emulated {

inline constexpr const char* kMachineConfigName = "machine.ini";

// A drive letter and the host directory that is its root.
struct DriveMapping {
  char cLetter = 'C';   // 'A'..'Z'
  std::string hostDir;  // relative to the machine directory, or absolute ("/")
  bool bReadOnly = false;
};

// A UNC share \\server\share and the host directory that holds its files.
struct ShareMapping {
  std::string server;
  std::string share;
  std::string hostDir;  // relative to the machine directory, or absolute
  bool bReadOnly = true;
};

struct NetworkAdapter {
  std::string name;         // "Ethernet0"
  std::string description;  // the adapter's product text
  std::string macAddress;   // "00-15-5D-4A-10-01" (also with ':' or without separators)
  std::string ipAddress;    // dotted IPv4; empty: the adapter has no address
  std::string subnetMask;
  std::string gateway;
  bool bDhcp = true;
};

struct MachineConfig {
  // Identity
  std::string szComputerName = "TARVIUM-PC";
  std::string szDomain = "WORKGROUP";  // workgroup or domain the machine belongs to
  std::string szUserName = "User";
  std::string szUserSid = "S-1-5-21-1180699209-877415012-3182924384-1001";
  // The domain controller of szDomain ("DC01"); empty on a workgroup machine, which has none.
  std::string szDomainController;

  // Operating system, as GetVersionEx (OSVERSIONINFOEX) and the CurrentVersion values give it
  uint32_t dwMajorVersion = 10;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 19045;
  uint32_t dwPlatformId = 2;  // VER_PLATFORM_WIN32_NT
  std::string szCSDVersion;   // service pack text ("Service Pack 1"); empty on Windows 10
  uint16_t wServicePackMajor = 0;
  uint16_t wServicePackMinor = 0;
  uint16_t wSuiteMask = 0x0100;  // VER_SUITE_SINGLEUSERTS
  uint8_t wProductType = 1;      // VER_NT_WORKSTATION; 2 domain controller, 3 server
  std::string szProductName = "Windows 10 Pro";
  std::string szEditionId = "Professional";
  std::string szDisplayVersion = "22H2";  // the release name Windows shows beside the product
  std::string szDisplayString;  // what the machine calls itself; empty: made from the above
  bool b64Bit = true;
  bool bLaptop = false;  // the machine has a lid or runs on battery
  // The file version of the COM library (ole32.dll), "major.minor.build.revision"
  std::string szComLibraryVersion = "10.0.19041.3636";

  // Language
  uint16_t wUILanguage = 0x0409;  // LANGID of the user interface
  uint32_t lcidLocale = 0x0409;   // LCID of the user's locale

  // Folders (Windows paths)
  std::string szWindowsDir = "C:\\Windows";
  std::string szTempDir;  // empty: the user's C:\Users\<user>\AppData\Local\Temp

  // Programs: the host path of the setup engine that engine images run (relative to the machine
  // directory unless it starts with "/"); empty: found as engine_image.h tells
  std::string szEngine;
  // The directory of the machine's .NET Framework 4 runtime (a Windows path); empty: none.
  std::string szClrDirectory;

  // Test-only faults ([Faults], read but never written back): registry writes at or below this
  // key ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked") are refused with ERROR_ACCESS_DENIED, as under
  // a key whose access list refuses the user. Builds without the fault seam ignore it.
  std::string szRefusedRegistryKey;
  // The process kills itself right after the host took the bytes of its nth file write (0: never),
  // as a run killed part-way through a copy; or right before them, as a run killed between
  // creating a file and writing it.
  uint32_t nKillingWrite = 0;
  uint32_t nKillingBeforeWrite = 0;

  // Printing: what the person at the machine types into a port monitor's "Add Port" dialog (the
  // new port's name); empty: the dialog is cancelled.
  std::string szPortDialogAnswer;

  // ODBC: the file version of the installer library ("major.minor.build.revision"); empty: the
  // machine has no such library.
  std::string szOdbcInstallerVersion = "10.0.19041.1";

  // Layout and network
  std::vector<DriveMapping> drives = {{'C', "drive_c/", false}, {'Z', "/", true}};
  std::vector<ShareMapping> shares;
  std::vector<NetworkAdapter> adapters = {
      {"Ethernet0", "Intel(R) 82574L Gigabit Network Connection", "00-15-5D-4A-10-01",
       "192.168.56.10", "255.255.255.0", "192.168.56.1", true}};

  // The temporary directory: szTempDir, or the user's default one.
  std::string TempDir() const;
  // szDisplayString, or "Windows 10 Pro 22H2 (build 19045), 64-bit" made from the fields above.
  std::string DisplayString() const;
  // The IPv4 addresses of all adapters, in adapter order.
  std::vector<std::string> IpAddresses() const;
};

// Six bytes from "00-15-5D-4A-10-01", "00:15:5d:4a:10:01" or "00155D4A1001".
bool ParseMacAddress(std::string_view text, std::array<uint8_t, 6>& bytes);
// Whether the text is a dotted IPv4 address ("192.168.56.10").
bool IsIpv4Address(std::string_view text);

// machine.ini text for a config, with comments that explain its sections.
std::string FormatMachineConfig(const MachineConfig& config);
// Reads machine.ini text over the defaults: keys that are missing keep their default. Drive,
// share and adapter sections make up the lists (a text without any drive gets the default
// drives). A malformed number, flag or drive letter fails with a message naming the line.
bool ParseMachineConfig(std::string_view text, MachineConfig& config, std::string& error);

// The same on the host file (usually <machine dir>/machine.ini). Saving replaces the file
// whole through a temporary file, so that a reader never sees half of it.
bool LoadMachineConfig(const std::string& hostFile, MachineConfig& config, std::string& error);
bool SaveMachineConfig(const std::string& hostFile, const MachineConfig& config,
                       std::string& error);

}  // namespace platform::emulated
