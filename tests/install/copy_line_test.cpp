// Copy lines: the fields and medium forms, the resolved source and destination paths, and the
// lines' behaviour on a real machine: DELETE, CREATE, the platform words, wrong flags, and a
// missing source asked for again or found on another medium.
// Whether copy lines and section references apply to a run, by their copy flags.
#include <gtest/gtest.h>

#include <deque>
#include <tuple>

#include "engine/replace_variables.h"
#include "install/cabinet_files.h"
#include "install/copy_flags.h"
#include "install/copy_line.h"
#include "install/copy_line_fields.h"
#include "install/copy_line_paths.h"
#include "install/copy_source.h"
#include "install/flag_applicability.h"
#include "install_test_run.h"
#include "support/answering_ui.h"
#include "support/cabinet_writer.h"

namespace tarvium::test {
namespace {

// Answers the medium question from a list, running an action (inserting the medium) first.
class MediumAnswers final : public AnsweringUserInterface {
 public:
  int ShowPage(ui::PageRequest& page) override {
    asked.push_back(page.text);
    if (answers.empty()) return ui::kPageCancel;
    auto [nAnswer, insert] = answers.front();
    answers.pop_front();
    if (insert) insert(page);
    return nAnswer;
  }
  void ShowStatus(const std::string& firstLine, const std::string& secondLine) override {
    status.push_back(firstLine + "|" + secondLine);
  }
  std::deque<std::pair<int, std::function<void(ui::PageRequest&)>>> answers;
  std::vector<std::string> asked;
  std::vector<std::string> status;
};

class CopyLines : public testing::Test {
 protected:
  CopyLines() {
    SetCopyLineProcessor(t.run, ProcessCopyLine);
    v().Set("Src", "C:\\Media\\");
    v().Set("App", "C:\\Program Files\\P\\");
    v().Set("Windows", "C:\\Windows");
    v().Set("System", "C:\\Windows\\System32");
    v().Set("Fonts", "C:\\Windows\\Fonts");
    v().Set("CommonFilesDir", "C:\\Program Files\\Common Files");
  }
  VariableStore& v() { return t.run.variables; }
  platform::FileSystem& Files() { return t.run.machine.Files(); }
  bool Process(const std::string& line) { return ProcessCopyLine(t.run, line, SectionCall{}); }
  CopyLinePaths Paths(const std::string& line) {
    CopyLineFields fields = ParseCopyLine(line);
    ReplaceVariables(t.run, fields.destination);
    uint32_t dwFlags = 0, dwAttributes = 0;
    EXPECT_TRUE(ParseCopyLineFlags(fields.flags, dwFlags, dwAttributes)) << line;
    return ResolveCopyLinePaths(t.run, fields, dwFlags, dwAttributes);
  }

  InstallTestRun t{"[Setup]\r\n"};
};

TEST(CopyLineFields, MediumFormsAndFields) {
  struct Case {
    const char* line;
    uint32_t nMedium;
    const char* source;
    const char* destination;
    const char* flags;
    int64_t nSize;
    const char* name;
  };
  const Case cases[] = {
      {"1:app.dll, bin\\, SHAREDDLL+REGISTER, 1200, App Library", 1, "app.dll", "bin\\",
       "SHAREDDLL+REGISTER", 1200, "App Library"},
      {"2:Windows\\System\\x.dll, %System%, SHAREDDLL", 2, "Windows\\System\\x.dll", "%System%",
       "SHAREDDLL", 0, ""},
      {"1:C:\\x.dll", 1, "C:\\x.dll", "", "", 0, ""},
      {"0:a.txt,,,", 1, "a.txt", "", "", 0, ""},
      {":a.txt", 1, "a.txt", "", "", 0, ""},
      {"3a.txt, out.txt", 3, "a.txt", "out.txt", "", 0, ""},
      {"\"12:my file.txt\", 'dest, with comma', NORMAL, 77", 12, "my file.txt", "dest, with comma",
       "NORMAL", 77, ""},
      {"1:", 1, "", "", "", 0, ""},
      {"'1:it''s.txt', d,, \"4\"\"2\", n", 1, "it's.txt", "d", "", 4, "n"},
      {"1:a, b, c, 09 , x", 1, "a", "b", "c", 9, "x"},
      {"1:a,b,c,7", 1, "a", "b", "c", 7, ""},
      {"1:a, 'b,c', 5", 1, "a", "b,c", "5", 0, ""},
      {"1:a, b, \"c,d\"", 1, "a", "b", "c,d", 0, ""},
  };
  for (const Case& c : cases) {
    const CopyLineFields f = ParseCopyLine(c.line);
    EXPECT_EQ(std::tie(f.nMedium, f.source, f.destination, f.flags, f.nSize, f.name),
              std::make_tuple(c.nMedium, c.source, c.destination, c.flags, c.nSize, c.name))
        << c.line;
    EXPECT_EQ(CopyLineSizeField(c.line), c.nSize) << c.line;
  }
}

TEST_F(CopyLines, SourceAndDestinationPaths) {
  ASSERT_EQ(Files().CreateDirectoryTree("C:\\Program Files\\P\\existing"), 0u);
  v().Set("Data", "C:\\Shared Data");
  const std::pair<const char*, const char*> cases[] = {
      {"2:Windows\\System\\x.dll, %System%, SHAREDDLL", "C:\\Windows\\System32\\x.dll"},
      {"1:Windows\\System32\\x.dll, %System%\\sub\\", "C:\\Windows\\System32\\sub\\x.dll"},
      {"1:Windows\\readme.txt, %Windows%", "C:\\Windows\\readme.txt"},
      {"1:Windows\\Fonts\\a.ttf, %Fonts%", "C:\\Windows\\Fonts\\a.ttf"},
      {"1:Common\\lib.dll, %CommonFilesDir%", "C:\\Program Files\\Common Files\\lib.dll"},
      {"1:bin\\app.exe", "C:\\Program Files\\P\\bin\\app.exe"},
      {"1:bin\\app.exe, tools\\, USEFILENAME", "C:\\Program Files\\P\\tools\\app.exe"},
      {"1:bin\\app.exe, tools\\run.exe", "C:\\Program Files\\P\\tools\\run.exe"},
      {"1:bin\\app.exe, existing", "C:\\Program Files\\P\\existing\\bin\\app.exe"},
      {"1:bin\\app.exe, C:\\Out, DIRECTORY", "C:\\Out\\bin\\app.exe"},
      {"1:Data\\db.mdb, %Data%", "C:\\Shared Data\\db.mdb"},
      {"1:db.mdb, %Data%\\copy.mdb", "C:\\Shared Data\\copy.mdb"},
  };
  for (const auto& [line, destination] : cases)
    EXPECT_EQ(Paths(line).fullDestination, destination) << line;
  EXPECT_EQ(Paths("2:Windows\\System\\x.dll, %System%").fullSource,
            "C:\\Media\\Windows\\System\\x.dll");
  EXPECT_EQ(Paths("1:\\\\srv\\pub\\x.dll").fullSource, "\\\\srv\\pub\\x.dll");
  EXPECT_EQ(Paths("1:D:\\x.dll").fullSource, "D:\\x.dll");
}

TEST_F(CopyLines, UnwritableSystemDirectoryAndEngineFlags) {
  EngineOf(t.run).nSystemWritable = 0;
  EXPECT_EQ(Paths("1:x.dll, %System%").fullDestination, "C:\\Windows\\x.dll");
  t.run.ctx.bDateWarning = false;
  const uint32_t dwFlags =
      AddEngineFlags(t.run, COPY_REGISTER, "C:\\Windows\\System32\\x.dll", "x.dll");
  for (uint32_t dwWord : {COPY_NODATEWARNING, COPY_SHAREDDLL, COPY_CLIENT, COPY_MACHINE})
    EXPECT_TRUE(dwFlags & dwWord) << std::hex << dwWord;
  EXPECT_FALSE(AddEngineFlags(t.run, 0, "C:\\Windows\\Profiles\\u\\x.ini", "x") & COPY_CLIENT);
  EXPECT_EQ(AddEngineFlags(t.run, COPY_SETUP, "C:\\App", "s") & (COPY_EXPAND | COPY_DONTDELETE),
            COPY_EXPAND | COPY_DONTDELETE);
  EXPECT_TRUE(AddEngineFlags(t.run, 0, "C:\\Program Files\\Common Files", "c") & COPY_DIRECTORY);
  t.run.ctx.bUserPartRun = true;
  EXPECT_FALSE(AddEngineFlags(t.run, COPY_SERVICE, "C:\\App\\s.exe", "s") &
               (COPY_SERVICE | COPY_SHAREDDLL));
}

TEST_F(CopyLines, DeleteAndCreateLines) {
  t.machine.WriteFile("C:\\Program Files\\P\\old.log", "x");
  EXPECT_TRUE(Process("1:old.log,,DELETE"));
  EXPECT_TRUE(Files().FileExists("C:\\Program Files\\P\\old.log")) << "an install keeps it";
  EXPECT_TRUE(Process("1:,logs\\, CREATE+HIDDEN"));
  EXPECT_TRUE(Files().DirectoryExists("C:\\Program Files\\P\\logs"));
  EXPECT_TRUE(Process("1:,data\\empty.dat, RDONLY"));
  uint32_t dwAttributes = 0;
  ASSERT_EQ(Files().GetFileAttributes("C:\\Program Files\\P\\data\\empty.dat", dwAttributes), 0u);
  EXPECT_TRUE(dwAttributes & platform::FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Process("1:bad.dll,,NOSUCHWORD") == false);
  EXPECT_EQ(t.Messages(), std::vector<int>{5530});

  t.run.ctx.bUninstall = true;
  EXPECT_TRUE(Process("1:old.log,,DELETE"));
  EXPECT_FALSE(Files().FileExists("C:\\Program Files\\P\\old.log"));
  EXPECT_TRUE(Process("1:old.log,,DELETE")) << "a file already gone";
  EXPECT_TRUE(Process("1:,logs\\, CREATE"));
  EXPECT_FALSE(Files().DirectoryExists("C:\\Program Files\\P\\logs"));
}

TEST_F(CopyLines, PlatformWordsOnA32BitMachine) {
  auto machine32 = t.machine.OpenReconfigured([](auto& config) { config.b64Bit = false; });
  SetupRun run(*machine32);
  run.variables.Set("Src", "C:\\Media\\");
  run.variables.Set("App", "C:\\App\\");
  run.ctx.bMissingFilesToErrorFile = true;  // a line that applies fails on its missing source
  EXPECT_TRUE(ProcessCopyLine(run, "1:x64.dll,,WINDOWS64", SectionCall{}));
  EXPECT_FALSE(ProcessCopyLine(run, "1:x86.dll,,WINDOWS32", SectionCall{}));
  EXPECT_FALSE(ProcessCopyLine(run, "1:any.dll", SectionCall{}));
}

// The lines of a section are read into the same strings one after another: a shorter line with
// fewer fields after a longer one keeps nothing of it (paths, name, size, status lines). The
// status is in the run's language, its texts read again for a new language.
TEST_F(CopyLines, EachLineKeepsNothingOfTheLineBeforeAndItsStatusIsInTheRunsLanguage) {
  auto ui = std::make_unique<MediumAnswers>();
  MediumAnswers& shown = *ui;
  t.run.ui = std::move(ui);
  t.machine.WriteFile("C:\\Media\\sub\\a long name.txt", "four");
  t.machine.WriteFile("C:\\Media\\b.txt", "seven b");
  EXPECT_TRUE(Process("1:sub\\a long name.txt, deeper\\dir\\, , 4, Shared Name"));
  EXPECT_TRUE(Process("1:b.txt"));
  EXPECT_EQ(shown.status, (std::vector<std::string>{
                              "Copying: C:\\Media\\sub\\a long name.txt|to: "
                              "C:\\Program Files\\P\\deeper\\dir\\sub\\a long name.txt",
                              "Copying: C:\\Media\\b.txt|to: C:\\Program Files\\P\\b.txt"}));
  t.run.messages.lcidLanguage = kLocaleGerman;
  EXPECT_TRUE(Process("1:b.txt"));
  EXPECT_EQ(shown.status.back(), "Kopieren: C:\\Media\\b.txt|nach: C:\\Program Files\\P\\b.txt");
  uint64_t nSize = 0;
  EXPECT_EQ(Files().GetFileSize("C:\\Program Files\\P\\deeper\\dir\\sub\\a long name.txt", nSize),
            0u);
  EXPECT_EQ(nSize, 4u);
  EXPECT_EQ(Files().GetFileSize("C:\\Program Files\\P\\b.txt", nSize), 0u);
  EXPECT_EQ(nSize, 7u) << "no size expected from the line before";
}

// A missing source passed over with OPTIONAL, written to the error file with /F and cancelled at
// the medium question: the scenarios copy-missing-source-*.
TEST_F(CopyLines, MissingSourceAskedAgainSkippedOrFoundOnAnotherMedium) {
  auto ui = std::make_unique<MediumAnswers>();
  MediumAnswers& answers = *ui;
  t.run.ui = std::move(ui);
  answers.answers = {{ui::kPageNext, nullptr}, {ui::kPageSkip, nullptr}};
  EXPECT_TRUE(Process("1:gone.dll"));
  EXPECT_EQ(answers.asked.size(), 2u) << "asked again after try-again, then skipped";

  // Trying again after the medium was put in another directory: the source follows it.
  t.machine.WriteFile("C:\\Disk2\\found.dll", "data");
  answers.answers = {{ui::kPageNext, [](ui::PageRequest& page) { page.value = "C:\\Disk2"; }}};
  CopySource source{"C:\\Media\\found.dll", {}};
  EXPECT_EQ(FindCopySource(t.run, 1, 0, source), SourceFound::Found);
  EXPECT_EQ(source.fullSource, "C:\\Disk2\\found.dll");
  EXPECT_EQ(v().Get("Src"), "C:\\Disk2\\");
}

TEST_F(CopyLines, CompressedNameAndCabinetOfTheMedium) {
  t.machine.WriteFile("C:\\Media\\app.dl_", "SZDD");
  CopySource source{"C:\\Media\\app.dll", {}};
  ASSERT_EQ(FindCopySource(t.run, 1, 0, source), SourceFound::Found);
  EXPECT_EQ(source.fullSource, "C:\\Media\\app.dl_");
  EXPECT_TRUE(source.cabinet.empty());
  EXPECT_EQ(CompressedName("C:\\a.b\\readme"), "");
  EXPECT_EQ(CompressedName("C:\\x\\a.h"), "C:\\x\\a.h_");

  t.run.ctx.szCabTemplateName = "Data00.cab";
  t.machine.WriteFile("C:\\Media\\Data02.cab", "MSCF");
  EngineOf(t.run).nCurrentMedium = 2;  // the counter outranks the line's medium 1
  source = {"C:\\Media\\lib\\x.dll", {}};
  ASSERT_EQ(FindCopySource(t.run, 1, 0, source), SourceFound::Found);
  EXPECT_EQ(source.cabinet, "C:\\Media\\Data02.cab");
}

TEST_F(CopyLines, ACabinetSetReadAcrossCabinetsMovesTheMediumCounter) {
  const std::vector<CabinetMember> members = {
      {"first.txt", std::string(3000, 'f')},
      {"span.dll", std::string(9000, 's')},
  };
  const std::vector<std::string> cabinets =
      WriteStoredCabinetSet(members, {"Data01.cab", "Data02.cab"}, 7168);
  ASSERT_EQ(cabinets.size(), 2u);
  t.machine.WriteFile("C:\\Media\\Data01.cab", cabinets[0]);
  t.machine.WriteFile("C:\\Media\\Data02.cab", cabinets[1]);
  t.run.ctx.szCabTemplateName = "Data00.cab";
  ASSERT_TRUE(Process("1:first.txt"));
  EXPECT_EQ(EngineOf(t.run).nCurrentMedium, 1u);
  ASSERT_TRUE(Process("1:span.dll"));  // runs on into the second cabinet
  EXPECT_EQ(EngineOf(t.run).nCurrentMedium, 2u);
  // Later lines of medium 1 look in the second cabinet, which still finds the whole set.
  ASSERT_TRUE(Process("1:first.txt, again.txt"));
  EXPECT_EQ(EngineOf(t.run).nCurrentMedium, 2u);
  std::string bytes;
  ASSERT_EQ(Files().ReadWholeFile("C:\\Program Files\\P\\span.dll", bytes), 0u);
  EXPECT_TRUE(bytes == members[1].data);
  ASSERT_EQ(Files().ReadWholeFile("C:\\Program Files\\P\\again.txt", bytes), 0u);
  EXPECT_TRUE(bytes == members[0].data);
  CloseCabinets(t.run);
}

enum RunKind { kPlain, kAdmin, kWorkstation, kClient, kUser, kUninstall };

void Prepare(SetupContext& ctx, RunKind setup) {
  ctx.bAdminSetup = setup == kAdmin;
  ctx.bWorkstationSetup = setup == kWorkstation;
  ctx.bClientSetup = setup == kClient;
  ctx.bUserPartRun = setup == kUser;
  ctx.bUninstall = setup == kUninstall;
}

TEST(FlagApplicability, RunKindsPlatformsAndForms) {
  struct Case {
    RunKind setup;
    uint32_t dwFlags;
    bool bCopyLine;
    bool bReference;
  };
  const std::vector<Case> cases = {
      {kPlain, 0, true, true},
      {kPlain, COPY_WINDOWS64, true, true},  // the test machine is 64-bit
      {kPlain, COPY_WINDOWS32, false, false},
      {kPlain, COPY_WINDOWS32 | COPY_WINDOWS64, true, true},
      {kPlain, COPY_DOS, false, false},
      {kPlain, COPY_NT, true, true},
      {kPlain, COPY_ADMIN, false, false},
      {kAdmin, COPY_ADMIN | COPY_WINDOWS32, true, true},
      {kAdmin, COPY_CLIENT, true, false},
      {kAdmin, COPY_MACHINE, false, false},
      {kAdmin, COPY_LOCALAPP, false, false},
      {kClient, 0, false, true},
      {kClient, COPY_CLIENT, true, true},
      {kClient, COPY_MACHINE, false, false},
      {kClient, COPY_LOCALAPP | COPY_CLIENT, false, false},
      {kWorkstation, COPY_CLIENT, true, false},
      {kWorkstation, COPY_CLIENT | COPY_MACHINE, true, true},
      {kUser, COPY_CLIENT | COPY_MACHINE, false, false},
      {kUser, COPY_CLIENT, true, true},
      {kPlain, COPY_DELETE, false, false},
      {kUninstall, COPY_DELETE, true, true},
      {kUninstall, COPY_DONTDELETE, false, false},
  };
  InstallTestRun t("");
  for (const Case& c : cases) {
    Prepare(t.run.ctx, c.setup);
    EXPECT_EQ(FlagsApplyToRun(t.run, c.dwFlags, FlagForm::CopyLine), c.bCopyLine)
        << c.setup << " " << std::hex << c.dwFlags;
    EXPECT_EQ(FlagsApplyToRun(t.run, c.dwFlags, FlagForm::Reference), c.bReference)
        << c.setup << " " << std::hex << c.dwFlags;
  }
  t.run.ctx.bFromCD = true;
  Prepare(t.run.ctx, kWorkstation);
  EXPECT_FALSE(FlagsApplyToRun(t.run, COPY_CLIENT, FlagForm::CopyLine));
}

TEST(FlagApplicability, CopyLineFlagWords) {
  uint32_t dwCopy = 0, dwAttributes = 0;
  ASSERT_TRUE(
      ParseCopyLineFlags("SHAREDDLL+hidden|BACKUP)WINDOWS16 REGISTER", dwCopy, dwAttributes));
  EXPECT_EQ(dwCopy, COPY_SHAREDDLL | COPY_REGISTER);
  EXPECT_EQ(dwAttributes, 2u | 16u);
  EXPECT_FALSE(ParseCopyLineFlags("SHAREDDLL+FOO", dwCopy, dwAttributes));
  EXPECT_FALSE(ParseCopyLineFlags("12", dwCopy, dwAttributes));  // no numbers on copy lines
}

}  // namespace
}  // namespace tarvium::test
