// The setup extension library on a real temporary machine with the test extension built in the
// tree: both hook forms with their texts, mode bits and callbacks, events answered with 0, and
// the load failures with their messages (a missing library, one the machine does not trust, a
// missing hook function).
#include "engine/extension_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/code_page.h"
#include "platform/emulated/files/file_digest.h"
#include "support/test_machine.h"

namespace tarvium {
namespace {

constexpr int kIgnore = 5;

struct ExtensionLibraryTest : ::testing::Test {
  ExtensionLibraryTest() {
    InstallExtension("TestExt.dll");
    Trust("TestExt.dll");
    run.ctx.szInfFile = "C:\\Media\\Setup.inf";
    run.ctx.szSetupExtDll = "C:\\Ext\\TestExt.dll";
    SetVariable(run, "TestHookLog", log);
  }

  std::string HostPath(const std::string& relative) const {
    return machine.Path() + "/drive_c/" + relative;
  }
  void InstallExtension(const std::string& name) {
    std::filesystem::create_directories(HostPath("Ext"));
    std::filesystem::copy_file(TARVIUM_TEST_EXTENSION, HostPath("Ext/" + name),
                               std::filesystem::copy_options::overwrite_existing);
  }
  // What an administrator does: the module's digest into the machine's allow-list.
  void Trust(const std::string& name) {
    std::string digest;
    ASSERT_EQ(platform::Sha256OfHostFile(HostPath("Ext/" + name), digest), 0u);
    const std::string list = machine.Path() + "/trusted-modules.txt";
    std::ofstream(list) << digest << "  " << name << "\n";
    ::chmod(list.c_str(), 0644);
  }
  std::vector<std::string> TakeLog() {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::filesystem::remove(log);
    return lines;
  }
  std::string Variable(const std::string& name) {
    std::string value;
    run.machine.Env().GetVariable(name, value);
    return value;
  }

  test::TestMachine machine;
  SetupRun run{machine.Machine()};
  std::string log = machine.Path() + "/hook.log";
};

TEST_F(ExtensionLibraryTest, BothTextFormsPassTheBlockTextsModesAndCallbacks) {
  struct Case {
    bool bUnicode;
    const char* pszFunction;
    const char* pszPrefix;  // form, and for the 8-bit form the further arguments
    size_t nTextMax;        // the UTF-16 copies are cut to 255 characters
  };
  const Case cases[] = {{false, "", "A", 300}, {true, "SetupHookFuncW", "W", 255}};
  const std::string longText(300, 'x');
  for (const Case& c : cases) {
    run.ctx.bSetupExtIsUnicode = c.bUnicode;
    run.ctx.szSetupHookFunc = c.pszFunction;
    run.ctx.bSilent = run.ctx.bRepair = run.ctx.bUserPartRun = true;
    ASSERT_TRUE(LoadSetupExtension(run)) << c.pszPrefix;
    SetVariable(run, "TestHookProbe",
                "Gr\xFC\xDF"
                "e");  // "Grüße" in the ANSI code page
    EXPECT_EQ(CallSetupHook(run, kHookBeforeCopy, "E:\\a.dll", "C:\\App\\a.dll"), 1);
    run.ctx.bSilent = run.ctx.bRepair = run.ctx.bUserPartRun = false;
    run.ctx.bAdminSetup = run.ctx.bUninstall = run.ctx.bModify = true;
    run.ctx.bClientSetup = run.ctx.bFromCD = run.ctx.bWorkstationSetup = true;
    EXPECT_EQ(CallSetupHook(run, kHookAfterOption, longText, "", "third"), 1);
    run.ctx.bAdminSetup = run.ctx.bUninstall = run.ctx.bModify = false;
    run.ctx.bClientSetup = run.ctx.bFromCD = run.ctx.bWorkstationSetup = false;
    EXPECT_EQ(Variable("TestHookLastEvent"), "7");

    const std::string args = c.bUnicode ? "none" : "block";
    const std::string form = c.pszPrefix;
    const std::vector<std::string> expected = {
        form +
            " event=2 mode=0x118 size=72 inf=C:\\Media\\Setup.inf text1=E:\\a.dll "
            "text2=C:\\App\\a.dll text3= args=" +
            args + " probe=Grüße set=1 answer=1",
        form + " event=7 mode=0xE7 size=72 inf=C:\\Media\\Setup.inf text1=" +
            longText.substr(0, c.nTextMax) + " text2= text3=third args=" + args +
            " probe=Grüße set=1 answer=1",
    };
    EXPECT_EQ(TakeLog(), expected) << form;
    UnloadSetupExtension(run);
    EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
    EXPECT_TRUE(TakeLog().empty()) << "an unloaded library is not called";
  }
}

TEST_F(ExtensionLibraryTest, EventsListedInTheRefuseVariableAnswerZero) {
  for (bool bUnicode : {false, true}) {
    run.ctx.bSetupExtIsUnicode = bUnicode;
    run.ctx.szSetupHookFunc = bUnicode ? "SetupHookFuncW" : "SetupHookFunc";
    ASSERT_TRUE(LoadSetupExtension(run));
    SetVariable(run, "TestHookRefuse", "4,6");
    std::string answers;
    for (uint32_t nEvent = 2; nEvent <= 7; ++nEvent)
      answers += std::to_string(CallSetupHook(run, nEvent, "Option\\Sub"));
    EXPECT_EQ(answers, "110101") << bUnicode;
    EXPECT_EQ(TakeLog().size(), 6u);
  }
}

TEST_F(ExtensionLibraryTest, LoadFailuresShowTheirMessages) {
  InstallExtension("Untrusted.dll");  // another digest than the listed one
  std::ofstream(HostPath("Ext/Untrusted.dll"), std::ios::app) << "changed";
  struct Case {
    const char* pszLibrary;
    const char* pszFunction;
    int nAnswer;
    bool bLoaded;
    int nMessage;
    MessageArg secondArg;
  };
  const Case cases[] = {
      {"C:\\Ext\\Missing.dll", "", 2, false, 5520, int64_t{126}},
      {"C:\\Ext\\Missing.dll", "", kIgnore, true, 5520, int64_t{126}},
      {"C:\\Ext\\Untrusted.dll", "", 2, false, 5520, int64_t{577}},
      {"C:\\Ext\\Untrusted.dll", "", kIgnore, true, 5520, int64_t{577}},
      {"C:\\Ext\\TestExt.dll", "NoSuchHook", kIgnore, false, 5521, "C:\\Ext\\TestExt.dll"},
  };
  for (const Case& c : cases) {
    run.shownMessages.clear();
    run.ctx.szSetupExtDll = c.pszLibrary;
    run.ctx.szSetupHookFunc = c.pszFunction;
    run.script.showMessage = [&c](SetupRun&, int, const std::vector<MessageArg>&) {
      return c.nAnswer;
    };
    EXPECT_EQ(LoadSetupExtension(run), c.bLoaded) << c.pszLibrary << c.pszFunction;
    ASSERT_EQ(run.shownMessages.size(), 1u);
    EXPECT_EQ(run.shownMessages[0].nMessage, c.nMessage);
    const MessageArg first = c.nMessage == 5521 ? MessageArg(c.pszFunction) : c.pszLibrary;
    EXPECT_EQ(run.shownMessages[0].args, (std::vector<MessageArg>{first, c.secondArg}));
    EXPECT_EQ(CallSetupHook(run, kHookBeforeQuestions), 1) << "no library answers 1";
    EXPECT_TRUE(TakeLog().empty());
  }
}

TEST_F(ExtensionLibraryTest, LibraryPathTakesVariablesAndAnEmptyOneLoadsNothing) {
  SetVariable(run, "ExtDir", "C:\\Ext");
  run.ctx.szSetupExtDll = "%ExtDir%\\TestExt.dll";
  ASSERT_TRUE(LoadSetupExtension(run));
  EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
  EXPECT_EQ(TakeLog().size(), 1u);
  run.ctx.szSetupExtDll.clear();
  EXPECT_TRUE(LoadSetupExtension(run));
  EXPECT_EQ(CallSetupHook(run, kHookEndOfRun), 1);
  EXPECT_TRUE(TakeLog().empty()) << "loading nothing unloads the previous library";
  EXPECT_TRUE(run.shownMessages.empty());
}

}  // namespace
}  // namespace tarvium
