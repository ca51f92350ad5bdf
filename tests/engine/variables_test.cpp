// The variable store and its substitution on real temporary machines: the reference rules, the
// lookup order, predefined values on English and German machines and variable sections.
// The product identity read from setup information files on real temporary machines: first
// fields and the names that stand in for each other, format versions, numbers and switches with
// their defaults, flag lists, the registry key names and the user, company and shell-link
// fallbacks taken from the machine.
// The shared registry operations on a real machine: the types the writes choose, raw reads, the
// view read and its diagnostic, the tree delete that keeps or takes its key, the two prune walks
// and the current user's hive of a run on behalf of a user.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/date_time_variables.h"
#include "engine/inf_file.h"
#include "engine/inf_values.h"
#include "engine/init_variables.h"
#include "engine/product_identity.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "engine/variable_store.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

struct VariablesTest : ::testing::Test {
  test::TestMachine test;
  SetupRun run{test.Machine()};

  std::string Replaced(std::string text) {
    ReplaceVariables(run, text);
    return text;
  }
  void WriteValue(const std::string& key, const std::string& name, platform::RegValue value) {
    ASSERT_EQ(run.machine.Reg().CreateKey(platform::RegRoot::LocalMachine, key), 0u);
    ASSERT_EQ(run.machine.Reg().SetValue(platform::RegRoot::LocalMachine, key, name, value), 0u);
  }
};

platform::RegValue Text(uint32_t dwType, const std::string& text) {
  return {dwType, std::vector<uint8_t>(text.begin(), text.end())};
}

TEST_F(VariablesTest, ReferenceRulesOfTheSubstitutionTable) {
  ASSERT_TRUE(SetVariable(run, "App", "C:\\Prog"));
  const std::pair<const char*, const char*> cases[] = {
      {"100%", "100%"},
      {"%1 and %, stay", "%1 and %, stay"},
      {"a%%b", "a%b"},
      {"50% off and 20% more", "50 more"},
      {"%App%", "C:\\Prog"},
      {"%App\\%", "C:\\Prog\\"},
      {"%\\App%", "\\C:\\Prog"},
      {"%?App%", "C?\\Prog"},
      {"%app%.exe", "C:\\Prog.exe"},
      {"open %App", "open %App"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(Replaced(input), expected) << input;
  ASSERT_TRUE(SetVariable(run, "App", ""));
  for (const char* input : {"%App%", "%App\\%", "%\\App%", "%?App%"})
    EXPECT_EQ(Replaced(input), "") << input;
  // The same buffer is shared by App and ApplicationDir; a trailing backslash is dropped.
  ASSERT_TRUE(SetVariable(run, "ApplicationDir", "D:\\X\\"));
  EXPECT_EQ(Replaced("%App%|%ApplicationDir\\%"), "D:\\X|D:\\X\\");
}

TEST_F(VariablesTest, LookupOrderEnvironmentRegistryAndIniWithoutRescanning) {
  ASSERT_TRUE(SetVariable(run, "SrcDir", "E:\\Media"));
  std::string windir;
  ASSERT_EQ(run.machine.Env().GetVariable("windir", windir), 0u);
  EXPECT_EQ(Replaced("%windir%|%srcdir%|%Src%"), windir + "|E:\\Media|E:\\Media");

  WriteValue("Software\\X", "Path", Text(platform::REG_SZ, std::string("C:\\Tools\\", 9) + '\0'));
  WriteValue("Software\\X", "Bytes", {platform::REG_BINARY, {0x01, 0xAB, 0x10}});
  WriteValue("Software\\X", "Count", {platform::REG_DWORD, {0x2A, 0, 0, 0}});
  WriteValue("Software\\X", "List", Text(platform::REG_MULTI_SZ, std::string("a\0b\0\0", 5)));
  EXPECT_EQ(Replaced("%HKLM\\Software\\X:Path%"), "C:\\Tools");
  EXPECT_EQ(Replaced("%HKEY_LOCAL_MACHINE,Software\\X,Bytes%"), "01,ab,10");
  EXPECT_EQ(Replaced("[%HKLM\\Software\\X:Count%][%HKLM\\Software\\X:List%]"), "[42][a\tb]");
  EXPECT_EQ(Replaced("[%HKLM\\Software\\X:Missing%][%HKLM\\Software\\X%]"), "[][]");

  ASSERT_EQ(run.machine.Files().WriteWholeFile("C:\\v.ini", "[Sec]\nKey=ini value\n[S\xE4]\nK=x\n"),
            0u);
  EXPECT_EQ(Replaced("%C:\\v.ini,Sec,Key%|%C:\\v.ini,S\xE4,K%"), "ini value|x");

  ASSERT_TRUE(SetVariable(run, "Inner", "%App%"));
  ASSERT_TRUE(SetVariable(run, "App", "C:\\A"));
  std::string text = "%Inner%";
  ReplaceVariables(run, text);
  EXPECT_EQ(text, "%App%");
  ReplaceVariables(run, text);
  EXPECT_EQ(text, "C:\\A");
}

TEST_F(VariablesTest, UserVariablesLiveInTheEnvironmentUpperCased) {
  ASSERT_TRUE(SetVariable(run, "myVar", "1"));
  std::string value;
  EXPECT_EQ(run.machine.Env().GetVariable("MYVAR", value), 0u);
  EXPECT_EQ(value, "1");
  EXPECT_EQ(run.variables.Find("myVar"), -1);
  ASSERT_TRUE(SetVariable(run, "Version", std::string(400, 'v')));
  EXPECT_EQ(run.variables.Get("VERSION").size(), kShortValueMax);
  ASSERT_TRUE(SetVariable(run, "App", std::string(2000, 'd')));
  EXPECT_EQ(run.variables.Get("App").size(), kDirectoryValueMax);
}

// The first and the last entry of the predefined table are written and read back like any other,
// by name and through a reference.
TEST_F(VariablesTest, FirstAndLastPredefinedVariablesReadBack) {
  const std::span<const PredefinedName> names = PredefinedNames();
  ASSERT_EQ(names.front().name, "ZQ58.SetupInfo.PackageGUID");
  ASSERT_EQ(names.back().name, "$SID");
  for (const PredefinedName& entry : {names.front(), names.back()}) {
    const std::string name(entry.name);
    const std::string value = "value of " + name;
    ASSERT_TRUE(SetVariable(run, name, value)) << name;
    EXPECT_EQ(run.variables.Get(name), value);
    EXPECT_EQ(Replaced("%" + name + "%"), value);
    std::string environment;
    EXPECT_NE(run.machine.Env().GetVariable(name, environment), 0u) << name;  // not a user variable
    ASSERT_TRUE(SetVariable(run, name, ""));
    EXPECT_EQ(Replaced("[%" + name + "%]"), "[]");
  }
}

TEST_F(VariablesTest, RegistryKeyFormsMarksPlaceholdersAndTheLineLimit) {
  // "::" keeps one ':' at the end of the key; a single ':' separates the value name.
  WriteValue("Software\\Y:", "V", Text(platform::REG_SZ, "colon key"));
  WriteValue("Software\\Y", "V", Text(platform::REG_SZ, "plain key"));
  EXPECT_EQ(Replaced("%HKLM\\Software\\Y::V%|%HKLM\\Software\\Y:V%"), "colon key|plain key");
  EXPECT_EQ(Replaced("%HKLM,Software\\Y:,V%"), "colon key");

  // Any mark that cannot end a name is a suffix, any that cannot start one a prefix.
  ASSERT_TRUE(SetVariable(run, "App", "C:\\Prog"));
  EXPECT_EQ(Replaced("%App.%exe|%App;%|%;App%|%App)%"), "C:\\Prog.exe|C:\\Prog;|;C:\\Prog|");
  ASSERT_TRUE(SetVariable(run, "App", ""));
  EXPECT_EQ(Replaced("[%App.%][%;App%]"), "[][]");

  // Placeholder mode for a Start menu outside the code page: values holding '?' are not inserted.
  run.variables.bShortcutPlaceholders = true;
  ASSERT_TRUE(SetVariable(run, "App", "C:\\Men?"));
  ASSERT_TRUE(SetVariable(run, "Other", "C:\\Plain"));
  EXPECT_EQ(Replaced("%App%|%Other%|%app\\%"),
            "C:\\$TARVIUM$\\%APP%|C:\\Plain|C:\\$TARVIUM$\\%APP%\\");
  EXPECT_EQ(run.debugLines.back(), "C:\\$TARVIUM$\\%APP%");
  run.variables.bShortcutPlaceholders = false;

  // A result is cut to 64767 characters, wherever the cut falls.
  ASSERT_TRUE(SetVariable(run, "Long", std::string(30000, 'l')));
  EXPECT_EQ(Replaced("%Long%%Long%%Long%").size(), 64767u);
  EXPECT_EQ(Replaced(std::string(64766, 'x') + "%Long%").size(), 64767u);
  EXPECT_EQ(Replaced(std::string(64766, 'x') + "%%%%").size(), 64767u);
}

// A run for the setup service takes its user and per-user folders from the service's key and
// reads the current user's values from that user's hive; a user without a hive falls back to the
// engine's own current user.
TEST(Variables, SetupServiceRunsTakeTheServiceUserAndHive) {
  test::TestMachine test;
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser({"Anna", "pw"}), 0u);
  std::string annaSid;
  ASSERT_EQ(test.Machine().System().LookupAccountName("Anna", annaSid), 0u);
  const std::string serviceKey = "Software\\kelvaron\\TemporaryData\\SetupService";
  test.SetRegString(platform::RegRoot::LocalMachine, serviceKey, "WindowsUser", "Anna");
  test.SetRegString(platform::RegRoot::LocalMachine, serviceKey, "Desktop",
                    "C:\\Users\\Anna\\Desktop");
  test.SetRegString(platform::RegRoot::LocalMachine, serviceKey, "Start Menu",
                    "C:\\Users\\Anna\\Start");
  test.SetRegString(platform::RegRoot::Users, annaSid + "\\Software\\T", "V", "Anna's");
  test.SetRegString(platform::RegRoot::CurrentUser, "Software\\T", "V", "engine user's");

  ASSERT_EQ(test.Machine().Env().SetVariable("CalledFromService", "1"), 0u);
  SetupRun run(test.Machine());
  ASSERT_TRUE(InitVariables(run));
  EXPECT_EQ(run.variables.Get("WindowsUser"), "Anna");
  EXPECT_EQ(run.variables.Get("$SID"), annaSid);
  EXPECT_EQ(run.variables.Get("Desktop"), "C:\\Users\\Anna\\Desktop");
  EXPECT_EQ(run.variables.Get("StartMenu"), "C:\\Users\\Anna\\Start");
  EXPECT_EQ(run.variables.Get("Programs"), "");  // not stored by the service
  std::string text = "%HKCU\\Software\\T:V%|%HKEY_CURRENT_USER,Software\\T,V%";
  ReplaceVariables(run, text);
  EXPECT_EQ(text, "Anna's|Anna's");

  // The environment's WindowsUser wins over the service's; the hive stays the service user's.
  ASSERT_EQ(test.Machine().Env().SetVariable("WindowsUser", "User"), 0u);
  SetupRun renamed(test.Machine());
  ASSERT_TRUE(InitVariables(renamed));
  EXPECT_EQ(renamed.variables.Get("WindowsUser"), "User");
  EXPECT_EQ(renamed.variables.userHiveSid, annaSid);
  ASSERT_EQ(test.Machine().Env().SetVariable("WindowsUser", ""), 0u);

  // Value 2: the user of %CurrentFqdnUser% without its domain, the folders stay the machine's.
  ASSERT_EQ(test.Machine().Env().SetVariable("CalledFromService", "2"), 0u);
  ASSERT_EQ(test.Machine().Env().SetVariable("CurrentFqdnUser", "CORP\\Anna"), 0u);
  SetupRun second(test.Machine());
  ASSERT_TRUE(InitVariables(second));
  EXPECT_EQ(second.variables.Get("WindowsUser"), "Anna");
  EXPECT_NE(second.variables.Get("Desktop"), "C:\\Users\\Anna\\Desktop");
  EXPECT_EQ(second.variables.userHiveSid, annaSid);
  const std::vector<std::string> handOver = {"CalledFromService: 2\n", "bRunAsLocalSystem: 1\n",
                                             "FqdnUser: CORP\\Anna\n"};
  EXPECT_NE(std::search(second.debugLines.begin(), second.debugLines.end(), handOver.begin(),
                        handOver.end()),
            second.debugLines.end());

  // A user without a hive: the debugger hears of it and HKCU stays the engine's own.
  test.SetRegString(platform::RegRoot::LocalMachine, serviceKey, "WindowsUser", "Nobody");
  ASSERT_EQ(test.Machine().Env().SetVariable("CalledFromService", "1"), 0u);
  SetupRun orphan(test.Machine());
  ASSERT_TRUE(InitVariables(orphan));
  EXPECT_EQ(orphan.variables.Get("WindowsUser"), "Nobody");
  EXPECT_NE(std::find(orphan.debugLines.begin(), orphan.debugLines.end(),
                      "User key could not be opened!\n"),
            orphan.debugLines.end());
  text = "%HKCU\\Software\\T:V%";
  ReplaceVariables(orphan, text);
  EXPECT_EQ(text, "engine user's");
}

TEST(Variables, PredefinedValuesOnEnglishAndGermanMachines) {
  for (uint16_t wLanguage : {uint16_t{0x0409}, uint16_t{0x0407}}) {
    test::TestMachine test({"Anna", "PC-7", wLanguage});
    SetupRun run(test.Machine());
    ASSERT_TRUE(InitVariables(run));
    const VariableStore& v = run.variables;
    EXPECT_EQ(v.Get("WindowsUser"), "Anna");
    EXPECT_EQ(v.Get("ComputerName"), "PC-7");
    EXPECT_EQ(v.Get("WindowsName"), "Windows NT");
    EXPECT_EQ(v.Get("WindowsVersion"), "10.0");
    EXPECT_EQ(v.Get("Windows"), "C:\\Windows");
    EXPECT_EQ(v.Get("System16"), "C:\\Windows\\System");
    EXPECT_EQ(v.Get("WriteableSystem"), v.Get("System"));
    EXPECT_EQ(v.Get("Shared"), "C:\\Windows");
    EXPECT_EQ(v.Get("$SID"), run.machine.System().UserSid());
    EXPECT_EQ(v.Get("$DomainAdmins"), "");  // a workgroup machine
    EXPECT_FALSE(v.Get("ProgramFilesDir").empty());
    EXPECT_EQ(v.Get("UserDesktop"), v.Get("Desktop"));
    const bool bGerman = wLanguage == 0x0407;
    EXPECT_EQ(v.Get("$Everyone"), bGerman ? "Jeder" : "Everyone");
    EXPECT_EQ(v.Get("Accessories"),
              v.Get("Programs") + (bGerman ? "\\Zubeh\xF6r" : "\\Accessories"));
    // Dates use points even where the user's separator is '/'.
    EXPECT_EQ(v.Get("SysDate")[2], '.');
    EXPECT_EQ(v.Get("LongSysTime").size(), 8u);
    EXPECT_EQ(GetInstallLanguage(run), wLanguage);
  }
}

TEST_F(VariablesTest, VariableSectionsPlainEncryptedAndKeptPaths) {
  ASSERT_TRUE(SetVariable(run, "App", "C:\\P"));
  ASSERT_TRUE(SetVariable(run, "V_MachineValuesPath", "kept"));
  const std::string text =
      "[Strings]\n; comment\nName = %App%\\Sub\\..\\Bin\n\nV_MachineValuesPath=new\n"
      "Call=Sum(1,2)\nBad=Name(1\n=novalue\n[Encryption]\nSecret=%App%\n";
  InfFile inf(std::vector<char>(text.begin(), text.end()));
  inf.BuildSectionIndex();
  EXPECT_FALSE(LoadVariableSection(run, inf, "Strings", true, false));
  EXPECT_TRUE(LoadVariableSection(run, inf, "Missing", false, false));
  EXPECT_TRUE(LoadVariableSection(run, inf, "Encryption", false, true));
  EXPECT_EQ(Replaced("%NAME%|%V_MachineValuesPath%|%Call%|%Bad%|%SECRET%"),
            "C:\\P\\Bin|kept|Sum(1,2)|Name(1|C:\\P");  // no script engine: calls stay
  ASSERT_EQ(run.shownMessages.size(), 1u);
  EXPECT_EQ(run.shownMessages[0].nMessage, 5500);
}

struct ProductIdentityTest : ::testing::Test {
  test::TestMachine test;

  // A run that has read the identity of "[Setup] Version=4.1" followed by `text`.
  std::unique_ptr<SetupRun> Read(const std::string& text, bool bInitVariables = false) {
    auto run = std::make_unique<SetupRun>(test.Machine());
    if (bInitVariables) {
      EXPECT_TRUE(InitVariables(*run));
    }
    const std::string whole = "[Setup]\nVersion=4.1\n" + text;
    InfFile inf(std::vector<char>(whole.begin(), whole.end()));
    inf.BuildSectionIndex();
    ReadProductIdentity(*run, inf);
    return run;
  }
  void SetMachineText(const std::string& key, const std::string& name, const std::string& text) {
    test.SetRegString(platform::RegRoot::LocalMachine, key, name, text);
  }
};

TEST_F(ProductIdentityTest, FirstFieldsNamesThatStandInForEachOtherKeyNamesAndFormatVersions) {
  auto run = Read(
      "[SetupInfo]\nPackageGUID={0A-1B}\n"
      "[Application]\nVersion=1.2, extra\nProductName=\"A, B\"\nDeveloperNameShort=Dev\n"
      "Revision = 7\nSetupName=%ProductName% Setup\nApplicationDir=C:\\%DeveloperName%\n"
      "MachineKeyName=Vendor\\\\Product\nUninstallKeyName=%Revision%\\\\\\\\Deep\n");
  const VariableStore& v = run->variables;
  EXPECT_EQ(v.Get("ZQ58.SetupInfo.PackageGUID"), "{0A-1B}");
  EXPECT_EQ(v.Get("Version"), "1.2");
  EXPECT_EQ(v.Get("ProductName"), "A, B");
  EXPECT_EQ(v.Get("ProductNameShort"), "A, B");
  EXPECT_EQ(v.Get("DeveloperName"), "Dev");
  EXPECT_EQ(v.Get("Revision"), "7");
  EXPECT_EQ(v.Get("ApplicationDir"), "C:\\Dev");
  EXPECT_EQ(v.Get("MachineKeyName"), "Vendor\\Product");
  EXPECT_EQ(v.Get("UninstallKeyName"), "7\\Deep");
  EXPECT_EQ(run->ctx.szWindowTitle, "A, B Setup");

  auto shortOnly = Read("[Application]\nProductNameShort=Short\nSetupInfDir=Sub\\Dir\n");
  EXPECT_EQ(shortOnly->variables.Get("ProductName"), "Short");
  EXPECT_EQ(shortOnly->variables.Get("SetupInfDir"), "Sub\\Dir\\");
  EXPECT_EQ(shortOnly->ctx.szWindowTitle, "Setup");  // no SetupName: the title stays

  // Format versions.
  const std::pair<const char*, uint32_t> versions[] = {
      {"4.1", 0x410},  {"4.10", 0x410},   {"4.01", 0x401}, {"4", 0x400}, {"", 0x300},
      {"5.11", 0x511}, {"14.10", 0x1410}, {"a.B", 0xAB0},  {"x", 0},     {"3.01", 0x301}};
  for (const auto& [text, dwVersion] : versions)
    EXPECT_EQ(ParseFormatVersion(text), dwVersion) << text;
  // A file of a format before 3.01 refused with 5532: the scenario old-format.
}

TEST_F(ProductIdentityTest, NumbersSwitchesAndFlagListsWithTheirDefaults) {
  auto defaults = Read("");
  EXPECT_TRUE(defaults->ctx.bExpand);
  EXPECT_TRUE(defaults->ctx.bAskShared);
  EXPECT_FALSE(defaults->ctx.bAskDir);
  EXPECT_EQ(defaults->ctx.nUseCheckmarks, 2);
  EXPECT_EQ(defaults->ctx.nCallTimeOut, -1);
  EXPECT_EQ(defaults->ctx.dwUninstallOptions, 0u);
  EXPECT_TRUE(defaults->ctx.bClientAskOptions);
  EXPECT_EQ(defaults->ctx.crBackgroundFrom, 0xFF0000u);

  auto set = Read(
      "[Application]\nCallTimeOut=30\nAbortAfterCallTimeOut=5\nReboot=5\nExpand=abc\n"
      "AskShared=\nAskDir=-2\nUseCheckmarks=1\nUninstallOptions=NOREMOVE|NOREPAIR\n"
      "BackgroundPicture=back.bmp\nBackgroundColor=0x00FF00\nPrompt=P1,P2\n"
      "[Client]\nAskOptions=0\nReboot=3\n[Disks]\nCabTemplateName=data%d.cab\n");
  const SetupContext& ctx = set->ctx;
  EXPECT_EQ(ctx.nCallTimeOut, 30000);
  EXPECT_TRUE(ctx.bAbortAfterCallTimeOut);
  EXPECT_EQ(ctx.iReboot, 5);
  EXPECT_FALSE(ctx.bExpand);    // text that is no number reads as 0
  EXPECT_TRUE(ctx.bAskShared);  // an empty value takes the default
  EXPECT_TRUE(ctx.bAskDir);
  EXPECT_EQ(ctx.nUseCheckmarks, 1);
  EXPECT_EQ(ctx.dwUninstallOptions, 6u);
  EXPECT_EQ(ctx.crBackgroundFrom, 0xFF00u);
  EXPECT_EQ(ctx.crBackgroundTo, kNoColor);  // a background picture draws no gradient
  EXPECT_EQ(ctx.szPrompts, "P1,P2");
  EXPECT_FALSE(ctx.bClientAskOptions);
  EXPECT_EQ(ctx.iClientReboot, 3);
  EXPECT_EQ(ctx.szCabTemplateName, "data%d.cab");

  EXPECT_EQ(Read("[Application]\nUninstallOptions=6\n")->ctx.dwUninstallOptions, 6u);
  EXPECT_EQ(Read("[Application]\nUninstallOptions=NOREMOVE+HIDDEN\n")->ctx.dwUninstallOptions,
            0xFFFFFFFFu);

  SetupRun silent(test.Machine());
  silent.ctx.bSilentNoEnd = true;
  const std::string text = "[Setup]\nVersion=4.1\n[Application]\nShowEndMessage=0\n";
  InfFile inf(std::vector<char>(text.begin(), text.end()));
  ReadProductIdentity(silent, inf);
  EXPECT_TRUE(silent.ctx.bShowEndMessage);  // not read with /S4
}

TEST_F(ProductIdentityTest, UserAndCompanyFallBackToTheRegistryAndTheProfile) {
  auto given = Read(
      "[Application]\nDefaultUser=Ann\nDefaultCompany=%ProductName% Ltd\n"
      "ProductName=Acme\n");
  EXPECT_EQ(given->variables.Get("User"), "Ann");
  EXPECT_EQ(given->variables.Get("Company"), "Acme Ltd");

  // The machine registers its user under Windows NT and no organisation anywhere.
  ASSERT_EQ(test.Machine().Profiles().WriteProfileString("MS User Info", "DefCompany", "Prof"), 0u);
  auto fallback = Read("[Application]\n");
  EXPECT_EQ(fallback->variables.Get("User"), "User");
  EXPECT_EQ(fallback->variables.Get("Company"), "Prof");

  SetMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "RegisteredOwner", "Owner");
  SetMachineText("Software\\Microsoft\\Windows\\CurrentVersion", "RegisteredOrganization", "Org");
  auto registered = Read("[Application]\n");
  EXPECT_EQ(registered->variables.Get("User"), "Owner");
  EXPECT_EQ(registered->variables.Get("Company"), "Org");
}

TEST_F(ProductIdentityTest, CommonShellLinksChooseTheAllUsersFolders) {
  for (const bool bCommon : {false, true}) {
    auto run = Read(bCommon ? "[Application]\nCommonShellLinks=1\n" : "", true);
    const VariableStore& v = run->variables;
    const std::string prefix = bCommon ? "Common" : "User";
    for (const std::string folder : {"Desktop", "Programs", "StartMenu", "Startup"}) {
      ASSERT_FALSE(v.Get(prefix + folder).empty()) << folder;
      EXPECT_EQ(v.Get(folder), v.Get(prefix + folder)) << folder;
    }
    EXPECT_NE(v.Get("CommonDesktop"), v.Get("UserDesktop"));
  }
}

using platform::RegRoot;

struct OperationsRun {
  test::TestMachine machine;
  SetupRun run{machine.Machine()};
  platform::Registry& Reg() { return machine.Machine().Reg(); }
  uint32_t Type(const std::string& key, const std::string& name) {
    platform::RegValue value;
    return Reg().QueryValue(RegRoot::LocalMachine, key, name, value) == 0 ? value.dwType : 99;
  }
  bool HasKey(const std::string& key) { return machine.HasRegKey(RegRoot::LocalMachine, key); }
};

TEST(RegistryOperations, WritesReadsTheViewReadTreesAndPruning) {
  OperationsRun t;
  const RegRoot hklm = RegRoot::LocalMachine;
  ASSERT_EQ(RegWriteText(t.run, hklm, "Software\\Ops\\New", "T", "a%b"), 0u);
  ASSERT_EQ(RegWriteEnvText(t.run, hklm, "Software\\Ops", "E", "%Path%"), 0u);
  ASSERT_EQ(RegWriteEnvText(t.run, hklm, "Software\\Ops", "P", "plain"), 0u);
  ASSERT_EQ(RegWriteDword(t.run, hklm, "Software\\Ops", "D", 7), 0u);
  EXPECT_EQ(t.Type("Software\\Ops\\New", "T"), platform::REG_SZ);
  EXPECT_EQ(t.Type("Software\\Ops", "E"), platform::REG_EXPAND_SZ);
  EXPECT_EQ(t.Type("Software\\Ops", "P"), platform::REG_SZ);
  std::string text;
  EXPECT_EQ(RegReadTextRaw(t.run, hklm, "Software\\Ops", "E", text), 0u);
  EXPECT_EQ(text, "%Path%");  // not expanded
  EXPECT_EQ(RegReadTextRaw(t.run, hklm, "Software\\Ops", "Missing", text), 2u);
  EXPECT_EQ(text, "");
  EXPECT_EQ(
      RegViewReadStringValue(t.run, hklm, "Software\\Ops", platform::RegView::View64, "D", text),
      0u);
  EXPECT_EQ(text, "7");
  EXPECT_EQ(
      RegViewReadStringValue(t.run, hklm, "Software\\Ops", platform::RegView::View32, "D", text),
      2u);  // the 32-bit view has no such key
  ASSERT_FALSE(t.run.debugLines.empty());
  EXPECT_EQ(t.run.debugLines.back(),
            "RegViewReadStringValue: Can not open key 'Software\\Ops': error number 2\n");

  // Trees and pruning, in a tree of their own.
  for (const char* key :
       {"Software\\Tree\\A\\B\\C", "Software\\Tree\\A\\D", "Software\\Tree\\E\\F"})
    ASSERT_EQ(t.Reg().CreateKey(hklm, key), 0u);
  ASSERT_EQ(RegWriteText(t.run, hklm, "Software\\Tree\\E", "V", "x"), 0u);
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\A"), 2u);
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\Missing"), 0u);
  EXPECT_TRUE(RegIsKeyEmpty(t.run, hklm, "Software\\Tree\\Missing"));
  EXPECT_FALSE(RegIsKeyEmpty(t.run, hklm, "Software\\Tree\\E"));

  EXPECT_EQ(RegDeleteTree(t.run, hklm, "Software\\Tree\\A", false), 0u);
  EXPECT_TRUE(t.HasKey("Software\\Tree\\A"));
  EXPECT_EQ(RegCountSubkeys(t.run, hklm, "Software\\Tree\\A"), 0u);
  EXPECT_NE(RegDeleteKeyAt(t.run, hklm, "Software\\Tree\\E"), 0u);  // it has a subkey

  // F goes; E holds a value and stays, and so does everything above it.
  RegPruneEmptyKeys(t.run, hklm, "Software\\Tree\\E\\F", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree\\E\\F"));
  EXPECT_TRUE(t.HasKey("Software\\Tree\\E"));
  // Without subkeys E goes despite its value; Tree still has A.
  RegPruneKeysWithoutSubkeys(t.run, hklm, "Software\\Tree\\E", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree\\E"));
  EXPECT_TRUE(t.HasKey("Software\\Tree"));
  // A key that is already gone: its empty parents go up to the first that is not empty.
  ASSERT_EQ(RegDeleteKeyAt(t.run, hklm, "Software\\Tree\\A"), 0u);
  RegPruneEmptyKeys(t.run, hklm, "Software\\Tree\\A", true);
  EXPECT_FALSE(t.HasKey("Software\\Tree"));
  EXPECT_TRUE(t.HasKey("Software"));

  RegRoot root = RegRoot::CurrentUser;
  std::string key = "Software\\X";
  MapCurrentUserRoot(t.run, root, key);
  EXPECT_EQ(root, RegRoot::CurrentUser);
  t.run.variables.userHiveSid = "S-1-5-21-1-2-3-1002";
  MapCurrentUserRoot(t.run, root, key);
  EXPECT_EQ(root, RegRoot::Users);
  EXPECT_EQ(key, "S-1-5-21-1-2-3-1002\\Software\\X");
}

}  // namespace
}  // namespace tarvium
