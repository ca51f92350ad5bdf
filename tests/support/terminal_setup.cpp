// tmux runs with no configuration file (-f /dev/null) on a socket in the test's own temporary
// directory (-S), so that tests running at the same time never meet and no socket file outlives
// the test. Setup.exe's exit status is written
// to a file by the shell that starts it; the pane stays after the program ended, so that a failed
// test can still show the last screen.
#include "support/terminal_setup.h"

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

#include "support/run_tool.h"

namespace tarvium::test {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(40);

}  // namespace

TerminalSetup::TerminalSetup()
    : machine_(dir_.Path() + "/machine"),
      snapshot_(dir_.Path() + "/snapshot"),
      socket_(dir_.Path() + "/tmux"),
      exitFile_(dir_.Path() + "/exit-status") {
  RunTool("winmachine", "create " + ShellQuote(machine_));
  RunTool("winmachine", "--machine " + ShellQuote(machine_) + " snapshot " + ShellQuote(snapshot_));
}

TerminalSetup::~TerminalSetup() {
  if (bStarted_) Tmux("kill-server");
}

std::string TerminalSetup::Tmux(const std::string& args) {
  return RunHostCommand("tmux -f /dev/null -S " + ShellQuote(socket_) + " " + args).out;
}

bool TerminalSetup::OnMachine(const std::string& args) {
  return RunTool("winmachine", "--machine " + ShellQuote(machine_) + " " + args).nExit == 0;
}

std::string TerminalSetup::WriteMedia(
    const std::string& setupInf, const std::vector<std::pair<std::string, std::string>>& files) {
  dir_.WriteFile("media/Setup.inf", setupInf);
  for (const auto& [name, bytes] : files) dir_.WriteFile("media/" + name, bytes);
  return dir_.Path() + "/media";
}

std::string TerminalSetup::MachineFile(const std::string& relative) const {
  return ReadHostFile(machine_ + "/" + relative);
}

bool TerminalSetup::Start(const std::string& mediaDir, const std::string& args,
                          const std::string& env) {
  const std::string command = "cd " + ShellQuote(mediaDir) + " && env TERM=xterm LANG=C.UTF-8 " +
                              env + " TARVIUM_MACHINE=" + ShellQuote(machine_) + " " +
                              ShellQuote(BuildDir() + "/Setup.exe") + " " + args + "; echo $? > " +
                              ShellQuote(exitFile_);
  const ToolResult started = RunHostCommand(
      "tmux -f /dev/null -S " + ShellQuote(socket_) + " new-session -d -x 80 -y 24 " +
      ShellQuote("sh -c " + ShellQuote(command)) + " \\; set-option remain-on-exit on");
  bStarted_ = true;
  return started.nExit == 0;
}

void TerminalSetup::Keys(const std::string& keyNames) {
  Tmux("send-keys -t 0 " + keyNames);
}

void TerminalSetup::Type(const std::string& text) {
  Tmux("send-keys -t 0 -l " + ShellQuote(text));
}

std::string TerminalSetup::Screen() {
  return Tmux("capture-pane -p -t 0");
}

std::string TerminalSetup::History() {
  return Tmux("capture-pane -p -J -S - -t 0");
}

bool TerminalSetup::WaitForScreen(const std::string& text, bool bShown, int nTimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
  while (true) {
    const std::string screen = Screen();
    if ((screen.find(text) != std::string::npos) == bShown) return true;
    // Setup.exe ended and tmux has drawn all its output: tmux marks the pane dead only after the
    // last of it, while the exit file can be there before tmux has read it.
    if (screen.find("Pane is dead") != std::string::npos) return false;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

bool TerminalSetup::WaitFor(const std::string& text, int nTimeoutMs) {
  return WaitForScreen(text, true, nTimeoutMs);
}

testing::AssertionResult TerminalSetup::Shows(const std::string& text, int nTimeoutMs) {
  if (WaitFor(text, nTimeoutMs)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "never showed \"" << text << "\":\n" << Screen();
}

testing::AssertionResult TerminalSetup::Hides(const std::string& text, int nTimeoutMs) {
  if (WaitForScreen(text, false, nTimeoutMs)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "still shows \"" << text << "\":\n" << Screen();
}

int TerminalSetup::WaitForExit(int nTimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
  std::string status;
  while ((status = ReadHostFile(exitFile_)).empty()) {
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(kPollInterval);
  }
  return std::stoi(status);
}

testing::AssertionResult TerminalSetup::EndsSuccessfully() {
  if (!WaitFor("successfully completed"))
    return testing::AssertionFailure() << "no end page:\n" << Screen();
  Keys("Enter");
  const int nExit = WaitForExit();
  if (nExit == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "exit status " << nExit << ":\n" << Screen();
}

std::vector<std::string> TerminalSetup::Diff() {
  const ToolResult diff =
      RunTool("winmachine", "diff " + ShellQuote(snapshot_) + " " + ShellQuote(machine_));
  std::vector<std::string> lines;
  std::istringstream stream(diff.out);
  for (std::string line; std::getline(stream, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string ProductHead(const std::string& name, const std::string& applicationLines) {
  const std::string product = "Tarvium Tests\\" + name + " Product";
  return "[Setup]\nVersion=4.10\n[Application]\nProductName=Tarvium " + name +
         " Product\nVersion=1.0\nMachineKeyName=" + product +
         "\\1.0\nApplicationDir=%ProgramFilesDir%\\" + product + "\n" + applicationLines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

}  // namespace tarvium::test
