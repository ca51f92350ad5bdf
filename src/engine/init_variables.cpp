// The groups are filled in an order where later ones may use earlier ones: directories first
// (WriteableSystem and Shared fall back to the Windows directory), then the shell folders, which
// a run on behalf of the setup service overrides with its user's folders, then the user's name
// and identifier, the accounts and the date and time.
#include "engine/init_variables.h"

#include <string>

#include "engine/date_time_variables.h"
#include "engine/domain_accounts.h"
#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "engine/setup_service_user.h"
#include "engine/shell_folder_variables.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string SpecialFolder(SetupRun& run, platform::SpecialFolder folder) {
  std::string path;
  if (run.machine.System().GetSpecialFolder(folder, path) != platform::ERROR_SUCCESS) path.clear();
  return path;
}

std::string MachineValue(SetupRun& run, const std::string& key, const char* name,
                         const std::string& fallback) {
  std::string text;
  if (RegReadText(run, platform::RegRoot::LocalMachine, key, name, text) !=
          platform::ERROR_SUCCESS ||
      text.empty())
    return fallback;
  return text;
}

bool IsNt(SetupRun& run) {
  return RunOsVersion(run).dwPlatformId == 2;
}

void FillOsData(SetupRun& run) {
  const platform::OsVersionInfo& os = RunOsVersion(run);
  VariableStore& v = run.variables;
  v.Set("SetupBits", "64");
  v.Set("WindowsBits", "64");
  v.Set("WindowsName", os.dwPlatformId == 2 ? "Windows NT" : "Windows");
  v.Set("WindowsVersion",
        std::to_string(os.dwMajorVersion) + "." + std::to_string(os.dwMinorVersion));
  v.Set("OS.MajorVersion", std::to_string(os.dwMajorVersion));
  v.Set("OS.MinorVersion", std::to_string(os.dwMinorVersion));
  v.Set("OS.BuildNumber", std::to_string(os.dwBuildNumber));
  v.Set("OS.PlatformId", std::to_string(os.dwPlatformId));
  v.Set("OS.CSDVersion", os.szCSDVersion);
  v.Set("OS.ServicePackMajor", std::to_string(os.wServicePackMajor));
  v.Set("OS.ServicePackMinor", std::to_string(os.wServicePackMinor));
  v.Set("OS.SuiteMask", std::to_string(os.wSuiteMask));
  v.Set("OS.ProductType", std::to_string(os.wProductType));
  v.Set("OS.Name", os.name);
  v.Set("OS.DisplayString", os.displayString);
}

// The system directory, unless it lies outside the Windows directory and refuses a test file.
std::string WriteableSystem(SetupRun& run, const std::string& windows, const std::string& system) {
  if (platform::AnsiStartsWithNoCase(system, windows + "\\")) return system;
  const std::string testFile = system + "\\~~~~@@$$.tmp";
  platform::FileHandle hFile;
  if (run.machine.Files().CreateFile(testFile, platform::GENERIC_WRITE, platform::CREATE_ALWAYS,
                                     platform::FILE_ATTRIBUTE_NORMAL,
                                     hFile) != platform::ERROR_SUCCESS)
    return windows;
  run.machine.Files().CloseHandle(hFile);
  run.machine.Files().DeleteFile(testFile);
  return system;
}

// FindClrDirectory: the .NET Framework 4 runtime's directory, ending in a backslash; empty when the
// machine has none, so that the registration tool is then started by its bare name.
std::string FindClrDirectory(SetupRun& run) {
  std::string directory;
  if (run.machine.System().GetClrDirectory(directory) != platform::ERROR_SUCCESS) return {};
  return directory;
}

void FillDirectories(SetupRun& run) {
  VariableStore& v = run.variables;
  const std::string windows = SpecialFolder(run, platform::SpecialFolder::Windows);
  const std::string system = SpecialFolder(run, platform::SpecialFolder::System);
  v.Set("Windows", windows);
  v.Set("System", system);
  v.Set("System16", IsNt(run) ? windows + "\\System" : system);
  v.Set("Shared",
        MachineValue(run, std::string(kCurrentVersion) + "\\Setup", "SharedDir", windows));
  v.Set("WriteableSystem", WriteableSystem(run, windows, system));
  v.Set("ProgramFilesDir", MachineValue(run, kCurrentVersion, "ProgramFilesDir", ""));
  v.Set("CommonFilesDir", MachineValue(run, kCurrentVersion, "CommonFilesDir", windows));
  v.Set("CLRDir", FindClrDirectory(run));
  SetPrintDirectories(run, "", "");
  v.Set("PrintEnvironment", RunOsVersion(run).b64Bit ? "Windows x64" : "Windows NT x86");
  v.Set("MediaPath", windows + "\\Media");
  v.Set("AppPaths", std::string(kCurrentVersion) + "\\App Paths");
}

// WindowsUser: the service's user, replaced by the environment's "WindowsUser", else the
// logged-on user; $SID is that user's identifier.
void FillUser(SetupRun& run) {
  VariableStore& v = run.variables;
  if (const int nService = CalledFromService(run); nService != 0)
    TakeOverServiceUser(run, nService);
  std::string user;
  if (run.machine.Env().GetVariable("WindowsUser", user) == platform::ERROR_SUCCESS &&
      !user.empty())
    v.Set("WindowsUser", user);
  if (v.Get("WindowsUser").empty()) v.Set("WindowsUser", run.machine.System().UserName());
  std::string sid;
  if (run.machine.System().LookupAccountName(v.Get("WindowsUser"), sid) != platform::ERROR_SUCCESS)
    sid.clear();
  v.Set("$SID", sid);
}

}  // namespace

void SetPrintDirectories(SetupRun& run, const std::string& server, const std::string& environment) {
  platform::Spooler& spooler = run.machine.Printing();
  std::string dir;
  if (spooler.GetPrintProcessorDirectory(server, environment, dir) == platform::ERROR_SUCCESS)
    run.variables.Set("PrintProcessorDir", dir);
  if (spooler.GetPrinterDriverDirectory(server, environment, dir) == platform::ERROR_SUCCESS)
    run.variables.Set("PrinterDriverDir", dir);
}

bool InitVariables(SetupRun& run) {
  VariableStore& v = run.variables;
  FillOsData(run);
  FillDirectories(run);
  FillShellFolders(run);
  v.Set("ComputerName", run.machine.System().ComputerName());
  v.Set("DomainName", run.machine.System().DomainName());
  v.Set("IsLaptop", run.machine.System().IsLaptop() ? "1" : "0");
  FillUser(run);
  if (IsNt(run)) FillWellKnownAccounts(run);
  v.bShortcutPlaceholders = v.Get("StartMenu").find('?') != std::string::npos;
  RefreshDateTime(run);
  return true;
}

}  // namespace tarvium
