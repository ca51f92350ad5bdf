// The end-to-end scenarios on both machines: each scenario that needs nothing only the emulated
// machine has is run by the Linux Setup.exe on a fresh emulated machine and by the Windows
// Setup.exe under Wine on a fresh copy of one prefix. Each run is reduced to its exit status and
// the `winmachine diff` of the machine before and after it (the Wine prefix through snapshots that
// take_snapshot.exe writes), in one form: host paths of the media, times and the user's SID
// replaced by what the scenario's [Diff] shows, case folded. What one machine did and the other
// did not fails the test, unless the documentation's table of deliberate differences lists it.
// Run by the Windows build's CTest: TARVIUM_BUILD_DIR is the Linux build, TARVIUM_WINDOWS_BUILD_DIR
// the Windows build with its Wine prefix skeleton (wine-skeleton) and the skeleton's snapshot.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "comparison_scope.h"
#include "platform/ansi_case.h"
#include "platform/emulated/machine/emulated_machine.h"
#include "platform/ini_text.h"
#include "support/planned_state.h"
#include "support/run_tool.h"
#include "support/setup_scenario.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

namespace fs = std::filesystem;

// The user of a fresh emulated machine.
constexpr const char* kEmulatedUser = "User";

// The user under Wine: the host's user, whose name Wine takes.
std::string WineUser() {
  const passwd* entry = ::getpwuid(::getuid());
  return entry ? entry->pw_name : "";
}

std::string WindowsBuildDir() {
  const char* dir = std::getenv("TARVIUM_WINDOWS_BUILD_DIR");
  return dir ? dir : fs::absolute("build-windows").string();
}

// The Windows build's driver setup library (ConfigDSN), quoted: a scenario with an ODBC driver
// gives it to the driver on both machines, so that the media and what the setup copies are the
// same bytes on each, and Windows' installer has a routine to add the data sources with.
std::string DriverSetupLibrary() {
  return ShellQuote(WindowsBuildDir() + "/tests/odbc-driver-setup.dll");
}

// Every `from` in the text, in any case, replaced by `to`.
std::string ReplaceAllNoCase(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t pos = 0;
       (pos = platform::AnsiUpper(text).find(platform::AnsiUpper(from), pos)) != std::string::npos;
       pos += to.size())
    text.replace(pos, from.size(), to);
  return text;
}

// The status `timeout` ends a command with when its time ran out.
constexpr int kTimedOut = 124;

// A plan run (/Plan:FILE) of the scenario's command line before the real run.
struct PlanResult {
  int nStatus = -1;
  std::string text;
  std::string jsonLines;
  std::vector<std::string> decisions;       // the text's lines that are no change, reduced
  std::vector<std::string> machineChanges;  // Wine: the reduced diff of the plan run itself
  std::vector<std::string> unforeseen;      // Wine: the real run's diff lines it did not foresee
};

struct RunResult {
  std::vector<int> statuses;  // of each run: the command line's, then each [Then] line's
  std::string out;
  std::vector<std::string> diff;
  std::optional<PlanResult> plan;
};

class ScenarioOnBothMachines : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    scenario_ = LoadScenario(GetParam());
    const std::vector<ListedDifference> rows = ReadListedDifferences();
    const std::string reason = WhyNotCompared(scenario_, rows);
    if (!reason.empty()) GTEST_SKIP() << "not compared: " << reason;
    for (const ListedDifference& row : rows)
      if (row.Covers(scenario_.name))
        listed_.insert(listed_.end(), row.patterns.begin(), row.patterns.end());
  }

  // A command of the host's shell, its output through a file: a program that a setup starts and
  // leaves running (Notepad, under Wine) would hold a pipe open after the command ended.
  ToolResult Run(const std::string& command) {
    const std::string output = dir_.Path() + "/output.txt";
    const int status =
        std::system(("(" + command + ") < /dev/null > " + ShellQuote(output) + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadHostFile(output)};
  }

  // `media`: a copy of the scenario's folder to run in, prepared as the scenario says with the
  // machine's programs in `environment` ($SETUP_EXE, $WINMACHINE, $STAND_IN, $ODBC_DRIVER_SETUP).
  // A documentation example the scenario names is merged into the copy's Setup.inf first.
  void MakeMedia(const std::string& media, const std::string& environment) {
    fs::copy(scenario_.dir, media, fs::copy_options::recursive);
    if (scenario_.run.count("DocExample")) {
      const std::string example = DocExample(scenario_.run["DocExample"]);
      EXPECT_FALSE(example.empty()) << scenario_.run["DocExample"];
      const std::string setupInf = media + "/Setup.inf";
      WriteHostFile(setupInf, MergeExample(ReadHostFile(setupInf), example));
    }
    RunCommand("Prepare", environment, media);
  }

  // The scenario's Prepare= or After= command, if it has one, in the media folder.
  void RunCommand(const std::string& key, const std::string& environment,
                  const std::string& media) {
    if (!scenario_.run.count(key)) return;
    const ToolResult run =
        Run("cd " + ShellQuote(media) + " && export " + environment + " && " + scenario_.run[key]);
    EXPECT_EQ(run.nExit, 0) << key << "=" << scenario_.run[key] << "\n" << run.out;
  }

  // The .reg seed with %SCENARIO% as the Windows path of the media folder the scenario runs in,
  // for one machine's reg import.
  std::string SeedFile(const std::string& media) {
    const std::string seed = media + ".reg";
    const std::string text = ReadHostFile(scenario_.dir + "/" + scenario_.run["RegistrySeed"]);
    WriteHostFile(seed, SeedWithFolder(text, media));
    return seed;
  }

  // Agent=: `agent` (setup-agent of one machine) started with the scenario's script, listening
  // on the machine's pipe before the setup runs; null when the scenario has none.
  FILE* StartAgent(const std::string& environment, const std::string& agent) {
    if (!scenario_.run.count("Agent")) return nullptr;
    const std::string command = "cd " + ShellQuote(scenario_.dir) + " && " + environment +
                                " timeout 60 " + agent + " --timeout 30 " +
                                ShellQuote(scenario_.run["Agent"]) + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    char line[512] = "";
    if (!pipe || !std::fgets(line, sizeof line, pipe) ||
        std::string(line).find("listening") == std::string::npos)
      ADD_FAILURE() << "setup-agent did not start: " << line;
    return pipe;
  }

  // Waits for the agent to end, which it must with AgentExitCode= (0 when not given).
  void FinishAgent(FILE* agent) {
    if (!agent) return;
    std::string out;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, agent)) out.append(buffer, n);
    const int status = ::pclose(agent);
    const int nExpected =
        scenario_.run.count("AgentExitCode") ? std::stoi(scenario_.run["AgentExitCode"]) : 0;
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, nExpected) << out;
  }

  // The runs of the scenario as one machine runs them in the media folder: its command line and
  // the "setup" lines of [Then] by `setup`, the programs-list lines of [Then] by `machineTool`;
  // the status of each, the output of all. A run that the time-out ends fails the test.
  RunResult RunSetups(const std::string& environment, const std::string& setup,
                      const std::string& machineTool, const std::string& media) {
    std::vector<std::string> commands = {setup + " " + scenario_.run["CommandLine"]};
    for (const ThenRun& run : ComparedThenRuns(scenario_))
      commands.push_back((run.program == "setup" ? setup : machineTool) + " " + run.args);
    RunResult result;
    for (const std::string& command : commands) {
      const ToolResult run =
          Run("cd " + ShellQuote(media) + " && " + environment + " timeout 120 " + command);
      EXPECT_NE(run.nExit, kTimedOut) << command << " did not end";
      result.statuses.push_back(run.nExit);
      result.out += run.out;
    }
    return result;
  }

  // The plan run of the scenario's command line in the media folder, its plan written to the host
  // file `planFile`, which `setup` names `planArgument`. None for a scenario that talks to an
  // agent or whose plan differs from its run by design (PlanDiffers=).
  std::optional<PlanResult> PlanTheRun(const std::string& environment, const std::string& setup,
                                       const std::string& media, const std::string& planFile,
                                       const std::string& planArgument) {
    if (scenario_.run.count("Agent") || scenario_.run.count("PlanDiffers")) return std::nullopt;
    const ToolResult run =
        Run("cd " + ShellQuote(media) + " && " + environment + " timeout 120 " + setup + " " +
            scenario_.run["CommandLine"] + " " + ShellQuote("/Plan:" + planArgument));
    EXPECT_NE(run.nExit, kTimedOut) << "the plan run did not end";
    PlanResult plan{run.nExit, ReadHostFile(planFile), ReadHostFile(planFile + ".jsonl")};
    EXPECT_FALSE(plan.jsonLines.empty()) << "no plan written:\n" << run.out;
    return plan;
  }

  // The plan's decisions in the form both machines share: its text's lines that are not changes
  // (those are indented), with the engine's folder as %ENGINE% and made alike as the diff's
  // lines are, without the lines the documentation lists; case folded, sorted.
  std::vector<std::string> Decisions(const std::string& planText, const std::string& media,
                                     const std::string& user, const std::string& engineDir) const {
    std::vector<std::string> decisions;
    std::istringstream in(planText);
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == ' ') continue;
      line = Normalised(ReplaceAllNoCase(line, ZPath(engineDir), "%ENGINE%"), media, user);
      if (!IsListed(line)) decisions.push_back(platform::AnsiUpper(line));
    }
    std::sort(decisions.begin(), decisions.end());
    return decisions;
  }

  // The real run's diff lines that the plan did not foresee, with what the plan says instead;
  // none when the diff holds more than the planned run ([Then] runs, After=). The user's key
  // goes by the name the plan is read with.
  std::vector<std::string> Unforeseen(const std::string& planJsonLines, const std::string& diff,
                                      const std::string& media, const std::string& user) const {
    if (!ComparedThenRuns(scenario_).empty() || scenario_.run.count("After")) return {};
    const PlannedState planned(planJsonLines, "<user>");
    std::vector<std::string> unforeseen;
    if (!planned.Contradiction().empty())
      unforeseen.push_back("decided both ways: " + planned.Contradiction());
    std::istringstream in(diff);
    for (std::string line; std::getline(in, line);) {
      if (!ReducedLine(line, media, user)) continue;
      const std::string why = planned.Unforeseen(UserKeyNamed(line));
      if (!why.empty()) unforeseen.push_back(line + ": " + why);
    }
    return unforeseen;
  }

  // The statuses the scenario expects the shell to see: ExitCode='s low byte, then each [Then]
  // run's, as the emulated machine's run must show them.
  std::vector<int> ExpectedStatuses() const {
    std::vector<int> statuses = {
        static_cast<int>(static_cast<uint32_t>(std::stol(scenario_.run.at("ExitCode"))) & 0xFF)};
    for (const ThenRun& run : ComparedThenRuns(scenario_)) statuses.push_back(run.nStatus);
    return statuses;
  }

  // [WinIni]: the lines written with the machine's profile functions.
  void SeedWinIniOfEmulatedMachine(const std::string& machineDir) {
    if (scenario_.Lines("WinIni").empty()) return;
    std::string error;
    auto machine = platform::emulated::EmulatedMachine::Open(machineDir, {}, error);
    ASSERT_TRUE(machine) << error;
    std::string setupExe;
    machine->EmulatedFiles().GetWindowsPath(BuildDir() + "/Setup.exe", setupExe);
    for (const std::string& line : scenario_.Lines("WinIni")) {
      const IniSetting setting = ParseIniSetting(line, setupExe);
      machine->Profiles().WriteProfileString(setting.section.c_str(), setting.key.c_str(),
                                             setting.value.c_str());
    }
  }

  // [WinIni]: the lines set in the prefix's WIN.INI, the file Wine's profile functions keep.
  // %SETUP_EXE% is the short path, as the engine looks for its own entry (the emulated machine's
  // path has no longer names).
  void SeedWinIniOfPrefix(const std::string& prefix, const std::string& environment) {
    if (scenario_.Lines("WinIni").empty()) return;
    std::string setupExe =
        Run(environment + " winepath -s " + ShellQuote(ZPath(WindowsBuildDir() + "/Setup.exe")))
            .out;
    setupExe.erase(setupExe.find_last_not_of("\r\n") + 1);
    const std::string winIni = prefix + "/drive_c/windows/win.ini";
    std::string text = ReadHostFile(winIni);
    for (const std::string& line : scenario_.Lines("WinIni")) {
      const IniSetting setting = ParseIniSetting(line, setupExe);
      text = platform::SetIniValue(text, setting.section, setting.key, setting.value);
    }
    WriteHostFile(winIni, text);
  }

  RunResult RunOnEmulatedMachine() {
    const std::string machine = dir_.Path() + "/machine";
    const std::string logs = dir_.Path() + "/linux-logs";
    fs::create_directories(logs);
    EXPECT_EQ(RunTool("winmachine", "create " + ShellQuote(machine)).nExit, 0);
    std::ofstream(machine + "/machine.ini", std::ios::app)
        << "\r\n[Drive L]\r\nHostDir=" << logs << "\r\n";
    auto on = [&machine](const std::string& args) {
      return RunTool("winmachine", "--machine " + ShellQuote(machine) + " " + args);
    };
    const std::string media = dir_.Path() + "/linux-media";
    if (scenario_.run.count("RegistrySeed")) {
      EXPECT_EQ(on("reg import " + ShellQuote(SeedFile(media))).nExit, 0);
    }
    SeedWinIniOfEmulatedMachine(machine);
    const std::string environment = "TARVIUM_MACHINE=" + ShellQuote(machine) +
                                    " SETUP_EXE=" + ShellQuote(BuildDir() + "/Setup.exe") +
                                    " WINMACHINE=" + ShellQuote(BuildDir() + "/tools/winmachine") +
                                    " STAND_IN=" + ShellQuote(BuildDir() + "/tests/stand-in") +
                                    " ODBC_DRIVER_SETUP=" + DriverSetupLibrary();
    MakeMedia(media, environment);
    if (scenario_.run.count("TrustModules")) {
      const ToolResult trusted =
          Run(TrustModulesCommand(media, machine, scenario_.run["TrustModules"]));
      EXPECT_EQ(trusted.nExit, 0) << trusted.out;
    }
    const std::string before = dir_.Path() + "/linux-before";
    EXPECT_EQ(on("snapshot " + ShellQuote(before)).nExit, 0);
    const std::string planFile = dir_.Path() + "/linux-plan.txt";
    std::optional<PlanResult> plan =
        PlanTheRun(environment, ShellQuote(BuildDir() + "/Setup.exe"), media, planFile, planFile);
    if (plan) plan->decisions = Decisions(plan->text, media, kEmulatedUser, BuildDir());
    FILE* agent = StartAgent(environment, ShellQuote(BuildDir() + "/tools/setup-agent"));
    RunResult result = RunSetups(
        environment, ShellQuote(BuildDir() + "/Setup.exe"),
        ShellQuote(BuildDir() + "/tools/winmachine") + " --machine " + ShellQuote(machine), media);
    FinishAgent(agent);
    RunCommand("After", environment, media);
    result.diff =
        Reduced(RunTool("winmachine", "diff " + ShellQuote(before) + " " + ShellQuote(machine)).out,
                media, kEmulatedUser);
    result.plan = std::move(plan);
    return result;
  }

  RunResult RunUnderWine() {
    const std::string prefix = dir_.Path() + "/prefix";
    const std::string logs = dir_.Path() + "/wine-logs";
    fs::create_directories(logs);
    // cp -a keeps the times, by which Wine would otherwise find the copy out of date and rebuild
    // it.
    EXPECT_EQ(
        Run("cp -a " + ShellQuote(WindowsBuildDir() + "/wine-skeleton") + " " + ShellQuote(prefix))
            .nExit,
        0);
    fs::remove(prefix + "/dosdevices/l:");
    fs::create_directory_symlink(logs, prefix + "/dosdevices/l:");
    const std::string shims = std::string(TARVIUM_SOURCE_DIR) + "/tests/differential";
    const std::string environment =
        "WINEPREFIX=" + ShellQuote(prefix) +
        " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' TARVIUM_WINDOWS_BUILD_DIR=" +
        ShellQuote(WindowsBuildDir()) + " SETUP_EXE=" + ShellQuote(shims + "/wine-setup") +
        " WINMACHINE=" + ShellQuote(shims + "/wine-winmachine") +
        " STAND_IN=" + ShellQuote(WindowsBuildDir() + "/tests/stand-in.exe") +
        " ODBC_DRIVER_SETUP=" + DriverSetupLibrary();
    // Wine's server and the services it starts outlive the command that starts them, with its
    // output: they are started first with theirs on /dev/null, so that no later command's output
    // stays open, and stopped however the test ends.
    Run("(" + environment + " wineserver -p && " + environment +
        " wine cmd /c exit) < /dev/null > /dev/null 2>&1");
    const WineServerStop stop(*this, environment);
    const std::string media = dir_.Path() + "/wine-media";
    SeedRegistryOfPrefix(environment, media);
    SeedWinIniOfPrefix(prefix, environment);
    MakeMedia(media, environment);
    // The skeleton's snapshot is the "before" of a run in an unchanged copy.
    std::string before = WindowsBuildDir() + "/wine-skeleton-snapshot";
    if (scenario_.run.count("RegistrySeed") || scenario_.run.count("Prepare") ||
        !scenario_.Lines("WinIni").empty()) {
      before = dir_.Path() + "/wine-before";
      TakeWineSnapshot(environment, before);
    }
    const std::string setup = "wine " + ShellQuote(WindowsBuildDir() + "/Setup.exe");
    const std::string planFile = dir_.Path() + "/wine-plan.txt";
    std::optional<PlanResult> plan =
        PlanTheRun(environment, setup, media, planFile, ZPath(planFile));
    if (plan) {
      plan->decisions = Decisions(plan->text, media, WineUser(), WindowsBuildDir());
      const std::string planned = dir_.Path() + "/wine-planned";
      TakeWineSnapshot(environment, planned);
      plan->machineChanges = Reduced(
          RunTool("winmachine", "diff " + ShellQuote(before) + " " + ShellQuote(planned)).out,
          media, WineUser());
    }
    FILE* agent =
        StartAgent(environment, "wine " + ShellQuote(WindowsBuildDir() + "/tools/setup-agent.exe"));
    RunResult result = RunSetups(environment, setup, ShellQuote(shims + "/wine-winmachine"), media);
    FinishAgent(agent);
    RunCommand("After", environment, media);
    const std::string after = dir_.Path() + "/wine-after";
    TakeWineSnapshot(environment, after);
    const std::string diff =
        RunTool("winmachine", "diff " + ShellQuote(before) + " " + ShellQuote(after)).out;
    result.diff = Reduced(diff, media, WineUser());
    if (plan) plan->unforeseen = Unforeseen(plan->jsonLines, diff, media, WineUser());
    result.plan = std::move(plan);
    return result;
  }

  // Stops the prefix's server, and what runs in it, when the Wine run ends.
  class WineServerStop {
   public:
    WineServerStop(ScenarioOnBothMachines& test, std::string environment)
        : test_(test), environment_(std::move(environment)) {}
    ~WineServerStop() { test_.Run(environment_ + " wineserver -k"); }
    WineServerStop(const WineServerStop&) = delete;
    WineServerStop& operator=(const WineServerStop&) = delete;

   private:
    ScenarioOnBothMachines& test_;
    std::string environment_;
  };

  void TakeWineSnapshot(const std::string& environment, const std::string& dir) {
    const ToolResult taken = Run(environment + " timeout 120 wine " +
                                 ShellQuote(WindowsBuildDir() + "/tests/take_snapshot.exe") + " " +
                                 ShellQuote(ZPath(dir)));
    EXPECT_EQ(taken.nExit, 0) << taken.out;
  }

  // RegistrySeed= imported with Wine's reg. A version 5 file goes as UTF-16, the form Windows'
  // registry editor writes: Wine's reg reads the string data given as hex in one of 8-bit text
  // byte by byte. REGEDIT4 stays 8-bit.
  void SeedRegistryOfPrefix(const std::string& environment, const std::string& media) {
    if (!scenario_.run.count("RegistrySeed")) return;
    std::string seed = SeedFile(media);
    if (ReadHostFile(seed).rfind("REGEDIT4", 0) != 0) {
      EXPECT_EQ(Run("{ printf '\\377\\376'; iconv -f UTF-8 -t UTF-16LE " + ShellQuote(seed) +
                    "; } > " + ShellQuote(seed + ".utf16"))
                    .nExit,
                0);
      seed += ".utf16";
    }
    const ToolResult imported =
        Run(environment + " timeout 120 wine reg import " + ShellQuote(ZPath(seed)));
    EXPECT_EQ(imported.nExit, 0) << imported.out;
  }

  // The diff in the form both machines share: without the log drive and the lines the
  // documentation lists, the media's folder as %MEDIA%, the user's key, folder and name (a value
  // name, as the record of the users who ran a product's user part has it) as <user>, the user's
  // temporary folder (Wine's is not below AppData) as %TEMP%, a line that a '*' line of the
  // scenario's [Diff] matches as that line; case folded, sorted.
  std::vector<std::string> Reduced(const std::string& diff, const std::string& media,
                                   const std::string& user) const {
    std::vector<std::string> lines;
    std::istringstream in(diff);
    for (std::string line; std::getline(in, line);)
      if (std::optional<std::string> reduced = ReducedLine(line, media, user))
        lines.push_back(std::move(*reduced));
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // One line of the diff in that form; none for a line left out.
  std::optional<std::string> ReducedLine(const std::string& diffLine, const std::string& media,
                                         const std::string& user) const {
    if (diffLine.empty() || IsLogDriveEntry(diffLine)) return std::nullopt;
    std::string line = Normalised(diffLine, media, user);
    // The scenario's masks are for what differs from run to run; a host path of the media is
    // alike already, and what follows it is compared.
    if (line.find("%MEDIA%") == std::string::npos)
      for (const std::string& pattern : scenario_.Lines("Diff"))
        if (pattern.ends_with('*') &&
            platform::AnsiStartsWithNoCase(line, pattern.substr(0, pattern.size() - 1)))
          line = pattern;
    if (IsListed(line)) return std::nullopt;
    return platform::AnsiUpper(line);
  }

  // A line with what legitimately differs between the machines named alike: the media's folder,
  // the user's key, folder, name and temporary folder, the size of the engine's copy.
  static std::string Normalised(std::string line, const std::string& media,
                                const std::string& user) {
    line = ReplaceAllNoCase(line, ZPath(media), "%MEDIA%");
    line = UserKeyNamed(line);
    line = UserFolderNamed(line);
    line = ReplaceAllNoCase(line, ": \"" + user + "\" = ", ": \"<user>\" = ");
    for (const char* temp : {"C:\\Users\\<user>\\AppData\\Local\\Temp", "C:\\Users\\<user>\\Temp"})
      line = ReplaceAllNoCase(line, temp, "%TEMP%");
    return EngineCopySizeHidden(line);
  }

  // A file or folder of the log drive L:, which only the test reads.
  static bool IsLogDriveEntry(const std::string& line) {
    for (const char* kind :
         {"+ file L:\\", "- file L:\\", "~ file L:\\", "+ dir L:\\", "- dir L:\\", "~ dir L:\\"})
      if (line.starts_with(kind)) return true;
    return false;
  }

  // The engine's copy for removals, _UnInst.exe, without its size: on Windows it is Setup.exe
  // itself, on the emulated machine a small image that names the Linux build's Setup.exe.
  static std::string EngineCopySizeHidden(std::string line) {
    const std::string copy = "\\_UnInst.exe (";
    const size_t start = platform::AnsiUpper(line).find(platform::AnsiUpper(copy));
    if (start == std::string::npos) return line;
    const size_t size = start + copy.size();
    const size_t end = line.find(" bytes", size);
    return end == std::string::npos ? line : line.replace(size, end - size, "<engine>");
  }

  // HKEY_USERS\S-1-5-21-...: the one user's key, whatever its SID on either machine.
  static std::string UserKeyNamed(std::string line) {
    const std::string users = "HKEY_USERS\\S-1-5-21-";
    const size_t start = line.find(users);
    if (start == std::string::npos) return line;
    const size_t end = line.find_first_of("\\:", start + users.size());
    return line.replace(start, end - start, "HKEY_USERS\\<user>");
  }

  // C:\Users\NAME\: the one user's profile folder, whatever the user's name on either machine
  // (Wine names it after the host's user); the shared folders Public and Default keep theirs.
  static std::string UserFolderNamed(std::string line) {
    const std::string users = "C:\\USERS\\";
    for (size_t start = platform::AnsiUpper(line).find(users); start != std::string::npos;
         start = platform::AnsiUpper(line).find(users, start + 1)) {
      const size_t name = start + users.size();
      const size_t end = line.find('\\', name);
      if (end == std::string::npos) break;
      const std::string upperName = platform::AnsiUpper(line.substr(name, end - name));
      if (upperName != "PUBLIC" && upperName != "DEFAULT") line.replace(name, end - name, "<user>");
    }
    return line;
  }

  bool IsListed(const std::string& line) const {
    return std::any_of(listed_.begin(), listed_.end(), [&line](const std::string& pattern) {
      return platform::AnsiMatchesPattern(pattern, line);
    });
  }

  Scenario scenario_;
  TempDir dir_;
  std::vector<std::string> listed_;
};

// Lines of one list that the other lacks, for the failure message.
std::string Missing(const std::vector<std::string>& from, const std::vector<std::string>& in) {
  std::vector<std::string> only;
  std::set_difference(from.begin(), from.end(), in.begin(), in.end(), std::back_inserter(only));
  std::string text;
  for (const std::string& line : only) text += "  " + line + "\n";
  return text;
}

TEST_P(ScenarioOnBothMachines, EndsTheSame) {
  const RunResult linux = RunOnEmulatedMachine();
  const RunResult windows = RunUnderWine();
  EXPECT_EQ(linux.statuses, ExpectedStatuses()) << "the emulated machine's runs did not end as "
                                                   "the scenario says:\n"
                                                << linux.out;
  EXPECT_EQ(linux.statuses, windows.statuses) << "emulated machine:\n"
                                              << linux.out << "\nWine:\n"
                                              << windows.out;
  EXPECT_EQ(linux.diff, windows.diff) << "only on the emulated machine:\n"
                                      << Missing(linux.diff, windows.diff) << "only under Wine:\n"
                                      << Missing(windows.diff, linux.diff);
  if (!linux.plan || !windows.plan) return;
  const PlanResult& plan = *windows.plan;
  EXPECT_EQ(plan.machineChanges, std::vector<std::string>{}) << "the plan run changed the prefix";
  EXPECT_EQ(plan.nStatus, windows.statuses.front()) << "the plan under Wine ends otherwise:\n"
                                                    << windows.out;
  EXPECT_EQ(plan.unforeseen, std::vector<std::string>{})
      << "the run under Wine did what its plan did not foresee";
  EXPECT_EQ(linux.plan->decisions, plan.decisions)
      << "decisions only on the emulated machine:\n"
      << Missing(linux.plan->decisions, plan.decisions) << "only under Wine:\n"
      << Missing(plan.decisions, linux.plan->decisions);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioOnBothMachines, testing::ValuesIn(ScenarioNames()),
                         [](const testing::TestParamInfo<std::string>& param) {
                           return ScenarioTestName(param.param);
                         });

// The scenarios compared on both machines stay at least eight in ten of all; the documentation's
// table of deliberate differences is found wherever its page lies.
TEST(ScenariosOnBothMachines, AreMostOfThem) {
  const std::vector<std::string> names = ScenarioNames();
  const std::vector<ListedDifference> rows = ReadListedDifferences();
  ASSERT_FALSE(rows.empty()) << "no table under a heading \"Deliberate differences\" in the docs";
  const auto nBoth = std::count_if(names.begin(), names.end(), [&rows](const std::string& name) {
    return WhyNotCompared(LoadScenario(name), rows).empty();
  });
  EXPECT_GE(nBoth * 10, static_cast<long>(names.size()) * 8)
      << nBoth << " of " << names.size() << " scenarios are compared on both machines";
}

}  // namespace
}  // namespace tarvium::test
