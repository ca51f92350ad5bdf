// The account, adapter and clipboard services of a real emulated machine: the seeded accounts of
// a new machine, users and members added later, logons through the process service, the domain
// controller, the adapters of machine.ini and the clipboard file.
// The emulated spooler's answers, as a setup branches on them: the checks of AddPrinter (names,
// driver, port, processor, data type, share, server), ports added through the monitor's dialog
// and refused while a printer uses them, and the Win.ini device settings kept in the registry.
// The emulated named pipes: sockets in the machine's pipe folder, reached by their Windows pipe
// names, with the error codes Windows gives for missing, busy and broken pipes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/emulated/machine/emulated_machine.h"
#include "platform/emulated/pipes/socket_pipes.h"
#include "platform/named_pipe.h"
#include "platform/spooler.h"
#include "platform/win_error.h"
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
  ASSERT_EQ(accounts.AddUser("alice", "pw"), ERROR_SUCCESS);
  EXPECT_EQ(accounts.AddUser("ALICE", "other"), emulated::NERR_UserExists);
  EXPECT_EQ(accounts.AddUser("bad\\name", ""), ERROR_INVALID_PARAMETER);
  ASSERT_EQ(accounts.AddGroupMember("Administrators", "alice", false), ERROR_SUCCESS);
  ASSERT_EQ(accounts.AddGroupMember("administrators", "ALICE", false), ERROR_SUCCESS);  // once
  ASSERT_EQ(accounts.AddGroupMember("Sales", "CORP\\jdoe", true), ERROR_SUCCESS);

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
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("bob", "pw"), ERROR_SUCCESS);
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("Everyone", "pw"), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountName("bob", sid), ERROR_SUCCESS);
  ASSERT_EQ(system.LookupAccountSid(sid, name, domain), ERROR_SUCCESS);
  EXPECT_EQ(name + "@" + domain, "bob@TARVIUM-PC");
  ASSERT_EQ(system.LookupAccountName("Everyone", sid), ERROR_SUCCESS);
  EXPECT_EQ(sid, "S-1-1-0");
}

TEST(Accounts, LogonsCheckThePasswordAndDomainLogonsNeedADomain) {
  TestMachine test;
  Machine& machine = test.Machine();
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("alice", "s3cret"), ERROR_SUCCESS);
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
  ASSERT_EQ(test.Machine().EmulatedUsers().AddUser("jdoe", "pw"), ERROR_SUCCESS);
  EditConfig(test, "Identity", "Domain=CORP\nDomainController=DC01");
  auto domainMachine = test.OpenAgain();
  ASSERT_EQ(domainMachine->Users().GetDCName("", dc), ERROR_SUCCESS);
  EXPECT_EQ(dc, "\\\\DC01");
  ASSERT_EQ(domainMachine->Users().GetDCName("corp", dc), ERROR_SUCCESS);
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
  std::string text;
  ASSERT_EQ(t.Machine().Files().ReadWholeFile("C:\\Windows\\win.ini", text), 0u);
  EXPECT_EQ(text, "[windows]\r\nload=tray.exe\r\n") << "other entries stay in the file";
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

}  // namespace
}  // namespace platform
