// machine.ini reading and writing. The single-valued fields are one table (section, key, member,
// how it is written), so that parsing and formatting cannot drift apart; drives, shares and
// adapters are sections of their own ("[Drive C]", "[Share \\server\share]", "[Adapter name]").
#include "platform/emulated/machine/machine_config.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <variant>

#include "platform/ansi_case.h"
#include "platform/code_page.h"
#include "platform/ini_text.h"

namespace platform::emulated {
namespace {

using TextMember = std::string MachineConfig::*;
using U32Member = uint32_t MachineConfig::*;
using U16Member = uint16_t MachineConfig::*;
using U8Member = uint8_t MachineConfig::*;
using BoolMember = bool MachineConfig::*;
using Member = std::variant<TextMember, U32Member, U16Member, U8Member, BoolMember>;

struct FieldSpec {
  const char* section;
  const char* key;
  Member member;
  bool bHex = false;  // numbers written as 0x hex (masks and language identifiers)
};

const FieldSpec kFields[] = {
    {"Identity", "ComputerName", &MachineConfig::szComputerName},
    {"Identity", "Domain", &MachineConfig::szDomain},
    {"Identity", "UserName", &MachineConfig::szUserName},
    {"Identity", "UserSid", &MachineConfig::szUserSid},
    {"Identity", "DomainController", &MachineConfig::szDomainController},
    {"System", "MajorVersion", &MachineConfig::dwMajorVersion},
    {"System", "MinorVersion", &MachineConfig::dwMinorVersion},
    {"System", "BuildNumber", &MachineConfig::dwBuildNumber},
    {"System", "PlatformId", &MachineConfig::dwPlatformId},
    {"System", "ServicePack", &MachineConfig::szCSDVersion},
    {"System", "ServicePackMajor", &MachineConfig::wServicePackMajor},
    {"System", "ServicePackMinor", &MachineConfig::wServicePackMinor},
    {"System", "SuiteMask", &MachineConfig::wSuiteMask, true},
    {"System", "ProductType", &MachineConfig::wProductType},
    {"System", "ProductName", &MachineConfig::szProductName},
    {"System", "EditionId", &MachineConfig::szEditionId},
    {"System", "DisplayVersion", &MachineConfig::szDisplayVersion},
    {"System", "DisplayString", &MachineConfig::szDisplayString},
    {"System", "Is64Bit", &MachineConfig::b64Bit},
    {"System", "Laptop", &MachineConfig::bLaptop},
    {"System", "ComLibraryVersion", &MachineConfig::szComLibraryVersion},
    {"Language", "UILanguage", &MachineConfig::wUILanguage, true},
    {"Language", "Locale", &MachineConfig::lcidLocale, true},
    {"Folders", "Windows", &MachineConfig::szWindowsDir},
    {"Folders", "Temp", &MachineConfig::szTempDir},
    {"Programs", "Engine", &MachineConfig::szEngine},
    {"Programs", "ClrDirectory", &MachineConfig::szClrDirectory},
    {"Printing", "PortDialogAnswer", &MachineConfig::szPortDialogAnswer},
    {"ODBC", "InstallerVersion", &MachineConfig::szOdbcInstallerVersion},
    {"Faults", "RefuseRegistryKey", &MachineConfig::szRefusedRegistryKey},
    {"Faults", "KillAtWrite", &MachineConfig::nKillingWrite},
    {"Faults", "KillBeforeWrite", &MachineConfig::nKillingBeforeWrite},
};

constexpr const char* kHeader =
    "; The identity and layout of this emulated Windows machine.\n"
    "; Host directories are relative to the machine directory unless they start with \"/\".\n"
    "; Drives and shares marked ReadOnly=yes refuse every change (ERROR_ACCESS_DENIED).\n"
    "; Names are UTF-8 here and reach programs in the Windows-1252 code page.\n";

constexpr const char* kSectionComments[][2] = {
    {"Identity",
     "; Computer, workgroup or domain, and the user setups run as. DomainController names the\n"
     "; domain's controller; empty on a workgroup machine."},
    {"System",
     "; What GetVersionEx and the CurrentVersion registry values report. An empty DisplayString\n"
     "; is made from ProductName, DisplayVersion, ServicePack, BuildNumber and Is64Bit.\n"
     "; ComLibraryVersion: the file version of the COM library (ole32.dll)."},
    {"Language", "; LANGID of the user interface and LCID of the user's locale."},
    {"Folders", "; Windows paths. An empty Temp is C:\\Users\\<UserName>\\AppData\\Local\\Temp."},
    {"Programs",
     "; Engine: the host path of the setup engine that Setup.exe and _UnInst.exe files of this\n"
     "; machine run. Empty: $TARVIUM_ENGINE, else Setup.exe beside the program that starts them.\n"
     "; ClrDirectory: the Windows path of the .NET Framework 4 runtime; empty: no runtime."},
    {"Printing",
     "; PortDialogAnswer: the port name typed into a port monitor's Add Port dialog; empty: the\n"
     "; dialog is cancelled."},
    {"ODBC",
     "; InstallerVersion: the file version of the ODBC installer library (ODBCCP32.DLL); empty:\n"
     "; the machine has none."},
};

// --- Values -------------------------------------------------------------------------------------

bool ParseFlag(std::string_view text, bool& bValue) {
  for (const char* yes : {"1", "yes", "true", "on"}) {
    if (AnsiEqualNoCase(text, yes)) {
      bValue = true;
      return true;
    }
  }
  for (const char* no : {"0", "no", "false", "off"}) {
    if (AnsiEqualNoCase(text, no)) {
      bValue = false;
      return true;
    }
  }
  return false;
}

bool ParseNumber(std::string_view text, uint64_t nMax, uint64_t& nValue) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  const std::string copy(text);
  char* pEnd = nullptr;
  errno = 0;
  const unsigned long long n = std::strtoull(copy.c_str(), &pEnd, 0);
  if (errno != 0 || *pEnd != '\0' || n > nMax) return false;
  nValue = n;
  return true;
}

template <class T>
bool ParseInto(std::string_view text, T& value) {
  uint64_t n = 0;
  if (!ParseNumber(text, std::numeric_limits<T>::max(), n)) return false;
  value = static_cast<T>(n);
  return true;
}

bool ParseField(const FieldSpec& field, std::string_view text, MachineConfig& config) {
  return std::visit(
      [&](auto member) -> bool {
        auto& target = config.*member;
        using T = std::decay_t<decltype(target)>;
        if constexpr (std::is_same_v<T, std::string>) {
          target = Utf8ToAnsi(text);
          return true;
        } else if constexpr (std::is_same_v<T, bool>) {
          return ParseFlag(text, target);
        } else {
          return ParseInto(text, target);
        }
      },
      field.member);
}

std::string FormatField(const FieldSpec& field, const MachineConfig& config) {
  return std::visit(
      [&](auto member) -> std::string {
        const auto& value = config.*member;
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return AnsiToUtf8(value);
        } else if constexpr (std::is_same_v<T, bool>) {
          return value ? "yes" : "no";
        } else {
          char text[32];
          std::snprintf(text, sizeof text, field.bHex ? "0x%04llX" : "%llu",
                        static_cast<unsigned long long>(value));
          return text;
        }
      },
      field.member);
}

// --- Sections of the lists ----------------------------------------------------------------------

bool StartsWithWord(std::string_view section, std::string_view word, std::string_view& rest) {
  if (section.size() <= word.size() || !AnsiEqualNoCase(section.substr(0, word.size()), word) ||
      section[word.size()] != ' ')
    return false;
  rest = section.substr(word.size() + 1);
  return true;
}

DriveMapping* DriveOf(std::string_view letter, std::vector<DriveMapping>& drives) {
  if (letter.size() == 2 && letter[1] == ':') letter.remove_suffix(1);
  const char c = letter.size() == 1 ? AnsiUpperChar(letter[0]) : '\0';
  if (c < 'A' || c > 'Z') return nullptr;
  for (DriveMapping& drive : drives)
    if (drive.cLetter == c) return &drive;
  drives.push_back({c, "", false});
  return &drives.back();
}

ShareMapping* ShareOf(std::string_view unc, std::vector<ShareMapping>& shares) {
  if (unc.size() < 5 || unc.substr(0, 2) != "\\\\") return nullptr;
  unc.remove_prefix(2);
  const size_t nSlash = unc.find('\\');
  if (nSlash == 0 || nSlash == std::string_view::npos || nSlash + 1 == unc.size() ||
      unc.find('\\', nSlash + 1) != std::string_view::npos)
    return nullptr;
  const std::string server = Utf8ToAnsi(unc.substr(0, nSlash));
  const std::string share = Utf8ToAnsi(unc.substr(nSlash + 1));
  for (ShareMapping& mapping : shares)
    if (AnsiEqualNoCase(mapping.server, server) && AnsiEqualNoCase(mapping.share, share))
      return &mapping;
  shares.push_back({server, share, "", true});
  return &shares.back();
}

NetworkAdapter* AdapterOf(std::string_view name, std::vector<NetworkAdapter>& adapters) {
  const std::string ansi = Utf8ToAnsi(name);
  for (NetworkAdapter& adapter : adapters)
    if (AnsiEqualNoCase(adapter.name, ansi)) return &adapter;
  adapters.push_back({ansi, "", "", "", "", "", true});
  return &adapters.back();
}

bool SetDriveKey(DriveMapping& drive, std::string_view key, std::string_view value) {
  if (AnsiEqualNoCase(key, "ReadOnly")) return ParseFlag(value, drive.bReadOnly);
  if (AnsiEqualNoCase(key, "HostDir")) drive.hostDir = std::string(value);
  return true;
}

bool SetShareKey(ShareMapping& share, std::string_view key, std::string_view value) {
  if (AnsiEqualNoCase(key, "ReadOnly")) return ParseFlag(value, share.bReadOnly);
  if (AnsiEqualNoCase(key, "HostDir")) share.hostDir = std::string(value);
  return true;
}

bool SetAdapterKey(NetworkAdapter& adapter, std::string_view key, std::string_view value) {
  if (AnsiEqualNoCase(key, "Dhcp")) return ParseFlag(value, adapter.bDhcp);
  std::array<uint8_t, 6> mac;
  if (AnsiEqualNoCase(key, "MacAddress") && !value.empty() && !ParseMacAddress(value, mac))
    return false;
  if (AnsiEqualNoCase(key, "IpAddress") && !value.empty() && !IsIpv4Address(value)) return false;
  const std::pair<const char*, std::string*> texts[] = {{"Description", &adapter.description},
                                                        {"MacAddress", &adapter.macAddress},
                                                        {"IpAddress", &adapter.ipAddress},
                                                        {"SubnetMask", &adapter.subnetMask},
                                                        {"Gateway", &adapter.gateway}};
  for (const auto& [name, pText] : texts)
    if (AnsiEqualNoCase(key, name)) *pText = Utf8ToAnsi(value);
  return true;
}

// The lists a text has: each list it names at least once replaces the default one.
struct ListsSeen {
  bool bDrives = false;
  bool bShares = false;
  bool bAdapters = false;
};

// Applies one key of a list section; false for a section that names no valid drive or share.
bool SetListKey(std::string_view section, std::string_view key, std::string_view value,
                MachineConfig& config, ListsSeen& seen) {
  std::string_view rest;
  if (StartsWithWord(section, "Drive", rest)) {
    if (!seen.bDrives) config.drives.clear(), seen.bDrives = true;
    DriveMapping* pDrive = DriveOf(rest, config.drives);
    return pDrive && SetDriveKey(*pDrive, key, value);
  }
  if (StartsWithWord(section, "Share", rest)) {
    if (!seen.bShares) config.shares.clear(), seen.bShares = true;
    ShareMapping* pShare = ShareOf(rest, config.shares);
    return pShare && SetShareKey(*pShare, key, value);
  }
  if (StartsWithWord(section, "Adapter", rest)) {
    if (!seen.bAdapters) config.adapters.clear(), seen.bAdapters = true;
    return SetAdapterKey(*AdapterOf(rest, config.adapters), key, value);
  }
  return true;  // a section this version does not know
}

bool SetKey(std::string_view section, std::string_view key, std::string_view value,
            MachineConfig& config, ListsSeen& seen) {
  for (const FieldSpec& field : kFields)
    if (AnsiEqualNoCase(section, field.section) && AnsiEqualNoCase(key, field.key))
      return ParseField(field, value, config);
  return SetListKey(section, key, value, config, seen);
}

// --- Formatting ---------------------------------------------------------------------------------

void AppendKey(std::ostringstream& out, const char* key, std::string_view value) {
  out << key << '=' << value << '\n';
}

void FormatFixedSections(const MachineConfig& config, std::ostringstream& out) {
  for (const auto& [section, comment] : kSectionComments) {
    out << '\n' << '[' << section << "]\n" << comment << '\n';
    for (const FieldSpec& field : kFields)
      if (std::string_view(field.section) == section)
        AppendKey(out, field.key, FormatField(field, config));
  }
}

void FormatLists(const MachineConfig& config, std::ostringstream& out) {
  for (const DriveMapping& drive : config.drives) {
    out << "\n[Drive " << drive.cLetter << "]\n";
    AppendKey(out, "HostDir", drive.hostDir);
    AppendKey(out, "ReadOnly", drive.bReadOnly ? "yes" : "no");
  }
  for (const ShareMapping& share : config.shares) {
    out << "\n[Share \\\\" << AnsiToUtf8(share.server) << '\\' << AnsiToUtf8(share.share) << "]\n";
    AppendKey(out, "HostDir", share.hostDir);
    AppendKey(out, "ReadOnly", share.bReadOnly ? "yes" : "no");
  }
  for (const NetworkAdapter& adapter : config.adapters) {
    out << "\n[Adapter " << AnsiToUtf8(adapter.name) << "]\n";
    AppendKey(out, "Description", AnsiToUtf8(adapter.description));
    AppendKey(out, "MacAddress", adapter.macAddress);
    AppendKey(out, "IpAddress", adapter.ipAddress);
    AppendKey(out, "SubnetMask", adapter.subnetMask);
    AppendKey(out, "Gateway", adapter.gateway);
    AppendKey(out, "Dhcp", adapter.bDhcp ? "yes" : "no");
  }
}

// Every drive and share needs a host directory.
bool CheckHostDirs(const MachineConfig& config, std::string& error) {
  for (const DriveMapping& drive : config.drives) {
    if (drive.hostDir.empty()) {
      error = std::string("machine.ini: [Drive ") + drive.cLetter + "] has no HostDir";
      return false;
    }
  }
  for (const ShareMapping& share : config.shares) {
    if (share.hostDir.empty()) {
      error = "machine.ini: [Share \\\\" + share.server + "\\" + share.share + "] has no HostDir";
      return false;
    }
  }
  return true;
}

size_t LineNumberAt(std::string_view text, size_t nOffset) {
  size_t nLine = 1;
  for (size_t i = 0; i < nOffset; ++i) nLine += text[i] == '\n';
  return nLine;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseMacAddress(std::string_view text, std::array<uint8_t, 6>& bytes) {
  // Either 12 digits, or 6 pairs with the same separator ('-' or ':') between them.
  const bool bSeparated = text.size() == 17;
  if (!bSeparated && text.size() != 12) return false;
  const size_t nStep = bSeparated ? 3 : 2;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t nAt = i * nStep;
    if (bSeparated && i > 0 && text[nAt - 1] != text[2]) return false;
    const int nHigh = HexDigitValue(text[nAt]);
    const int nLow = HexDigitValue(text[nAt + 1]);
    if (nHigh < 0 || nLow < 0) return false;
    bytes[i] = static_cast<uint8_t>(nHigh * 16 + nLow);
  }
  return !bSeparated || text[2] == '-' || text[2] == ':';
}

bool IsIpv4Address(std::string_view text) {
  int nParts = 0;
  while (nParts < 4) {
    size_t nDigits = 0;
    unsigned nValue = 0;
    while (nDigits < text.size() && nDigits < 4 && text[nDigits] >= '0' && text[nDigits] <= '9')
      nValue = nValue * 10 + static_cast<unsigned>(text[nDigits++] - '0');
    if (nDigits == 0 || nDigits > 3 || nValue > 255) return false;
    text.remove_prefix(nDigits);
    if (++nParts < 4) {
      if (text.empty() || text[0] != '.') return false;
      text.remove_prefix(1);
    }
  }
  return text.empty();
}

std::string MachineConfig::TempDir() const {
  if (!szTempDir.empty()) return szTempDir;
  const std::string drive = szWindowsDir.size() >= 2 ? szWindowsDir.substr(0, 2) : "C:";
  return drive + "\\Users\\" + szUserName + "\\AppData\\Local\\Temp";
}

std::string MachineConfig::DisplayString() const {
  if (!szDisplayString.empty()) return szDisplayString;
  std::string text = szProductName;
  if (!szDisplayVersion.empty()) text += " " + szDisplayVersion;
  if (!szCSDVersion.empty()) text += " " + szCSDVersion;
  text += " (build " + std::to_string(dwBuildNumber) + "), " + (b64Bit ? "64-bit" : "32-bit");
  return text;
}

std::vector<std::string> MachineConfig::IpAddresses() const {
  std::vector<std::string> addresses;
  for (const NetworkAdapter& adapter : adapters)
    if (!adapter.ipAddress.empty()) addresses.push_back(adapter.ipAddress);
  return addresses;
}

std::string FormatMachineConfig(const MachineConfig& config) {
  std::ostringstream out;
  out << kHeader;
  FormatFixedSections(config, out);
  FormatLists(config, out);
  return out.str();
}

bool ParseMachineConfig(std::string_view text, MachineConfig& config, std::string& error) {
  ListsSeen seen;
  std::string_view section;
  for (const IniLine& line : ScanIniText(text)) {
    if (line.kind == IniLine::Kind::Section) section = line.name;
    if (line.kind != IniLine::Kind::Entry) continue;
    if (!SetKey(section, line.name, UnquoteIniValue(line.value), config, seen)) {
      error = "machine.ini line " + std::to_string(LineNumberAt(text, line.nBegin)) + ": [" +
              std::string(section) + "] " + std::string(line.name) + "=" + std::string(line.value) +
              " is not valid";
      return false;
    }
  }
  if (config.drives.empty()) config.drives = MachineConfig().drives;
  return CheckHostDirs(config, error);
}

bool LoadMachineConfig(const std::string& hostFile, MachineConfig& config, std::string& error) {
  std::ifstream in(hostFile, std::ios::binary);
  if (!in) {
    error = "cannot read " + hostFile;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseMachineConfig(text.str(), config, error);
}

bool SaveMachineConfig(const std::string& hostFile, const MachineConfig& config,
                       std::string& error) {
  const std::string temp = hostFile + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << FormatMachineConfig(config);
    if (!out.flush()) {
      error = "cannot write " + temp;
      return false;
    }
  }
  if (std::rename(temp.c_str(), hostFile.c_str()) != 0) {
    std::remove(temp.c_str());
    error = "cannot replace " + hostFile;
    return false;
  }
  return true;
}

}  // namespace platform::emulated
