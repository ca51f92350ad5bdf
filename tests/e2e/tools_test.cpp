// The tools as their users run them, through the real binaries. What someone new meets first: the
// usage of every tool on the usual requests for it, the machine made in the user's data folder
// when none is named, which the first run says and later runs use without a word, and a machine
// whose user has a name the ANSI code page cannot hold, on which shortcuts go through the relay
// program. setup-agent refuses bad arguments and scripts and gives up without a run (the runs it
// serves are the /G scenarios of setup_scenarios_test.cpp). infdump lists the sections of a file
// as the engine reads them, a duplicate section marked as ignored and a line ending in a backslash
// joining no lines. Every form setup-crypt writes
// is decrypted by the engine's own DecryptValue to the text that went in, and its errors are one
// line with a clear status.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "script/crypt/decrypt_value.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

TEST(FirstUse, EveryToolShowsItsUsageWhenAsked) {
  for (const char* tool : {"winmachine", "infdump", "setup-lint", "setup-agent", "setup-crypt"}) {
    for (const char* ask : {"--help", "-h", "'/?'"}) {
      const ToolResult result = RunTool(tool, ask);
      EXPECT_EQ(result.nExit, 0) << tool << " " << ask << ": " << result.out;
      EXPECT_EQ(result.out.rfind("usage: ", 0), 0u) << tool << " " << ask << ": " << result.out;
    }
  }
}

TEST(FirstUse, TheMachineMadeInTheDataFolderIsAnnounced) {
  for (const std::string program : {"Setup.exe '/?'", "tools/winmachine info"}) {
    TempDir home;
    const std::string command =
        "env -u TARVIUM_MACHINE HOME=" + ShellQuote(home.Path()) + " " + BuildDir() + "/" + program;
    const std::string said =
        "created a new machine in " + home.Path() + "/.local/share/tarvium/machine";
    const ToolResult first = RunHostCommand(command);
    EXPECT_EQ(first.nExit, 0) << program << ": " << first.out;
    EXPECT_NE(first.out.find(said), std::string::npos) << program << ": " << first.out;
    const ToolResult again = RunHostCommand(command);
    EXPECT_EQ(again.out.find("created a new machine"), std::string::npos) << again.out;
  }
}

// The Start menu of such a user reads with a '?' (as Windows' ANSI functions give it), so a link
// below %Programs% is made at its marker path and handed to the relay program of the temporary
// folder, here a script that records its command line.
TEST(FirstUse, AUserOutsideTheCodePageGetsShortcutsThroughTheRelay) {
  TempDir dir;
  const std::string machine = dir.Path() + "/machine";
  ASSERT_EQ(
      RunTool("winmachine", "create " + ShellQuote(machine) + " --user '\xC5\x81ukasz'").nExit, 0);
  const std::string relay = machine + "/drive_c/Windows/Temp/LinkRelay.exe";
  WriteHostFile(relay, "#!/bin/sh\necho \"$*\" >> \"$0.txt\"\n");
  ASSERT_EQ(::chmod(relay.c_str(), 0755), 0);
  dir.WriteFile("Setup.inf",
                "[Setup]\r\nVersion=4.10\r\n[Application]\r\nProductName=Relay\r\n"
                "MachineKeyName=Tarvium Tests\\Relay\\1.0\r\n[Options]\r\nA=A,DEFAULT\r\n"
                "[A]\r\n#Shell\r\n[Shell]\r\n%Programs%\\Tools\\Tool,C:\\Windows\\notepad.exe\r\n");
  const ToolResult run =
      RunHostCommand("cd " + ShellQuote(dir.Path()) + " && TARVIUM_MACHINE=" + ShellQuote(machine) +
                     " " + BuildDir() + "/Setup.exe /S Setup.inf");
  EXPECT_EQ(run.nExit, 0) << run.out;
  EXPECT_EQ(ReadHostFile(relay + ".txt"), "C:\\$TARVIUM$\\%PROGRAMS%\\Tools\\Tool.lnk\n");
}

TEST(SetupAgentTool, RefusesBadArgumentsAndScriptsAndGivesUpWithoutARun) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() + "/machine");
  ASSERT_EQ(::setenv("TARVIUM_MACHINE", (dir.Path() + "/machine").c_str(), 1), 0);
  const std::string script = ShellQuote(dir.WriteFile("ok.txt", "askdir = 0;next\n"));
  struct Case {
    std::string args;
    const char* pszSays;
  };
  const Case cases[] = {
      {"", "usage: setup-agent"},
      {"--timeout 0 " + script, "usage: setup-agent"},
      {"--timeout", "usage: setup-agent"},
      {"--bogus " + script, "usage: setup-agent"},
      {script + " " + script, "usage: setup-agent"},
      {ShellQuote(dir.Path() + "/missing.txt"), "cannot read the script"},
      {ShellQuote(dir.WriteFile("bad.txt", "# fine\naskdir 0;next\n")), "line 2: askdir 0;next"},
      {ShellQuote(dir.WriteFile("fault.txt", "fault 2 = sometimes\n")), "line 1: fault 2"},
      {"--pipe 'C:\\pipe' " + script, "cannot create C:\\pipe"},
  };
  for (const Case& c : cases) {
    const ToolResult result = RunTool("setup-agent", c.args);
    EXPECT_EQ(result.nExit, 2) << c.args << ": " << result.out;
    EXPECT_NE(result.out.find(c.pszSays), std::string::npos) << c.args << ": " << result.out;
  }
  const ToolResult alone = RunTool("setup-agent", "--timeout 1 " + script);
  EXPECT_EQ(alone.nExit, 3) << alone.out;
  EXPECT_NE(alone.out.find("no run connected in time"), std::string::npos) << alone.out;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/machine/pipe/SetupSendPipe"))
      << "the pipe goes with the agent";
}

TEST(InfdumpTool, ListsEachSectionOnceAndDuplicatesAsIgnored) {
  TempDir dir;
  const std::string inf = dir.WriteFile(
      "Setup.inf",
      "[Application]\r\nProductName=Demo\r\n[Files]\r\n1:a.txt, bin\\\r\nb.txt\r\n; note\r\n"
      "[Options]\r\n[FILES]\r\nc.txt\r\n[Files]\r\n");
  const auto result = RunTool(
      "infdump", "--machine " + ShellQuote(dir.Path() + "/machine") + " " + ShellQuote(inf));
  ASSERT_EQ(result.nExit, 0) << result.out;
  const auto row = [](const std::string& name, const std::string& rest) {
    return "  [" + name + "]" + std::string(28 - name.size(), ' ') + rest + "\n";
  };
  const std::string& out = result.out;
  EXPECT_NE(out.find("5 sections"), std::string::npos) << out;
  EXPECT_NE(out.find(row("Files", "  3 lines")), std::string::npos) << out;
  EXPECT_NE(out.find(row("Options", "  0 lines")), std::string::npos) << out;
  const std::string ignored = "ignored: a duplicate, the first [Files] wins";
  EXPECT_NE(out.find(row("FILES", ignored)), std::string::npos) << out;
  // The last, empty [Files] is ignored as well, not listed with the first one's lines.
  EXPECT_NE(out.find(row("Files", ignored)), std::string::npos) << out;
  EXPECT_EQ(out.find("3 lines"), out.rfind("3 lines")) << out;

  // Named as Setup.exe takes it, relative to the current folder; a file it cannot read is named
  // with the message's text.
  const std::string here = "cd " + ShellQuote(dir.Path()) + " && " + BuildDir() +
                           "/tools/infdump --machine " + ShellQuote(dir.Path() + "/machine") + " ";
  const auto relative = RunHostCommand(here + "Setup.inf");
  EXPECT_EQ(relative.nExit, 0) << relative.out;
  EXPECT_NE(relative.out.find(row("Files", "  3 lines")), std::string::npos) << relative.out;
  const auto missing = RunHostCommand(here + "Missing.inf");
  EXPECT_EQ(missing.nExit, 1);
  EXPECT_NE(missing.out.find("infdump: cannot read 'Missing.inf': Cannot open file '"),
            std::string::npos)
      << missing.out;
  EXPECT_NE(missing.out.find("Missing.inf'! (message 5501)"), std::string::npos) << missing.out;
}

ToolResult SetupCrypt(const std::string& args) {
  return RunTool("setup-crypt", args);
}

// The value the tool prints, without its line end; empty when it failed.
std::string Encrypted(const std::string& form, const std::string& text) {
  const ToolResult result = SetupCrypt("encrypt --form " + form + " " + ShellQuote(text));
  EXPECT_EQ(result.nExit, 0) << form << ": " << result.out;
  if (result.nExit != 0 || result.out.empty() || result.out.back() != '\n') return "";
  return result.out.substr(0, result.out.size() - 1);
}

bool IsOneErrorLine(const ToolResult& result) {
  return result.out.rfind("setup-crypt: ", 0) == 0 &&
         result.out.find('\n') == result.out.size() - 1;
}

TEST(SetupCryptTool, EveryFormDecryptsInTheEngine) {
  const std::string text = "Pa$$ w0rd, \"quoted\" 100%";
  const struct {
    const char* form;
    char cFirst;
  } forms[] = {{"sync", '#'}, {"aes", 'X'}, {"tilde", '~'}, {"star", '*'}, {"fixed", 'A'}};
  for (const auto& form : forms) {
    const std::string plain = form.cFirst == 'A' ? text.substr(0, 19) : text;
    const std::string value = Encrypted(form.form, plain);
    ASSERT_FALSE(value.empty()) << form.form;
    EXPECT_EQ(value[0], form.cFirst) << value;
    std::string decrypted = value;
    EXPECT_TRUE(Tarvium::DecryptValue(decrypted)) << value;
    EXPECT_EQ(decrypted, plain) << form.form;
    EXPECT_EQ(SetupCrypt("decrypt " + ShellQuote(value)).out, plain + "\n") << form.form;
  }
  EXPECT_EQ(Encrypted("fixed", "").size(), 42u);
  EXPECT_EQ(SetupCrypt("encrypt 'default form'").out[0], '#');
}

TEST(SetupCryptTool, FailuresAreOneLineWithStatus) {
  const ToolResult tooLong = SetupCrypt("encrypt --form fixed " + std::string(20, 'x'));
  EXPECT_EQ(tooLong.nExit, 1);
  EXPECT_TRUE(IsOneErrorLine(tooLong)) << tooLong.out;
  EXPECT_NE(tooLong.out.find("at most 19 characters"), std::string::npos);

  std::string sync = Encrypted("sync", "secret");
  sync[10] = sync[10] == 'a' ? 'b' : 'a';
  for (const std::string& value : {sync, std::string("plain"), std::string("#12z4")}) {
    const ToolResult result = SetupCrypt("decrypt " + ShellQuote(value));
    EXPECT_EQ(result.nExit, 1) << value;
    EXPECT_TRUE(IsOneErrorLine(result)) << result.out;
  }
  for (const char* args : {"", "bogus", "encrypt", "decrypt", "encrypt --form", "decrypt a b",
                           "encrypt --form rot13 x", "encrypt --from star x"}) {
    const ToolResult result = SetupCrypt(args);
    EXPECT_EQ(result.nExit, 2) << args << ": " << result.out;
    EXPECT_TRUE(IsOneErrorLine(result)) << args << ": " << result.out;
  }
  // --help is no failure: FirstUse.EveryToolShowsItsUsageWhenAsked.
}

}  // namespace
}  // namespace tarvium::test
