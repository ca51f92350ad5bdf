// Data of a new machine's layout. The folder table and the registry text use the same names as
// a Windows 10 installation; "{PROFILE}" stands for the user's profile folder and the other
// placeholders for the machine's identity (see MachineConfig).
#include "platform/emulated/machine/default_layout.h"

#include <cctype>
#include <cstdio>

#include "platform/emulated/odbc/emulated_odbc_installer.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/spooler/emulated_spooler.h"

namespace platform::emulated {
namespace {

using F = SpecialFolder;

constexpr const char* kRoaming = "{PROFILE}\\AppData\\Roaming\\Microsoft\\Windows";
constexpr const char* kLocal = "{PROFILE}\\AppData\\Local\\Microsoft\\Windows";
constexpr const char* kCommonStart = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";

struct FolderRow {
  SpecialFolder folder;
  const char* base;  // prefix, or null
  const char* rest;
};

const FolderRow kFolders[] = {
    {F::Windows, nullptr, "{WINDIR}"},
    {F::System, nullptr, "{WINDIR}\\System32"},
    {F::SystemX86, nullptr, "{SYSX86}"},
    {F::Fonts, nullptr, "{WINDIR}\\Fonts"},
    {F::Temp, nullptr, "{PROFILE}\\AppData\\Local\\Temp"},
    {F::ProgramFiles, nullptr, "C:\\Program Files"},
    {F::ProgramFilesX86, nullptr, "{PFX86}"},
    {F::CommonFiles, nullptr, "C:\\Program Files\\Common Files"},
    {F::CommonFilesX86, nullptr, "{PFX86}\\Common Files"},
    {F::Resources, nullptr, "{WINDIR}\\Resources"},
    {F::LocalizedResources, nullptr, "{WINDIR}\\Resources\\{LANGHEX}"},
    {F::UserProfiles, nullptr, "C:\\Users"},
    {F::UserProfile, nullptr, "{PROFILE}"},
    {F::Desktop, nullptr, "{PROFILE}\\Desktop"},
    {F::Favorites, nullptr, "{PROFILE}\\Favorites"},
    {F::NetHood, kRoaming, "\\Network Shortcuts"},
    {F::Personal, nullptr, "{PROFILE}\\Documents"},
    {F::Programs, kRoaming, "\\Start Menu\\Programs"},
    {F::Recent, kRoaming, "\\Recent"},
    {F::SendTo, kRoaming, "\\SendTo"},
    {F::StartMenu, kRoaming, "\\Start Menu"},
    {F::Startup, kRoaming, "\\Start Menu\\Programs\\Startup"},
    {F::Templates, kRoaming, "\\Templates"},
    {F::AppData, nullptr, "{PROFILE}\\AppData\\Roaming"},
    {F::LocalAppData, nullptr, "{PROFILE}\\AppData\\Local"},
    {F::LocalAppDataLow, nullptr, "{PROFILE}\\AppData\\LocalLow"},
    {F::PrintHood, kRoaming, "\\Printer Shortcuts"},
    {F::InternetCache, kLocal, "\\INetCache"},
    {F::Cookies, kLocal, "\\INetCookies"},
    {F::History, kLocal, "\\History"},
    {F::AdminTools, kRoaming, "\\Start Menu\\Programs\\Administrative Tools"},
    {F::CDBurnArea, kLocal, "\\Burn\\Burn"},
    {F::MyMusic, nullptr, "{PROFILE}\\Music"},
    {F::MyPictures, nullptr, "{PROFILE}\\Pictures"},
    {F::MyVideo, nullptr, "{PROFILE}\\Videos"},
    {F::Contacts, nullptr, "{PROFILE}\\Contacts"},
    {F::Downloads, nullptr, "{PROFILE}\\Downloads"},
    {F::Links, nullptr, "{PROFILE}\\Links"},
    {F::SavedGames, nullptr, "{PROFILE}\\Saved Games"},
    {F::SavedSearches, nullptr, "{PROFILE}\\Searches"},
    {F::QuickLaunch, nullptr,
     "{PROFILE}\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch"},
    {F::GameTasks, kLocal, "\\GameExplorer"},
    {F::OriginalImages, nullptr,
     "{PROFILE}\\AppData\\Local\\Microsoft\\Windows Photo Gallery\\Original Images"},
    {F::PhotoAlbums, nullptr, "{PROFILE}\\Pictures\\Slide Shows"},
    {F::Playlists, nullptr, "{PROFILE}\\Music\\Playlists"},
    {F::SidebarParts, nullptr, "{PROFILE}\\AppData\\Local\\Microsoft\\Windows Sidebar\\Gadgets"},
    {F::CommonDesktop, nullptr, "C:\\Users\\Public\\Desktop"},
    {F::CommonPrograms, kCommonStart, "\\Programs"},
    {F::CommonStartMenu, kCommonStart, ""},
    {F::CommonStartup, kCommonStart, "\\Programs\\Startup"},
    {F::CommonAdminTools, kCommonStart, "\\Programs\\Administrative Tools"},
    {F::CommonAppData, nullptr, "C:\\ProgramData"},
    {F::CommonDocuments, nullptr, "C:\\Users\\Public\\Documents"},
    {F::CommonFavorites, nullptr, "{PROFILE}\\Favorites"},
    {F::CommonTemplates, nullptr, "C:\\ProgramData\\Microsoft\\Windows\\Templates"},
    {F::CommonMusic, nullptr, "C:\\Users\\Public\\Music"},
    {F::CommonPictures, nullptr, "C:\\Users\\Public\\Pictures"},
    {F::CommonVideo, nullptr, "C:\\Users\\Public\\Videos"},
    {F::CommonOEMLinks, nullptr, "C:\\ProgramData\\OEM Links"},
    {F::Public, nullptr, "C:\\Users\\Public"},
    {F::PublicDownloads, nullptr, "C:\\Users\\Public\\Downloads"},
    {F::PublicGameTasks, nullptr, "C:\\ProgramData\\Microsoft\\Windows\\GameExplorer"},
    {F::SampleMusic, nullptr, "C:\\Users\\Public\\Music\\Sample Music"},
    {F::SamplePictures, nullptr, "C:\\Users\\Public\\Pictures\\Sample Pictures"},
    {F::SamplePlaylists, nullptr, "C:\\Users\\Public\\Music\\Sample Playlists"},
    {F::SampleVideos, nullptr, "C:\\Users\\Public\\Videos\\Sample Videos"},
    {F::SidebarDefaultParts, nullptr, "C:\\Program Files\\Windows Sidebar\\Gadgets"},
};

// The registry of a new machine. Paths in Shell Folders are expanded; User Shell Folders keep
// the environment references Windows writes there.
// Keys every Windows has, created empty on a new machine.
struct OwnedKey {
  RegRoot root;
  const char* path;
};

const OwnedKey kWindowsOwnedKeys[] = {
    {RegRoot::LocalMachine, R"(HARDWARE\DESCRIPTION\System)"},
    {RegRoot::LocalMachine, R"(HARDWARE\DEVICEMAP)"},
    {RegRoot::LocalMachine, R"(SAM)"},
    {RegRoot::LocalMachine, R"(SECURITY)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\*)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\AppID)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\CLSID)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\Directory)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\Folder)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\Interface)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\MIME\Database\Content Type)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Classes\TypeLib)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Clients)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\Policies)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\RegisteredApplications)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\WOW6432Node\Classes\CLSID)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\WOW6432Node\Classes\Interface)"},
    {RegRoot::LocalMachine, R"(SOFTWARE\WOW6432Node\Microsoft)"},
    {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Control\Class)"},
    {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Enum)"},
    {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Hardware Profiles\Current\Software)"},
    {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Hardware Profiles\Current\System)"},
    {RegRoot::LocalMachine, R"(SYSTEM\CurrentControlSet\Services\EventLog\Application)"},
    {RegRoot::LocalMachine, R"(SYSTEM\Setup)"},
    {RegRoot::Users, R"(.DEFAULT)"},
    {RegRoot::Users, R"({SID}\AppEvents)"},
    {RegRoot::Users, R"({SID}\Console)"},
    {RegRoot::Users, R"({SID}\Keyboard Layout)"},
    {RegRoot::Users, R"({SID}\Network)"},
    {RegRoot::Users, R"({SID}\Printers)"},
    {RegRoot::Users, R"({SID}\Software\Classes)"},
    {RegRoot::Users, R"({SID}\Software\Policies)"},
};

constexpr const char* kRegistryTemplate = R"REG(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files"
"CommonFilesDir"="C:\\Program Files\\Common Files"
"ProgramFilesDir (x86)"="{PFX86R}"
"CommonFilesDir (x86)"="{PFX86R}\\Common Files"
"ProgramW6432Dir"="C:\\Program Files"
"CommonW6432Dir"="C:\\Program Files\\Common Files"
"ProgramFilesPath"=hex(2):25,00,50,00,72,00,6f,00,67,00,72,00,61,00,6d,00,46,00,69,00,6c,00,65,00,73,00,25,00,00,00
"MediaPathUnexpanded"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,4d,00,65,00,64,00,69,00,61,00,00,00
"SM_GamesName"="Games"
"SM_ConfigureProgramsName"="Set Program Access and Defaults"

[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="{PFX86R}"
"CommonFilesDir"="{PFX86R}\\Common Files"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Setup]
"BootDir"="C:\\"
"SourcePath"="{WINDIRR}\\"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion]
"ProductName"="{PRODUCT}"
"EditionID"="{EDITION}"
"InstallationType"="Client"
"CurrentVersion"="6.3"
"CurrentMajorVersionNumber"=dword:{MAJORHEX}
"CurrentMinorVersionNumber"=dword:{MINORHEX}
"CurrentBuild"="{BUILD}"
"CurrentBuildNumber"="{BUILD}"
"DisplayVersion"="{DISPLAYVERSION}"
"ReleaseId"="2009"
"SystemRoot"="{WINDIRR}"
"PathName"="{WINDIRR}"
"RegisteredOwner"="{USER}"
"RegisteredOrganization"=""

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts]
"Arial (TrueType)"="arial.ttf"
"Courier New (TrueType)"="cour.ttf"
"Segoe UI (TrueType)"="segoeui.ttf"
"Times New Roman (TrueType)"="times.ttf"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList\{SID}]
"ProfileImagePath"="{PROFILER}"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"Common AppData"="C:\\ProgramData"
"Common Desktop"="C:\\Users\\Public\\Desktop"
"Common Documents"="C:\\Users\\Public\\Documents"
"Common Programs"="C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
"Common Start Menu"="C:\\ProgramData\\Microsoft\\Windows\\Start Menu"
"Common Startup"="C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"
"Common Templates"="C:\\ProgramData\\Microsoft\\Windows\\Templates"
"Common Administrative Tools"="C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"
"CommonMusic"="C:\\Users\\Public\\Music"
"CommonPictures"="C:\\Users\\Public\\Pictures"
"CommonVideo"="C:\\Users\\Public\\Videos"
"OEM Links"="C:\\ProgramData\\OEM Links"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders]
"Common AppData"=hex(2):25,00,50,00,72,00,6f,00,67,00,72,00,61,00,6d,00,44,00,61,00,74,00,61,00,25,00,00,00
"Common Desktop"=hex(2):25,00,50,00,55,00,42,00,4c,00,49,00,43,00,25,00,5c,00,44,00,65,00,73,00,6b,00,74,00,6f,00,70,00,00,00
"Common Documents"=hex(2):25,00,50,00,55,00,42,00,4c,00,49,00,43,00,25,00,5c,00,44,00,6f,00,63,00,75,00,6d,00,65,00,6e,00,74,00,73,00,00,00

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName]
"ComputerName"="{COMPUTER}"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters]
"Hostname"="{COMPUTERLOWER}"
"Domain"=""

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Environment]
"ComSpec"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,63,00,6d,00,64,00,2e,00,65,00,78,00,65,00,00,00
"OS"="Windows_NT"
"Path"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,3b,00,25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,3b,00,25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,77,00,62,00,65,00,6d,00,3b,00,25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,57,00,69,00,6e,00,64,00,6f,00,77,00,73,00,50,00,6f,00,77,00,65,00,72,00,73,00,68,00,65,00,6c,00,6c,00,5c,00,76,00,31,00,2e,00,30,00,00,00
"PATHEXT"=".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC"
"PROCESSOR_ARCHITECTURE"="{ARCH}"
"NUMBER_OF_PROCESSORS"="2"
"TEMP"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,54,00,45,00,4d,00,50,00,00,00
"TMP"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,54,00,45,00,4d,00,50,00,00,00
"windir"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,00,00

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Nls\Language]
"InstallLanguage"="{LANGHEX}"
"Default"="{LANGHEX}"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\MUI\UILanguages\{LANGTAG}]
"LCID"=dword:{LANGDWORD}

{WINDOWSOWNEDKEYS}
[HKEY_USERS\{SID}\Environment]
"TEMP"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,5c,00,41,00,70,00,70,00,44,00,61,00,74,00,61,00,5c,00,4c,00,6f,00,63,00,61,00,6c,00,5c,00,54,00,65,00,6d,00,70,00,00,00
"TMP"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,5c,00,41,00,70,00,70,00,44,00,61,00,74,00,61,00,5c,00,4c,00,6f,00,63,00,61,00,6c,00,5c,00,54,00,65,00,6d,00,70,00,00,00

[HKEY_USERS\{SID}\Software\Microsoft\Windows\CurrentVersion\Run]
[HKEY_USERS\{SID}\Software\Microsoft\Windows\CurrentVersion\RunOnce]

[HKEY_USERS\{SID}\Control Panel\Desktop]
"PreferredUILanguages"=hex(7):{LANGTAGMULTI}

[HKEY_USERS\{SID}\Control Panel\International]
"Locale"="0000{LANGHEX}"
"LocaleName"="{LANGTAG}"
"sDate"="{SDATE}"
"sTime"="{STIME}"
"sShortDate"="{SSHORTDATE}"
"sLongDate"="{SLONGDATE}"
"sTimeFormat"="{STIMEFORMAT}"
"sDecimal"="{SDECIMAL}"
"sList"="{SLIST}"

[HKEY_USERS\{SID}\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"AppData"="{PROFILER}\\AppData\\Roaming"
"Local AppData"="{PROFILER}\\AppData\\Local"
"Desktop"="{PROFILER}\\Desktop"
"Favorites"="{PROFILER}\\Favorites"
"Personal"="{PROFILER}\\Documents"
"My Music"="{PROFILER}\\Music"
"My Pictures"="{PROFILER}\\Pictures"
"My Video"="{PROFILER}\\Videos"
"NetHood"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"
"PrintHood"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"
"Programs"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
"Recent"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Recent"
"SendTo"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\SendTo"
"Start Menu"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
"Startup"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"
"Templates"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Templates"
"Cache"="{PROFILER}\\AppData\\Local\\Microsoft\\Windows\\INetCache"
"Cookies"="{PROFILER}\\AppData\\Local\\Microsoft\\Windows\\INetCookies"
"History"="{PROFILER}\\AppData\\Local\\Microsoft\\Windows\\History"
"Administrative Tools"="{PROFILER}\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"
"CD Burning"="{PROFILER}\\AppData\\Local\\Microsoft\\Windows\\Burn\\Burn"

[HKEY_USERS\{SID}\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders]
"AppData"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,5c,00,41,00,70,00,70,00,44,00,61,00,74,00,61,00,5c,00,52,00,6f,00,61,00,6d,00,69,00,6e,00,67,00,00,00
"Desktop"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,5c,00,44,00,65,00,73,00,6b,00,74,00,6f,00,70,00,00,00
"Personal"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,5c,00,44,00,6f,00,63,00,75,00,6d,00,65,00,6e,00,74,00,73,00,00,00
)REG";

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t pos = text.find(from); pos != std::string::npos;
       pos = text.find(from, pos + to.size()))
    text.replace(pos, from.size(), to);
}

std::string Hex(unsigned value, int nDigits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*x", nDigits, value);
  return buffer;
}

std::string RegEscaped(std::string path) {
  ReplaceAll(path, "\\", "\\\\");
  return path;
}

// A REG_MULTI_SZ of one string as hex(7) bytes of UTF-16LE (ASCII text only).
std::string MultiSzHex(const std::string& text) {
  std::string hex;
  for (char c : text + std::string(2, '\0')) hex += Hex(static_cast<unsigned char>(c), 2) + ",00,";
  hex.pop_back();
  return hex;
}

std::string ProfileOf(const MachineConfig& config) {
  return "C:\\Users\\" + config.szUserName;
}
std::string ProgramFilesX86Of(const MachineConfig& config) {
  return config.b64Bit ? "C:\\Program Files (x86)" : "C:\\Program Files";
}

}  // namespace

std::string LanguageTag(unsigned nLanguage) {
  switch (nLanguage) {
    case 0x0407:
      return "de-DE";
    case 0x040C:
      return "fr-FR";
    default:
      return "en-US";
  }
}

InternationalSettings DefaultInternational(unsigned nLanguage) {
  InternationalSettings settings;  // en-US
  if (nLanguage == 0x0407) {
    settings = {".", ":", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "HH:mm:ss", ",", ";"};
  } else if (nLanguage == 0x040C) {
    settings = {"/", ":", "dd/MM/yyyy", "dddd d MMMM yyyy", "HH:mm:ss", ",", ";"};
  }
  return settings;
}

std::vector<FolderPlace> DefaultFolders(const MachineConfig& config) {
  std::vector<FolderPlace> folders;
  for (const FolderRow& row : kFolders) {
    std::string path = std::string(row.base ? row.base : "") + row.rest;
    ReplaceAll(path, "{SYSX86}", config.b64Bit ? "{WINDIR}\\SysWOW64" : "{WINDIR}\\System32");
    ReplaceAll(path, "{WINDIR}", config.szWindowsDir);
    ReplaceAll(path, "{PROFILE}", ProfileOf(config));
    ReplaceAll(path, "{PFX86}", ProgramFilesX86Of(config));
    ReplaceAll(path, "{LANGHEX}", Hex(config.wUILanguage, 4));
    folders.push_back({row.folder, path});
  }
  return folders;
}

// Short files of our own in the form of Windows' own: comment lines, then well-known entries.
constexpr const char* kNetworkFiles[][2] = {
    {"hosts",
     "# Host names of this computer: an IP address, the host name and its aliases, one entry a\r\n"
     "# line. The names of the computer itself are resolved without this file.\r\n"
     "#\r\n"
     "#\t127.0.0.1       localhost\r\n"
     "#\t::1             localhost\r\n"},
    {"services",
     "# Network services: the service name, port/protocol and aliases, one entry a line.\r\n"
     "\r\n"
     "echo                7/tcp\r\n"
     "echo                7/udp\r\n"
     "ftp                21/tcp\r\n"
     "ssh                22/tcp\r\n"
     "telnet             23/tcp\r\n"
     "smtp               25/tcp    mail\r\n"
     "domain             53/tcp\r\n"
     "domain             53/udp\r\n"
     "http               80/tcp    www www-http\r\n"
     "pop3              110/tcp\r\n"
     "ntp               123/udp\r\n"
     "https             443/tcp\r\n"},
    {"protocol",
     "# Internet protocols: the protocol name, its number and aliases, one entry a line.\r\n"
     "\r\n"
     "ip       0     IP\r\n"
     "icmp     1     ICMP\r\n"
     "tcp      6     TCP\r\n"
     "udp     17     UDP\r\n"
     "ipv6    41     IPv6\r\n"},
    {"networks",
     "# Network names: the network name, its number and aliases, one entry a line.\r\n"
     "\r\n"
     "loopback                 127\r\n"},
    {"lmhosts.sam",
     "# A sample of the LMHOSTS file: NetBIOS names and their IP addresses, one entry a line.\r\n"
     "# Copied to \"lmhosts\" it is read when names are resolved over NetBIOS.\r\n"
     "#\r\n"
     "# 10.0.0.10       fileserver    #PRE\r\n"},
};

std::vector<SeedFile> DefaultNetworkFiles(const MachineConfig& config) {
  std::vector<std::string> dirs = {config.szWindowsDir + "\\System32\\drivers\\etc"};
  if (config.b64Bit) dirs.push_back(config.szWindowsDir + "\\SysWOW64\\drivers\\etc");
  std::vector<SeedFile> files;
  for (const std::string& dir : dirs)
    for (const auto& [name, text] : kNetworkFiles) files.push_back({dir + "\\" + name, text});
  return files;
}

std::string DefaultRegistryText(const MachineConfig& config) {
  const InternationalSettings intl = DefaultInternational(config.wUILanguage);
  std::string computerLower = config.szComputerName;
  for (char& c : computerLower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::map<std::string, std::string> fields = {
      {"{PFX86R}", RegEscaped(ProgramFilesX86Of(config))},
      {"{PROFILER}", RegEscaped(ProfileOf(config))},
      {"{PRODUCT}", config.szProductName},
      {"{EDITION}", config.szEditionId},
      {"{WINDIRR}", RegEscaped(config.szWindowsDir)},
      {"{DISPLAYVERSION}", config.szDisplayVersion},
      {"{MAJORHEX}", Hex(config.dwMajorVersion, 8)},
      {"{MINORHEX}", Hex(config.dwMinorVersion, 8)},
      {"{BUILD}", std::to_string(config.dwBuildNumber)},
      {"{USER}", config.szUserName},
      {"{SID}", config.szUserSid},
      {"{COMPUTER}", config.szComputerName},
      {"{COMPUTERLOWER}", computerLower},
      {"{ARCH}", config.b64Bit ? "AMD64" : "x86"},
      {"{LANGHEX}", Hex(config.wUILanguage, 4)},
      {"{LANGDWORD}", Hex(config.wUILanguage, 8)},
      {"{LANGTAG}", LanguageTag(config.wUILanguage)},
      {"{LANGTAGMULTI}", MultiSzHex(LanguageTag(config.wUILanguage))},
      {"{SDATE}", intl.sDate},
      {"{STIME}", intl.sTime},
      {"{SSHORTDATE}", intl.sShortDate},
      {"{SLONGDATE}", intl.sLongDate},
      {"{STIMEFORMAT}", intl.sTimeFormat},
      {"{SDECIMAL}", intl.sDecimal},
      {"{SLIST}", intl.sList},
  };
  std::string ownedKeys;
  for (const OwnedKey& key : kWindowsOwnedKeys)
    ownedKeys += "[" + std::string(RegRootName(key.root)) + "\\" + key.path + "]\n";
  std::string text = std::string(kRegistryTemplate) + EmulatedSpooler::SeedRegistryText() +
                     EmulatedOdbcInstaller::SeedRegistryText();
  ReplaceAll(text, "{WINDOWSOWNEDKEYS}", ownedKeys);
  for (const auto& [placeholder, value] : fields) ReplaceAll(text, placeholder, value);
  return text;
}

std::vector<std::pair<RegRoot, std::string>> WindowsOwnedKeys(const MachineConfig& config) {
  std::vector<RegTextOp> ops;
  RegTextError error;
  ParseRegText(DefaultRegistryText(config), ops, error);
  std::vector<std::pair<RegRoot, std::string>> keys;
  for (const RegTextOp& op : ops)
    if (op.kind == RegTextOp::Kind::CreateKey) keys.emplace_back(op.root, op.keyPath);
  return keys;
}

}  // namespace platform::emulated
