// The account, adapter and clipboard services of a real emulated machine: the seeded accounts of
// a new machine, users and members added later, logons through the process service, the domain
// controller, the adapters of machine.ini and the clipboard file.
// The emulated spooler's answers, as a setup branches on them: the checks of AddPrinter (names,
// driver, port, processor, data type, share, server), ports added through the monitor's dialog
// and refused while a printer uses them, and the Win.ini device settings kept in the registry.
// The emulated named pipes: sockets in the machine's pipe folder, reached by their Windows pipe
// names, with the error codes Windows gives for missing, busy and broken pipes.
// The profile functions over the emulated machine's files: how values are read (case, blanks,
// quotes, defaults, lists) and how writes change a file without touching the rest of it.
// The profile functions against the cases of the public conformance tests for Windows' profile
// functions (the behaviour a Windows machine shows), ported as tables: integer reads, key and
// section lists, the empty name as an ordinary name, whole-section reads, bare CR line ends,
// defaults with blanks, files in the Windows directory, and the exact text of writes. Cases that
// need buffers of a given size, structs, the registry mapping or sharing modes do not apply to
// this interface. Added here: UTF-16LE and UTF-8 files keep their encoding.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "platform/emulated/machine/emulated_machine.h"
#include "platform/emulated/pipes/socket_pipes.h"
#include "platform/ini_profile.h"
#include "platform/named_pipe.h"
#include "platform/spooler.h"
#include "platform/win_error.h"
#include "support/machine_dir.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using tarvium::test::TestMachine;

std::vector<std::string> Members(Machine& machine, const std::string& group, bool bGlobal,
                                 uint32_t& err, const std::string& server = "") {
  std::vector<std::string> members;
  err = machine.Users().GetGroupMembers(server, group, bGlobal, members);
  return members;
}

void EditConfig(TestMachine& test, const std::string& section, const std::string& lines) {
  std::ofstream(test.Path() + "/machine.ini", std::ios::app) << "\n[" << section << "]\n"
                                                             << lines << "\n";
}

TEST(Accounts, NewMachineHasBuiltInAccountsInItsLanguage) {
  TestMachine test({"Anna", "PC-7", 0x0407});
  Machine& machine = test.Machine();
  std::vector<std::string> users;
  ASSERT_EQ(machine.Users().EnumUsers(users), ERROR_SUCCESS);
  EXPECT_EQ(users, (std::vector<std::string>{"Administrator", "Anna", "DefaultAccount", "Gast",
                                             "WDAGUtilityAccount"}));
  UserAccount anna;
  ASSERT_EQ(machine.Users().GetUser("anna", anna), ERROR_SUCCESS);
  EXPECT_EQ(anna.name, "Anna");
  EXPECT_EQ(anna.sid, machine.System().UserSid());
  EXPECT_EQ(anna.profileDir, "C:\\Users\\Anna");
  EXPECT_FALSE(anna.bDisabled);
  UserAccount admin;
  ASSERT_EQ(machine.Users().GetUser("Administrator", admin), ERROR_SUCCESS);
  EXPECT_TRUE(admin.bDisabled);
  EXPECT_EQ(admin.sid, anna.sid.substr(0, anna.sid.rfind('-')) + "-500");
  EXPECT_EQ(machine.Users().GetUser("nobody", admin), NERR_UserNotFound);

  uint32_t err = 0;
  EXPECT_EQ(Members(machine, "Administratoren", false, err),
            (std::vector<std::string>{"Administrator", "Anna"}));
  EXPECT_EQ(err, ERROR_SUCCESS);
  EXPECT_EQ(Members(machine, "benutzer", false, err),
            (std::vector<std::string>{"Anna", "NT-AUTORIT\xC4T\\INTERAKTIV",
                                      "NT-AUTORIT\xC4T\\Authentifizierte Benutzer"}));
  Members(machine, "Administrators", false, err);  // the English name is not the German group
  EXPECT_EQ(err, ERROR_NO_SUCH_ALIAS);
  Members(machine, "Domain Users", true, err);
  EXPECT_EQ(err, NERR_GroupNotFound);
  Members(machine, "Benutzer", false, err, "\\\\OTHER-PC");
  EXPECT_EQ(err, ERROR_BAD_NETPATH);
}

TEST(Accounts, AMachineUserNamedLikeABuiltInOneReplacesIt) {
  TestMachine test({"Administrator", "PC-1", 0x0409});
  UserAccount admin;
  ASSERT_EQ(test.Machine().Users().GetUser("Administrator", admin), ERROR_SUCCESS);
  EXPECT_EQ(admin.sid, test.Machine().System().UserSid());
  EXPECT_FALSE(admin.bDisabled);
  uint32_t err = 0;
  EXPECT_EQ(Members(test.Machine(), "Administrators", false, err),
            (std::vector<std::string>{"Administrator"}));
}

TEST(Accounts, AddedUsersAndMembersAreSeenByASecondProcessAndLaterLookups) {
  TestMachine test;
  auto& accounts = test.Machine().EmulatedUsers();
  ASSERT_EQ(accounts.AddUser({"alice", "pw"}), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddUser({"bad\\name", ""}), NERR_BadUsername);
  ASSERT_EQ(accounts.AddLocalGroupMember("Administrators", "alice"), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddGlobalGroupMember("Sales", "CORP\\jdoe"), ERROR_SUCCESS);

  auto again = test.OpenAgain();
  UserAccount alice;
  ASSERT_EQ(again->Users().GetUser("Alice", alice), ERROR_SUCCESS);
  EXPECT_EQ(alice.sid.substr(alice.sid.rfind('-')), "-1002");  // after the machine's user
  std::string sid, name, domain;
  ASSERT_EQ(again->System().LookupAccountName("TARVIUM-PC\\ALICE", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, alice.sid);
  ASSERT_EQ(again->System().LookupAccountSid(alice.sid, name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "alice@TARVIUM-PC");
  uint32_t err = 0;
  EXPECT_EQ(Members(*again, "Administrators", false, err),
            (std::vector<std::string>{"Administrator", "User", "alice"}));
  EXPECT_EQ(Members(*again, "sales", true, err, "\\\\TARVIUM-PC"),
            (std::vector<std::string>{"CORP\\jdoe"}));
  std::vector<std::string> groups;
  ASSERT_EQ(again->Users().EnumGroups(true, groups), ERROR_SUCCESS);
  EXPECT_EQ(groups, (std::vector<std::string>{"Sales"}));

  // Lookups keep the well-known accounts; a user added after them is still found by name and SID,
  // and a well-known name still wins over a user named like it.
  SystemInfo& system = test.Machine().System();
  ASSERT_EQ(system.LookupAccountSid("S-1-1-0", name, domain), ERROR_SUCCESS);
  EXPECT_EQ(system.LookupAccountName("bob", sid), ERROR_NONE_MAPPED);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser({"bob", "pw"}), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser({"Everyone", "pw"}), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountName("bob", sid), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountSid(sid, name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "bob@TARVIUM-PC");
  ASSERT_EQ(system.LookupAccountName("Everyone", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, "S-1-1-0");
}

TEST(Accounts, LogonsCheckThePasswordAndDomainLogonsNeedADomain) {
  TestMachine test;
  Machine& machine = test.Machine();
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser({"alice", "s3cret"}), ERROR_SUCCESS);
  struct Logon {
    const char *pszUser, *pszDomain, *pszPassword;
    uint32_t dwExpected;
  };
  const Logon cases[] = {
      {"alice", "", "s3cret", ERROR_SUCCESS},
      {"alice", ".", "s3cret", ERROR_SUCCESS},
      {"alice", "TARVIUM-PC", "s3cret", ERROR_SUCCESS},
      {"alice", "", "S3CRET", ERROR_LOGON_FAILURE},
      {"alice", "CORP", "s3cret", ERROR_LOGON_FAILURE},
      {"nobody", "", "", ERROR_LOGON_FAILURE},
      {"Guest", "", "", ERROR_ACCOUNT_DISABLED},
  };
  for (const auto& [pszUser, pszDomain, pszPassword, dwExpected] : cases) {
    const ProcessStart start{
        .commandLine = "true", .userName = pszUser, .domain = pszDomain, .password = pszPassword};
    ProcessHandle hProcess = ProcessHandle::Invalid;
    EXPECT_EQ(machine.Programs().CreateProcess(start, hProcess), dwExpected)
        << pszUser << "@" << pszDomain << " " << pszPassword;
    if (hProcess == ProcessHandle::Invalid) continue;
    WaitResult result;
    EXPECT_EQ(machine.Programs().WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS);
    machine.Programs().CloseProcess(hProcess);
  }

  std::string dc;
  EXPECT_EQ(test.Machine().Users().GetDCName("", dc), NERR_DCNotFound);
  EXPECT_EQ(dc, "");
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser({"jdoe", "pw"}), ERROR_SUCCESS);
  EditConfig(test, "Identity", "Domain=CORP\nDomainController=DC01");
  auto domainMachine = test.OpenAgain();
  EXPECT_EQ(domainMachine->Users().GetDCName("OTHER", dc), NERR_DCNotFound);
  EXPECT_EQ(domainMachine->Users().LogonUser("CORP", "jdoe", "pw"), ERROR_SUCCESS);
  EXPECT_EQ(domainMachine->Users().LogonUser("OTHER", "jdoe", "pw"), ERROR_LOGON_FAILURE);
  uint32_t err = 0;
  Members(*domainMachine, "Users", false, err, "\\\\DC01");
  EXPECT_EQ(err, ERROR_SUCCESS);
}

TEST(Accounts, AdaptersComeFromMachineIniAndTheClipboardIsKeptInIt) {
  TestMachine test;
  std::vector<AdapterInfo> adapters;
  ASSERT_EQ(test.Machine().Net().GetAdaptersInfo(adapters), ERROR_SUCCESS);
  ASSERT_EQ(adapters.size(), 1u);
  EXPECT_EQ(adapters[0].address, (std::array<uint8_t, 6>{0x00, 0x15, 0x5D, 0x4A, 0x10, 0x01}));
  EXPECT_EQ(adapters[0].ipAddress, "192.168.56.10");

  EditConfig(test, "Adapter Wifi", "MacAddress=a0:b1:c2:d3:e4:f5");
  EditConfig(test, "Adapter Lan", "MacAddress=001122334455\nIpAddress=10.1.2.3");
  auto again = test.OpenAgain();
  ASSERT_EQ(again->Net().GetAdaptersInfo(adapters), ERROR_SUCCESS);
  ASSERT_EQ(adapters.size(), 3u);  // after the one written at creation
  EXPECT_EQ(adapters[1].name, "Wifi");
  EXPECT_EQ(adapters[1].address, (std::array<uint8_t, 6>{0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}));
  EXPECT_EQ(adapters[1].ipAddress, "0.0.0.0");
  EXPECT_EQ(adapters[2].ipAddress, "10.1.2.3");

  std::string text = "stale";
  ASSERT_EQ(test.Machine().Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "");
  ASSERT_EQ(test.Machine().Clip().SetClipboardText("Gr\xFC\xDF\x65\r\nline 2"), ERROR_SUCCESS);
  again = test.OpenAgain();
  ASSERT_EQ(again->Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "Gr\xFC\xDF\x65\r\nline 2");
  ASSERT_EQ(again->Clip().SetClipboardText(""), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().Clip().GetClipboardText(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "");
}

using emulated::EmulatedMachine;

constexpr const char* kDriverDir = "C:\\Windows\\System32\\spool\\drivers\\x64";

void AddDriver(EmulatedMachine& machine, const std::string& name) {
  for (const char* file : {"d.dll", "d.ini", "dui.dll"})
    ASSERT_EQ(machine.Files().WriteWholeFile(std::string(kDriverDir) + "\\" + file, "MZ"), 0u);
  DriverInfo driver;
  driver.name = name;
  driver.driverPath = "d.dll";
  driver.dataFile = "d.ini";
  driver.configFile = std::string(kDriverDir) + "\\dui.dll";
  ASSERT_EQ(machine.Printing().AddPrinterDriver("", driver), 0u);
}

TEST(EmulatedSpooler, AddPrinterChecksWhatThePrinterNames) {
  tarvium::test::TestMachine t;
  Spooler& spooler = t.Machine().Printing();
  AddDriver(t.Machine(), "Laser");
  // A printer of the name, port and driver, with one more field changed.
  const auto printer = [](std::string name, std::string port, std::string driver,
                          const std::function<void(PrinterInfo&)>& change = {}) {
    PrinterInfo info;
    info.printerName = std::move(name);
    info.portName = std::move(port);
    info.driverName = std::move(driver);
    if (change) change(info);
    return info;
  };
  struct Case {
    PrinterInfo info;
    uint32_t dwExpected;
  };
  const Case cases[] = {
      {printer("", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("A,B", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("A\\B", "LPT1:", "Laser"), ERROR_INVALID_PRINTER_NAME},
      {printer("P", "LPT1:", "Inkjet"), ERROR_UNKNOWN_PRINTER_DRIVER},
      {printer("P", "LPT9:", "Laser"), ERROR_UNKNOWN_PORT},
      {printer("P", "LPT1:,LPT9:", "Laser"), ERROR_UNKNOWN_PORT},
      {printer("P", "", "Laser"), ERROR_UNKNOWN_PORT},
      {printer("P", "LPT1:", "Laser", [](auto& p) { p.serverName = "\\\\OTHER-PC"; }),
       RPC_S_SERVER_UNAVAILABLE},
      {printer("P", "LPT1:", "Laser", [](auto& p) { p.serverName = "\\\\tarvium-pc"; }),
       ERROR_SUCCESS},
      {printer("p", "LPT2:", "Laser"), ERROR_PRINTER_ALREADY_EXISTS},
      {printer("P2", "LPT1:", "Laser", [](auto& p) { p.datatype = "PCL"; }),
       ERROR_INVALID_DATATYPE},
      {printer("P2", "LPT1:", "Laser", [](auto& p) { p.printProcessor = "NoProc"; }),
       ERROR_UNKNOWN_PRINTPROCESSOR},
      {printer("P2", "LPT1:", "Laser", [](auto& p) { p.dwAttributes = PRINTER_ATTRIBUTE_SHARED; }),
       ERROR_INVALID_SHARENAME},
      {printer("Q", "LPT1:, COM1:", "Laser"), ERROR_SUCCESS},
  };
  for (const Case& c : cases)
    EXPECT_EQ(spooler.AddPrinter(c.info), c.dwExpected) << "'" << c.info.printerName << "'";
  std::string dir;
  EXPECT_EQ(spooler.GetPrinterDriverDirectory("", "Windows NT x86", dir), 0u);
  EXPECT_EQ(dir, "C:\\Windows\\System32\\spool\\drivers\\W32X86");
  EXPECT_EQ(spooler.GetPrinterDriverDirectory("", "Windows 3.1", dir), ERROR_INVALID_ENVIRONMENT);
  EXPECT_EQ(spooler.DeletePrinterDriver("", "", "Laser"), ERROR_PRINTER_DRIVER_IN_USE);
  EXPECT_EQ(spooler.DeletePort("", "COM1:"), ERROR_BUSY);
}

TEST(EmulatedSpooler, PortDialogIsAnsweredByTheMachine) {
  tarvium::test::TestMachine t;
  EXPECT_EQ(t.Machine().Printing().AddPort("", "Local Port"), ERROR_CANCELLED);
  auto machine = t.OpenReconfigured([](auto& config) { config.szPortDialogAnswer = "TARVIUM1:"; });
  Spooler& spooler = machine->Printing();
  EXPECT_EQ(spooler.AddPort("", "No Monitor"), ERROR_UNKNOWN_PRINT_MONITOR);
  EXPECT_EQ(spooler.AddPort("", "Local Port"), ERROR_SUCCESS);
  EXPECT_EQ(spooler.AddPort("", "Local Port"), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(spooler.AddPort("", "Standard TCP/IP Port"), ERROR_ALREADY_EXISTS);
  std::vector<std::pair<std::string, std::string>> ports;
  ASSERT_EQ(spooler.EnumPorts("", ports), 0u);
  EXPECT_NE(std::find(ports.begin(), ports.end(),
                      std::pair<std::string, std::string>("TARVIUM1:", "Local Port")),
            ports.end());
  EXPECT_EQ(spooler.DeletePort("", "TARVIUM1:"), ERROR_SUCCESS);
  EXPECT_EQ(spooler.DeletePort("", "TARVIUM1:"), ERROR_UNKNOWN_PORT);
  EXPECT_EQ(spooler.DeleteMonitor("", "", "Local Port"), ERROR_ACCESS_DENIED)
      << "Windows' own monitor stays";
}

TEST(EmulatedSpooler, WinIniDeviceSettingsLiveInTheUsersRegistry) {
  tarvium::test::TestMachine t;
  Profile& profile = t.Machine().Profiles();
  const std::string devices = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";
  EXPECT_EQ(profile.WriteProfileString("devices", "Laser", "winspool,Ne00:"), 0u);
  EXPECT_EQ(profile.WritePrivateProfileString("windows", "Device",
                                              "Laser,winspool,Ne00:", "C:\\Windows\\WIN.INI"),
            0u);
  EXPECT_EQ(profile.WriteProfileString("windows", "load", "tray.exe"), 0u);
  EXPECT_EQ(t.RegString(RegRoot::CurrentUser, devices, "Laser"), "winspool,Ne00:");
  EXPECT_EQ(t.RegString(RegRoot::CurrentUser,
                        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device"),
            "Laser,winspool,Ne00:");
  EXPECT_EQ(profile.GetProfileString("devices", nullptr, ""), std::string("Laser\0", 6));
  EXPECT_EQ(profile.GetPrivateProfileSection("devices", "win.ini"),
            std::string("Laser=winspool,Ne00:\0", 21));
  EXPECT_EQ(t.ReadFile("C:\\Windows\\win.ini"), "[windows]\r\nload=tray.exe\r\n")
      << "other entries stay in the file";
  EXPECT_EQ(profile.WriteProfileString("devices", nullptr, nullptr), 0u);
  EXPECT_EQ(profile.GetProfileString("devices", "Laser", "none "), "none");
}

TEST(NamedPipes, NamesAndServersAsWindowsHasThem) {
  tarvium::test::TestMachine machine;
  NamedPipes& pipes = machine.Machine().Pipes();
  std::unique_ptr<PipeConnection> client;
  std::unique_ptr<PipeServer> server;
  for (const char* pszName : {"\\\\.\\pipe\\", "C:\\pipe\\X", "\\\\.\\pipe\\a\\b", "X"}) {
    EXPECT_EQ(pipes.Open(pszName, client), ERROR_INVALID_NAME) << pszName;
    EXPECT_EQ(pipes.Create(pszName, server), ERROR_INVALID_NAME) << pszName;
  }
  EXPECT_EQ(pipes.Open("\\\\.\\pipe\\Nobody", client), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(pipes.Create("\\\\.\\PIPE\\Busy", server), ERROR_SUCCESS);
  std::unique_ptr<PipeServer> second;
  EXPECT_EQ(pipes.Create("\\\\.\\pipe\\Busy", second), ERROR_PIPE_BUSY);
  std::unique_ptr<PipeConnection> accepted;
  EXPECT_EQ(server->Accept(accepted, 10), ERROR_WAIT_TIMEOUT);
  server.reset();  // the name goes with its server
  EXPECT_EQ(pipes.Open("\\\\.\\pipe\\Busy", client), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(pipes.Create("\\\\.\\pipe\\Busy", second), ERROR_SUCCESS);
}

TEST(NamedPipes, BlocksTravelWholeUntilTheOtherEndCloses) {
  // a machine folder beyond the length of a socket address is reached all the same
  tarvium::test::TempDir dir;
  const std::string machineDir = dir.Path() + "/" + std::string(110, 'm');
  std::filesystem::create_directory(machineDir);
  emulated::SocketPipes pipes(machineDir + "/pipe");
  const std::string name = "\\\\.\\pipe\\SetupSendPipe";
  std::unique_ptr<PipeServer> server;
  ASSERT_EQ(pipes.Create(name, server), ERROR_SUCCESS);
  std::unique_ptr<PipeConnection> client;
  ASSERT_EQ(pipes.Open(name, client), ERROR_SUCCESS);
  std::unique_ptr<PipeConnection> peer;
  ASSERT_EQ(server->Accept(peer, 5000), ERROR_SUCCESS);

  const std::string block(16384, 'b');
  std::thread writer([&] { EXPECT_EQ(client->Write(block.data(), block.size()), ERROR_SUCCESS); });
  std::string received(block.size(), '\0');
  size_t nRead = 0;
  EXPECT_EQ(peer->Read(received.data(), received.size(), nRead, 5000), ERROR_SUCCESS);
  writer.join();
  EXPECT_EQ(nRead, block.size());
  EXPECT_EQ(received, block);

  EXPECT_EQ(peer->Read(received.data(), 4, nRead, 10), ERROR_WAIT_TIMEOUT);
  ASSERT_EQ(client->Write("abc", 3), ERROR_SUCCESS);
  client.reset();  // three bytes of four, then the end
  EXPECT_EQ(peer->Read(received.data(), 4, nRead, 5000), ERROR_BROKEN_PIPE);
  EXPECT_EQ(nRead, 3u);
  EXPECT_EQ(peer->Write("x", 1), ERROR_NO_DATA);
}

using tarvium::test::MachineDir;

const char* const kIni = R"(C:\App\app.ini)";

TEST(IniProfile, ReadsValuesAndListsAsWindowsDoes) {
  MachineDir machine;
  IniProfile profile(machine.Files(), R"(C:\Windows)");
  machine.WriteHost("drive_c/App/app.ini",
                    "; comment=not a key\r\n"
                    "[Paths]\r\n"
                    "  Data Dir  =  C:\\Data  \r\n"
                    "Quoted=\"  spaced  \"\r\n"
                    "Single='x'\r\n"
                    "Half=\"open\n"
                    "[ Other ]\n"
                    "k=v\n"
                    "[paths]\n"
                    "Data Dir=second section is not read\n");
  EXPECT_EQ(profile.GetPrivateProfileString("PATHS", "data dir", "def", kIni), "C:\\Data");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Quoted", "", kIni), "  spaced  ");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Single", "", kIni), "x");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "Half", "", kIni), "\"open");
  EXPECT_EQ(profile.GetPrivateProfileString("Other", "k", "", kIni), "v");
  EXPECT_EQ(profile.GetPrivateProfileString("Paths", "; comment", "none", kIni), "none");
  // Numbers: ProfileWindowsCases.IntegerReadsWrapAndFallBackAsOnWindows.

  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString(nullptr, nullptr, "", kIni)),
            (std::vector<std::string>{"Paths", "Other", "paths"}));
  EXPECT_EQ(SplitProfileList(profile.GetPrivateProfileString("paths", nullptr, "", kIni)),
            (std::vector<std::string>{"Data Dir", "Quoted", "Single", "Half"}));
  EXPECT_EQ(profile.GetPrivateProfileSection("other", kIni), std::string("k=v\0", 4));
}

TEST(IniProfile, WritesChangeOnlyWhatTheyMustAndCreateWhatIsMissing) {
  MachineDir machine;
  auto& files = machine.Files();
  IniProfile profile(files, R"(C:\Windows)");
  ASSERT_EQ(files.CreateDirectory(R"(C:\App)"), ERROR_SUCCESS);
  // Defaults, missing files and the text of writes to new files: the Windows cases below.
  const std::string original =
      "; keep me\n"
      "[Main]\r\n"
      "  Key = old \r\n"
      "Other=1\n"
      "\r\n"
      "[Tail]\n"
      "x=1";
  ASSERT_EQ(files.WriteWholeFile(kIni, original), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("main", "KEY", "new", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("MAIN", "Added", "a", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("tail", "y", "2", kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("New", "n", "3", kIni), ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Other=1\n"
            "Added=a\r\n"
            "\r\n"
            "[Tail]\n"
            "x=1\r\n"
            "y=2\r\n"
            "[New]\r\n"
            "n=3\r\n");

  ASSERT_EQ(profile.WritePrivateProfileString("Main", "other", nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileString("TAIL", nullptr, nullptr, kIni), ERROR_SUCCESS);
  ASSERT_EQ(profile.WritePrivateProfileSection("New", std::string("a=1\0b=2\0", 8), kIni),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(kIni),
            "; keep me\n"
            "[Main]\r\n"
            "Key=new\r\n"
            "Added=a\r\n"
            "\r\n"
            "[New]\r\n"
            "a=1\r\n"
            "b=2\r\n");
  EXPECT_EQ(profile.WritePrivateProfileString(nullptr, nullptr, nullptr, kIni), ERROR_SUCCESS);

  // A read-only file is refused; a bare file name and Win.ini lie in the Windows directory.
  ASSERT_EQ(files.SetFileAttributes(kIni, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(profile.WritePrivateProfileString("Main", "Key", "x", kIni), ERROR_ACCESS_DENIED);
  ASSERT_EQ(profile.WritePrivateProfileString("boot", "drivers", "mmsystem.dll", "System.ini"),
            ERROR_SUCCESS);
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\SYSTEM.INI)"), "[boot]\r\ndrivers=mmsystem.dll\r\n");
  ASSERT_EQ(profile.WriteProfileString("Reboot", "C:\\Setup.exe", "1"), ERROR_SUCCESS);
  EXPECT_EQ(profile.GetProfileInt("reboot", "c:\\setup.exe", 0), 1);
  EXPECT_EQ(profile.GetProfileString("Reboot", "C:\\Setup.exe", ""), "1");
  EXPECT_EQ(machine.ReadFile(R"(C:\Windows\win.ini)"), "[Reboot]\r\nC:\\Setup.exe=1\r\n");
}

const char* const kFile = R"(C:\Tests\winetest.ini)";

struct ProfileFixture {
  MachineDir machine;
  IniProfile profile{machine.Files(), R"(C:\Windows)"};
  ProfileFixture() { machine.Files().CreateDirectory(R"(C:\Tests)"); }
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine.Files().WriteWholeFile(path, bytes), ERROR_SUCCESS);
  }
  std::string Read(const std::string& path) { return machine.ReadFile(path); }
  bool Exists(const std::string& path) { return machine.Files().FileExists(path); }
};

// Each read is made with the defaults -1 and 1: a missing section or key gives the default, a
// written value its number (wrapped to 32 bits) whatever the default.
TEST(ProfileWindowsCases, IntegerReadsWrapAndFallBackAsOnWindows) {
  struct Case {
    const char *section, *key;
    const char* written;  // written to Test/ProfileInt before the reads
    std::optional<uint32_t> nRead;
  };
  const char* const s = "Test";
  const char* const k = "ProfileInt";
  // clang-format off
  const Case cases[] = {
      {nullptr, nullptr, nullptr, {}},    {s, nullptr, nullptr, {}},  {nullptr, k, nullptr, {}},
      {s, k, nullptr, {}},                {s, k, "-1", 4294967295U},  {s, k, "1", 1},
      {s, k, "+1", 1},                    {s, k, "4294967296", 0},    {s, k, "4294967297", 1},
      {s, k, "-4294967297", 4294967295U}, {s, k, "42A94967297", 42}, {s, k, "B4294967297", 0},
  };
  // clang-format on
  ProfileFixture f;
  for (const Case& c : cases) {
    if (c.written) f.profile.WritePrivateProfileString(s, k, c.written, kFile);
    for (const int32_t nDefault : {-1, 1}) {
      EXPECT_EQ(
          static_cast<uint32_t>(f.profile.GetPrivateProfileInt(c.section, c.key, nDefault, kFile)),
          c.nRead.value_or(static_cast<uint32_t>(nDefault)))
          << (c.section ? c.section : "(null)") << "/" << (c.key ? c.key : "(null)") << " written "
          << (c.written ? c.written : "nothing") << ", default " << nDefault;
    }
  }
}

TEST(ProfileWindowsCases, ListsSectionsAndEmptyNames) {
  ProfileFixture f;
  f.Write(kFile, "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", nullptr, "", kFile),
            std::string("name1\0name2\0name4\0", 18));
  f.profile.WritePrivateProfileString("s", "name5", "val5", kFile);
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", nullptr, "", kFile),
            std::string("name1\0name2\0name4\0name5\0", 24));

  f.Write(kFile,
          "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("", "key", "", kFile), "val_e_section");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", "", "", kFile), "val_no_key");

  f.Write(kFile,
          "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n"
          "[section3]\r\n=val5\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileSection(nullptr, kFile), "");
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section2", kFile), "");
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section1", kFile),
            std::string("name1=val1\0name2=\0name3\0name4=val4\0", 35));
  EXPECT_EQ(f.profile.GetPrivateProfileSection("section3", kFile), std::string("=val5\0", 6));

  f.Write(kFile, "[ section1 ]\r\n[section2]\r\n[section3]\r\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString(nullptr, nullptr, "", kFile),
            std::string("section1\0section2\0section3\0", 27));
  EXPECT_EQ(f.profile.GetPrivateProfileString(nullptr, nullptr, "", R"(C:\Tests\not_here.ini)"),
            "");

  // Nothing is cached: a file changed or deleted behind the functions' back reads as it is now.
  f.Write(kFile, "[Test]\nProfileInt=123\n");
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 0, kFile), 123);
  f.Write(kFile, "[Test]\nProfileInt=124\n");
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 0, kFile), 124);
  ASSERT_EQ(f.machine.Files().DeleteFile(kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.profile.GetPrivateProfileInt("Test", "ProfileInt", 421, kFile), 421);
}

// The string reads, once over CR LF lines and once over lines ended by a bare CR.
TEST(ProfileWindowsCases, StringReadsOverBothLineEnds) {
  struct Case {
    const char *section, *key, *defaultValue, *file;
    std::string expected;
  };
  const char* const w = kFile;
  const std::string noFile;
  const Case cases[] = {
      {nullptr, "name1", "default", w, std::string("section1\0section2\0", 18)},
      {"", "name1", "default", w, "default"},
      {"notasection", "name1", "default", w, "default"},
      {"", "name1", nullptr, w, ""},
      {"", "name1", "", w, ""},
      {"", "name1", "default  ", w, "default"},
      {"", "name1", "one two  ", w, "one two"},
      {"", "name1", "one two", w, "one two"},
      {"section1", nullptr, "default", w, std::string("name1\0name2\0name4\0", 18)},
      {"section1", "", "default", w, "default"},
      {"section1", "notakey", "default", w, "default"},
      {"section1", "", nullptr, w, ""},
      {"section1", "", "", w, ""},
      {"section1", "", "default  ", w, "default"},
      {"section1", "name1", "default", "", "default"},
      {"section1", "name1", "default", "nonexistent", "default"},
      {"section1", "name2", "default", w, "val2"},
      {"section1", "NaMe1", "default", w, "val1"},
      {"section1", "NaMe1", "default", "winetest.ini", "default"},
      {"section1", "NaMe1", "default", "pre1234.tmp", "val1"},
      {"section1", "name1", "default", w, "val1"},
      {"section1", "name4", "default", w, "a"},
      {"section2", "DoesntExist", "", w, ""},
  };
  for (const char* lineEnd : {"\r\n", "\r"}) {
    const std::string e = lineEnd;
    const std::string content = "[section1]" + e + "name1=val1" + e + "name2=\"val2\"" + e +
                                "name3" + e + "name4=a" + e + "[section2]" + e;
    ProfileFixture f;
    f.Write(kFile, content);
    f.Write(R"(C:\Windows\pre1234.tmp)", content);
    int i = 0;
    for (const Case& c : cases) {
      EXPECT_EQ(f.profile.GetPrivateProfileString(c.section, c.key, c.defaultValue, c.file),
                c.expected)
          << "case " << i << (e == "\r" ? " (CR only)" : " (CR LF)");
      ++i;
    }
  }
}

TEST(ProfileWindowsCases, WritesGiveTheExactTextWindowsWrites) {
  ProfileFixture f;
  const std::string path = R"(C:\Tests\wine1.tmp)";
  EXPECT_EQ(f.profile.WritePrivateProfileString(nullptr, "key", "string", path),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(f.Exists(path));
  f.Write(path, "");
  EXPECT_EQ(f.profile.WritePrivateProfileString(nullptr, "key", "string", path),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(f.Read(path), "");
  ASSERT_EQ(f.machine.Files().DeleteFile(path), ERROR_SUCCESS);

  struct Case {
    const char *section, *key, *value;
    std::string expected;  // the file afterwards; "-" when it does not exist
  };
  // Windows creates an empty file for a delete on a missing file; here the file stays missing,
  // so that removing entries never leaves files behind (the two "-" rows).
  const Case singles[] = {
      {"", "key", "string", "[]\r\nkey=string\r\n"}, {"App", nullptr, "string", "-"},
      {"App", "", "string", "[App]\r\n=string\r\n"}, {"App", "key", nullptr, "-"},
      {"App", "key", "", "[App]\r\nkey=\r\n"},
  };
  for (const Case& c : singles) {
    ASSERT_EQ(f.profile.WritePrivateProfileString(c.section, c.key, c.value, path), ERROR_SUCCESS);
    EXPECT_EQ(f.Exists(path) ? f.Read(path) : "-", c.expected) << c.section << "/" << c.key;
    if (f.Exists(path)) f.machine.Files().DeleteFile(path);
  }
  EXPECT_EQ(f.profile.WritePrivateProfileString("App", "key", "string", ""), ERROR_ACCESS_DENIED);
  ASSERT_EQ(f.profile.WritePrivateProfileString("App", "key", "string", "win1.tmp"), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(R"(C:\Windows\win1.tmp)"), "[App]\r\nkey=string\r\n");

  f.profile.WritePrivateProfileString("App1", "key1", "string1", path);
  f.profile.WritePrivateProfileString("App1", "key2", "string2", path);
  f.profile.WritePrivateProfileString("App1", "key3", "string3", path);
  f.profile.WritePrivateProfileString("App2", "key4", "string4", path);
  const Case sequence[] = {
      {"App3", "key5", "string5",
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
       "[App3]\r\nkey5=string5\r\n"},
      {"App1", "key2", nullptr,
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
       "key5=string5\r\n"},
      {"App1", "key2", nullptr,
       "[App1]\r\nkey1=string1\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\n"
       "key5=string5\r\n"},
      {"App1", nullptr, "string1", "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n"},
      {"App2", nullptr, nullptr, "[App3]\r\nkey5=string5\r\n"},
      {"App3", "key5", nullptr, "[App3]\r\n"},
  };
  for (const Case& c : sequence) {
    ASSERT_EQ(f.profile.WritePrivateProfileString(c.section, c.key, c.value, path), ERROR_SUCCESS);
    EXPECT_EQ(f.Read(path), c.expected) << c.section;
  }

  const std::string before("Data \0 before \0 first \0 section", 31);
  f.Write(path, before);
  ASSERT_EQ(f.profile.WritePrivateProfileString("section1", "key1", "string1", path),
            ERROR_SUCCESS);
  EXPECT_EQ(f.Read(path), before + "\r\n[section1]\r\nkey1=string1\r\n");
}

TEST(ProfileWindowsCases, SectionReadWrittenBackLosesNothing) {
  ProfileFixture f;
  f.Write(kFile, "[A]\r\n; note\r\nplain line\r\n=lone value\r\nk = v\r\n\r\n[B]\r\nx=1\r\n");
  const std::string lines = f.profile.GetPrivateProfileSection("A", kFile);
  ASSERT_EQ(f.profile.WritePrivateProfileSection("A", lines, kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(kFile), "[A]\r\n; note\r\nplain line\r\n=lone value\r\nk=v\r\n[B]\r\nx=1\r\n");
}

TEST(ProfileWindowsCases, UnicodeFilesAreReadAndWrittenInTheirEncoding) {
  auto utf16 = [](std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
  };
  ProfileFixture f;
  f.Write(kFile, utf16("[.ShellClassInfo]\r\nIconResource=x.dll,0\r\n"));
  EXPECT_EQ(f.profile.GetPrivateProfileString(".ShellClassInfo", "IconResource", "", kFile),
            "x.dll,0");
  ASSERT_EQ(f.profile.WritePrivateProfileString(".ShellClassInfo", "InfoTip", "T\xE9st", kFile),
            ERROR_SUCCESS);
  std::string expected = utf16("[.ShellClassInfo]\r\nIconResource=x.dll,0\r\nInfoTip=T");
  expected += std::string("\xE9\0", 2) + utf16("st\r\n").substr(2);
  EXPECT_EQ(f.Read(kFile), expected);
  EXPECT_EQ(f.profile.GetPrivateProfileString(".ShellClassInfo", "InfoTip", "", kFile), "T\xE9st");

  f.Write(kFile, "\xEF\xBB\xBF[s]\nk=v\n");
  EXPECT_EQ(f.profile.GetPrivateProfileString("s", "k", "", kFile), "v");
  ASSERT_EQ(f.profile.WritePrivateProfileString("s", "k", nullptr, kFile), ERROR_SUCCESS);
  EXPECT_EQ(f.Read(kFile), "\xEF\xBB\xBF[s]\n");
}

}  // namespace
}  // namespace platform
