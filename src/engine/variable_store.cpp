// The predefined table in its fixed order and the buffers behind it. The order is the one every
// earlier release used; nothing depends on positions outside this file, but keeping it makes the
// table easy to compare when a name is added.
#include "engine/variable_store.h"

#include <array>
#include <unordered_map>

#include "platform/ansi_case.h"

namespace tarvium {
namespace {

// {name, holds a directory, shares the buffer of the entry before it}
constexpr std::array<PredefinedName, 169> kPredefined = {{
    {"ZQ58.SetupInfo.PackageGUID", false, false},
    {"SetupInf", true, false},
    {"SetupInfDir", true, false},
    {"ProductName", false, false},
    {"ProductNameShort", false, false},
    {"Version", false, false},
    {"InstalledVersion", false, false},
    {"VersionDirSuffix", false, false},
    {"Revision", false, false},
    {"InstalledRevision", false, false},
    {"DeveloperName", false, false},
    {"DeveloperNameShort", false, false},
    {"SetupName", false, false},
    {"Src", true, false},
    {"SrcDir", true, true},
    {"App", true, false},
    {"ApplicationDir", true, true},
    {"Client", true, false},
    {"ClientSrcDir", true, false},
    {"Data", true, false},
    {"DataDir", true, true},
    {"UserKeyName", false, false},
    {"MachineKeyName", false, false},
    {"UninstallKeyName", false, false},
    {"UninstallDisplayName", false, false},
    {"UninstallString", false, false},
    {"ReinstallString", false, false},
    {"Option", false, false},
    {"OptionName", false, false},
    {"OptionText", false, false},
    {"WindowsUser", false, false},
    {"User", false, false},
    {"Company", false, false},
    {"SetupBits", false, false},
    {"WindowsBits", false, false},
    {"WindowsName", false, false},
    {"WindowsVersion", false, false},
    {"SysDate", false, false},
    {"SysTime", false, false},
    {"LongSysTime", false, false},
    {"ExactSysTime", false, false},
    {"IsLaptop", false, false},
    {"Windows", true, false},
    {"System", true, false},
    {"System16", true, false},
    {"Shared", true, false},
    {"WriteableSystem", true, false},
    {"CLRDir", true, false},
    {"ProgramFilesDir", true, false},
    {"CommonFilesDir", true, false},
    {"ProgramFilesDirX86", true, false},
    {"CommonFilesDirX86", true, false},
    {"Fonts", true, false},
    {"PrintProcessorDir", true, false},
    {"PrinterDriverDir", true, false},
    {"UserProfiles", true, false},
    {"UserProfile", true, false},
    {"LocalSettings", true, false},
    {"LocalizedResourcesDir", true, false},
    {"ResourcesDir", true, false},
    {"ComputerName", false, false},
    {"DomainName", false, false},
    {"PrintServer", false, false},
    {"PrintEnvironment", false, false},
    {"MediaPath", true, false},
    {"Desktop", true, false},
    {"Favorites", true, false},
    {"NetHood", true, false},
    {"Personal", true, false},
    {"Programs", true, false},
    {"Recent", true, false},
    {"SendTo", true, false},
    {"StartMenu", true, false},
    {"Startup", true, false},
    {"Templates", true, false},
    {"AppData", true, false},
    {"PrintHood", true, false},
    {"InternetCache", true, false},
    {"Cookies", true, false},
    {"History", true, false},
    {"Accessories", true, false},
    {"Games", true, false},
    {"Multimedia", true, false},
    {"SystemTools", true, false},
    {"AdminTools", true, false},
    {"CDBurnArea", true, false},
    {"LocalAppData", true, false},
    {"MyMusic", true, false},
    {"MyPictures", true, false},
    {"MyVideo", true, false},
    {"AppPaths", false, false},
    {"UserDesktop", true, false},
    {"UserPrograms", true, false},
    {"UserStartMenu", true, false},
    {"UserStartup", true, false},
    {"CommonDesktop", true, false},
    {"CommonPrograms", true, false},
    {"CommonStartMenu", true, false},
    {"CommonStartup", true, false},
    {"CommonAdminTools", true, false},
    {"CommonAppData", true, false},
    {"CommonDocuments", true, false},
    {"CommonFavorites", true, false},
    {"CommonTemplates", true, false},
    {"CommonMusic", true, false},
    {"CommonPictures", true, false},
    {"CommonVideo", true, false},
    {"CommonOEMLinks", true, false},
    {"Contacts", true, false},
    {"Downloads", true, false},
    {"GameTasks", true, false},
    {"Links", true, false},
    {"LocalAppDataLow", true, false},
    {"OriginalImages", true, false},
    {"PhotoAlbums", true, false},
    {"Playlists", true, false},
    {"Public", true, false},
    {"PublicDownloads", true, false},
    {"PublicGameTasks", true, false},
    {"QuickLaunch", true, false},
    {"SampleMusic", true, false},
    {"SamplePictures", true, false},
    {"SamplePlaylists", true, false},
    {"SampleVideos", true, false},
    {"SavedGames", true, false},
    {"SavedSearches", true, false},
    {"SidebarDefaultParts", true, false},
    {"SidebarParts", true, false},
    {"OS.MajorVersion", false, false},
    {"OS.MinorVersion", false, false},
    {"OS.BuildNumber", false, false},
    {"OS.PlatformId", false, false},
    {"OS.CSDVersion", false, false},
    {"OS.ServicePackMajor", false, false},
    {"OS.ServicePackMinor", false, false},
    {"OS.SuiteMask", false, false},
    {"OS.ProductType", false, false},
    {"OS.Name", false, false},
    {"OS.DisplayString", false, false},
    {"$Everyone", false, false},
    {"$Local", false, false},
    {"$CreatorOwner", false, false},
    {"$Dialup", false, false},
    {"$Network", false, false},
    {"$Batch", false, false},
    {"$Interactive", false, false},
    {"$Service", false, false},
    {"$AuthenticatedUser", false, false},
    {"$LocalSystem", false, false},
    {"$DomainAdmin", false, false},
    {"$DomainGuest", false, false},
    {"$DomainAdmins", false, false},
    {"$DomainUsers", false, false},
    {"$LocalAdmins", false, false},
    {"$LocalUsers", false, false},
    {"$LocalGuests", false, false},
    {"$LocalPowerUsers", false, false},
    {"$LocalBackupOps", false, false},
    {"$LocalAccountOps", false, false},
    {"$LocalSystemOps", false, false},
    {"$LocalPrintOps", false, false},
    {"$LocalReplicator", false, false},
    {"$LocalRASServers", false, false},
    {"$LocalRemoteDesktopUsers", false, false},
    {"$LocalTSLicenseServers", false, false},
    {"$LocalDCOMUsers", false, false},
    {"$LocalIUsers", false, false},
    {"$LocalCertsvcDCOMAccessGroup", false, false},
    {"$SID", false, false},
}};

// Names are looked up in any case without making an upper-case copy first: copy lines ask for
// several directory variables each, and the copies cost more than the lookups.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const {
    size_t nHash = 14695981039346656037ULL;  // FNV-1a over the upper-case bytes
    for (const char c : name) {
      nHash ^= static_cast<unsigned char>(platform::AnsiUpperChar(c));
      nHash *= 1099511628211ULL;
    }
    return nHash;
  }
};

struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return platform::AnsiEqualNoCase(a, b);
  }
};

using NameIndex = std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual>;

const NameIndex& UpperIndex() {
  static const NameIndex index = [] {
    NameIndex built;
    for (size_t i = 0; i < kPredefined.size(); ++i)
      built.emplace(platform::AnsiUpper(kPredefined[i].name), static_cast<int>(i));
    return built;
  }();
  return index;
}

const std::string kEmpty;

}  // namespace

std::span<const PredefinedName> PredefinedNames() {
  return kPredefined;
}

VariableStore::VariableStore() {
  bufferOf_.reserve(kPredefined.size());
  for (const PredefinedName& entry : kPredefined) {
    if (!entry.bSharesBuffer) buffers_.emplace_back();
    bufferOf_.push_back(buffers_.size() - 1);
  }
}

int VariableStore::FindUpper(const std::string& upperName) const {
  const auto& index = UpperIndex();
  const auto found = index.find(upperName);
  return found == index.end() ? -1 : found->second;
}

int VariableStore::Find(std::string_view name) const {
  const auto& index = UpperIndex();
  const auto found = index.find(name);
  return found == index.end() ? -1 : found->second;
}

void VariableStore::SetAt(int index, std::string_view value) {
  const size_t nMax = kPredefined[index].bDirectory ? kDirectoryValueMax : kShortValueMax;
  buffers_[bufferOf_[index]].assign(value.substr(0, nMax));
}

const std::string& VariableStore::Get(std::string_view name) const {
  const int index = Find(name);
  return index < 0 ? kEmpty : ValueAt(index);
}

bool VariableStore::Set(std::string_view name, std::string_view value) {
  const int index = Find(name);
  if (index < 0) return false;
  SetAt(index, value);
  return true;
}

}  // namespace tarvium
