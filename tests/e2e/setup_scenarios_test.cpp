// Setup.exe from start to exit code, through the real binaries: each folder of scenarios/ is one
// run on a fresh temporary machine (a copy of one machine created by `winmachine create`), and
// what the folder's scenario.ini expects is checked against the run's exit code, its trace, error
// file, debugger output and console, WIN.INI, the machine's recorded power request and
// `winmachine diff` against the machine before the run. A scenario of a /G run starts setup-agent
// on the machine first and checks its log. Every program runs under a time-out, so that a run
// that hangs fails its scenario. New scenarios need only a new folder. The Setup.inf examples of
// the documentation are taken from it into the scenarios that run them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/emulated/machine/emulated_machine.h"
#include "support/lnkinfo.h"
#include "support/planned_state.h"
#include "support/run_tool.h"
#include "support/setup_scenario.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

namespace fs = std::filesystem;

// The diff one line a line, whole, so that a failure shows what to expect.
std::string JoinDiffLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

void AppendHostFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

// One machine for every scenario of the binary, copied for each run (creating one costs more
// than copying it), with its snapshot, which is the "before" of every scenario that seeds nothing.
struct TemplateMachine {
  TempDir dir;
  std::string machine = dir.Path() + "/machine";
  std::string snapshot = dir.Path() + "/snapshot";

  TemplateMachine() {
    const ToolResult created = RunTool("winmachine", "create " + ShellQuote(machine));
    if (created.nExit != 0) ADD_FAILURE() << created.out;
    const ToolResult taken = RunTool(
        "winmachine", "--machine " + ShellQuote(machine) + " snapshot " + ShellQuote(snapshot));
    if (taken.nExit != 0) ADD_FAILURE() << taken.out;
  }
  static const TemplateMachine& Get() {
    static const TemplateMachine instance;
    return instance;
  }
};

// A copy of a machine that keeps the files' times, which a snapshot compares.
void CopyMachine(const std::string& from, const std::string& to) {
  fs::copy(from, to, fs::copy_options::recursive);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    if (!entry.is_regular_file()) continue;
    fs::last_write_time(to / fs::relative(entry.path(), from), entry.last_write_time());
  }
}

class SetupScenario : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    scenario_ = LoadScenario(GetParam());
    media_ = scenario_.dir;
    CopyMachine(TemplateMachine::Get().machine, machine_);
    fs::create_directories(logs_);
    std::string machineIni = "\r\n[Drive L]\r\nHostDir=" + logs_ + "\r\n";
    for (const std::string& line : scenario_.Lines("MachineIni")) {
      const IniSetting setting = ParseIniSetting(line, "");
      machineIni += "[" + setting.section + "]\r\n" + setting.key + "=" + setting.value + "\r\n";
    }
    AppendHostFile(machine_ + "/machine.ini", machineIni);
    if (scenario_.run.count("Prepare") || scenario_.run.count("DocExample")) {
      media_ = dir_.Path() + "/media";
      fs::copy(scenario_.dir, media_, fs::copy_options::recursive);
    }
    if (scenario_.run.count("RegistrySeed")) {
      const std::string seed = dir_.Path() + "/seed.reg";
      std::ofstream(seed, std::ios::binary) << SeedWithFolder(
          ReadHostFile(scenario_.dir + "/" + scenario_.run["RegistrySeed"]), media_);
      const ToolResult imported = On("reg import " + ShellQuote(seed));
      ASSERT_EQ(imported.nExit, 0) << imported.out;
    }
    if (scenario_.run.count("TrustTestExtension")) TrustTestExtension();
    if (!scenario_.Lines("WinIni").empty()) {
      WithMachine([&](platform::emulated::EmulatedMachine& machine) {
        for (const std::string& line : scenario_.Lines("WinIni")) {
          const IniSetting s = ParseIniSetting(line, SetupExe(machine));
          machine.Profiles().WriteProfileString(s.section.c_str(), s.key.c_str(), s.value.c_str());
        }
      });
    }
    if (scenario_.run.count("DocExample")) {
      ASSERT_NO_FATAL_FAILURE(MergeDocExample());
    }
    if (scenario_.run.count("Prepare")) {
      ASSERT_EQ(RunShell(scenario_.run["Prepare"]), 0) << scenario_.run["Prepare"];
    }
    if (scenario_.run.count("TrustModules")) TrustMediaModules(scenario_.run["TrustModules"]);
    if (scenario_.run.count("RegistrySeed") || !scenario_.Lines("WinIni").empty() ||
        scenario_.run.count("Prepare")) {
      before_ = dir_.Path() + "/before";
      ASSERT_EQ(On("snapshot " + ShellQuote(before_)).nExit, 0);
    }
  }

  // The documentation's example merged into the media's Setup.inf.
  void MergeDocExample() {
    const std::string example = DocExample(scenario_.run["DocExample"]);
    ASSERT_FALSE(example.empty()) << "no single example of the documentation has the line "
                                  << scenario_.run["DocExample"];
    const std::string setupInf = media_ + "/Setup.inf";
    const std::string merged = MergeExample(ReadHostFile(setupInf), example);
    std::ofstream(setupInf, std::ios::binary | std::ios::trunc) << merged;
  }

  // The administrator's allow-list of the machine names the test extension's digest.
  void TrustTestExtension() {
    const std::string command = "cd " + ShellQuote(BuildDir() + "/tests") +
                                " && sha256sum setup_test_extension.so > " +
                                ShellQuote(machine_ + "/trusted-modules.txt");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  void TrustMediaModules(const std::string& names) {
    const std::string command = TrustModulesCommand(media_, machine_, names);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  ToolResult On(const std::string& args) {
    return RunTool("winmachine", "--machine " + ShellQuote(machine_) + " " + args);
  }

  template <class F>
  void WithMachine(F&& use) {
    std::string error;
    auto machine = platform::emulated::EmulatedMachine::Open(machine_, {}, error);
    ASSERT_TRUE(machine) << error;
    use(*machine);
  }

  std::string SetupExe(platform::emulated::EmulatedMachine& machine) {
    std::string path;
    machine.EmulatedFiles().GetWindowsPath(BuildDir() + "/Setup.exe", path);
    return path;
  }

  // %SCENARIO%: the Windows path of the folder the scenario runs in.
  std::string WithScenarioPath(const std::string& text) const {
    return ReplaceAll(text, "%SCENARIO%", ZPath(media_));
  }

  // Each "WINPATH|Field=Value" line: what lnkinfo reads from the machine's file.
  void ExpectLinks() {
    for (const std::string& line : scenario_.Lines("Links")) {
      const std::string text = WithScenarioPath(line);
      const size_t nBar = text.find('|');
      const size_t nEquals = text.find('=', nBar);
      ASSERT_NE(nEquals, std::string::npos) << line;
      std::string host;
      WithMachine([&](platform::emulated::EmulatedMachine& machine) {
        machine.EmulatedFiles().GetHostPath(text.substr(0, nBar), host);
      });
      const LnkInfo info = ReadLnkInfo(host);
      EXPECT_EQ(info[text.substr(nBar + 1, nEquals - nBar - 1)], text.substr(nEquals + 1))
          << line << "\n"
          << info.out;
    }
  }

  // Start=: a program or shortcut opened on the machine after the run.
  void ExpectStart() {
    if (!scenario_.run.count("Start")) return;
    const ToolResult started = On("run " + ShellQuote(WithScenarioPath(scenario_.run["Start"])));
    const int nExpected =
        scenario_.run.count("StartExitCode") ? std::stoi(scenario_.run["StartExitCode"]) : 0;
    EXPECT_EQ(started.nExit, nExpected) << started.out;
    std::vector<std::string> expected;
    for (const std::string& line : scenario_.Lines("StartOutput"))
      expected.push_back(WithScenarioPath(line));
    std::string why;
    EXPECT_TRUE(MatchLines(expected, started.out, why)) << why << "\n" << started.out;
  }

  // Starts setup-agent with the scenario's script and waits until it listens on the machine's
  // pipe (its first line of output); the agent ends with the run, or after its time-out.
  void StartAgent() {
    const std::string command =
        "cd " + ShellQuote(scenario_.dir) + " && TARVIUM_MACHINE=" + ShellQuote(machine_) +
        " timeout 60 " + ShellQuote(BuildDir() + "/tools/setup-agent") + " --timeout 20 --log " +
        ShellQuote(logs_ + "/agent.txt") + " " + ShellQuote(scenario_.run["Agent"]) + " 2>&1";
    agent_ = ::popen(command.c_str(), "r");
    ASSERT_NE(agent_, nullptr);
    char line[512] = "";
    ASSERT_NE(std::fgets(line, sizeof line, agent_), nullptr) << "setup-agent did not start";
    ASSERT_NE(std::string(line).find("listening"), std::string::npos) << line;
  }

  // The agent's exit status once it ended; its remaining output goes to `out`.
  int FinishAgent(std::string& out) {
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, agent_)) out.append(buffer, n);
    const int status = ::pclose(agent_);
    agent_ = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A command of the scenario in its media folder, with the machine and the programs named.
  int RunShell(const std::string& command) {
    const std::string line =
        "cd " + ShellQuote(media_) + " && TARVIUM_MACHINE=" + ShellQuote(machine_) +
        " SETUP_EXE=" + ShellQuote(BuildDir() + "/Setup.exe") +
        " WINMACHINE=" + ShellQuote(BuildDir() + "/tools/winmachine") +
        " STAND_IN=" + ShellQuote(BuildDir() + "/tests/stand-in") +
        " && export TARVIUM_MACHINE SETUP_EXE WINMACHINE STAND_IN && " + command;
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Locks a file of the machine for as long as the descriptor is open: it is then in use.
  int LockMachineFile(const std::string& windowsPath) {
    std::string hostPath;
    WithMachine([&](platform::emulated::EmulatedMachine& machine) {
      machine.EmulatedFiles().GetHostPath(windowsPath, hostPath);
    });
    const int fd = ::open(hostPath.c_str(), O_RDONLY);
    if (fd >= 0 && ::flock(fd, LOCK_EX) != 0) {
      ::close(fd);
      return -1;
    }
    return fd;
  }

  // Runs Setup.exe in the scenario's folder; returns the exit status the shell saw.
  ToolResult RunSetup(const std::string& commandLine) {
    return RunInFolder("timeout 120 " + ShellQuote(BuildDir() + "/Setup.exe") + " " + commandLine);
  }

  // Runs winmachine on the scenario's machine. The machine was made by the winmachine of this
  // build, so its engine images (_UnInst.exe of a registered uninstall command) run this build's
  // Setup.exe without being told.
  ToolResult RunWinmachine(const std::string& args) {
    return RunInFolder("timeout 120 " + ShellQuote(BuildDir() + "/tools/winmachine") +
                       " --machine " + ShellQuote(machine_) + " " + args);
  }

  ToolResult RunInFolder(const std::string& program) {
    const std::string exitFile = dir_.Path() + "/exit-code";
    std::ofstream(exitFile).close();
    const std::string command =
        "cd " + ShellQuote(media_) + " && export TARVIUM_MACHINE=" + ShellQuote(machine_) +
        " TARVIUM_DEBUG_OUTPUT=" + ShellQuote("file:" + debugFile_) +
        " TARVIUM_EXIT_CODE_FILE=" + ShellQuote(exitFile) +
        " TARVIUM_SCENARIO_LOGS=" + ShellQuote(logs_) +
        " WINMACHINE=" + ShellQuote(BuildDir() + "/tools/winmachine") + " TARVIUM_TEST_EXTENSION=" +
        ShellQuote(ZPath(BuildDir() + "/tests/setup_test_extension.so")) + " && " + program +
        " 2>&1";
    ToolResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.nExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    fullExitCode_ = ReadHostFile(exitFile);
    return result;
  }

  // The [Then] lines, each "setup|winmachine <exit status> <arguments>", one after the other;
  // their output together is checked against [ThenOutput].
  void RunFollowingCommands() {
    std::string output;
    for (const std::string& line : scenario_.Lines("Then")) {
      std::istringstream words(line);
      std::string program;
      int nStatus = 0;
      words >> program >> nStatus;
      std::string args;
      std::getline(words, args);
      const ToolResult result = program == "setup" ? RunSetup(args) : RunWinmachine(args);
      EXPECT_EQ(result.nExit, nStatus) << line << "\n" << result.out;
      output += result.out;
    }
    ExpectLines("ThenOutput", output);
  }

  void ExpectLines(const std::string& section, const std::string& text) {
    std::string why;
    EXPECT_TRUE(MatchLines(scenario_.Lines(section), text, why))
        << "[" << section << "] " << why << "\n--- got:\n"
        << text;
  }

  // The diff without the log drive, and without a run date that a rerun changed: the record's
  // Date has the minute, which ends between the prepared install and the run now and then.
  std::vector<std::string> DiffLines() {
    const ToolResult diff =
        RunTool("winmachine", "diff " + ShellQuote(before_) + " " + ShellQuote(machine_));
    std::vector<std::string> lines;
    std::istringstream in(diff.out);
    for (std::string line; std::getline(in, line);) {
      const bool bRunDate = line.starts_with("~ value ") &&
                            line.find("\\Setup: \"Date\" = REG_SZ ") != std::string::npos;
      if (!line.empty() && line.find(" L:\\") == std::string::npos && !bRunDate)
        lines.push_back(line);
    }
    return lines;
  }

  // The plan of the scenario's run, made first (a scenario with an agent has one conversation,
  // and PlanDiffers= names why its plan cannot foresee the run): it must leave the machine as it
  // was, and the run after it must change nothing the plan did not foresee.
  std::optional<PlannedState> PlanTheRun() {
    if (scenario_.run.count("Agent") || scenario_.run.count("PlanDiffers")) return std::nullopt;
    const std::string planFile = dir_.Path() + "/plan.txt";
    const ToolResult planned =
        RunSetup(scenario_.run["CommandLine"] + " " + ShellQuote("/Plan:" + planFile));
    const std::vector<std::string> diff = DiffLines();
    EXPECT_TRUE(diff.empty()) << "the plan run changed the machine:\n" << JoinDiffLines(diff);
    fs::remove(debugFile_);
    const std::string jsonLines = ReadHostFile(planFile + ".jsonl");
    EXPECT_FALSE(jsonLines.empty()) << "no plan written\n" << planned.out;
    std::string userSid;
    WithMachine([&](platform::emulated::EmulatedMachine& machine) {
      userSid = machine.System().UserSid();
    });
    return PlannedState(jsonLines, userSid);
  }

  void ExpectForeseen(const PlannedState& plan, const std::vector<std::string>& runDiff) {
    EXPECT_EQ(plan.ExitCode(), std::stol(scenario_.run["ExitCode"])) << "the plan's exit code";
    EXPECT_EQ(plan.Contradiction(), "") << "the plan decides both ways";
    for (const std::string& line : runDiff) {
      const std::string why = plan.Unforeseen(line);
      EXPECT_EQ(why, "") << "the run did what its plan did not foresee: " << line;
    }
    WithMachine([&plan](platform::emulated::EmulatedMachine& machine) {
      for (const std::string& unmet : plan.Unmet(machine))
        ADD_FAILURE() << "the run did not do what its plan said: " << unmet;
    });
  }

  Scenario scenario_;
  TempDir dir_;
  std::string machine_ = dir_.Path() + "/machine";
  std::string logs_ = dir_.Path() + "/logs";
  std::string debugFile_ = dir_.Path() + "/debug.txt";
  std::string before_ = TemplateMachine::Get().snapshot;
  std::string fullExitCode_;
  FILE* agent_ = nullptr;
  std::string media_;  // the folder Setup.exe runs in: the scenario's, or its prepared copy
};

TEST_P(SetupScenario, RunsAsDescribed) {
  int fdLocked = -1;
  if (scenario_.run.count("HoldLocked")) {
    fdLocked = LockMachineFile(scenario_.run["HoldLocked"]);
    ASSERT_GE(fdLocked, 0) << scenario_.run["HoldLocked"];
  }
  const bool bAgent = scenario_.run.count("Agent") != 0;
  if (bAgent) {
    ASSERT_NO_FATAL_FAILURE(StartAgent());
  }
  const std::optional<PlannedState> plan = PlanTheRun();
  ToolResult result = RunSetup(scenario_.run["CommandLine"]);
  if (plan) ExpectForeseen(*plan, DiffLines());
  if (fdLocked >= 0) ::close(fdLocked);
  if (bAgent) {
    std::string agentOut;
    const int nAgentExit = FinishAgent(agentOut);
    const std::string want =
        scenario_.run.count("AgentExitCode") ? scenario_.run["AgentExitCode"] : "0";
    EXPECT_EQ(nAgentExit, std::stoi(want)) << agentOut;
    ExpectLines("AgentLog", ReadHostFile(logs_ + "/agent.txt"));
  }
  if (scenario_.run.count("After")) {
    ASSERT_EQ(RunShell(scenario_.run["After"]), 0) << scenario_.run["After"];
  }
  const auto nExpected = static_cast<int32_t>(std::stol(scenario_.run["ExitCode"]));
  EXPECT_EQ(result.nExit, static_cast<int>(static_cast<uint32_t>(nExpected) & 0xFF))
      << "the shell sees the low byte\n"
      << result.out;
  ASSERT_FALSE(fullExitCode_.empty()) << "Setup.exe wrote no exit code\n" << result.out;
  EXPECT_EQ(std::stoll(fullExitCode_), nExpected) << "the file holds the signed code\n"
                                                  << result.out;
  ExpectLines("Output", result.out);
  RunFollowingCommands();
  ExpectLines("Trace", ReadHostFile(logs_ + "/trace.txt"));
  ExpectLines("ErrorFile", ReadHostFile(logs_ + "/error.txt"));
  ExpectLines("Debug", ReadHostFile(debugFile_));
  ExpectLines("HookLog", ReadHostFile(logs_ + "/hook.txt"));
  const std::vector<std::string> diff = DiffLines();
  EXPECT_TRUE(MatchDiff(scenario_.Lines("Diff"), diff)) << "winmachine diff:\n"
                                                        << JoinDiffLines(diff);
  ExpectLinks();
  ExpectStart();
  const std::string power = ReadHostFile(machine_ + "/power_request.txt");
  const std::string wantPower =
      scenario_.run.count("PowerRequest") ? scenario_.run["PowerRequest"] : "none";
  if (wantPower == "none")
    EXPECT_EQ(power, "") << "no restart, log-off or shutdown is recorded";
  else
    EXPECT_NE(power.find(wantPower), std::string::npos) << power;
  if (scenario_.Lines("WinIniAfter").empty()) return;
  WithMachine([&](platform::emulated::EmulatedMachine& machine) {
    for (const std::string& line : scenario_.Lines("WinIniAfter")) {
      const IniSetting s = ParseIniSetting(line, SetupExe(machine));
      EXPECT_EQ(machine.Profiles().GetProfileString(s.section.c_str(), s.key.c_str(), ""), s.value)
          << line;
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SetupScenario, testing::ValuesIn(ScenarioNames()),
                         [](const testing::TestParamInfo<std::string>& param) {
                           return ScenarioTestName(param.param);
                         });

}  // namespace
}  // namespace tarvium::test
