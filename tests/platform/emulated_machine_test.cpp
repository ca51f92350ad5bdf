// The emulated machine as a whole: its creation, the environment and system answers it gives,
// and what its restart does.
// The layout of a fresh machine's registry and the 32-bit view of HKEY_CLASSES_ROOT, case by case
// as Wine's advapi32 conformance tests check them against Windows 7 and later: the keys every
// Windows has, Classes shared between the views but for its COM and media keys, and
// Classes\Wow6432Node as the 32-bit half of those keys.
// machine.ini: every field survives a save and a load, a hand-edited file is read over the
// defaults, and mistakes are reported with their line.
// Power requests recorded in a real machine directory, and the time conversions checked against
// the host's own calendar (timegm) on dates where calendars go wrong: the FILETIME epoch, leap
// days, the Unix epoch, dates before it, and the ends of the ranges.
#include "platform/emulated/machine/emulated_machine.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>
#include <algorithm>
#include <string>
#include <tuple>

#include "platform/ansi_case.h"
#include "platform/emulated/machine/host_clock.h"
#include "platform/emulated/machine/machine_config.h"
#include "platform/emulated/machine/machine_power.h"
#include "platform/emulated/machine/machine_reboot.h"
#include "platform/pending_file_renames.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform::emulated {
namespace {

using tarvium::test::TestMachine;

std::string Env(Machine& machine, const std::string& name) {
  std::string value;
  return machine.Env().GetVariable(name, value) == ERROR_SUCCESS ? value : "<unset>";
}

std::string Folder(Machine& machine, SpecialFolder folder) {
  std::string path;
  return machine.System().GetSpecialFolder(folder, path) == ERROR_SUCCESS ? path : "<none>";
}

TEST(EmulatedMachine, CreationLaysOutFoldersRegistryAndIdentity) {
  TestMachine test({"Anna", "BUILD-01", 0x0407});
  EmulatedMachine& machine = test.Machine();
  const char* folders[] = {
      "C:\\Windows\\System32",
      "C:\\Windows\\SysWOW64",
      "C:\\Windows\\Fonts",
      "C:\\Program Files (x86)\\Common Files",
      "C:\\ProgramData",
      "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
      "C:\\Users\\Public\\Desktop",
      "C:\\Windows\\Temp"};
  for (const char* folder : folders) EXPECT_TRUE(machine.Files().DirectoryExists(folder)) << folder;

  // The registry names the same folders the file system has.
  const std::string userShellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  EXPECT_EQ(test.RegString(RegRoot::CurrentUser, userShellFolders, "Desktop"),
            Folder(machine, SpecialFolder::Desktop));
  EXPECT_TRUE(machine.Files().DirectoryExists(Folder(machine, SpecialFolder::Desktop)));
  EXPECT_EQ(test.RegString(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           "ProgramFilesDir (x86)"),
            Folder(machine, SpecialFolder::ProgramFilesX86));
  EXPECT_EQ(test.RegString(RegRoot::LocalMachine,
                           "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", "InstallLanguage"),
            "0407");
  EXPECT_EQ(test.RegString(RegRoot::CurrentUser, "Control Panel\\International", "sShortDate"),
            "dd.MM.yyyy");
  EXPECT_EQ(machine.System().International().sDate, ".");
  EXPECT_EQ(machine.System().UserName(), "Anna");
  EXPECT_EQ(machine.System().ComputerName(), "BUILD-01");

  // The same identity gives the same SID; a second creation in the same place is refused.
  TestMachine twin({"Anna", "BUILD-01", 0x0407});
  EXPECT_EQ(twin.Machine().System().UserSid(), machine.System().UserSid());
  EXPECT_EQ(machine.System().UserSid().rfind("S-1-5-21-", 0), 0u);
  std::string error;
  EXPECT_FALSE(EmulatedMachine::Create(test.Path(), {}, error));
  EXPECT_NE(error.find("already holds a machine"), std::string::npos);

  // Opening an empty directory lays out a default machine first.
  tarvium::test::TempDir empty;
  auto fresh = EmulatedMachine::Open(empty.Path() + "/new", {}, error);
  ASSERT_TRUE(fresh) << error;
  EXPECT_EQ(fresh->System().UserName(), "User");
  EXPECT_TRUE(fresh->Files().DirectoryExists("C:\\Users\\User\\Documents"));
}

TEST(EmulatedMachine, EnvironmentAsAWindowsProcessSeesIt) {
  TestMachine test({}, {"HOME=/root", "PATH=/usr/bin", "LC_ALL=C", "USERNAME=root",
                        "CalledFromService=1", "Build_Tag=nightly"});
  EmulatedMachine& machine = test.Machine();
  EXPECT_EQ(Env(machine, "userprofile"), "C:\\Users\\User");
  EXPECT_EQ(Env(machine, "USERNAME"), "User") << "the machine's own names win over the host's";
  EXPECT_EQ(Env(machine, "TEMP"), "C:\\Users\\User\\AppData\\Local\\Temp")
      << "the user's TEMP, expanded, replaces the machine's";
  EXPECT_EQ(Env(machine, "windir"), "C:\\Windows");
  EXPECT_EQ(Env(machine, "ProgramFiles(x86)"), "C:\\Program Files (x86)");
  EXPECT_EQ(Env(machine, "Path"),
            "C:\\Windows\\system32;C:\\Windows;C:\\Windows\\system32\\wbem;"
            "C:\\Windows\\system32\\WindowsPowershell\\v1.0");
  EXPECT_EQ(Env(machine, "HOME"), "<unset>");
  EXPECT_EQ(Env(machine, "LC_ALL"), "<unset>");
  EXPECT_EQ(Env(machine, "CALLEDFROMSERVICE"), "1");
  EXPECT_EQ(Env(machine, "Build_Tag"), "nightly");

  Environment& env = machine.Env();
  EXPECT_EQ(env.ExpandEnvironmentStrings("%SystemRoot%\\x;%NOPE%;100%;%%;%windir%%windir%"),
            "C:\\Windows\\x;%NOPE%;100%;%%;C:\\WindowsC:\\Windows");
  ASSERT_EQ(env.SetVariable("zeta", "1"), ERROR_SUCCESS);
  ASSERT_EQ(env.SetVariable("ZETA", "2"), ERROR_SUCCESS);
  EXPECT_EQ(Env(machine, "Zeta"), "2");
  const std::vector<std::string> block = env.Block();
  EXPECT_TRUE(
      std::is_sorted(block.begin(), block.end(), [](const std::string& a, const std::string& b) {
        return AnsiUpper(a.substr(0, a.find('='))) < AnsiUpper(b.substr(0, b.find('=')));
      }));
  EXPECT_EQ(std::count(block.begin(), block.end(), "zeta=2"), 1) << "the first spelling stays";
  EXPECT_EQ(env.DeleteVariable("ZETA"), ERROR_SUCCESS);
  EXPECT_EQ(env.DeleteVariable("ZETA"), ERROR_ENVVAR_NOT_FOUND);
  EXPECT_EQ(env.SetVariable("A=B", "x"), ERROR_INVALID_PARAMETER);
}

TEST(EmulatedMachine, AccountNamesFollowTheMachineLanguage) {
  TestMachine french({"Marie", "PC-PARIS", 0x040C});
  SystemInfo& system = french.Machine().System();
  std::string name, domain, sid;
  ASSERT_EQ(system.LookupAccountSid("S-1-5-32-544", name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name, "Administrateurs");
  EXPECT_EQ(domain, "BUILTIN");
  ASSERT_EQ(system.LookupAccountSid("S-1-5-18", name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name, "Syst\xE8me");
  ASSERT_EQ(system.LookupAccountSid(system.UserSid(), name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "Marie@PC-PARIS");
  EXPECT_EQ(system.LookupAccountSid("S-1-5-21-1-2-3-500", name, domain), ERROR_NONE_MAPPED);

  EXPECT_EQ(system.LookupAccountName("tout le monde", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, "S-1-1-0");
  EXPECT_EQ(system.LookupAccountName("pc-paris\\marie", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, system.UserSid());
  EXPECT_EQ(system.LookupAccountName(".\\Marie", sid), ERROR_SUCCESS);
  EXPECT_EQ(system.LookupAccountName("OTHER\\Marie", sid), ERROR_NONE_MAPPED);
  EXPECT_EQ(system.LookupAccountName("Everyone", sid), ERROR_NONE_MAPPED)
      << "English name on French Windows";
}

TEST(EmulatedMachine, RebootCarriesOutPendingRenamesRunOnceAndClearsTheRequest) {
  TestMachine test;
  EmulatedMachine& machine = test.Machine();
  FileSystem& files = machine.Files();
  // A deferred replacement: the scenario copy-in-use-replaced-at-restart.
  ASSERT_EQ(files.WriteWholeFile("C:\\stale.tmp", "x"), ERROR_SUCCESS);
  ASSERT_EQ(files.MoveFileEx("C:\\stale.tmp", "", MOVEFILE_DELAY_UNTIL_REBOOT), ERROR_SUCCESS);
  ASSERT_EQ(machine.Reg().CreateKey(RegRoot::CurrentUser, "Volatile Environment", true),
            ERROR_SUCCESS);

  // A RunOnce command: a host script inside the machine that leaves a mark.
  test.WriteScript("C:\\Windows\\mark.sh", "echo ran > \"$1\"\nexit 7");
  const std::string command = "C:\\Windows\\mark.sh " + test.Path() + "/mark.txt";
  const std::string runOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  test.SetRegString(RegRoot::LocalMachine, runOnce, "Mark", command);
  ASSERT_EQ(machine.PowerRequests().ExitWindows(EWX_REBOOT, 0), ERROR_SUCCESS);

  const std::vector<RebootStep> steps = RebootMachine(machine);
  EXPECT_FALSE(files.FileExists("C:\\stale.tmp"));
  std::vector<PendingFileRename> pending;
  EXPECT_EQ(ReadPendingFileRenames(machine.Reg(), pending), ERROR_SUCCESS);
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(machine.Reg().OpenKey(RegRoot::CurrentUser, "Volatile Environment"),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(test.RegString(RegRoot::LocalMachine, runOnce, "Mark"), "") << "RunOnce runs once";
  EXPECT_EQ(tarvium::test::ReadHostFile(test.Path() + "/mark.txt"), "ran\n");
  const auto run = std::find_if(steps.begin(), steps.end(), [](const RebootStep& step) {
    return step.what.find("RunOnce\\Mark") != std::string::npos;
  });
  ASSERT_NE(run, steps.end());
  EXPECT_EQ(run->dwResult, 7u);
  PowerRequest request;
  EXPECT_EQ(machine.PowerRequests().GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::None);
}

using enum RegRoot;

TEST(RegistryWineTest, AFreshMachineHasTheKeysEveryWindowsHas) {
  TestMachine test;
  Registry& reg = test.Machine().Reg();
  const std::pair<RegRoot, const char*> keys[] = {
      {ClassesRoot, "CLSID"},
      {ClassesRoot, "Interface"},
      {ClassesRoot, "TypeLib"},
      {ClassesRoot, "AppID"},
      {ClassesRoot, "*"},
      {CurrentConfig, "Software"},
      {CurrentConfig, "System"},
      {LocalMachine, "HARDWARE"},
      {LocalMachine, "SAM"},
      {LocalMachine, "SECURITY"},
      {LocalMachine, "SOFTWARE\\Classes\\CLSID"},
      {LocalMachine, "SOFTWARE\\Policies"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Control"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Services"},
      {LocalMachine, "SYSTEM\\CurrentControlSet\\Enum"},
      {CurrentUser, "Software\\Classes"},
      {CurrentUser, "Control Panel"},
      {CurrentUser, "Environment"},
      {Users, ".DEFAULT"},
  };
  for (const auto& [root, key] : keys)
    EXPECT_EQ(reg.OpenKey(root, key), ERROR_SUCCESS) << static_cast<int>(root) << " " << key;
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "CLSID", RegView::View32), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "Interface", RegView::View32), ERROR_SUCCESS);
}

TEST(RegistryWineTest, ClassesAreSharedButTheirComKeysAreRedirected) {
  TestMachine test;
  Registry& reg = test.Machine().Reg();
  const RegValue text{REG_SZ, {'t', 'v', 'x', 0}};
  // A file association written by a 32-bit program, through either name of Classes.
  ASSERT_EQ(reg.CreateKey(ClassesRoot, ".tvx", false, RegView::View32), ERROR_SUCCESS);
  ASSERT_EQ(reg.SetValue(ClassesRoot, ".tvx", "", text, RegView::View32), ERROR_SUCCESS);
  ASSERT_EQ(
      reg.CreateKey(LocalMachine, "Software\\Classes\\tvxfile\\shell", false, RegView::View32),
      ERROR_SUCCESS);
  for (RegView view : {RegView::Default, RegView::View32, RegView::View64}) {
    RegValue read;
    EXPECT_EQ(reg.QueryValue(LocalMachine, "Software\\Classes\\.tvx", "", read, view),
              ERROR_SUCCESS);
    EXPECT_EQ(read.data, text.data);
    EXPECT_EQ(reg.OpenKey(ClassesRoot, "tvxfile\\shell", view), ERROR_SUCCESS);
  }
  EXPECT_EQ(reg.OpenKey(LocalMachine, "Software\\WOW6432Node\\Classes\\.tvx"),
            ERROR_FILE_NOT_FOUND);

  struct Case {
    const char* key;
    bool bRedirected;
  };
  const Case cases[] = {
      {"CLSID\\{11111111-2222-3333-4444-555555555555}", true},
      {"Interface\\{11111111-2222-3333-4444-555555555555}", true},
      {"DirectShow\\Filters", true},
      {"Media Type\\Extensions", true},
      {"MediaFoundation\\Transforms", true},
      {"TypeLib\\{11111111-2222-3333-4444-555555555555}", false},
      {"AppID\\{11111111-2222-3333-4444-555555555555}", false},
      {"CLSIDX\\Shared", false},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(reg.CreateKey(ClassesRoot, c.key, false, RegView::View32), ERROR_SUCCESS) << c.key;
    const std::string key64 = std::string("Software\\Classes\\") + c.key;
    const std::string key32 = std::string("Software\\Classes\\Wow6432Node\\") + c.key;
    EXPECT_EQ(reg.OpenKey(LocalMachine, key64) == ERROR_SUCCESS, !c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(LocalMachine, key32) == ERROR_SUCCESS, c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, c.key) == ERROR_SUCCESS, !c.bRedirected) << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, std::string("Wow6432Node\\") + c.key) == ERROR_SUCCESS,
              c.bRedirected)
        << c.key;
    EXPECT_EQ(reg.OpenKey(ClassesRoot, c.key, RegView::View32), ERROR_SUCCESS) << c.key;
  }
  // Classes\Wow6432Node and WOW6432Node\Classes are one key.
  ASSERT_EQ(reg.CreateKey(LocalMachine, "Software\\Classes\\Wow6432Node\\CLSID\\{B}"),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(LocalMachine, "Software\\WOW6432Node\\Classes\\CLSID\\{B}"), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKey(ClassesRoot, "CLSID\\{B}", RegView::View32), ERROR_SUCCESS);
}

TEST(MachineConfig, EveryFieldSurvivesSaveAndLoad) {
  MachineConfig config;
  config.szComputerName = "BUILD-07";
  config.szDomain = "CORP";
  config.szUserName = "J\xFCrgen";  // ü in the ANSI code page, UTF-8 in the file
  config.szUserSid = "S-1-5-21-1-2-3-1105";
  config.szDomainController = "DC01";
  config.dwMajorVersion = 6;
  config.dwMinorVersion = 1;
  config.dwBuildNumber = 7601;
  config.szCSDVersion = "Service Pack 1";
  config.wServicePackMajor = 1;
  config.wServicePackMinor = 2;
  config.wSuiteMask = 0x0110;
  config.wProductType = 3;
  config.szProductName = "Windows Server 2008 R2 Enterprise";
  config.szEditionId = "ServerEnterprise";
  config.szDisplayVersion = "";
  config.b64Bit = false;
  config.wUILanguage = 0x0407;
  config.lcidLocale = 0x040C;
  config.szWindowsDir = "D:\\WINNT";
  config.szTempDir = "D:\\Temp";
  config.drives = {{'D', "d/", false}, {'C', "/mnt/c", true}};
  config.shares = {{"FileServer", "Setup$", "shares/setup", true}};
  config.adapters = {
      {"LAN 1", "NIC \xAE", "00-11-22-33-44-55", "10.0.0.5", "255.0.0.0", "10.0.0.1", false},
      {"LAN 2", "", "00-11-22-33-44-56", "", "", "", true}};

  tarvium::test::TempDir dir;
  const std::string file = dir.Path() + "/machine.ini";
  std::string error;
  ASSERT_TRUE(SaveMachineConfig(file, config, error)) << error;
  MachineConfig loaded;
  ASSERT_TRUE(LoadMachineConfig(file, loaded, error)) << error;
  EXPECT_EQ(FormatMachineConfig(loaded), FormatMachineConfig(config));
  EXPECT_EQ(loaded.szUserName, config.szUserName);
  EXPECT_EQ(loaded.drives[1].cLetter, 'C');
  EXPECT_TRUE(loaded.drives[1].bReadOnly);
  EXPECT_EQ(loaded.shares[0].share, "Setup$");
  EXPECT_EQ(loaded.adapters[0].description, "NIC \xAE");
  EXPECT_EQ(loaded.IpAddresses(), (std::vector<std::string>{"10.0.0.5"}));
  EXPECT_EQ(loaded.TempDir(), "D:\\Temp");
  EXPECT_EQ(loaded.DisplayString(),
            "Windows Server 2008 R2 Enterprise Service Pack 1 (build 7601), 32-bit");
  EXPECT_NE(FormatMachineConfig(loaded).find("UserName=J\xC3\xBCrgen"), std::string::npos);
}

TEST(MachineConfig, HandEditedFileIsReadOverTheDefaultsAndMistakesNameTheirLine) {
  MachineConfig config;
  std::string error;
  ASSERT_TRUE(
      ParseMachineConfig("[identity]\n"
                         "username = Admin\n"
                         "; a comment\n"
                         "[LANGUAGE]\n"
                         "UILanguage=1031\n"
                         "[Share \\\\srv\\pub]\n"
                         "HostDir=/srv/pub\n"
                         "[Unknown]\n"
                         "Key=ignored\n",
                         config, error))
      << error;
  EXPECT_EQ(config.szUserName, "Admin");
  EXPECT_EQ(config.wUILanguage, 0x0407);
  EXPECT_EQ(config.dwBuildNumber, 19045u);  // untouched default
  EXPECT_EQ(config.TempDir(), "C:\\Users\\Admin\\AppData\\Local\\Temp");
  EXPECT_EQ(config.DisplayString(), "Windows 10 Pro 22H2 (build 19045), 64-bit");
  ASSERT_EQ(config.drives.size(), 2u);  // no drive given: C: and Z:
  EXPECT_EQ(config.drives[1].hostDir, "/");
  ASSERT_EQ(config.shares.size(), 1u);
  EXPECT_TRUE(config.shares[0].bReadOnly);

  const std::pair<const char*, const char*> mistakes[] = {
      {"[System]\nBuildNumber=19x45\n", "line 2"},
      {"\n[Language]\nUILanguage=0x10000\n", "line 3"},
      {"[System]\nIs64Bit=maybe\n", "line 2"},
      {"[Drive CD]\nHostDir=x\n", "line 2"},
      {"[Drive E]\nReadOnly=yes\n", "[Drive E] has no HostDir"},
      {"[Share \\\\srv]\nHostDir=x\n", "line 2"},
      {"[Adapter A]\nMacAddress=00-11-22-33-44\n", "line 2"},
      {"[Adapter A]\nMacAddress=00-11:22-33-44-55\n", "line 2"},
      {"[Adapter A]\nMacAddress=0011223344GG\n", "line 2"},
      {"[Adapter A]\n\nIpAddress=10.0.0.256\n", "line 3"},
      {"[Adapter A]\nIpAddress=10.0.0\n", "line 2"},
  };
  for (const auto& [text, where] : mistakes) {
    MachineConfig bad;
    EXPECT_FALSE(ParseMachineConfig(text, bad, error)) << text;
    EXPECT_NE(error.find(where), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadMachineConfig("/nonexistent/machine.ini", config, error));
}

TEST(MachinePower, RecordsOneRequestUntilCleared) {
  tarvium::test::TempDir machine;
  const std::string file = machine.Path() + "/power_request.txt";
  MachinePower power(file);
  PowerRequest request;
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::None);

  ASSERT_EQ(power.ExitWindows(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_MAJOR_SOFTWARE),
            ERROR_SUCCESS);
  // The machine is going down: a later request is refused and the first one stays.
  EXPECT_EQ(power.ExitWindows(EWX_LOGOFF, 0), ERROR_SHUTDOWN_IN_PROGRESS);
  ASSERT_EQ(MachinePower(file).GetPowerRequest(request), ERROR_SUCCESS);  // another process
  EXPECT_EQ(request.action, PowerAction::Restart);
  EXPECT_TRUE(request.bForce);
  EXPECT_EQ(request.dwReason, SHTDN_REASON_MAJOR_SOFTWARE);

  const std::pair<uint32_t, PowerAction> kinds[] = {
      {EWX_LOGOFF, PowerAction::LogOff},
      {EWX_SHUTDOWN, PowerAction::Shutdown},
      {EWX_POWEROFF | EWX_REBOOT, PowerAction::PowerOff}};
  for (const auto& [uFlags, action] : kinds) {
    ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
    ASSERT_EQ(power.ExitWindows(uFlags, 0), ERROR_SUCCESS);
    ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
    EXPECT_EQ(request.action, action) << uFlags;
    EXPECT_FALSE(request.bForce);
  }

  ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
  const std::string message = "Restarting for\nSetup \\ Demo\\n";
  ASSERT_EQ(power.InitiateSystemShutdown(message, 30, false, true, 7), ERROR_SUCCESS);
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::Restart);
  EXPECT_EQ(request.message, message);
  EXPECT_EQ(request.nDelaySeconds, 30u);
  EXPECT_EQ(request.dwReason, 7u);
  ASSERT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);
  EXPECT_EQ(power.ClearPowerRequest(), ERROR_SUCCESS);  // nothing left to clear is no error
  ASSERT_EQ(power.GetPowerRequest(request), ERROR_SUCCESS);
  EXPECT_EQ(request.action, PowerAction::None);

  EXPECT_EQ(MachinePower(machine.Path() + "/no/such/dir/file").ExitWindows(EWX_REBOOT, 0),
            ERROR_PATH_NOT_FOUND);
}

// Unix seconds of a UTC date by the host's calendar.
int64_t HostUnixTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond) {
  tm date{};
  date.tm_year = nYear - 1900;
  date.tm_mon = nMonth - 1;
  date.tm_mday = nDay;
  date.tm_hour = nHour;
  date.tm_min = nMinute;
  date.tm_sec = nSecond;
  return static_cast<int64_t>(::timegm(&date));
}

TEST(Clock, ConvertsCalendarTimesBothWays) {
  const SystemTime dates[] = {
      {1601, 1, 0, 1, 0, 0, 0, 0},   {1700, 2, 0, 28, 23, 59, 59, 999},
      {1900, 3, 0, 1, 0, 0, 0, 0},   {1969, 12, 0, 31, 23, 59, 59, 500},
      {1970, 1, 0, 1, 0, 0, 0, 0},   {2000, 2, 0, 29, 12, 34, 56, 789},
      {2038, 1, 0, 19, 3, 14, 8, 0}, {2100, 3, 0, 1, 0, 0, 0, 1},
  };
  for (const SystemTime& date : dates) {
    uint64_t ftTime = 0;
    ASSERT_TRUE(SystemTimeToFileTime(date, ftTime)) << date.wYear;
    EXPECT_EQ(ftTime == 0, date.wYear == 1601) << "FILETIME 0 is 1601-01-01, a Monday";
    int64_t nSeconds = 0;
    uint32_t nNanoseconds = 0;
    FileTimeToUnixTime(ftTime, nSeconds, nNanoseconds);
    EXPECT_EQ(nSeconds, HostUnixTime(date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute,
                                     date.wSecond))
        << date.wYear;
    EXPECT_EQ(nNanoseconds, date.wMilliseconds * 1000000u);
    uint64_t ftBack = 0;
    ASSERT_TRUE(UnixTimeToFileTime(nSeconds, nNanoseconds, ftBack));
    EXPECT_EQ(ftBack, ftTime);
    SystemTime back;
    ASSERT_TRUE(FileTimeToSystemTime(ftTime, back));
    EXPECT_EQ(std::tie(back.wYear, back.wMonth, back.wDay, back.wHour, back.wMinute, back.wSecond,
                       back.wMilliseconds),
              std::tie(date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute, date.wSecond,
                       date.wMilliseconds));
    const time_t host = static_cast<time_t>(nSeconds);
    tm hostDate{};
    ::gmtime_r(&host, &hostDate);
    EXPECT_EQ(back.wDayOfWeek, hostDate.tm_wday) << date.wYear;
  }

  // Invalid fields and the ends of the ranges, as Windows has them.
  uint64_t ftTime = 0;
  for (const SystemTime& bad :
       {SystemTime{2001, 2, 0, 29}, SystemTime{1900, 2, 0, 29}, SystemTime{2000, 13, 0, 1},
        SystemTime{2000, 1, 0, 1, 24}, SystemTime{1600, 12, 0, 31},
        SystemTime{2000, 1, 0, 1, 0, 0, 0, 1000}})
    EXPECT_FALSE(SystemTimeToFileTime(bad, ftTime)) << bad.wYear << "-" << bad.wMonth;
  SystemTime st;
  ASSERT_TRUE(FileTimeToSystemTime(0x7FFFFFFFFFFFFFFFULL, st));
  EXPECT_EQ(std::tie(st.wYear, st.wMonth, st.wDay),
            std::make_tuple(uint16_t{30828}, uint16_t{9}, uint16_t{14}));
  EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ULL, st));
  EXPECT_FALSE(UnixTimeToFileTime(HostUnixTime(1600, 12, 31, 23, 59, 59), 0, ftTime));
  EXPECT_FALSE(UnixTimeToFileTime(0, 1000000000, ftTime));
  // The 100 ns step: nanoseconds below it are dropped, not rounded.
  ASSERT_TRUE(UnixTimeToFileTime(-1, 999999999, ftTime));
  int64_t nSeconds = 0;
  uint32_t nNanoseconds = 0;
  FileTimeToUnixTime(ftTime, nSeconds, nNanoseconds);
  EXPECT_EQ(std::make_pair(nSeconds, nNanoseconds), std::make_pair(int64_t{-1}, 999999900u));
}

TEST(Clock, LocalTimeFollowsTheHostZone) {
  const char* pszOldZone = ::getenv("TZ");
  const std::string oldZone = pszOldZone ? pszOldZone : "";
  ::setenv("TZ", "TST-2", 1);  // two hours east of UTC, no daylight saving time
  ::tzset();
  HostClock clock;
  uint64_t ftUtc = 0, ftLocal = 0, ftBack = 0;
  ASSERT_TRUE(SystemTimeToFileTime({2000, 2, 0, 29, 23, 30}, ftUtc));
  ASSERT_EQ(clock.FileTimeToLocalFileTime(ftUtc, ftLocal), ERROR_SUCCESS);
  SystemTime local;
  ASSERT_TRUE(FileTimeToSystemTime(ftLocal, local));
  EXPECT_EQ(std::tie(local.wMonth, local.wDay, local.wHour),
            std::make_tuple(uint16_t{3}, uint16_t{1}, uint16_t{1}));
  ASSERT_EQ(clock.LocalFileTimeToFileTime(ftLocal, ftBack), ERROR_SUCCESS);
  EXPECT_EQ(ftBack, ftUtc);
  EXPECT_EQ(clock.LocalFileTimeToFileTime(0, ftBack), ERROR_INVALID_PARAMETER);

  // Local time is UTC plus the zone's offset; ticks never go back.
  SystemTime now;
  clock.GetLocalTime(now);
  const uint64_t ftUtcNow = clock.GetSystemTimeAsFileTime();
  uint64_t ftNow = 0;
  ASSERT_TRUE(SystemTimeToFileTime(now, ftNow));
  EXPECT_GT(ftNow, ftUtcNow + 3600ULL * 10000000);
  EXPECT_LE(ftNow, ftUtcNow + 7200ULL * 10000000);
  const uint64_t nTicks = clock.GetTickCount64();
  EXPECT_GE(clock.GetTickCount64(), nTicks);

  if (pszOldZone)
    ::setenv("TZ", oldZone.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace platform::emulated
