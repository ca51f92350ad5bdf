// The copy procedure on a real temporary machine: when a copy is unnecessary, the resumption of an
// interrupted copy, KEEPEXISTING and APPEND, backups, personalisation across a block boundary,
// the size check, failed writes and the test-run lists. A file in use, replaced at the next
// restart, is the scenario copy-in-use-replaced-at-restart.
// The conflict rules with real PE files whose version resources are changed in place: the
// version, operating system and language questions with their texts, the silent answer that
// keeps a newer file and drops the temporary copy, the date question, and the run-wide None.
// The cabinet and SZDD readers on a real machine, over cabinets made by gcab, files compressed by
// mscompress and a two-cabinet set written by the test's own writer of stored folders (gcab cannot
// span cabinets): members found with their stored date and attributes, members taken in order,
// a file that runs from one cabinet into the next, and damaged input answered with an error.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/zip_times.h"
#include "copy_test_run.h"
#include "engine/setup_run.h"
#include "install/cabinet_files.h"
#include "install/copy_flags.h"
#include "install/copy_job.h"
#include "install/copy_times.h"
#include "platform/emulated/files/emulated_file_system.h"
#include "support/cabinet_writer.h"
#include "support/run_tool.h"
#include "support/test_data.h"
#include "support/test_machine.h"

namespace tarvium::test {
namespace {

constexpr const char* kSource = R"(C:\Media\app.dat)";
constexpr const char* kTarget = R"(C:\App\app.dat)";

TEST(FileCopy, EqualDateAndSizeSkipUnlessAlwaysOrOneHourUnderX32) {
  struct Case {
    uint32_t dwFlags;
    int64_t nSize;
    uint64_t ftTarget;
    uint32_t dwRunFlags;
    bool bCopied;
  };
  const uint64_t ftHourEarlier = kJune2020 - 36000000000ULL;
  for (const Case& c :
       {Case{0, 4, kJune2020, 0, false}, Case{0, 0, kJune2020, 0, false},
        Case{COPY_ALWAYS, 4, kJune2020, 0, true},
        Case{0, 5, kJune2020, 0, true},  // another expected size
        Case{COPY_NOSIZEWARNING, 5, kJune2020, 0, false}, Case{0, 4, ftHourEarlier, 0, true},
        Case{0, 4, ftHourEarlier, 0x20, false}}) {
    CopyTestRun t;
    t.run.ctx.bSilent = true;  // the size of the "another size" case is not asked about
    t.Write(kSource, "new!", kJune2020);
    t.Write(kTarget, "old!", c.ftTarget);
    t.run.ctx.dwRunFlags = c.dwRunFlags;
    ASSERT_TRUE(t.Copy(kSource, kTarget, c.dwFlags, c.nSize));
    EXPECT_EQ(t.Read(kTarget), c.bCopied ? "new!" : "old!") << c.dwFlags << " " << c.nSize;
    EXPECT_FALSE(t.Files().FileExists(R"(C:\App\app.000)"));
  }
}

TEST(FileCopy, FirstCopyTakesTimesAndAttributesAndRunsAgainAsUnnecessary) {
  CopyTestRun t;
  t.Write(kSource, "payload", kJune2020);
  t.Files().SetFileAttributes(kSource,
                              platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(t.Copy(kSource, kTarget, 0, 7, /*SYSTEM*/ 4));
  uint32_t dwAttributes = 0;
  t.Files().GetFileAttributes(kTarget, dwAttributes);
  EXPECT_EQ(dwAttributes, platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(t.LastWrite(kTarget), kJune2020);
  EXPECT_EQ(EngineOf(t.run).nProgressPosition, 7);
  EXPECT_EQ(EngineOf(t.run).lastWrittenFiles[kOrdinarySlot], kTarget);
  // The same copy again: equal date and size, nothing is written.
  t.Files().SetFileAttributes(kTarget, platform::FILE_ATTRIBUTE_NORMAL);
  t.Write(kTarget, "PAYLOAD", kJune2020);
  ASSERT_TRUE(t.Copy(kSource, kTarget, 0, 7));
  EXPECT_EQ(t.Read(kTarget), "PAYLOAD");
  EXPECT_EQ(EngineOf(t.run).nProgressPosition, 14);
}

// A destination dated 1 January 1980 is what an interrupted copy left: it is completed from its
// size on when the source is read as it is (Expand=0), also under DONTREPLACE, which keeps only a
// finished file; read through the expansion it is written again from its start, and BACKUP keeps
// no copy of it. After a killed run an empty destination is unfinished as well, whatever its date:
// the run died while it made the file, before the stamp; an ordinary run keeps it as newer.
TEST(FileCopy, AnUnfinishedFileIsCompletedOrWrittenAgain) {
  struct Case {
    bool bExpand;
    uint32_t dwFlags, dwAttributes;
    bool bEmpty, bAfterKilledRun;
    bool bCopied, bResumed;
  };
  const std::string source(70000, 'a');
  for (const Case& c : {Case{false, 0, 0, false, false, true, true},
                        Case{false, COPY_DONTREPLACE, 0, false, false, true, true},
                        Case{true, 0, kAttributeBackup, false, false, true, false},
                        Case{true, COPY_DONTREPLACE, 0, true, true, true, false},
                        Case{true, COPY_REPLACEOLDER, 0, true, false, false, false}}) {
    CopyTestRun t;
    t.run.ctx.bExpand = c.bExpand;
    EngineOf(t.run).bFollowsInterruptedRun = c.bAfterKilledRun;
    t.Write(kSource, source + "end", kJune2020);
    // The first block came through before the copy stopped; "XX" shows it is not written again.
    t.Write(kTarget, c.bEmpty ? "" : "XX" + std::string(30718, 'a'));
    const uint64_t ft1980 = InterruptedCopyStamp(t.run);
    if (!c.bEmpty) {
      ASSERT_EQ(t.Files().SetFileTimes(kTarget, {ft1980, ft1980, ft1980}), 0u);
    }
    ASSERT_TRUE(t.Copy(kSource, kTarget, c.dwFlags, 70003, c.dwAttributes));
    const std::string expected =
        !c.bCopied ? "" : (c.bResumed ? "XX" + source.substr(2) : source) + "end";
    EXPECT_TRUE(t.Read(kTarget) == expected) << c.dwFlags << " " << c.bEmpty;
    EXPECT_FALSE(t.Files().FileExists(std::string(kTarget) + ".000"));
    EXPECT_EQ(t.LastWrite(kTarget) == kJune2020, c.bCopied);
    EXPECT_EQ(EngineOf(t.run).nProgressPosition, 70003);
    EXPECT_TRUE(t.run.shownMessages.empty());
  }
}

// A run killed after the data of its files but before their attributes were kept leaves equal
// files with the attributes of files made on the host. A run that undid a killed run's journal
// gives every equal file the attributes its copy gives; an ordinary run does not look.
TEST(FileCopy, AfterAKilledRunEqualFilesGetTheirAttributesBack) {
  CopyTestRun t;
  t.Write(kSource, "payload", kJune2020);
  ASSERT_TRUE(t.Copy(kSource, kTarget, 0, 7, /*HIDDEN*/ 2));
  uint32_t dwCopied = 0;
  t.Files().GetFileAttributes(kTarget, dwCopied);
  ASSERT_TRUE(dwCopied & platform::FILE_ATTRIBUTE_HIDDEN);
  t.Files().SetFileAttributes(kTarget, platform::FILE_ATTRIBUTE_ARCHIVE);
  for (const bool bAfterKilledRun : {false, true}) {
    EngineOf(t.run).bFollowsInterruptedRun = bAfterKilledRun;
    ASSERT_TRUE(t.Copy(kSource, kTarget, 0, 7, /*HIDDEN*/ 2));
    uint32_t dwAttributes = 0;
    t.Files().GetFileAttributes(kTarget, dwAttributes);
    EXPECT_EQ(dwAttributes, bAfterKilledRun ? dwCopied : platform::FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(t.LastWrite(kTarget), kJune2020) << "equal: not copied again";
  }
}

// A copy stopped anywhere must leave a file that the next run resumes: after each block, the last
// one too, the new file is dated 1 January 1980, whether the file system moves the bytes (plain)
// or the engine writes them (personalised), in three blocks or in one.
TEST(FileCopy, AFileBeingWrittenIsDatedFirstOfJanuary1980AfterEachBlock) {
  for (const size_t nSize : {size_t{70000}, size_t{100}}) {
    for (const uint32_t dwFlags : {0u, uint32_t{COPY_SETUSERINFO}}) {
      CopyTestRun t;
      t.Write(kSource, std::string(nSize, 'a'), kJune2020);
      std::vector<bool> stampedAtPump;
      t.user->onPump = [&t, &stampedAtPump] {
        stampedAtPump.push_back(IsInterruptedCopyStamp(t.run, t.LastWrite(kTarget)));
      };
      ASSERT_TRUE(t.Copy(kSource, kTarget, dwFlags, static_cast<int64_t>(nSize)));
      EXPECT_EQ(stampedAtPump, std::vector<bool>(nSize > 30720 ? 3 : 1, true))
          << nSize << " " << dwFlags;
      EXPECT_EQ(t.LastWrite(kTarget), kJune2020);
    }
  }
}

TEST(FileCopy, KeepExistingWritesNewNameAndAppendExtendsIt) {
  CopyTestRun t;
  t.Write(kTarget, "old");
  t.Write(kSource, "new", kJune2020);
  t.Write(R"(C:\Media\more.dat)", "+more", kJune2020);
  ASSERT_TRUE(t.Copy(kSource, kTarget, COPY_KEEPEXISTING));
  ASSERT_TRUE(t.Copy(R"(C:\Media\more.dat)", kTarget, COPY_APPEND));
  EXPECT_EQ(t.Read(kTarget), "old");
  EXPECT_EQ(t.Read(R"(C:\App\app.new)"), "new+more");
  // Without an existing destination APPEND extends the file the last copy wrote.
  ASSERT_TRUE(t.Copy(kSource, R"(C:\App\log.txt)"));
  ASSERT_TRUE(t.Copy(R"(C:\Media\more.dat)", R"(C:\App\ignored.txt)", COPY_APPEND));
  EXPECT_EQ(t.Read(R"(C:\App\log.txt)"), "new+more");
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\ignored.txt)"));
}

TEST(FileCopy, BackupKeepsEachReplacedFileUnderTheNextNumber) {
  CopyTestRun t;
  const std::string app = R"(C:\App\app.exe)";
  t.Write(app, "v1", kJune2020);
  for (int n = 2; n <= 3; ++n) {
    t.Write(kSource, "v" + std::to_string(n), DaysLater(kJune2020, n));
    ASSERT_TRUE(t.Copy(kSource, app, 0, 0, /*BACKUP*/ 16));
  }
  EXPECT_EQ(t.Read(app), "v3");
  EXPECT_EQ(t.Read(app + ".000"), "v1");
  EXPECT_EQ(t.Read(app + ".001"), "v2");
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\app.000)"));
}

TEST(FileCopy, UserInfoMarksAcrossABlockBoundaryAreFilledInOnce) {
  CopyTestRun t;
  t.run.variables.Set("User", "Jane Doe");
  t.run.variables.Set("Company", "Example Ltd");
  const std::string user = "User" + std::string(46, '_');
  const std::string company = "Company" + std::string(43, '_');
  std::string bytes(30700, 'x');
  bytes += user + std::string(20000, 'y') + company + user + company;
  t.Write(kSource, bytes, kJune2020);
  ASSERT_TRUE(t.Copy(kSource, kTarget, COPY_SETUSERINFO, static_cast<int64_t>(bytes.size())));
  std::string expected = bytes;
  expected.replace(30700, 9, std::string("Jane Doe") + '\0');
  expected.replace(30750 + 20000, 12, std::string("Example Ltd") + '\0');
  EXPECT_TRUE(t.Read(kTarget) == expected);
  // SETUP.EXE is never personalised.
  ASSERT_TRUE(t.Copy(kSource, R"(C:\App\Setup.exe)", COPY_SETUSERINFO));
  EXPECT_TRUE(t.Read(R"(C:\App\Setup.exe)") == bytes);
}

TEST(FileCopy, SizeCheckAsksAndIgnoreKeepsTheFile) {
  for (const int nAnswer : {kResultIgnore, kResultOk}) {
    CopyTestRun t;
    t.user->answers[5517] = nAnswer;
    t.Write(kSource, "four", kJune2020);
    EXPECT_EQ(t.Copy(kSource, kTarget, 0, 10), nAnswer == kResultIgnore);
    EXPECT_EQ(t.Messages(), std::vector<int>{5517});
    EXPECT_EQ(t.Files().FileExists(kTarget), nAnswer == kResultIgnore);
    std::string clip;
    t.run.machine.Clip().GetClipboardText(clip);
    EXPECT_EQ(clip, "4");
    EXPECT_EQ(EngineOf(t.run).nProgressPosition, nAnswer == kResultIgnore ? 10 : 4);
  }
}

TEST(FileCopy, MissingSourceFailedWriteAndAbortLeaveNoTarget) {
  CopyTestRun t;
  EXPECT_FALSE(t.Copy(R"(C:\Media\missing.dat)", kTarget));
  EXPECT_EQ(t.Messages(), std::vector<int>{5501});
#ifdef TARVIUM_FAULT_SEAM
  auto& files = static_cast<platform::emulated::EmulatedFileSystem&>(t.Files());
  t.Write(kSource, std::string(100000, 'z'), kJune2020);
  files.SetFaultPlan({2, false});  // the second block fails
  EXPECT_FALSE(t.Copy(kSource, kTarget));
  files.SetFaultPlan({});
  EXPECT_EQ(t.Messages(), (std::vector<int>{5501, 5503}));
  EXPECT_FALSE(t.Files().FileExists(kTarget));
#endif
  t.run.ctx.bAborted = true;
  t.Write(kSource, "data", kJune2020);
  EXPECT_FALSE(t.Copy(kSource, kTarget));
  EXPECT_FALSE(t.Files().FileExists(kTarget));
}

TEST(FileCopy, CabinetMembersAndCompressedFilesWithTheirStoredTimes) {
  CopyTestRun t;
  const std::string media = t.machine.Path() + "/drive_c/Media";
  std::filesystem::create_directories(media);
  std::string payload;
  for (int i = 0; payload.size() < 70000; ++i) payload += "block " + std::to_string(i) + "\n";
  std::ofstream(media + "/app.dll", std::ios::binary) << payload;
  std::ofstream(media + "/tool.exe", std::ios::binary) << payload.substr(0, 5000);
  const std::string make = "cd " + ShellQuote(media) +
                           " && touch -d '2024-03-05 10:20:30' app.dll && gcab -c -z data1.cab"
                           " app.dll && head -c 300 data1.cab > broken.cab && mscompress tool.exe "
                           "&& mv tool.exe_ tool.ex_"
                           " && rm app.dll tool.exe";
  ASSERT_EQ(std::system(make.c_str()), 0);
  auto copyFrom = [&](const std::string& cabinet, const std::string& member, uint32_t dwFlags) {
    CopyFileRequest request;
    request.source = R"(C:\Media\)" + member;
    request.destination = R"(C:\App\)" + member;
    request.cabinet = cabinet.empty() ? "" : R"(C:\Media\)" + cabinet;
    request.dwCopyFlags = dwFlags;
    request.nExpectedSize = member == "app.dll" ? static_cast<int64_t>(payload.size()) : 0;
    return CopyTheFile(t.run, request);
  };
  ASSERT_TRUE(copyFrom("data1.cab", "app.dll", 0));
  EXPECT_TRUE(t.Read(R"(C:\App\app.dll)") == payload);
  CabinetFileInfo info;
  ASSERT_EQ(FindCabinetFile(t.run, R"(C:\Media\data1.cab)", "app.dll", info), 0u);
  EXPECT_EQ(t.LastWrite(R"(C:\App\app.dll)"),
            FileTimeOfDosDateTime(t.run, uint32_t(info.wDosDate) << 16 | info.wDosTime));
  // Installed again: the stored time makes the copy unnecessary.
  ASSERT_TRUE(copyFrom("data1.cab", "app.dll", 0));
  EXPECT_TRUE(t.run.shownMessages.empty());
  EXPECT_TRUE(copyFrom("data1.cab", "other.dll", COPY_OPTIONAL));
  EXPECT_FALSE(copyFrom("data1.cab", "other.dll", 0));
  EXPECT_FALSE(copyFrom("broken.cab", "app.dll", COPY_ALWAYS));
  EXPECT_EQ(t.Messages(), (std::vector<int>{5560, 5502}));
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\other.dll)"));
  EXPECT_TRUE(t.Read(R"(C:\App\app.dll)") == payload);
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\app.000)"));
  // An SZDD file read through the expansion (Expand=1, the default).
  ASSERT_TRUE(t.Files().FileExists(R"(C:\Media\tool.ex_)"));
  CopyFileRequest compressed;
  compressed.source = R"(C:\Media\tool.ex_)";
  compressed.destination = R"(C:\App\tool.exe)";
  ASSERT_TRUE(CopyTheFile(t.run, compressed));
  EXPECT_TRUE(t.Read(R"(C:\App\tool.exe)") == payload.substr(0, 5000));
}

TEST(FileCopy, UninstallRemovesWhatTheLineInstalled) {
  struct Case {
    uint32_t dwFlags;
    uint32_t dwRunFlags;
    bool bRemoved;
  };
  for (const Case& c :
       {Case{0, 0, true}, Case{COPY_KEEPEXISTING, 0, true}, Case{COPY_DONTDELETE, 0, false},
        Case{COPY_DONTREPLACE, 0, true}, Case{COPY_DONTREPLACE, 0x02, false}}) {
    CopyTestRun t;
    t.Write(R"(C:\App\bin\app.dat)", "installed");
    t.Write(R"(C:\App\bin\app.new)", "kept beside");
    t.run.ctx.bUninstall = true;
    t.run.ctx.dwRunFlags = c.dwRunFlags;
    ASSERT_TRUE(t.Copy(kSource, R"(C:\App\bin\app.dat)", c.dwFlags, 9));
    EXPECT_EQ(t.Files().FileExists(R"(C:\App\bin\app.dat)"), !c.bRemoved) << c.dwFlags;
    EXPECT_EQ(t.Files().FileExists(R"(C:\App\bin\app.new)"), !(c.dwFlags & COPY_KEEPEXISTING));
    EXPECT_EQ(EngineOf(t.run).nProgressPosition, 9);
  }
}

TEST(FileCopy, TestRunsListSourcesOrWriteCopyCommands) {
  for (const int nKind : {0, 1}) {
    CopyTestRun t;
    t.run.ctx.bTestRun = true;
    t.run.ctx.iTestKind = nKind;
    t.run.variables.Set("Src", R"(C:\Media\)");
    const std::string list = R"(C:\list.txt)";
    ASSERT_EQ(t.Files().CreateFile(list, platform::GENERIC_WRITE, platform::CREATE_ALWAYS, 0,
                                   t.run.sequence.hTestList),
              0u);
    t.Write(R"(C:\Media\sub dir\a.dll)", "a", kJune2020);
    ASSERT_TRUE(t.Copy(R"(C:\Media\sub dir\a.dll)", R"(C:\App\a.dll)", 0, 1));
    t.Files().CloseHandle(t.run.sequence.hTestList);
    EXPECT_FALSE(t.Files().FileExists(R"(C:\App\a.dll)"));
    EXPECT_EQ(t.Read(list), nKind == 0 ? "\"sub dir\\a.dll\"\r\n"
                                       : "@if not exist C:\\App md C:\\App>NUL\r\n"
                                         "copy C:\\Media\\sub dir\\a.dll C:\\App\\a.dll\r\n");
  }
}

constexpr const char* kToolSource = R"(C:\Media\tool.exe)";
constexpr const char* kTool = R"(C:\App\tool.exe)";

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
      t.Write(kTool, c.existing, DaysLater(kJune2020, 9));
      t.Write(kToolSource, SampleProgram(), kJune2020);  // older by date: the version decides
      ASSERT_TRUE(t.Copy(kToolSource, kTool));
      const bool bReplaced = c.nMessage == 0 || nAnswer == kResultYes;
      EXPECT_EQ(t.Read(kTool) == SampleProgram(), bReplaced) << c.nMessage;
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
  t.Write(kTool, SampleProgram(), kJune2020);
  t.Write(kToolSource, SampleProgram(0x00030000, 0x00000001), DaysLater(kJune2020, 1));  // 16-bit
  ASSERT_TRUE(t.Copy(kToolSource, kTool, 0, 0));
  ASSERT_EQ(t.Messages(), std::vector<int>{5543});
  const std::string& text = t.user->texts[5543];
  EXPECT_NE(text.find("Operating system: Windows (32 Bit)"), std::string::npos) << text;
  EXPECT_NE(text.find("Operating system: Windows (16 Bit)"), std::string::npos) << text;
  EXPECT_EQ(t.Read(kTool), SampleProgram());  // the default answer is No
}

TEST(CopyConflicts, SilentRunKeepsTheNewerVersionAndDropsTheTemporaryCopy) {
  CopyTestRun t;
  t.run.ctx.bSilent = true;
  t.Write(kTool, SampleProgram(0x00030000), kJune2020);
  t.Write(kToolSource, SampleProgram(), DaysLater(kJune2020, 1));
  ASSERT_TRUE(t.Copy(kToolSource, kTool));
  EXPECT_TRUE(t.run.shownMessages.empty());
  EXPECT_EQ(t.Read(kTool), SampleProgram(0x00030000));
  EXPECT_FALSE(t.Files().FileExists(R"(C:\App\tool.000)"));
  EXPECT_EQ(EngineOf(t.run).lastWrittenFiles[kOrdinarySlot], kTool);
}

TEST(CopyConflicts, DateRuleWithReplaceOlderNoDateWarningAndTheQuestion) {
  struct Case {
    uint32_t dwFlags;
    int nAnswer;
    bool bReplaced;
    std::vector<int> messages;
    uint32_t dwAttributes = 0;  // RDONLY: the temporary copy is read-only too, and still goes
    bool bSourceNewer = false;  // a newer source replaces without a question
  };
  for (const Case& c :
       {Case{0, kResultYes, true, {5506}}, Case{0, kResultNo, false, {5506}},
        Case{COPY_REPLACEOLDER, kResultYes, false, {}},
        Case{COPY_REPLACEOLDER, kResultYes, false, {}, /*RDONLY*/ 1},
        Case{COPY_NODATEWARNING, kResultNo, true, {}}, Case{0, kResultNo, true, {}, 0, true}}) {
    CopyTestRun t;
    t.user->answers[5506] = c.nAnswer;
    t.Write(kTool, "target", c.bSourceNewer ? kJune2020 : DaysLater(kJune2020, 1));
    t.Write(kToolSource, "source", c.bSourceNewer ? DaysLater(kJune2020, 1) : kJune2020);
    ASSERT_TRUE(t.Copy(kToolSource, kTool, c.dwFlags, 0, c.dwAttributes));
    EXPECT_EQ(t.Read(kTool), c.bReplaced ? "source" : "target") << c.dwFlags << c.bSourceNewer;
    EXPECT_EQ(t.Messages(), c.messages);
    EXPECT_FALSE(t.Files().FileExists(R"(C:\App\tool.000)")) << c.dwFlags << " " << c.dwAttributes;
  }
}

TEST(CopyConflicts, NoneToADateQuestionAnswersEveryLaterQuestionNo) {
  CopyTestRun t;
  t.user->answers[5506] = kResultAll;  // None
  t.Write(R"(C:\App\a.txt)", "newer", DaysLater(kJune2020, 1));
  t.Write(R"(C:\Media\a.txt)", "older", kJune2020);
  ASSERT_TRUE(t.Copy(R"(C:\Media\a.txt)", R"(C:\App\a.txt)"));
  t.Write(kTool, SampleProgram(0x00030000), kJune2020);
  t.Write(kToolSource, SampleProgram(), kJune2020 + 1);
  ASSERT_TRUE(t.Copy(kToolSource, kTool));
  EXPECT_EQ(t.Messages(), std::vector<int>{5506});
  EXPECT_EQ(t.Read(R"(C:\App\a.txt)"), "newer");
  EXPECT_EQ(t.Read(kTool), SampleProgram(0x00030000));
  EXPECT_TRUE(EngineOf(t.run).bAnswerNone);
}

TEST(CopyConflicts, RuntimeCheckWarnsAboutAnOlderFileOnTheSearchPath) {
  CopyTestRun t;
  const std::string installed = kTool;
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

namespace fs = std::filesystem;

class CabinetFiles : public testing::Test {
 protected:
  std::string Host(const std::string& rel) const { return machine.Path() + "/drive_c/" + rel; }
  void WriteHost(const std::string& rel, const std::string& bytes) const {
    WriteHostFile(Host(rel), bytes);
  }
  std::string ReadHost(const std::string& rel) const { return ReadHostFile(Host(rel)); }
  // Runs a host tool in drive_c\media.
  void InMedia(const std::string& command) const {
    const std::string line = "cd " + ShellQuote(Host("media")) + " && " + command;
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
  }
  uint32_t Extract(const std::string& cabinet, const std::string& member, std::string& bytes,
                   CabinetFileInfo& info) {
    bytes.clear();
    return ExtractCabinetFile(
        run, cabinet, member,
        [&](const uint8_t* p, size_t n) {
          bytes.append(reinterpret_cast<const char*>(p), n);
          return true;
        },
        info);
  }

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

std::string Pattern(size_t nSize, char cSeed) {
  std::string text(nSize, ' ');
  for (size_t i = 0; i < nSize; ++i) text[i] = static_cast<char>(cSeed + (i * 7) % 61);
  return text;
}

TEST_F(CabinetFiles, GcabMembersInAndOutOfOrderWithStoredInfo) {
  WriteHost("media/app.dll", Pattern(100000, 'a'));
  WriteHost("media/sub/readme.txt", "Read me.\r\n");
  WriteHost("media/empty.txt", "");
  InMedia(
      "touch -d '2024-03-05 10:20:30' app.dll && "
      "gcab -c -z data1.cab app.dll sub/readme.txt empty.txt && gcab -c plain.cab app.dll");
  for (const char* cabinet : {"C:\\media\\data1.cab", "C:\\media\\plain.cab"}) {
    CabinetFileInfo info;
    ASSERT_EQ(FindCabinetFile(run, cabinet, "APP.DLL", info), 0u) << cabinet;
    EXPECT_EQ(info.nSize, 100000u);
    EXPECT_EQ(info.wDosDate, ((2024 - 1980) << 9) | (3 << 5) | 5);
    EXPECT_EQ(info.wDosTime, (10 << 11) | (20 << 5) | 15);
  }
  CabinetFileInfo info;
  std::string bytes;
  // Later member first, then an earlier one: the folder is started again, not misread.
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "sub/README.txt", bytes, info), 0u);
  EXPECT_EQ(bytes, "Read me.\r\n");
  for (const char* member : {"app.dll", "C:\\media\\app.dll"}) {
    ASSERT_EQ(Extract("C:\\media\\data1.cab", member, bytes, info), 0u) << member;
    EXPECT_TRUE(bytes == Pattern(100000, 'a'));
  }
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "empty.txt", bytes, info), 0u);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(FindCabinetFile(run, "C:\\media\\data1.cab", "nothere.dll", info),
            platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindCabinetFile(run, "C:\\media\\nocab.cab", "app.dll", info),
            platform::ERROR_FILE_NOT_FOUND);
  // A sink that refuses stops the transfer; the next extraction starts cleanly.
  EXPECT_EQ(ExtractCabinetFile(
                run, "C:\\media\\data1.cab", "app.dll",
                [](const uint8_t*, size_t) { return false; }, info),
            platform::ERROR_CANCELLED);
  ASSERT_EQ(Extract("C:\\media\\data1.cab", "app.dll", bytes, info), 0u);
  EXPECT_EQ(bytes.size(), 100000u);
  CloseCabinets(run);
}

TEST_F(CabinetFiles, SetAcrossTwoCabinets) {
  const std::vector<CabinetMember> members = {
      {"first.txt", Pattern(3000, 'f')},
      {"empty.txt", ""},
      {"Windows\\System\\span.dll", Pattern(9000, 's'), 0x5A21, 0x6000, 0x21},
  };
  const std::vector<std::string> cabinets =
      WriteStoredCabinetSet(members, {"set1.cab", "set2.cab"}, 7168);
  ASSERT_EQ(cabinets.size(), 2u);
  WriteHost("media/set1.cab", cabinets[0]);
  WriteHost("media/set2.cab", cabinets[1]);
  InMedia("cabextract -q -d out1 set1.cab");  // the format is sound for the peer tool as well
  EXPECT_TRUE(ReadHost("media/out1/Windows/System/span.dll") == members[2].data);
  for (const CabinetMember& member : members) {
    std::string bytes;
    CabinetFileInfo info;
    ASSERT_EQ(Extract("C:\\media\\set1.cab", member.name, bytes, info), 0u) << member.name;
    EXPECT_TRUE(bytes == member.data) << member.name;
    EXPECT_EQ(info.dwAttributes, member.wAttributes);
  }
  // Without its second cabinet the set still lists the first one's members, but the file that
  // continues there cannot be read.
  CloseCabinets(run);
  fs::remove(Host("media/set2.cab"));
  std::string bytes;
  CabinetFileInfo info;
  EXPECT_EQ(Extract("C:\\media\\set1.cab", "first.txt", bytes, info), 0u);
  EXPECT_NE(Extract("C:\\media\\set1.cab", "Windows\\System\\span.dll", bytes, info), 0u);
}

TEST_F(CabinetFiles, DamagedCabinetsAreBadFormat) {
  WriteHost("media/app.dll", Pattern(200000, 'x'));
  InMedia("gcab -c -z good.cab app.dll");
  const std::string good = ReadHost("media/good.cab");
  std::string corrupt = good;
  for (size_t i = good.size() / 2; i < good.size() / 2 + 64; ++i) corrupt[i] ^= 0x5A;
  WriteHost("media/truncated.cab", good.substr(0, good.size() / 2));
  WriteHost("media/corrupt.cab", corrupt);
  WriteHost("media/header.cab", good.substr(0, 20));
  WriteHost("media/notcab.cab", "This is no cabinet at all, only text.");
  // The damage shows when the member is read, or already when the cabinet is opened.
  for (const char* name : {"truncated.cab", "corrupt.cab", "header.cab", "notcab.cab"}) {
    std::string bytes;
    CabinetFileInfo info;
    const std::string cabinet = std::string("C:\\media\\") + name;
    EXPECT_EQ(Extract(cabinet, "app.dll", bytes, info), platform::ERROR_BAD_FORMAT) << name;
  }
  CabinetFileInfo info;
  for (const char* name : {"header.cab", "notcab.cab"})
    EXPECT_EQ(FindCabinetFile(run, std::string("C:\\media\\") + name, "app.dll", info),
              platform::ERROR_BAD_FORMAT)
        << name;
}

TEST_F(CabinetFiles, SzddExpandedPlainFilesPassed) {
  const std::string text = Pattern(50000, 'q') + std::string(3000, 'z');
  WriteHost("media/app.dll", text);
  InMedia("mscompress app.dll && mv app.dll_ app.dl_");
  std::string bytes;
  bool bCompressed = false;
  const ByteSink append = [&](const uint8_t* p, size_t n) {
    bytes.append(reinterpret_cast<const char*>(p), n);
    return true;
  };
  ASSERT_EQ(ExpandFile(run, "C:\\media\\app.dl_", append, bCompressed), 0u);
  EXPECT_TRUE(bCompressed);
  EXPECT_TRUE(bytes == text);
  bytes.clear();
  ASSERT_EQ(ExpandFile(run, "C:\\media\\app.dll", append, bCompressed), 0u);
  EXPECT_FALSE(bCompressed);
  EXPECT_TRUE(bytes == text);
  const std::string compressed = ReadHost("media/app.dl_");
  WriteHost("media/cut.dl_", compressed.substr(0, compressed.size() / 2));
  EXPECT_EQ(ExpandFile(run, "C:\\media\\cut.dl_", append, bCompressed), platform::ERROR_BAD_FORMAT);
  EXPECT_EQ(ExpandFile(run, "C:\\media\\none.dl_", append, bCompressed),
            platform::ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tarvium::test
