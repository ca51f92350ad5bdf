// One table maps each variable to its special folder; the four folders below the Programs menu
// carry their localized names, as the shell creates them in the machine's language.
#include "engine/shell_folder_variables.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

using platform::SpecialFolder;

struct FolderRow {
  std::string_view variable;
  SpecialFolder folder;
};

constexpr std::array<FolderRow, 66> kFolders = {{
    {"Fonts", SpecialFolder::Fonts},
    {"UserProfiles", SpecialFolder::UserProfiles},
    {"UserProfile", SpecialFolder::UserProfile},
    {"LocalSettings", SpecialFolder::LocalAppData},
    {"LocalizedResourcesDir", SpecialFolder::LocalizedResources},
    {"ResourcesDir", SpecialFolder::Resources},
    {"ProgramFilesDirX86", SpecialFolder::ProgramFilesX86},
    {"CommonFilesDirX86", SpecialFolder::CommonFilesX86},
    {"Desktop", SpecialFolder::Desktop},
    {"Favorites", SpecialFolder::Favorites},
    {"NetHood", SpecialFolder::NetHood},
    {"Personal", SpecialFolder::Personal},
    {"Programs", SpecialFolder::Programs},
    {"Recent", SpecialFolder::Recent},
    {"SendTo", SpecialFolder::SendTo},
    {"StartMenu", SpecialFolder::StartMenu},
    {"Startup", SpecialFolder::Startup},
    {"Templates", SpecialFolder::Templates},
    {"AppData", SpecialFolder::AppData},
    {"PrintHood", SpecialFolder::PrintHood},
    {"InternetCache", SpecialFolder::InternetCache},
    {"Cookies", SpecialFolder::Cookies},
    {"History", SpecialFolder::History},
    {"AdminTools", SpecialFolder::AdminTools},
    {"CDBurnArea", SpecialFolder::CDBurnArea},
    {"LocalAppData", SpecialFolder::LocalAppData},
    {"MyMusic", SpecialFolder::MyMusic},
    {"MyPictures", SpecialFolder::MyPictures},
    {"MyVideo", SpecialFolder::MyVideo},
    {"UserDesktop", SpecialFolder::Desktop},
    {"UserPrograms", SpecialFolder::Programs},
    {"UserStartMenu", SpecialFolder::StartMenu},
    {"UserStartup", SpecialFolder::Startup},
    {"CommonDesktop", SpecialFolder::CommonDesktop},
    {"CommonPrograms", SpecialFolder::CommonPrograms},
    {"CommonStartMenu", SpecialFolder::CommonStartMenu},
    {"CommonStartup", SpecialFolder::CommonStartup},
    {"CommonAdminTools", SpecialFolder::CommonAdminTools},
    {"CommonAppData", SpecialFolder::CommonAppData},
    {"CommonDocuments", SpecialFolder::CommonDocuments},
    {"CommonFavorites", SpecialFolder::CommonFavorites},
    {"CommonTemplates", SpecialFolder::CommonTemplates},
    {"CommonMusic", SpecialFolder::CommonMusic},
    {"CommonPictures", SpecialFolder::CommonPictures},
    {"CommonVideo", SpecialFolder::CommonVideo},
    {"CommonOEMLinks", SpecialFolder::CommonOEMLinks},
    {"Contacts", SpecialFolder::Contacts},
    {"Downloads", SpecialFolder::Downloads},
    {"GameTasks", SpecialFolder::GameTasks},
    {"Links", SpecialFolder::Links},
    {"LocalAppDataLow", SpecialFolder::LocalAppDataLow},
    {"OriginalImages", SpecialFolder::OriginalImages},
    {"PhotoAlbums", SpecialFolder::PhotoAlbums},
    {"Playlists", SpecialFolder::Playlists},
    {"Public", SpecialFolder::Public},
    {"PublicDownloads", SpecialFolder::PublicDownloads},
    {"PublicGameTasks", SpecialFolder::PublicGameTasks},
    {"QuickLaunch", SpecialFolder::QuickLaunch},
    {"SampleMusic", SpecialFolder::SampleMusic},
    {"SamplePictures", SpecialFolder::SamplePictures},
    {"SamplePlaylists", SpecialFolder::SamplePlaylists},
    {"SampleVideos", SpecialFolder::SampleVideos},
    {"SavedGames", SpecialFolder::SavedGames},
    {"SavedSearches", SpecialFolder::SavedSearches},
    {"SidebarDefaultParts", SpecialFolder::SidebarDefaultParts},
    {"SidebarParts", SpecialFolder::SidebarParts},
}};

struct ProgramsNames {
  const char* accessories;
  const char* games;
  const char* multimedia;   // below Accessories
  const char* systemTools;  // below Accessories
};

ProgramsNames NamesFor(uint16_t wLanguage) {
  switch (wLanguage & 0x3FF) {
    case 0x07:
      return {"Zubeh\xF6r", "Spiele", "Unterhaltungsmedien", "Systemprogramme"};
    case 0x0C:
      return {"Accessoires", "Jeux", "Divertissement", "Outils syst\xE8me"};
    default:
      return {"Accessories", "Games", "Entertainment", "System Tools"};
  }
}

}  // namespace

void FillShellFolders(SetupRun& run) {
  std::string path;
  for (const FolderRow& row : kFolders) {
    if (run.machine.System().GetSpecialFolder(row.folder, path) != platform::ERROR_SUCCESS)
      path.clear();
    run.variables.Set(row.variable, path);
  }
  const std::string programs = run.variables.Get("Programs");
  const ProgramsNames names = NamesFor(run.machine.System().UiLanguage());
  const std::string accessories = programs + "\\" + names.accessories;
  run.variables.Set("Accessories", accessories);
  run.variables.Set("Games", programs + "\\" + names.games);
  run.variables.Set("Multimedia", accessories + "\\" + names.multimedia);
  run.variables.Set("SystemTools", accessories + "\\" + names.systemTools);
}

}  // namespace tarvium
