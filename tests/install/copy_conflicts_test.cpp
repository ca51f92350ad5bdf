// The conflict rules with real PE files whose version resources are changed in place: the
// version, operating system and language questions with their texts, the silent answer that
// keeps a newer file and drops the temporary copy, the date question, and the run-wide None.
#include <gtest/gtest.h>

#include <cstring>

#include "copy_test_run.h"
#include "install/copy_flags.h"
#include "support/test_data.h"

namespace tarvium::test {
namespace {

constexpr const char* kSource = R"(C:\Media\tool.exe)";
constexpr const char* kTarget = R"(C:\App\tool.exe)";

// english64.exe (2.3.40.500, Windows 32-bit, US English) with its fixed version information
// changed: the file version, the target operating system and the translation's language.
std::string SampleProgram(uint32_t dwVersionMS = 0x00020003, uint32_t dwFileOS = 0x00040004,
                          uint16_t wLanguage = 0x0409) {
  std::string bytes = ReadTestData("pe/english64.exe");
  const size_t nFixed = bytes.find("\xBD\x04\xEF\xFE");
  EXPECT_NE(nFixed, std::string::npos);
  std::memcpy(&bytes[nFixed + 8], &dwVersionMS, 4);
  std::memcpy(&bytes[nFixed + 32], &dwFileOS, 4);
  const size_t nTranslation = bytes.rfind(std::string("\x09\x04\xE4\x04", 4));
  EXPECT_NE(nTranslation, std::string::npos);
  std::memcpy(&bytes[nTranslation], &wLanguage, 2);
  return bytes;
}

TEST(CopyConflicts, VersionOsAndLanguageQuestionsWithTheirTexts) {
  struct Case {
    std::string existing;
    int nMessage;
    const char* pszInText;
  };
  const std::vector<Case> cases = {
      {SampleProgram(0x00030000), 5544, "Version: 3.0.40.500"},
      {SampleProgram(0x00020003, 0x00040004, 0x0407), 5545, "Language: German (Germany)"},
      {SampleProgram(0x00020003, 0x00000000), 0, nullptr},  // lower OS: replaced, no question
      {SampleProgram(0x00010000), 0, nullptr},              // older: replaced, no question
  };
  for (const Case& c : cases) {
    for (const int nAnswer : {kResultYes, kResultNo}) {
      CopyTestRun t;
      t.user->answers[c.nMessage] = nAnswer;
      t.Write(kTarget, c.existing, DaysLater(kJune2020, 9));
      t.Write(kSource, SampleProgram(), kJune2020);  // older by date: the version decides
      ASSERT_TRUE(t.Copy(kSource, kTarget));
      const bool bReplaced = c.nMessage == 0 || nAnswer == kResultYes;
      EXPECT_EQ(t.Read(kTarget) == SampleProgram(), bReplaced) << c.nMessage;
      EXPECT_FALSE(t.Files().FileExists(R"(C:\App\tool.000)"));
      if (c.nMessage == 0) {
        EXPECT_TRUE(t.run.shownMessages.empty());
        continue;
      }
      EXPECT_EQ(t.Messages(), std::vector<int>{c.nMessage});
      EXPECT_NE(t.user->texts[c.nMessage].find(c.pszInText), std::string::npos)
          << t.user->texts[c.nMessage];
      EXPECT_NE(t.user->texts[c.nMessage].find("Tarvium sample program"), std::string::npos);
    }
  }
}

TEST(CopyConflicts, OperatingSystemQuestionNamesBothTargets) {
  CopyTestRun t;
  t.Write(kTarget, SampleProgram(), kJune2020);
  t.Write(kSource, SampleProgram(0x00030000, 0x00000001), DaysLater(kJune2020, 1));  // 16-bit
  ASSERT_TRUE(t.Copy(kSource, kTarget, 0, 0));
  ASSERT_EQ(t.Messages(), std::vector<int>{5543});
  const std::string& text = t.user->texts[5543];
  EXPECT_NE(text.find("Operating system: Windows (32 Bit)"), std::string::npos) << text;
  EXPECT_NE(text.find("Operating system: Windows (16 Bit)"), std::string::npos) << text;
  EXPECT_EQ(t.Read(kTarget), SampleProgram());  // the default answer is No
}

TEST(CopyConflicts, SilentRunKeepsTheNewerVersionAndDropsTheTemporaryCopy) {
  CopyTestRun t;
  t.run.ctx.bSilent = true;
  t.Write(kTarget, SampleProgram(0x00030000), kJune2020);
  t.Write(kSource, SampleProgram(), DaysLater(kJune2020, 1));
  ASSERT_TRUE(t.Copy(kSource, kTarget));
  EXPECT_TRUE(t.run.shownMessages.empty());
  EXPECT_EQ(t.Read(kTarget), SampleProgram(0x00030000));
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\tool.000)"));
  EXPECT_EQ(EngineOf(t.run).lastWrittenFiles[kOrdinarySlot], kTarget);
}

TEST(CopyConflicts, DateRuleWithReplaceOlderNoDateWarningAndTheQuestion) {
  struct Case {
    uint32_t dwFlags;
    int nAnswer;
    bool bReplaced;
    std::vector<int> messages;
    uint32_t dwAttributes = 0;  // RDONLY: the temporary copy is read-only too, and still goes
  };
  for (const Case& c : {Case{0, kResultYes, true, {5506}}, Case{0, kResultNo, false, {5506}},
                        Case{COPY_REPLACEOLDER, kResultYes, false, {}},
                        Case{COPY_REPLACEOLDER, kResultYes, false, {}, /*RDONLY*/ 1},
                        Case{COPY_NODATEWARNING, kResultNo, true, {}}}) {
    CopyTestRun t;
    t.user->answers[5506] = c.nAnswer;
    t.Write(kTarget, "newer", DaysLater(kJune2020, 1));
    t.Write(kSource, "older", kJune2020);
    ASSERT_TRUE(t.Copy(kSource, kTarget, c.dwFlags, 0, c.dwAttributes));
    EXPECT_EQ(t.Read(kTarget), c.bReplaced ? "older" : "newer") << c.dwFlags;
    EXPECT_EQ(t.Messages(), c.messages);
    EXPECT_FALSE(t.Files().FileExists(R"(C:\App\tool.000)")) << c.dwFlags << " " << c.dwAttributes;
  }
  // A newer source replaces without a question.
  CopyTestRun t;
  t.Write(kTarget, "older", kJune2020);
  t.Write(kSource, "newer", DaysLater(kJune2020, 1));
  ASSERT_TRUE(t.Copy(kSource, kTarget));
  EXPECT_EQ(t.Read(kTarget), "newer");
  EXPECT_TRUE(t.run.shownMessages.empty());
  EXPECT_NE(t.user->texts.count(5506), 1u);
}

TEST(CopyConflicts, NoneToADateQuestionAnswersEveryLaterQuestionNo) {
  CopyTestRun t;
  t.user->answers[5506] = kResultAll;  // None
  t.Write(R"(C:\App\a.txt)", "newer", DaysLater(kJune2020, 1));
  t.Write(R"(C:\Media\a.txt)", "older", kJune2020);
  ASSERT_TRUE(t.Copy(R"(C:\Media\a.txt)", R"(C:\App\a.txt)"));
  t.Write(kTarget, SampleProgram(0x00030000), kJune2020);
  t.Write(kSource, SampleProgram(), kJune2020 + 1);
  ASSERT_TRUE(t.Copy(kSource, kTarget));
  EXPECT_EQ(t.Messages(), std::vector<int>{5506});
  EXPECT_EQ(t.Read(R"(C:\App\a.txt)"), "newer");
  EXPECT_EQ(t.Read(kTarget), SampleProgram(0x00030000));
  EXPECT_TRUE(EngineOf(t.run).bAnswerNone);
}

TEST(CopyConflicts, RuntimeCheckWarnsAboutAnOlderFileOnTheSearchPath) {
  CopyTestRun t;
  const std::string installed = R"(C:\App\tool.exe)";
  const std::string system = t.run.variables.Get("System") + "\\tool.exe";
  t.Write(installed, SampleProgram());
  t.Write(system, SampleProgram(0x00010002));
  EngineOf(t.run).runtimeCheckList = {installed, system};
  CheckRuntimeVersions(t.run);
  ASSERT_EQ(t.Messages(), std::vector<int>{5551});
  const std::string& text = t.user->texts[5551];
  EXPECT_NE(text.find("Need: " + installed + " (2.03.40.500)"), std::string::npos) << text;
  EXPECT_NE(text.find("Load: " + system + " (1.02.40.500)"), std::string::npos) << text;
  EXPECT_TRUE(EngineOf(t.run).runtimeCheckList.empty());
}

}  // namespace
}  // namespace tarvium::test
