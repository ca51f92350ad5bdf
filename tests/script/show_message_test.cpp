// ShowMessage through the script engine on a real temporary machine: its routes, the error file
// of a silent run, the LastError value, the headless box and the language choice.
#include <gtest/gtest.h>

#include <regex>

#include "engine/error_file.h"
#include "engine/error_log_entries.h"
#include "engine/setup_run.h"
#include "script/language_choice.h"
#include "script/message_box.h"
#include "script/message_catalog.h"
#include "script/message_spec.h"
#include "script/script_engine.h"
#include "script/show_catalog_message.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"
#include "ui/headless_ui.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using test::TestMachine;

constexpr const char* kStowfield = "Software\\kelvaron\\Stowfield";

struct MessageRun {
  explicit MessageRun(const platform::emulated::MachineIdentity& identity = {})
      : machine(identity) {
    AttachScriptEngine(run);
    InitMessageCatalog(run);
  }
  std::string ErrorFile() { return machine.ReadFile("C:\\err.txt"); }

  TestMachine machine;
  SetupRun run{machine.Machine()};
};

TEST(ShowMessage, ServiceRouteSilentDefaultsAndNamelessMessages) {
  MessageRun t;
  t.run.ctx.bServiceMode = true;
  t.run.ctx.bSilent = true;
  EXPECT_EQ(ShowMessage(t.run, 5509), 7);
  EXPECT_EQ(ShowMessage(t.run, 5518, "HKLM\\X", int64_t{5}), 2);
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, kStowfield, "LastError"),
            "Cannot create key or value 'HKLM\\X' in the system registry.\nError 5!");
  EXPECT_TRUE(t.run.debugLines.empty());  // silent: nothing goes to the service

  t.run.ctx.bSilent = false;
  EXPECT_EQ(ShowMessage(t.run, 5573), 2);
  EXPECT_TRUE(t.run.debugLines.empty());  // a message without a name is never sent
  EXPECT_EQ(t.run.messages.szLastError.substr(0, 40), "The setup information file has been defi");
  EXPECT_EQ(ShowMessage(t.run, 5501, "C:\\a.txt"), 2);  // the exchange fails without a pipe
  ASSERT_EQ(t.run.debugLines.size(), 1u);
  EXPECT_NE(t.run.debugLines[0].find("error;ERR_FILEOPEN;C:\\a.txt"), std::string::npos);
  EXPECT_EQ(ShowMessage(t.run, 5522), 1);  // no entry, no message
}

TEST(ShowMessage, SilentRunWritesEachAnsweredBoxIntoTheErrorFile) {
  MessageRun t({.wLanguage = 0x0407});
  t.run.ctx.bSilent = true;
  t.run.ctx.szErrorFile = "C:\\err.txt";
  ASSERT_TRUE(PrepareErrorFile(t.run));
  WriteIdentityLines(t.run, "Product", "1.0", "2", "C:\\Setup.inf");
  AttachErrorFileToMessages(t.run);
  EXPECT_FALSE(t.run.messages.bBeep);
  t.run.ui = std::make_unique<ui::HeadlessUserInterface>(t.machine.Machine().Output());
  testing::internal::CaptureStderr();
  SetPosition(t.run, "Copy", 12);
  EXPECT_EQ(ShowMessage(t.run, 5509), 7);
  SetPosition(t.run, "", 0);
  EXPECT_EQ(ShowMessage(t.run, 5505, "C:\\a.txt"), 6);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the interface was never asked
  FinishErrorFile(t.run);

  const std::string file = t.ErrorFile();
  const std::string head = R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)";
  const std::regex entries("[\\s\\S]*SetupInf   : C:\\\\Setup.inf\r\n------------\r\n" + head +
                           ", Section \\[Copy\\], Line 12: \r\nDo you really want to abort the "
                           "installation\\?\r\nNo\r\n------------\r\n" +
                           head +
                           "\r\nFile 'C:\\\\a.txt' already exists!\r\nOverwrite file\\?"
                           "\r\nYes\r\n------------\r\n");
  EXPECT_TRUE(std::regex_match(file, entries)) << file;
  EXPECT_EQ(t.machine.RegString(RegRoot::LocalMachine, kStowfield, "LastError"),
            "File 'C:\\a.txt' already exists!\nOverwrite file?");

  // Without an error file a silent run beeps; /SX answers 2 and writes nothing at all.
  MessageRun sx;
  sx.run.ctx.bSilent = sx.run.ctx.bSilentToErrorPath = true;
  AttachErrorFileToMessages(sx.run);
  EXPECT_TRUE(sx.run.messages.bBeep);
  sx.run.ctx.szErrorFile = "C:\\err.txt";
  ASSERT_TRUE(PrepareErrorFile(sx.run));
  EXPECT_EQ(ShowMessage(sx.run, 5505, "C:\\a.txt"), 2);
  FinishErrorFile(sx.run);
  EXPECT_EQ(sx.ErrorFile(), "");
  EXPECT_EQ(sx.machine.RegString(RegRoot::LocalMachine, kStowfield, "LastError"), "");
}

// A message entry's head keeps the user's date separator, even '/'; the lines built from SysDate
// (the file's date line, ErrorLogMsg) turn '/' into '.'. Every line ends with CR LF.
TEST(ShowMessage, EntryHeadsKeepTheUsersDateSeparator) {
  MessageRun t;
  ASSERT_TRUE(t.machine.Machine().EmulatedClock().FixLocalTime({2026, 3, 3, 4, 9, 5, 3, 7}));
  t.machine.SetRegString(RegRoot::CurrentUser, "Control Panel\\International", "sDate", "/");
  t.machine.SetRegString(RegRoot::CurrentUser, "Control Panel\\International", "sTime", "-");
  t.run.ctx.bSilent = true;
  t.run.ctx.szErrorFile = "C:\\err.txt";
  ASSERT_TRUE(PrepareErrorFile(t.run));
  AttachErrorFileToMessages(t.run);
  EXPECT_EQ(ShowMessage(t.run, 5501, "C:\\a.txt"), 2);
  WriteErrorLogMsg(t.run, "script entry");
  FinishErrorFile(t.run);
  const std::string file = t.ErrorFile();
  EXPECT_NE(file.find("\r\nDate/Time  : 04.03.2026 09-05-03\r\n04/03/2026 09-05-03\r\n"
                      "Cannot open file 'C:\\a.txt'!\r\nOK\r\n------------\r\n"
                      "04.03.2026 09-05-03\r\nErrorLogMsg: script entry\r\n------------\r\n"),
            std::string::npos)
      << file;
}

TEST(ShowMessage, HeadlessBoxAndTheHelpButton) {
  MessageRun t;
  t.run.ui = std::make_unique<ui::HeadlessUserInterface>(t.machine.Machine().Output());
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessage(t.run, 5509), 7);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("== Setup: Question ==\nDo you really want to abort the installation?\n"
                       "Buttons: Yes | [No]\n"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("the default button No was taken"), std::string::npos) << shown;

  MessageSpec messageSpec;
  ASSERT_TRUE(ParseMessageSpec(GetText(t.run, 5509), messageSpec));
  t.run.messages.szHelpFile = "C:\\Setup.hlp";
  t.run.messages.bMainWindow = true;
  ui::MessageBoxRequest request = BuildMessageBoxRequest(t.run, 5509, messageSpec, "text");
  ASSERT_EQ(request.buttons.size(), 3u);
  EXPECT_EQ(request.buttons[2].nResult, 9);
  EXPECT_EQ(request.nDefault, 1u);
  t.run.messages.bSystemModal = true;
  request = BuildMessageBoxRequest(t.run, 5509, messageSpec, "text");
  EXPECT_EQ(request.buttons.size(), 2u);
  EXPECT_TRUE(request.bSystemModal);
  ASSERT_TRUE(ParseMessageSpec("[s][t][&Help=9!|&OK=-1|&Retry=4]", messageSpec));
  request = BuildMessageBoxRequest(t.run, 1, messageSpec, "t");  // the marked button is not created
  ASSERT_EQ(request.buttons.size(), 1u);
  EXPECT_EQ(request.nDefault, 0u);
}

TEST(LanguageChoice, EachSourceInItsOrder) {
  EXPECT_EQ(NormalizeLanguageCode("de-de"), "de-DE");
  EXPECT_EQ(NormalizeLanguageCode("EN"), "en");
  EXPECT_EQ(NormalizeLanguageCode("deu"), "DEU");
  EXPECT_EQ(NormalizeLanguageCode("German"), "German");
  EXPECT_EQ(LocaleOfLanguageCode("FR"), 0x040Cu);
  EXPECT_EQ(LocaleOfLanguageCode("es-ES"), 0x040Au);
  EXPECT_EQ(LanguageCodeOfLocale(0x0C0C), "fr-FR");  // by the primary language
  EXPECT_EQ(LanguageCodeOfLocale(0x0411), "");

  MessageRun german({.wLanguage = 0x0407});  // the display language of the machine
  EXPECT_EQ(ChooseLanguage(german.run), 0x0407u);
  EXPECT_EQ(german.run.ctx.szWindowTitle, "Setup");

  MessageRun t;
  EXPECT_EQ(ChooseLanguage(t.run), 0x0409u);
  const std::string hkcuDesktop = "Control Panel\\Desktop";
  t.machine.SetRegString(RegRoot::CurrentUser, hkcuDesktop, "PreferredUILanguages", "de-CH");
  t.machine.SetRegString(RegRoot::LocalMachine,
                         "SYSTEM\\CurrentControlSet\\Control\\MUI\\UILanguages\\de-CH", "LCID",
                         "2055");  // 0x0807
  EXPECT_EQ(ChooseLanguage(t.run), 0x0407u);
  t.machine.SetRegString(RegRoot::CurrentUser, hkcuDesktop, "PreferredUILanguages", "");
  t.machine.SetRegString(RegRoot::CurrentUser, "Control Panel\\International", "Locale",
                         "0000040c");
  EXPECT_EQ(ChooseLanguage(t.run), 0x040Cu);
  EXPECT_EQ(t.run.ctx.szWindowTitle, "Installation");
  t.machine.SetRegString(RegRoot::CurrentUser, "Control Panel\\International", "Locale", "");
  EXPECT_EQ(ChooseLanguage(t.run), 0x0409u);  // the user's default locale

  t.machine.SetRegString(RegRoot::LocalMachine, "Software\\kelvaron\\Central\\Misc", "sLanguage",
                         "es-es");
  EXPECT_EQ(FindLanguageCode(t.run), "es-ES");
  EXPECT_EQ(ChooseLanguage(t.run), 0x040Au);
  EXPECT_EQ(GetText(t.run, 5007), "Copying:");
  t.machine.SetRegString(RegRoot::LocalMachine, "Software\\kelvaron\\LanguageMap",
                         "ClientComponent", "de");
  EXPECT_EQ(ChooseLanguage(t.run), 0x0407u);
  t.machine.SetRegString(RegRoot::CurrentUser, "Software\\kelvaron\\LanguageMap", "ClientComponent",
                         "fr-fr");
  EXPECT_EQ(ChooseLanguage(t.run), 0x040Cu);
  EXPECT_EQ(GetText(t.run, 5038), "&Suivant");
}

TEST(LanguageChoice, BeforeWindows6TheMuiLanguageOfTheDesktop) {
  TestMachine machine;
  auto xp = machine.OpenReconfigured([](auto& config) { config.dwMajorVersion = 5; });
  ASSERT_EQ(xp->System().OsVersion().dwMajorVersion, 5u);
  SetupRun run(*xp);
  machine.SetRegString(RegRoot::CurrentUser, "Control Panel\\Desktop", "MultiUILanguageId", "40C");
  EXPECT_EQ(ChooseLanguage(run), 0x040Cu);  // PreferredUILanguages (en-US) is not read
}

}  // namespace
}  // namespace tarvium
