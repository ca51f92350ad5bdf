// winmachine: the emulated Windows machine's tool for people and tests. It creates a machine,
// maps Windows paths to the host, queries and edits the registry like Windows' reg command,
// lists installed programs, runs programs on it, keeps the windows its programs announce,
// shows and drives its services, performs a restart, and snapshots and compares machines.
#include <cstdio>
#include <cstring>
#include <map>

#include "cli.h"
#include "platform/code_page.h"
#include "platform/command_line_args.h"
#include "platform/emulated/processes/engine_image.h"
#include "version_text.h"

namespace winmachine {
namespace {

constexpr const char* kUsage =
    "usage: winmachine [--machine DIR] COMMAND ... | --version\n"
    "  create DIR [--user NAME] [--computer NAME] [--lang de-DE|en-US|fr-FR]\n"
    "  info                      identity, version, language and drives of the machine\n"
    "  path WINPATH              the host path of a Windows path\n"
    "  reg query KEY [/v NAME | /ve] [/s] [/reg:32|/reg:64]\n"
    "  reg add KEY [/v NAME | /ve] [/t TYPE] [/s SEP] [/d DATA] [/f] [/reg:32|/reg:64]\n"
    "  reg delete KEY [/v NAME | /ve | /va] [/f] [/reg:32|/reg:64]\n"
    "  reg export KEY FILE [/y] [/utf8] [/reg:32|/reg:64]\n"
    "                            .reg text (version 5) in UTF-16LE, or UTF-8 with /utf8; FILE -\n"
    "                            is standard output\n"
    "  reg import FILE           .reg text: version 5 or REGEDIT4, UTF-8 or UTF-16LE; skipped\n"
    "                            lines are reported on stderr\n"
    "  programs                  the installed programs of the Uninstall keys\n"
    "  programs uninstall|modify|repair PRODUCT\n"
    "                            runs the product's command (PRODUCT: display name or key) as\n"
    "                            Add/Remove Programs does, waits, shows and exits with its code\n"
    "  account add NAME PASSWORD a local user; account del NAME deletes one (it leaves its\n"
    "                            groups and loses its rights); account list shows the users:\n"
    "                            SID, privilege, flags, home folder, logon script, marks\n"
    "  group add GROUP MEMBER [--global]\n"
    "                            a member of a local group (created when missing) or of a\n"
    "                            global group of the domain; group del GROUP MEMBER takes one\n"
    "                            out; group list [--global] shows the groups and their members\n"
    "  shares [list]             the disk shares: name, folder, remark\n"
    "  shares add NAME PATH [REMARK] | shares del NAME\n"
    "                            shares an existing folder, or stops sharing it\n"
    "  rights [ACCOUNT]          the account rights of every account holding some, or of one\n"
    "  rights add|del ACCOUNT RIGHT\n"
    "                            grants or takes a right (SeServiceLogonRight, ...)\n"
    "  acl KIND OBJECT           the access list of an object; KIND: file (a Windows path),\n"
    "                            share, key (MACHINE\\SOFTWARE\\...) or printer\n"
    "  acl KIND OBJECT grant|set|deny|revoke TRUSTEE [MASK [INHERITANCE]]\n"
    "                            merges an entry as SetEntriesInAcl does (MASK: default\n"
    "                            GENERIC_ALL; INHERITANCE: 1 objects, 2 containers, 3 both)\n"
    "  printers                  printers ('*' the default), connections, drivers, ports\n"
    "  reboot                    ends the services' programs, removes services marked for\n"
    "                            deletion, pending renames and deletes, starts the boot, system\n"
    "                            and automatic services, RunOnce, clears a restart request\n"
    "  run COMMAND LINE          starts a program (or opens a .lnk shortcut) as Start > Run does,\n"
    "                            waits, and exits with its code (the low byte; the whole code\n"
    "                            to a parent)\n"
    "  window open [--pid N] [--refuse-end] TITLE\n"
    "                            announces a top-level window of the calling program (or of\n"
    "                            process N), which ends with it; --refuse-end: it refuses the\n"
    "                            shutdown query. window close [--pid N] TITLE withdraws it;\n"
    "                            window list shows the windows, PID and title a line\n"
    "  services [list]           the services and drivers, a line each: state, name, display name\n"
    "  services query [NAME]     the status of a service (or of every one) in sc query's layout\n"
    "  services start NAME [ARG...]\n"
    "                            starts a service (its dependencies first) as sc start does; a\n"
    "                            failure is one line on stderr with the Windows error, status 1\n"
    "  services stop NAME        sends the stop request; the service is STOP_PENDING until its\n"
    "                            program has ended\n"
    "  snapshot DIR              files and registry of the machine, written to DIR\n"
    "  diff A B [--removal] [--ignore FILE]\n"
    "                            what changed from A to B (machines or snapshots); status 1 if\n"
    "                            any. --removal leaves out what a product's removal leaves on\n"
    "                            purpose; --ignore the lines that the patterns of FILE match\n"
    "                            (* and ?; one a line, lines starting with # skipped)\n"
    "The machine is --machine DIR, else $TARVIUM_MACHINE, else ~/.local/share/tarvium/machine.\n";

using Command = int (*)(const Invocation&);

const std::map<std::string, Command> kCommands = {
    {"create", CreateCommand},     {"info", InfoCommand},         {"path", PathCommand},
    {"programs", ProgramsCommand}, {"reboot", RebootCommand},     {"snapshot", SnapshotCommand},
    {"diff", DiffCommand},         {"reg", RegCommand},           {"account", AccountCommand},
    {"group", GroupCommand},       {"run", RunCommand},           {"window", WindowCommand},
    {"printers", PrintersCommand}, {"services", ServicesCommand}, {"shares", SharesCommand},
    {"rights", RightsCommand},     {"acl", AclCommand},
};

}  // namespace

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "winmachine: %s\n", message.c_str());
  return code;
}

std::unique_ptr<platform::emulated::EmulatedMachine> OpenMachine(const Invocation& invocation) {
  using platform::emulated::EmulatedMachine;
  std::string error;
  bool bCreated = false;
  platform::emulated::MachineIdentity identityIfNew;
  identityIfNew.engine = EngineOfThisWinmachine();
  auto machine = EmulatedMachine::Open(invocation.machineDir, EmulatedMachine::HostVariables(),
                                       error, identityIfNew, &bCreated);
  if (!machine) Fail(kExitFailed, error);
  if (machine && bCreated && invocation.bDefaultMachine)
    Fail(kExitOk, "created a new machine in " + invocation.machineDir +
                      " (--machine DIR or TARVIUM_MACHINE names another)");
  return machine;
}

std::string EngineOfThisWinmachine() {
  return platform::FindEngine(
      {platform::BesideRunningProgram(TARVIUM_INSTALLED_ENGINE), TARVIUM_BUILT_ENGINE});
}

std::string FromArg(const std::string& arg) {
  return platform::Utf8ToAnsi(arg);
}

void PrintLine(const std::string& ansiText) {
  std::printf("%s\n", platform::AnsiToUtf8(ansiText).c_str());
}

}  // namespace winmachine

int main(int argc, char** argv) {
  using namespace winmachine;
  using platform::emulated::EmulatedMachine;
  if (tarvium::AsksForVersion(argc, argv)) return tarvium::PrintVersion("winmachine");
  Invocation invocation{
      EmulatedMachine::DefaultDirectory(), {}, EmulatedMachine::IsDefaultUnnamed()};
  int i = 1;
  if (i < argc && std::strcmp(argv[i], "--machine") == 0) {
    if (i + 1 >= argc) return Fail(kExitUsage, "--machine needs a directory");
    invocation.machineDir = argv[i + 1];
    invocation.bDefaultMachine = false;
    i += 2;
  }
  if (i >= argc || platform::IsHelpArgument(argv[i])) {
    std::fputs(kUsage, i >= argc ? stderr : stdout);
    return i >= argc ? kExitUsage : kExitOk;
  }
  const auto command = kCommands.find(argv[i]);
  if (command == kCommands.end())
    return Fail(kExitUsage, std::string("unknown command '") + argv[i] + "' (try --help)");
  invocation.args.assign(argv + i + 1, argv + argc);
  return command->second(invocation);
}
