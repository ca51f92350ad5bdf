// One end-to-end scenario of Setup.exe: a folder of tests/e2e/scenarios holding the product's
// Setup.inf with its media and a scenario.ini that says how to run it and what to expect. The file
// has sections of plain lines:
//   [Run]        CommandLine= (shell syntax, run in the scenario folder), ExitCode= (the full
//                32-bit code, decimal), RegistrySeed= (a .reg file of the folder imported first,
//                in which %SCENARIO% is the Windows path of the folder the run uses),
//                PowerRequest= (the machine's recorded request afterwards: none, restart, ...),
//                TrustTestExtension=1 (the machine trusts build/tests/setup_test_extension.so,
//                which %TARVIUM_TEST_EXTENSION% names in every run), TrustModules= (files of the
//                media, after Prepare, whose digests the machine's allow-list gets: in-process
//                servers the setup loads; Windows needs no list),
//                Prepare= (a shell command run before the run, in a copy of the folder that the
//                run then uses as its media; $TARVIUM_MACHINE, $SETUP_EXE and $WINMACHINE name
//                the machine and the built programs, so it can make cabinets, run an earlier
//                installation or put files on the machine, and $STAND_IN the program to copy
//                for each program the setup starts (see tests/e2e/stand_in.cpp), and, when
//                the scenario is compared on both machines, $ODBC_DRIVER_SETUP the Windows
//                build's ODBC driver setup library (unset otherwise); the "before"
//                of [Diff] is taken after it), HoldLocked= (a file of the machine, Windows path,
//                that the test holds locked while Setup.exe runs, so that it is in use), After= (a
//                shell command run after Setup.exe, with the same variables, before the checks,
//                such as "$WINMACHINE reboot")
//                Start= (a `winmachine run` command line after the run, such
//                as a shortcut to open), StartExitCode= (its expected exit code, default 0)
//   [StartOutput] lines expected in the output of Start=
//   [Links]      lines "WINPATH|Field=Value": lnkinfo's field of the machine's link file
//                ("Local path", "Command line arguments", ...) must be Value
// %SCENARIO% in [Run] Start=, [StartOutput] and [Links] lines stands for the Windows path of the
// folder the run uses.
//                LinuxOnly= (why the scenario needs the Linux build, such as a program that
//                announces a window on the emulated machine: the comparison with the Windows build
//                leaves it out)
//                Agent= (a setup-agent script of the folder: the agent is started on the machine
//                before Setup.exe and must end with AgentExitCode=, 0 when not given)
//                PlanDiffers= (why a plan of the run cannot foresee it, such as a program the run
//                starts that changes the machine itself: every other scenario is first run with
//                /Plan:, which must leave the machine as it was, end with the run's exit code and
//                foresee every change of the run's [Diff])
//   [HookLog]    lines expected in the test extension's log, which a Setup.inf asks for with
//                TestHookLog=%TARVIUM_SCENARIO_LOGS%/hook.txt (the host folder of L:)
//   [MachineIni] lines "Section/Key=Value" set in machine.ini before the run
//   [WinIni]     lines "Section/Key=Value" written to WIN.INI before the run
//   [WinIniAfter] lines "Section/Key=Value" that WIN.INI must hold afterwards
//   [AgentLog]   lines expected, in this order, in setup-agent's log of requests and replies
//   [Trace], [Debug], [ErrorFile], [Output]
//                lines expected, in this order, as parts of lines of the /B trace file
//                (L:\trace.txt), the debugger output, the /E error file (L:\error.txt) and
//                standard output with standard error; a line starting with '!' must not appear
//   [Then]       further runs after the first, one a line: "setup <status> <command line>" runs
//                Setup.exe again in the folder, "winmachine <status> <arguments>" runs winmachine
//                on the machine (which finds the Setup.exe built with it as the engine of
//                _UnInst.exe); <status> is the exit status the shell must see
//   [ThenOutput] lines expected in the output of the [Then] runs, as [Output]; the trace, error
//                file, debugger output and hook log are checked after the [Then] runs, whose
//                lines they hold too
//   [Diff]       the lines of `winmachine diff` against the machine before the runs, not counting
//                the log drive L: and empty lines; a line ending in '*' is matched up to the '*'
//                (for times and host paths that differ from run to run)
//   [Run] DocExample= names a Setup.inf example of the documentation (a block marked ```ini in
//                README.md or a page of docs/) by a line that only it has: the example is
//                merged into the folder's Setup.inf first
//                (the lines of each of its sections come first in the section of that name,
//                which is added when the file lacks it)
// %SETUP_EXE% in a line stands for Setup.exe's Windows path on the machine. Setup.exe and the
// programs it starts see $WINMACHINE (the machine tool, with which a program announces a window)
// and $TARVIUM_SCENARIO_LOGS.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace tarvium::test {

struct Scenario {
  std::string name;
  std::string dir;                                           // host path of the folder
  std::map<std::string, std::string> run;                    // [Run] key -> value
  std::map<std::string, std::vector<std::string>> sections;  // every section's lines
  const std::vector<std::string>& Lines(const std::string& section) const;
};

// The folders of tests/e2e/scenarios, sorted.
std::vector<std::string> ScenarioNames();
// The scenario's name as a test's name: every character other than a letter or digit as '_'.
std::string ScenarioTestName(const std::string& name);
// Reads tests/e2e/scenarios/<name>/scenario.ini; ';' lines and empty lines are skipped.
Scenario LoadScenario(const std::string& name);

// The Setup.inf examples of the documentation (README.md and docs/): the text of each block
// marked ```ini, CR LF lines.
std::vector<std::string> DocExamples();
// The one example that has `line` among its lines; "" when no example or more than one has it.
std::string DocExample(const std::string& line);
// The Setup.inf text with the example merged in: the lines of each section of the example right
// after the header of the file's section of the same name (added at the end when the file has
// none).
std::string MergeExample(const std::string& setupInf, const std::string& example);

// Whether `expected` (lines, each a part of one line; '!' lines must be absent) matches `text`;
// on a mismatch `why` names the line that failed.
bool MatchLines(const std::vector<std::string>& expected, const std::string& text,
                std::string& why);

// Whether the diff lines are the expected ones, one by one ('*' at the end: a prefix).
bool MatchDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// The shell command that gives the machine's allow-list the digests of the media's modules
// (TrustModules=: in-process servers the setup copies and loads); the machine trusts a module by
// its digest and name, which a copy keeps, and only from a list its owner alone may write.
std::string TrustModulesCommand(const std::string& media, const std::string& machine,
                                const std::string& names);

// Every `from` in the text replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

// A [MachineIni] or [WinIni] line "Section/Key=Value", with %SETUP_EXE% as `setupExe`.
struct IniSetting {
  std::string section, key, value;
};
IniSetting ParseIniSetting(const std::string& line, const std::string& setupExe);

// A RegistrySeed .reg text with %SCENARIO% as the Windows path of `folder` (the folder the run
// uses), its backslashes doubled as .reg strings write them.
std::string SeedWithFolder(const std::string& regText, const std::string& folder);

}  // namespace tarvium::test
