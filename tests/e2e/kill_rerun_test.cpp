// A killed install followed by the same install again ends as an uninterrupted install does, and
// the removal then leaves what the uninterrupted install's removal leaves. A small product (a file
// of one block, one of four, a hidden, a read-only and a shared file, a registry and an INI
// section whose use counts the record keeps) is installed on fresh machines whose Setup.exe kills
// itself right after its nth file write or right before it (machine.ini [Faults] KillAtWrite,
// KillBeforeWrite), at points inside each kind of file. bench/kill-rerun does the same at random
// moments with thousands of files.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace tarvium::test {
namespace {

constexpr char kSetupInf[] = R"([Setup]
Version=4.10
[Application]
ProductName=Kill Test
DeveloperName=Tarvium Tests
Version=1.0
MachineKeyName=Tarvium Tests\Kill Test\1.0
UninstallKeyName=Kill Test
UninstallDisplayName=Kill Test 1.0
ApplicationDir=%ProgramFilesDir%\Kill Test
[Options]
A=A,DEFAULT
B=B,DEFAULT
[A]
#A.reg
1:one.txt, , , 100
1:four.bin, , , 100000
[A.reg]
HKLM\Software\Tarvium Tests\Kill:First=1
HKLM\Software\Tarvium Tests\Kill:Second=2
[B]
#Ini:kill.ini
1:hidden.txt, , HIDDEN, 50
1:shared.dll, %CommonFilesDir%\Kill Test\shared.dll, SHAREDDLL, 200
1:readonly.txt, , RDONLY, 60
1:keep.txt, , DONTREPLACE, 30
[Ini:kill.ini]
Settings, First, 1
Settings, Second, 2
)";

std::string Build() {
  const char* pszDir = std::getenv("TARVIUM_BUILD_DIR");
  return pszDir ? pszDir : "build";
}

// The lines of a diff that tell more than times and the record's Date.
std::vector<std::string> MeaningfulDiff(const std::string& from, const std::string& to) {
  const ToolResult diff = RunTool("winmachine", "diff " + ShellQuote(from) + " " + ShellQuote(to));
  const std::regex written(R"((: |, )written [0-9-]+ [0-9:]+ -> [0-9-]+ [0-9:]+)");
  std::vector<std::string> lines;
  std::istringstream in(diff.out);
  for (std::string line; std::getline(in, line);) {
    line = std::regex_replace(line, written, "");
    const bool bOnlyTimes = line.rfind("~ file ", 0) == 0 && line.find(": ") == std::string::npos;
    if (!bOnlyTimes && line.find("\\Setup: \"Date\" = ") == std::string::npos)
      lines.push_back(line);
  }
  return lines;
}

class KillAndRerun : public testing::Test {
 protected:
  KillAndRerun() {
    std::ofstream(media_ + "/Setup.inf") << kSetupInf;
    const std::pair<const char*, size_t> files[] = {{"one.txt", 100},     {"four.bin", 100000},
                                                    {"hidden.txt", 50},   {"shared.dll", 200},
                                                    {"readonly.txt", 60}, {"keep.txt", 30}};
    for (const auto& [pszName, nSize] : files)
      std::ofstream(media_ + "/" + pszName) << std::string(nSize, pszName[0]);
    EXPECT_EQ(RunTool("winmachine", "create " + ShellQuote(fresh_)).nExit, 0);
    EXPECT_EQ(Winmachine(fresh_, "snapshot " + ShellQuote(freshSnapshot_)), 0);
  }

  int Setup(const std::string& machine, const std::string& switches) {
    return Setup(machine, switches, media_);
  }
  int Setup(const std::string& machine, const std::string& switches, const std::string& media) {
    return RunHostCommand("cd " + ShellQuote(media) + " && TARVIUM_MACHINE=" + ShellQuote(machine) +
                          " timeout 60 " + ShellQuote(Build() + "/Setup.exe") + " " + switches +
                          " Setup.inf")
        .nExit;
  }
  int Winmachine(const std::string& machine, const std::string& args) {
    return RunTool("winmachine", "--machine " + ShellQuote(machine) + " " + args).nExit;
  }
  std::string NewMachine(const std::string& name) {
    const std::string machine = dir_.Path() + "/" + name;
    EXPECT_EQ(RunHostCommand("cp -a " + ShellQuote(fresh_) + " " + ShellQuote(machine)).nExit, 0);
    return machine;
  }
  // Runs Setup.exe with a [Faults] entry ("KillAtWrite=3") that kills it; the entry goes again.
  void RunKilled(const std::string& machine, const std::string& fault,
                 const std::string& switches) {
    const std::string ini = machine + "/machine.ini";
    ASSERT_EQ(RunHostCommand("cp " + ShellQuote(ini) + " " + ShellQuote(ini + ".bak") +
                             " && printf '[Faults]\\r\\n" + fault + "\\r\\n' >> " + ShellQuote(ini))
                  .nExit,
              0);
    EXPECT_EQ(Setup(machine, switches), 128 + 9) << "not killed: " << fault;
    ASSERT_EQ(RunHostCommand("mv " + ShellQuote(ini + ".bak") + " " + ShellQuote(ini)).nExit, 0);
  }
  // The uninterrupted install's result and what its removal leaves.
  void MakeReference(const std::string& switches) {
    const std::string reference = NewMachine("reference");
    ASSERT_EQ(Setup(reference, switches), 0);
    ASSERT_EQ(Winmachine(reference, "snapshot " + ShellQuote(installed_)), 0);
    ASSERT_EQ(Setup(reference, "/S /U"), 0);
    left_ = MeaningfulDiff(freshSnapshot_, reference);
  }

  TempDir dir_;
  std::string media_ = dir_.Path();
  std::string fresh_ = dir_.Path() + "/fresh";
  std::string freshSnapshot_ = dir_.Path() + "/fresh.snap";
  std::string installed_ = dir_.Path() + "/installed.snap";
  std::vector<std::string> left_;
};

TEST_F(KillAndRerun, EndsAsAnUninterruptedInstallAndItsRemoval) {
  ASSERT_NO_FATAL_FAILURE(MakeReference("/S"));
  // Writes: one.txt 1, four.bin 2 to 5, kill.ini 6 and 7, hidden.txt 8, shared.dll 9,
  // readonly.txt 10, keep.txt 11. "Before" kills a run that created the file and wrote nothing into
  // it yet.
  const std::pair<const char*, int> kills[] = {{"Before", 1}, {"At", 1}, {"At", 3},     {"At", 6},
                                               {"Before", 8}, {"At", 9}, {"Before", 10}};
  for (const auto& [pszWhen, nWrite] : kills) {
    const std::string fault = std::string("Kill") + pszWhen + "Write=" + std::to_string(nWrite);
    const std::string machine = NewMachine(fault);
    ASSERT_NO_FATAL_FAILURE(RunKilled(machine, fault, "/S"));
    EXPECT_EQ(Setup(machine, "/S"), 0) << fault;
    EXPECT_EQ(MeaningfulDiff(installed_, machine), std::vector<std::string>()) << fault;
    EXPECT_EQ(Setup(machine, "/S /U"), 0) << fault;
    EXPECT_EQ(MeaningfulDiff(freshSnapshot_, machine), left_) << fault;
  }
}

// A removal run right after the killed run: after a killed first install it stops (the product
// is not registered) and the install that follows still puts right the attributes the kill lost;
// after a killed modify that added an option it takes that option's files away as well.
TEST_F(KillAndRerun, ARemovalAfterAKilledRunLeavesNothingForLater) {
  ASSERT_NO_FATAL_FAILURE(MakeReference("/S"));
  const std::string first = NewMachine("first");
  ASSERT_NO_FATAL_FAILURE(RunKilled(first, "KillAtWrite=9", "/S"));
  EXPECT_NE(Setup(first, "/S /U"), 0) << "the product is not registered";
  EXPECT_EQ(Setup(first, "/S"), 0);
  EXPECT_EQ(MeaningfulDiff(installed_, first), std::vector<std::string>());
  EXPECT_EQ(Setup(first, "/S /U"), 0);
  EXPECT_EQ(MeaningfulDiff(freshSnapshot_, first), left_);

  const std::string modified = NewMachine("modified");
  ASSERT_EQ(Setup(modified, "/S /O-B"), 0);
  ASSERT_NO_FATAL_FAILURE(RunKilled(modified, "KillAtWrite=4", "/S /M /O+B"));
  EXPECT_EQ(Setup(modified, "/S /U"), 0);
  EXPECT_EQ(MeaningfulDiff(freshSnapshot_, modified), left_);
}

// A killed update over an installed product: the temporary copy it was writing beside the file it
// replaces is taken over by the next run instead of staying behind, and an empty file that was
// there before the killed run is no unfinished copy of it (DONTREPLACE keeps it).
TEST_F(KillAndRerun, AKilledUpdateLeavesNoTemporaryCopyAndKeepsOlderEmptyFiles) {
  ASSERT_NO_FATAL_FAILURE(MakeReference("/S"));
  const std::string machine = NewMachine("update");
  ASSERT_EQ(RunHostCommand("mkdir -p " + ShellQuote(machine + "/drive_c/Program Files/Kill Test") +
                           " && touch -d 2020-01-01 " +
                           ShellQuote(machine + "/drive_c/Program Files/Kill Test/keep.txt"))
                .nExit,
            0);
  ASSERT_EQ(Setup(machine, "/S"), 0);
  std::ofstream(media_ + "/one.txt") << std::string(100, 'n');  // newer: replaces the copy
  ASSERT_NO_FATAL_FAILURE(RunKilled(machine, "KillAtWrite=1", "/S"));
  EXPECT_EQ(Setup(machine, "/S"), 0);
  std::vector<std::string> keep;
  for (const std::string& line : MeaningfulDiff(installed_, machine))
    if (line.find("Kill Test\\keep.txt") != std::string::npos) keep.push_back(line);
  EXPECT_EQ(keep.size(), 1u) << "the older empty file, not the 30 bytes";
  EXPECT_TRUE(keep.empty() || keep[0].ends_with("size 30 -> 0")) << keep[0];
  EXPECT_EQ(Setup(machine, "/S /U"), 0);
  EXPECT_EQ(MeaningfulDiff(freshSnapshot_, machine), left_);
}

// Another product counts the same shared file: what it counted while this product's run lay
// killed stays counted, whether the killed run was an install or a removal, so the file stays
// until its last user goes.
TEST_F(KillAndRerun, AnotherProductsUseOfASharedFileOutlivesKilledRuns) {
  std::string other = kSetupInf;
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"Kill Test", "Kill Other"},
                                 {"Files\\Kill Other", "Files\\Kill Test"},
                                 {"\\Kill:", "\\Other:"},
                                 {"kill.ini", "other.ini"}})
    for (size_t at = 0; (at = other.find(from, at)) != std::string::npos; at += to.size())
      other.replace(at, from.size(), to);
  const std::string otherMedia = dir_.Path() + "/other";
  ASSERT_EQ(RunHostCommand("mkdir " + ShellQuote(otherMedia) + " && cd " + ShellQuote(media_) +
                           " && cp *.txt *.bin *.dll " + ShellQuote(otherMedia))
                .nExit,
            0);
  std::ofstream(otherMedia + "/Setup.inf") << other;
  const auto sharedFileLines = [&](const std::string& machine) {
    std::vector<std::string> lines;
    for (const std::string& line : MeaningfulDiff(freshSnapshot_, machine))
      if (line.find("shared.dll") != std::string::npos) lines.push_back(line);
    return lines;
  };
  for (const bool bKillRemoval : {false, true}) {
    const std::string machine = NewMachine(bKillRemoval ? "removal" : "install");
    if (bKillRemoval) {
      ASSERT_EQ(Setup(machine, "/S", otherMedia), 0);
      ASSERT_EQ(Setup(machine, "/S"), 0);
      const std::vector<std::string> bothInstalled = sharedFileLines(machine);
      ASSERT_NO_FATAL_FAILURE(RunKilled(machine, "KillBeforeWrite=1", "/S /U"));
      EXPECT_EQ(Setup(machine, "/S /U"), 0);
      EXPECT_NE(sharedFileLines(machine), bothInstalled) << "counted down once";
    } else {
      ASSERT_NO_FATAL_FAILURE(RunKilled(machine, "KillAtWrite=10", "/S"));
      ASSERT_EQ(Setup(machine, "/S", otherMedia), 0);
      EXPECT_EQ(Setup(machine, "/S"), 0);
      EXPECT_EQ(Setup(machine, "/S /U"), 0);
    }
    const std::vector<std::string> lines = sharedFileLines(machine);
    ASSERT_EQ(lines.size(), 2u) << "the file and its count";
    EXPECT_TRUE(lines[0].starts_with("+ file ")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with("REG_DWORD 0x1")) << lines[1];
  }
}

}  // namespace
}  // namespace tarvium::test
