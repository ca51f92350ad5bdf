// What the engine asks Windows about the machine and its user: names and security identifiers,
// the operating system's version data, the special folders of the user and of all users, the
// user-interface language and locale, the international settings and whether it is a laptop.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct OsVersionInfo {
  uint32_t dwMajorVersion = 10;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 19045;
  uint32_t dwPlatformId = 2;  // VER_PLATFORM_WIN32_NT
  std::string szCSDVersion;   // service-pack text, empty when none
  uint16_t wServicePackMajor = 0;
  uint16_t wServicePackMinor = 0;
  uint16_t wSuiteMask = 0x100;  // VER_SUITE_SINGLEUSERTS
  uint8_t wProductType = 1;     // VER_NT_WORKSTATION
  std::string name;             // "Windows 10 Pro"
  std::string displayString;    // "Windows 10 Pro 22H2 (build 19045), 64-bit"
  bool b64Bit = true;
};

// Folders the shell knows, of the current user and of all users, and the system directories.
enum class SpecialFolder {
  Windows,
  System,
  SystemX86,
  Fonts,
  Temp,
  ProgramFiles,
  ProgramFilesX86,
  CommonFiles,
  CommonFilesX86,
  Resources,
  LocalizedResources,
  UserProfiles,
  UserProfile,
  // the current user's shell folders
  Desktop,
  Favorites,
  NetHood,
  Personal,
  Programs,
  Recent,
  SendTo,
  StartMenu,
  Startup,
  Templates,
  AppData,
  LocalAppData,
  LocalAppDataLow,
  PrintHood,
  InternetCache,
  Cookies,
  History,
  AdminTools,
  CDBurnArea,
  MyMusic,
  MyPictures,
  MyVideo,
  Contacts,
  Downloads,
  Links,
  SavedGames,
  SavedSearches,
  QuickLaunch,
  GameTasks,
  OriginalImages,
  PhotoAlbums,
  Playlists,
  SidebarParts,
  // all users
  CommonDesktop,
  CommonPrograms,
  CommonStartMenu,
  CommonStartup,
  CommonAdminTools,
  CommonAppData,
  CommonDocuments,
  CommonFavorites,
  CommonTemplates,
  CommonMusic,
  CommonPictures,
  CommonVideo,
  CommonOEMLinks,
  Public,
  PublicDownloads,
  PublicGameTasks,
  SampleMusic,
  SamplePictures,
  SamplePlaylists,
  SampleVideos,
  SidebarDefaultParts,
};

// The user's international settings as Control Panel keeps them (LOCALE_S* texts).
struct InternationalSettings {
  std::string sDate = "/";
  std::string sTime = ":";
  std::string sShortDate = "M/d/yyyy";
  std::string sLongDate = "dddd, MMMM d, yyyy";
  std::string sTimeFormat = "h:mm:ss tt";
  std::string sDecimal = ".";
  std::string sList = ",";
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  virtual std::string ComputerName() = 0;
  virtual std::string DomainName() = 0;  // domain or workgroup
  virtual std::string UserName() = 0;    // the logged-on user
  virtual std::string UserSid() = 0;     // "S-1-5-21-..."
  virtual OsVersionInfo OsVersion() = 0;

  // LookupAccountSid/LookupAccountName with the machine's localized names of the well-known
  // identifiers and of its local accounts; ERROR_NONE_MAPPED when unknown.
  virtual uint32_t LookupAccountSid(const std::string& sid, std::string& name,
                                    std::string& domain) = 0;
  virtual uint32_t LookupAccountName(const std::string& name, std::string& sid) = 0;

  // The folder without a trailing backslash; ERROR_FILE_NOT_FOUND when the machine has none.
  virtual uint32_t GetSpecialFolder(SpecialFolder folder, std::string& path) = 0;

  virtual uint16_t UiLanguage() = 0;     // LANGID, 0x0409 en-US, 0x0407 de-DE, 0x040C fr-FR
  virtual uint32_t DefaultLocale() = 0;  // LCID of the user's locale
  virtual InternationalSettings International() = 0;
  virtual bool IsLaptop() = 0;  // a lid, or running on battery

  // The directory of the .NET Framework 4 runtime ("v4.0.30319") as its runtime host reports it,
  // ending in a backslash; ERROR_FILE_NOT_FOUND when the machine has no such runtime.
  virtual uint32_t GetClrDirectory(std::string& directory) = 0;
};

}  // namespace platform
