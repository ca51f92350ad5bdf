// Fonts, COM servers and assemblies on a real machine: the font's value under the Fonts key (bare
// name in the Fonts folder, full path elsewhere), a file that is no font, removal and the run's
// flag; the COM paths that fail before any server runs (a missing server, the system's
// registration program missing under UseRegSvr, a type library that does not load) with their
// messages and answers; and the assembly tool's command line on a machine without a runtime.
#include <gtest/gtest.h>

#include "engine/init_variables.h"
#include "engine/registry_text.h"
#include "engine/show_message.h"
#include "support/answering_ui.h"
#include "sysconfig/file_registrations.h"
#include "sysconfig/sysconfig_test_run.h"

namespace tarvium::test {
namespace {

class RegistrationRun : public SysconfigTestRun {
 public:
  RegistrationRun() : SysconfigTestRun("[Setup]\r\n") {
    auto answering = std::make_unique<AnsweringUserInterface>();
    ui = answering.get();
    run.ui = std::move(answering);
    InitVariables(run);
  }
  std::string FontValue(const std::string& name) {
    std::string text;
    RegReadText(run, platform::RegRoot::LocalMachine,
                "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", name, text);
    return text;
  }
  AnsweringUserInterface* ui = nullptr;
};

const std::string kTrueTypeHeader("\x00\x01\x00\x00\x00\x0A", 6);

TEST(FileRegistrations, FontValuesTableAndFlag) {
  RegistrationRun test;
  test.Write("C:\\Windows\\Fonts\\tarvium.ttf", kTrueTypeHeader);
  test.Write("C:\\Program Files\\T\\own font.otf", "OTTO\x00\x0A");
  test.Write("C:\\Windows\\Fonts\\sub\\deep.ttf", kTrueTypeHeader);
  test.Write("C:\\Windows\\Fonts\\text.fon", "plain text");
  EXPECT_TRUE(AddFont(test.run, "Tarvium (TrueType)", "C:\\Windows\\Fonts\\tarvium.ttf"));
  EXPECT_TRUE(AddFont(test.run, "Own (OpenType)", "C:\\Program Files\\T\\own font.otf"));
  EXPECT_TRUE(AddFont(test.run, "Deep (TrueType)", "C:\\Windows\\Fonts\\sub\\deep.ttf"));
  EXPECT_TRUE(test.run.ctx.bFontsChanged);
  EXPECT_EQ(test.FontValue("Tarvium (TrueType)"), "tarvium.ttf");
  EXPECT_EQ(test.FontValue("Own (OpenType)"), "C:\\Program Files\\T\\own font.otf");
  EXPECT_EQ(test.FontValue("Deep (TrueType)"), "C:\\Windows\\Fonts\\sub\\deep.ttf");

  // Not a font: the value is written all the same, the table refuses it, the flag stays unset.
  test.run.ctx.bFontsChanged = false;
  EXPECT_FALSE(AddFont(test.run, "Text", "C:\\Windows\\Fonts\\text.fon"));
  EXPECT_EQ(test.FontValue("Text"), "text.fon");
  EXPECT_FALSE(test.run.ctx.bFontsChanged);
  EXPECT_FALSE(RemoveFont(test.run, "Text", "C:\\Windows\\Fonts\\text.fon"));
  EXPECT_EQ(test.FontValue("Text"), "");
  EXPECT_FALSE(test.run.ctx.bFontsChanged);

  EXPECT_TRUE(RemoveFont(test.run, "Tarvium (TrueType)", "C:\\Windows\\Fonts\\tarvium.ttf"));
  EXPECT_EQ(test.FontValue("Tarvium (TrueType)"), "");
  EXPECT_TRUE(test.run.ctx.bFontsChanged);
}

TEST(FileRegistrations, ComFailuresAskAndIgnoreSucceeds) {
  RegistrationRun test;
  test.Write("C:\\App\\broken.tlb", "not a type library");
  EXPECT_FALSE(RegisterComServer(test.run, "C:\\App\\broken.tlb"));  // quietly
  EXPECT_FALSE(UnregisterComServer(test.run, "C:\\App\\broken.tlb"));
  EXPECT_TRUE(test.Messages().empty());

  // A server that is not there cannot be loaded (5520 with its path); Ignore goes on.
  EXPECT_FALSE(RegisterComServer(test.run, "C:\\App\\missing.dll"));
  test.ui->answers[5520] = kResultIgnore;
  EXPECT_TRUE(UnregisterComServer(test.run, "C:\\App\\missing.dll"));
  EXPECT_EQ(test.ui->texts[5520], "Cannot load DLL 'C:\\App\\missing.dll'.\nError 126!");

  // With UseRegSvr the system's registration program runs instead; this machine has none: the
  // launcher's 5508, then the registration's own message.
  test.run.ctx.bUseRegSvr = true;
  EXPECT_FALSE(RegisterComServer(test.run, "C:\\App\\missing.dll"));
  EXPECT_FALSE(UnregisterComServer(test.run, "C:\\App\\missing.dll"));
  EXPECT_EQ(test.Messages(), (std::vector<int>{5520, 5520, 5508, 5546, 5508, 5547}));
}

TEST(FileRegistrations, AssemblyToolWithoutRuntimeIsTheBareName) {
  RegistrationRun test;
  EXPECT_EQ(test.run.variables.Get("CLRDir"), "");
  EXPECT_FALSE(RegisterAssembly(test.run, "C:\\App\\Lib.dll", true));
  EXPECT_EQ(test.ui->texts[5508],
            "Cannot execute command 'RegAsm.exe \"C:\\App\\Lib.dll\"'.\nError 2!");
  EXPECT_FALSE(RegisterAssembly(test.run, "C:\\App\\Lib.dll", false));
  EXPECT_EQ(test.ui->texts[5508],
            "Cannot execute command 'RegAsm.exe \"C:\\App\\Lib.dll\" /unregister'.\nError 2!");
}

}  // namespace
}  // namespace tarvium::test
