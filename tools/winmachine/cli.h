// What the commands of winmachine share: the arguments after the command, the machine they work
// on, and the one way they report a bad argument (one line on stderr, exit status 2).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/machine/emulated_machine.h"

namespace winmachine {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command could not do it, or diff found differences
inline constexpr int kExitUsage = 2;

struct Invocation {
  std::string machineDir;         // --machine, or the default machine
  std::vector<std::string> args;  // after the command word
  bool bDefaultMachine = false;   // no machine named: the one in the user's data folder
};

// Prints "winmachine: <message>" on stderr and returns `code`.
int Fail(int code, const std::string& message);
// Opens the invocation's machine (creating a default one the first time, which is said on stderr
// for the machine in the user's data folder); null after Fail.
std::unique_ptr<platform::emulated::EmulatedMachine> OpenMachine(const Invocation& invocation);
// The engine that came with this winmachine, which the machines it creates run for their engine
// images (their machine.ini's Engine=): the engine installed with it, else the one built with it;
// empty when neither is there.
std::string EngineOfThisWinmachine();
// Text from the command line (UTF-8) into the engine's ANSI, and back for printing.
std::string FromArg(const std::string& arg);
void PrintLine(const std::string& ansiText);

// Starts a command line on the machine as Start > Run does and waits for it; false (after a
// message) when it could not be started.
bool RunToEnd(platform::Machine& machine, const std::string& commandLine, uint32_t& dwExitCode);

int CreateCommand(const Invocation& invocation);
int InfoCommand(const Invocation& invocation);
int PathCommand(const Invocation& invocation);
int ProgramsCommand(const Invocation& invocation);
int RebootCommand(const Invocation& invocation);
int SnapshotCommand(const Invocation& invocation);
int DiffCommand(const Invocation& invocation);
int RegCommand(const Invocation& invocation);
int AccountCommand(const Invocation& invocation);
int GroupCommand(const Invocation& invocation);
int RunCommand(const Invocation& invocation);
int WindowCommand(const Invocation& invocation);
int PrintersCommand(const Invocation& invocation);
int ServicesCommand(const Invocation& invocation);
int SharesCommand(const Invocation& invocation);
int RightsCommand(const Invocation& invocation);
int AclCommand(const Invocation& invocation);

}  // namespace winmachine
