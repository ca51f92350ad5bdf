// Each question goes to the Windows function that answers it. The version comes from
// RtlGetVersion, which Windows does not adapt to the program's manifest as it does GetVersionEx;
// the product's name and release come from the CurrentVersion key the system's own dialogs read.
// Known folders are asked without checking that they exist, so a folder Windows knows but has
// not created yet (a new user's Saved Games) still has its path.
#include "platform/win32/win32_system_info.h"

#include <functional>

#include "platform/win32/win32_wide_text.h"

#include "platform/win32/windows_api.h"
// clang-format off
#include <initguid.h>
#include <knownfolders.h>
// clang-format on
#include <lm.h>
#include <powrprof.h>
#include <sddl.h>
#include <shlobj.h>

#undef LookupAccountSid
#undef LookupAccountName

namespace platform::win32 {
namespace {

constexpr const char* kCurrentVersionKey = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)";

// A folder of the system directories, read by a function that fills a buffer of a given size and
// returns the length, or the size needed when the buffer is too small, or 0 on failure.
using DirectoryReader = std::function<UINT(char* buffer, UINT nSize)>;

struct FolderSource {
  SpecialFolder folder;
  const KNOWNFOLDERID* knownFolder;  // null: a system directory
};

// Which known folder each value of the interface means; the default layout of the emulated
// machine shows the same folders by their paths.
const FolderSource kKnownFolders[] = {
    {SpecialFolder::Fonts, &FOLDERID_Fonts},
    {SpecialFolder::ProgramFiles, &FOLDERID_ProgramFiles},
    {SpecialFolder::ProgramFilesX86, &FOLDERID_ProgramFilesX86},
    {SpecialFolder::CommonFiles, &FOLDERID_ProgramFilesCommon},
    {SpecialFolder::CommonFilesX86, &FOLDERID_ProgramFilesCommonX86},
    {SpecialFolder::Resources, &FOLDERID_ResourceDir},
    {SpecialFolder::LocalizedResources, &FOLDERID_LocalizedResourcesDir},
    {SpecialFolder::UserProfiles, &FOLDERID_UserProfiles},
    {SpecialFolder::UserProfile, &FOLDERID_Profile},
    {SpecialFolder::Desktop, &FOLDERID_Desktop},
    {SpecialFolder::Favorites, &FOLDERID_Favorites},
    {SpecialFolder::NetHood, &FOLDERID_NetHood},
    {SpecialFolder::Personal, &FOLDERID_Documents},
    {SpecialFolder::Programs, &FOLDERID_Programs},
    {SpecialFolder::Recent, &FOLDERID_Recent},
    {SpecialFolder::SendTo, &FOLDERID_SendTo},
    {SpecialFolder::StartMenu, &FOLDERID_StartMenu},
    {SpecialFolder::Startup, &FOLDERID_Startup},
    {SpecialFolder::Templates, &FOLDERID_Templates},
    {SpecialFolder::AppData, &FOLDERID_RoamingAppData},
    {SpecialFolder::LocalAppData, &FOLDERID_LocalAppData},
    {SpecialFolder::LocalAppDataLow, &FOLDERID_LocalAppDataLow},
    {SpecialFolder::PrintHood, &FOLDERID_PrintHood},
    {SpecialFolder::InternetCache, &FOLDERID_InternetCache},
    {SpecialFolder::Cookies, &FOLDERID_Cookies},
    {SpecialFolder::History, &FOLDERID_History},
    {SpecialFolder::AdminTools, &FOLDERID_AdminTools},
    {SpecialFolder::CDBurnArea, &FOLDERID_CDBurning},
    {SpecialFolder::MyMusic, &FOLDERID_Music},
    {SpecialFolder::MyPictures, &FOLDERID_Pictures},
    {SpecialFolder::MyVideo, &FOLDERID_Videos},
    {SpecialFolder::Contacts, &FOLDERID_Contacts},
    {SpecialFolder::Downloads, &FOLDERID_Downloads},
    {SpecialFolder::Links, &FOLDERID_Links},
    {SpecialFolder::SavedGames, &FOLDERID_SavedGames},
    {SpecialFolder::SavedSearches, &FOLDERID_SavedSearches},
    {SpecialFolder::QuickLaunch, &FOLDERID_QuickLaunch},
    {SpecialFolder::GameTasks, &FOLDERID_GameTasks},
    {SpecialFolder::OriginalImages, &FOLDERID_OriginalImages},
    {SpecialFolder::PhotoAlbums, &FOLDERID_PhotoAlbums},
    {SpecialFolder::Playlists, &FOLDERID_Playlists},
    {SpecialFolder::SidebarParts, &FOLDERID_SidebarParts},
    {SpecialFolder::CommonDesktop, &FOLDERID_PublicDesktop},
    {SpecialFolder::CommonPrograms, &FOLDERID_CommonPrograms},
    {SpecialFolder::CommonStartMenu, &FOLDERID_CommonStartMenu},
    {SpecialFolder::CommonStartup, &FOLDERID_CommonStartup},
    {SpecialFolder::CommonAdminTools, &FOLDERID_CommonAdminTools},
    {SpecialFolder::CommonAppData, &FOLDERID_ProgramData},
    {SpecialFolder::CommonDocuments, &FOLDERID_PublicDocuments},
    // Since Vista the all-users favorites are the user's own (CSIDL_COMMON_FAVORITES).
    {SpecialFolder::CommonFavorites, &FOLDERID_Favorites},
    {SpecialFolder::CommonTemplates, &FOLDERID_CommonTemplates},
    {SpecialFolder::CommonMusic, &FOLDERID_PublicMusic},
    {SpecialFolder::CommonPictures, &FOLDERID_PublicPictures},
    {SpecialFolder::CommonVideo, &FOLDERID_PublicVideos},
    {SpecialFolder::CommonOEMLinks, &FOLDERID_CommonOEMLinks},
    {SpecialFolder::Public, &FOLDERID_Public},
    {SpecialFolder::PublicDownloads, &FOLDERID_PublicDownloads},
    {SpecialFolder::PublicGameTasks, &FOLDERID_PublicGameTasks},
    {SpecialFolder::SampleMusic, &FOLDERID_SampleMusic},
    {SpecialFolder::SamplePictures, &FOLDERID_SamplePictures},
    {SpecialFolder::SamplePlaylists, &FOLDERID_SamplePlaylists},
    {SpecialFolder::SampleVideos, &FOLDERID_SampleVideos},
    {SpecialFolder::SidebarDefaultParts, &FOLDERID_SidebarDefaultParts},
};

// "C:\Windows\" -> "C:\Windows"; a drive's root keeps its backslash ("C:\").
std::string WithoutTrailingBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

uint32_t ReadDirectory(const DirectoryReader& read, std::string& path) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const UINT nLength = read(buffer.data(), static_cast<UINT>(buffer.size()));
    if (nLength == 0) return GetLastError();
    if (nLength < buffer.size()) {
      buffer.resize(nLength);
      path = WithoutTrailingBackslash(buffer);
      return ERROR_SUCCESS;
    }
    buffer.resize(nLength);
  }
}

// The 32-bit system folder: SysWOW64 on a 64-bit Windows, System32 on a 32-bit one.
uint32_t ReadSystemX86Directory(std::string& path) {
  const uint32_t err = ReadDirectory(GetSystemWow64DirectoryA, path);
  if (err != ERROR_CALL_NOT_IMPLEMENTED) return err;
  return ReadDirectory(GetSystemDirectoryA, path);
}

uint32_t ReadTempDirectory(std::string& path) {
  return ReadDirectory([](char* buffer, UINT nSize) { return GetTempPathA(nSize, buffer); }, path);
}

// A known folder Windows does not define (E_INVALIDARG) or that has no file-system path (E_FAIL)
// is a folder the machine has none of.
uint32_t ErrorOfKnownFolder(HRESULT hr) {
  if (hr != E_INVALIDARG && HRESULT_FACILITY(hr) == FACILITY_WIN32) return HRESULT_CODE(hr);
  return ERROR_FILE_NOT_FOUND;
}

uint32_t ReadKnownFolder(const KNOWNFOLDERID& id, std::string& path) {
  PWSTR widePath = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &widePath);
  if (SUCCEEDED(hr)) path = WithoutTrailingBackslash(AnsiFromWide(widePath));
  CoTaskMemFree(widePath);
  if (FAILED(hr)) return ErrorOfKnownFolder(hr);
  return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;  // defined, but with no folder
}

std::string CurrentVersionText(const char* valueName) {
  char buffer[256];
  DWORD cbData = sizeof buffer;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, valueName, RRF_RT_REG_SZ, nullptr,
                   buffer, &cbData) != ERROR_SUCCESS)
    return {};
  return buffer;
}

// Windows 11 kept the product name of Windows 10 in the registry; its first build is 22000.
std::string ProductNameOf(uint32_t dwBuildNumber) {
  std::string name = CurrentVersionText("ProductName");
  if (name.empty()) return "Windows";
  const std::string windows10 = "Windows 10";
  if (dwBuildNumber >= 22000 && name.starts_with(windows10))
    name.replace(0, windows10.size(), "Windows 11");
  return name;
}

bool Is64BitWindows() {
  if constexpr (sizeof(void*) == 8) return true;
  BOOL bWow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}

std::string DisplayStringOf(const OsVersionInfo& info) {
  std::string build = CurrentVersionText("CurrentBuild");
  if (build.empty()) build = std::to_string(info.dwBuildNumber);
  std::string text = info.name;
  const std::string release = CurrentVersionText("DisplayVersion");
  if (!release.empty()) text += " " + release;
  if (!info.szCSDVersion.empty()) text += " " + info.szCSDVersion;
  return text + " (build " + build + "), " + (info.b64Bit ? "64-bit" : "32-bit");
}

// RtlGetVersion lives in ntdll, which every process has loaded.
bool ReadRealVersion(RTL_OSVERSIONINFOEXW& version) {
  using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
  const FARPROC address = GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
  if (!address) return false;
  const auto rtlGetVersion =
      reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(address));
  version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return rtlGetVersion(&version) == 0;
}

std::string LocaleText(LCTYPE type, const std::string& fallback) {
  char buffer[128];
  const int nLength = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return nLength > 0 ? std::string(buffer) : fallback;
}

// A string SID as Windows holds it, freed with LocalFree.
class SidFromString {
 public:
  explicit SidFromString(const std::string& text)
      : bValid_(ConvertStringSidToSidA(text.c_str(), &sid_)),
        err_(bValid_ ? ERROR_SUCCESS : GetLastError()) {}
  ~SidFromString() { LocalFree(sid_); }
  SidFromString(const SidFromString&) = delete;
  SidFromString& operator=(const SidFromString&) = delete;

  PSID Get() const { return sid_; }
  uint32_t Error() const { return err_; }

 private:
  PSID sid_ = nullptr;
  bool bValid_;
  uint32_t err_;
};

uint32_t StringOfSid(PSID sid, std::string& text) {
  LPSTR sidText = nullptr;
  if (!ConvertSidToStringSidA(sid, &sidText)) return GetLastError();
  text = sidText;
  LocalFree(sidText);
  return ERROR_SUCCESS;
}

// Calls a lookup with two buffers, growing them until they suffice. The second is text, cut at its
// end; the first is cut there too unless it holds bytes (a binary SID, whose bytes include zeros).
uint32_t LookupWithBuffers(const std::function<BOOL(char*, DWORD&, char*, DWORD&)>& lookup,
                           std::string& first, std::string& second, bool bFirstIsText = true) {
  DWORD nFirst = 256;
  DWORD nSecond = 256;
  for (;;) {
    first.assign(nFirst, '\0');
    second.assign(nSecond, '\0');
    const DWORD nFirstGiven = nFirst;
    const DWORD nSecondGiven = nSecond;
    if (lookup(first.data(), nFirst, second.data(), nSecond)) {
      if (bFirstIsText) first.resize(first.find('\0'));
      second.resize(second.find('\0'));
      return ERROR_SUCCESS;
    }
    const DWORD err = GetLastError();
    if (err != ERROR_INSUFFICIENT_BUFFER) return err;
    if (nFirst <= nFirstGiven && nSecond <= nSecondGiven) return err;  // asked for no more room
    nFirst = std::max(nFirst, nFirstGiven);
    nSecond = std::max(nSecond, nSecondGiven);
  }
}

// ".\name" means this computer's account, a form LookupAccountName itself does not know.
std::string WithComputerForDot(const std::string& name, const std::string& computer) {
  return name.starts_with(".\\") ? computer + name.substr(1) : name;
}

}  // namespace

std::string Win32SystemInfo::ComputerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD nSize = sizeof buffer;
  return GetComputerNameA(buffer, &nSize) ? std::string(buffer, nSize) : std::string();
}

std::string Win32SystemInfo::DomainName() {
  LPWSTR name = nullptr;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  if (NetGetJoinInformation(nullptr, &name, &status) != NERR_Success) return {};
  std::string domain = AnsiFromWide(name);
  NetApiBufferFree(name);
  return domain;
}

std::string Win32SystemInfo::UserName() {
  char buffer[UNLEN + 1];
  DWORD nSize = sizeof buffer;
  return GetUserNameA(buffer, &nSize) ? std::string(buffer) : std::string();
}

std::string Win32SystemInfo::UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD cbNeeded = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &cbNeeded);
  std::string buffer(cbNeeded, '\0');
  std::string sid;
  if (cbNeeded && GetTokenInformation(token, TokenUser, buffer.data(), cbNeeded, &cbNeeded))
    StringOfSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, sid);
  CloseHandle(token);
  return sid;
}

OsVersionInfo Win32SystemInfo::OsVersion() {
  OsVersionInfo info;
  RTL_OSVERSIONINFOEXW version;
  if (ReadRealVersion(version)) {
    info.dwMajorVersion = version.dwMajorVersion;
    info.dwMinorVersion = version.dwMinorVersion;
    info.dwBuildNumber = version.dwBuildNumber;
    info.dwPlatformId = version.dwPlatformId;
    info.szCSDVersion = AnsiFromWide(version.szCSDVersion);
    info.wServicePackMajor = version.wServicePackMajor;
    info.wServicePackMinor = version.wServicePackMinor;
    info.wSuiteMask = version.wSuiteMask;
    info.wProductType = version.wProductType;
  }
  info.name = ProductNameOf(info.dwBuildNumber);
  info.b64Bit = Is64BitWindows();
  info.displayString = DisplayStringOf(info);
  return info;
}

uint32_t Win32SystemInfo::LookupAccountSid(const std::string& sid, std::string& name,
                                           std::string& domain) {
  const SidFromString binarySid(sid);
  if (!binarySid.Get()) return binarySid.Error();
  return LookupWithBuffers(
      [&](char* pszName, DWORD& nName, char* pszDomain, DWORD& nDomain) {
        SID_NAME_USE use;
        return LookupAccountSidA(nullptr, binarySid.Get(), pszName, &nName, pszDomain, &nDomain,
                                 &use);
      },
      name, domain);
}

uint32_t Win32SystemInfo::LookupAccountName(const std::string& name, std::string& sid) {
  const std::string qualifiedName = WithComputerForDot(name, ComputerName());
  std::string binarySid;
  std::string domain;
  const uint32_t err = LookupWithBuffers(
      [&](char* sidBuffer, DWORD& cbSid, char* pszDomain, DWORD& nDomain) {
        SID_NAME_USE use;
        return LookupAccountNameA(nullptr, qualifiedName.c_str(), sidBuffer, &cbSid, pszDomain,
                                  &nDomain, &use);
      },
      binarySid, domain, false);
  return err ? err : StringOfSid(binarySid.data(), sid);
}

uint32_t Win32SystemInfo::GetSpecialFolder(SpecialFolder folder, std::string& path) {
  path.clear();
  switch (folder) {
    case SpecialFolder::Windows:
      return ReadDirectory(GetWindowsDirectoryA, path);
    case SpecialFolder::System:
      return ReadDirectory(GetSystemDirectoryA, path);
    case SpecialFolder::SystemX86:
      return ReadSystemX86Directory(path);
    case SpecialFolder::Temp:
      return ReadTempDirectory(path);
    default:
      break;
  }
  for (const FolderSource& source : kKnownFolders)
    if (source.folder == folder) return ReadKnownFolder(*source.knownFolder, path);
  return ERROR_FILE_NOT_FOUND;
}

uint16_t Win32SystemInfo::UiLanguage() {
  return GetUserDefaultUILanguage();
}

uint32_t Win32SystemInfo::DefaultLocale() {
  return GetUserDefaultLCID();
}

InternationalSettings Win32SystemInfo::International() {
  const InternationalSettings defaults;
  InternationalSettings settings;
  settings.sDate = LocaleText(LOCALE_SDATE, defaults.sDate);
  settings.sTime = LocaleText(LOCALE_STIME, defaults.sTime);
  settings.sShortDate = LocaleText(LOCALE_SSHORTDATE, defaults.sShortDate);
  settings.sLongDate = LocaleText(LOCALE_SLONGDATE, defaults.sLongDate);
  settings.sTimeFormat = LocaleText(LOCALE_STIMEFORMAT, defaults.sTimeFormat);
  settings.sDecimal = LocaleText(LOCALE_SDECIMAL, defaults.sDecimal);
  settings.sList = LocaleText(LOCALE_SLIST, defaults.sList);
  return settings;
}

// A battery that is there (BatteryFlag 128 is "no system battery", 255 "unknown"), or a lid.
bool Win32SystemInfo::IsLaptop() {
  SYSTEM_POWER_STATUS status;
  if (GetSystemPowerStatus(&status) && status.BatteryFlag != 128 && status.BatteryFlag != 255)
    return true;
  SYSTEM_POWER_CAPABILITIES capabilities;
  return GetPwrCapabilities(&capabilities) && capabilities.LidPresent;
}

}  // namespace platform::win32
