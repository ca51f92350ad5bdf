// ShowMessage through the script engine on a real temporary machine: its routes, the error file
// of a silent run, the LastError value, the headless box and the language choice.
// Prompt sections asked on a real temporary machine with the script engine attached: the pages a
// person would see, the variables and the answers recorded for the registration.
// The catalog and its definition language: every entry of the three catalogs, the parser's
// edge cases, the formatter and the service request and reply.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/error_file.h"
#include "engine/error_log_entries.h"
#include "engine/inf_file.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/crypt/decrypt_value.h"
#include "script/language_choice.h"
#include "script/message_box.h"
#include "script/message_catalog.h"
#include "script/message_format.h"
#include "script/message_spec.h"
#include "script/prompt_page.h"
#include "script/script_engine.h"
#include "script/service_message.h"
#include "script/show_catalog_message.h"
#include "script_test_run.h"
#include "support/answering_ui.h"
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

TEST(LanguageChoice, EachSourceInItsOrderAndBeforeWindows6TheDesktopsMuiLanguage) {
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

  // Before Windows 6 the MUI language of the desktop; PreferredUILanguages (en-US) is not read.
  TestMachine machine;
  auto xp = machine.OpenReconfigured([](auto& config) { config.dwMajorVersion = 5; });
  ASSERT_EQ(xp->System().OsVersion().dwMajorVersion, 5u);
  SetupRun run(*xp);
  machine.SetRegString(RegRoot::CurrentUser, hkcuDesktop, "MultiUILanguageId", "40C");
  EXPECT_EQ(ChooseLanguage(run), 0x040Cu);
}

// Answers each page from a queue of (result, entered value); an empty queue takes the defaults.
class AnsweringPages : public test::AnsweringUserInterface {
 public:
  AnsweringPages() : AnsweringUserInterface(1) {}
  int ShowPage(ui::PageRequest& page) override {
    asked.push_back(page);
    if (answers.empty()) return page.nDefaultChoice;
    auto [nResult, value] = answers.front();
    answers.pop_front();
    if (!value.empty()) page.value = value;
    return nResult;
  }

  std::deque<std::pair<int, std::string>> answers;
  std::vector<ui::PageRequest> asked;
};

struct PromptRun : test::ScriptTestRun {
  explicit PromptRun(const std::string& infText) {
    run.inf.emplace(std::vector<char>(infText.begin(), infText.end()));
    run.inf->BuildSectionIndex();
    auto pages = std::make_unique<AnsweringPages>();
    ui = pages.get();
    run.ui = std::move(pages);
  }
  void Set(const std::string& name, const std::string& value) { SetVariable(run, name, value); }
  std::string Variable(const std::string& name) {
    return LookupVariable(run, platform::AnsiUpper(name));
  }
  bool Traced(const std::string& part) const {
    return std::any_of(run.debugLines.begin(), run.debugLines.end(),
                       [&](const std::string& line) { return line.find(part) != line.npos; });
  }
  AnsweringPages* ui = nullptr;
};

const char* const kPrompts =
    "[Server]\nVariable=DbServer\nText=Server of %Product%, with a comma\nDefault=%Product%-db\n"
    "Browse=1\nTimeout=30\n"
    "[Short]\nVariable=Short\nDefault=Left(abcdef,3)\n"
    "[Broken]\nVariable=Broken\nDefault=Left(abc\n"
    "[NoVariable]\nText=Nothing to set\n"
    "[Secret]\nVariable=Password\nText=Password\nFlags=0x80000\n"
    "[Equals]\nVariable=a=b\nDefault=w\n"
    "[Misspelt]\nVariable=Misspelt\nDefault=plain\nFlags=O8OOOO\n";

TEST(PromptPage, SilentRunTakesDefaultsThroughTheAssignmentRules) {
  PromptRun t(kPrompts);
  t.run.ctx.bSilent = true;
  t.Set("Product", "Demo");
  for (const char* pszSection :
       {"Server", "Short", "Broken", "NoVariable", "Missing", "Equals", "Misspelt"})
    EXPECT_EQ(AskPromptPage(t.run, pszSection, false), 1) << pszSection;
  EXPECT_TRUE(t.ui->asked.empty()) << "a silent run shows no page";
  EXPECT_EQ(t.Variable("DbServer"), "Demo-db");
  EXPECT_EQ(t.Variable("Short"), "abc") << "the default called a function";
  EXPECT_EQ(t.Variable("Broken"), "") << "a malformed call sets nothing";
  EXPECT_EQ(t.Messages(), std::vector<int>{5528});
  const std::vector<std::string> recorded = {"DBSERVER=Demo-db", "SHORT=abc", "MISSPELT=plain"};
  EXPECT_EQ(t.run.ctx.answeredPrompts, recorded) << "a variable holding '=' is passed over";
  EXPECT_TRUE(t.Traced("Prompt section not found: Missing"));
  EXPECT_TRUE(t.Traced("Prompt section without a valid variable: NoVariable"));
  EXPECT_TRUE(t.Traced("Flags are not hexadecimal, taken as 0: O8OOOO"));

  // At silent level 2 only the prompt with a time-out still shows its page.
  PromptRun level2(kPrompts);
  level2.run.ctx.bSilent = true;
  level2.run.ctx.iSilentLevel = 2;
  for (const char* pszSection : {"Server", "Short"}) AskPromptPage(level2.run, pszSection, false);
  ASSERT_EQ(level2.ui->asked.size(), 1u);
  EXPECT_EQ(level2.ui->asked[0].nSeconds, 30);
}

TEST(PromptPage, PageShowsTheSectionAndAnEnteredFunctionIsEvaluated) {
  PromptRun t(kPrompts);
  t.Set("Product", "Demo");
  t.ui->answers = {{1, "Right(server01,2)"}, {2, ""}};
  EXPECT_EQ(AskPromptPage(t.run, "Server", true), 1);
  const ui::PageRequest& page = t.ui->asked.at(0);
  EXPECT_EQ(page.kind, ui::PageKind::Value);
  EXPECT_EQ(page.text, "Server of Demo, with a comma");
  EXPECT_EQ(page.value, "Demo-db") << "the default, variables replaced";
  EXPECT_TRUE(page.bBack && page.bBrowse && !page.bSecret);
  EXPECT_EQ(page.promptLine, "DbServer;Server of Demo, with a comma;Demo-db;1;0x0");
  EXPECT_EQ(t.Variable("DbServer"), "01");

  EXPECT_EQ(AskPromptPage(t.run, "Short", false), 2) << "Cancel is the page's result";
  EXPECT_EQ(t.Variable("Short"), "") << "a cancelled page sets nothing";
  EXPECT_EQ(t.run.ctx.answeredPrompts, std::vector<std::string>{"DBSERVER=01"});
}

// The recorded form is the scramble whose rule the test ScrambleXorsByPositionAndDecryptsBack
// checks character by character: here it decrypts back to the secret.
TEST(PromptPage, SecretIsDecryptedHiddenAndRecordedScrambled) {
  for (const std::string plain : {"Pa$$word", "x", "a much longer secret, 30 chars"}) {
    PromptRun t(kPrompts);
    // The person enters the secret in its scrambled form: the prompt decrypts it.
    const std::string entered = "*A" + [&] {
      std::string chars;
      for (size_t i = 0; i < plain.size(); ++i)
        chars += static_cast<char>(plain[i] ^ ((plain.size() - i) & 31));
      return chars;
    }();
    t.ui->answers = {{1, entered}};
    EXPECT_EQ(AskPromptPage(t.run, "Secret", false), 1);
    EXPECT_TRUE(t.ui->asked.at(0).bSecret);
    EXPECT_EQ(t.Variable("Password"), plain);
    ASSERT_EQ(t.run.ctx.answeredPrompts.size(), 1u);
    const std::string& answer = t.run.ctx.answeredPrompts[0];
    ASSERT_EQ(answer.substr(0, 10), "PASSWORD=*") << answer;
    const std::string recorded = answer.substr(9);
    EXPECT_TRUE(recorded[1] >= 'A' && recorded[1] <= 'Z') << recorded;
    EXPECT_EQ(recorded.size(), plain.size() + 2);
    std::string decrypted = recorded;
    EXPECT_TRUE(Tarvium::DecryptValue(decrypted)) << recorded;
    EXPECT_EQ(decrypted, plain);
  }

  PromptRun tooLong(kPrompts);
  tooLong.ui->answers = {{1, std::string(254, 's')}};
  AskPromptPage(tooLong.run, "Secret", false);
  EXPECT_EQ(tooLong.Variable("Password"), std::string(254, 's'));
  EXPECT_TRUE(tooLong.run.ctx.answeredPrompts.empty()) << "never recorded in plain text";
}

TEST(PromptPage, BackWalksBetweenPromptPagesAndKeepsOneAnswerEach) {
  PromptRun t(std::string(kPrompts) + "[Application]\nProductName=Demo\n");
  // The sections that cannot be asked are left out: Back never lands on them.
  t.run.ctx.szPrompts = "Server, Missing, Short, NoVariable";
  t.run.ctx.bAskOptions = true;
  int nOptionPages = 0;  // the options page answers Back once: the last prompt comes again
  t.run.install.askOptions = [&](SetupRun&, bool) {
    return ++nOptionPages == 1 ? ui::kPageBack : ui::kPageNext;
  };
  t.ui->answers = {{1, "first"}, {ui::kPageBack, ""}, {1, ""}, {1, "second"}, {1, ""}};
  AskPages(t.run);
  ASSERT_EQ(t.ui->asked.size(), 5u);
  EXPECT_EQ(nOptionPages, 2);
  const std::vector<std::pair<std::string, bool>> expected = {
      {"DbServer", false}, {"Short", true}, {"DbServer", false}, {"Short", true}, {"Short", true}};
  for (size_t i = 0; i < expected.size(); ++i) {
    const ui::PageRequest& page = t.ui->asked[i];
    EXPECT_EQ(page.promptLine.substr(0, page.promptLine.find(';')), expected[i].first) << i;
    EXPECT_EQ(page.bBack, expected[i].second) << i;
  }
  EXPECT_EQ(t.ui->asked[2].value, "first") << "the page asked again proposes its answer";
  EXPECT_TRUE(t.run.ctx.bOk);
  const std::vector<std::string> recorded = {"DBSERVER=first", "SHORT=second"};
  EXPECT_EQ(t.run.ctx.answeredPrompts, recorded);
}

constexpr CatalogLanguage kLanguages[] = {CatalogLanguage::English, CatalogLanguage::German,
                                          CatalogLanguage::French};

bool IsMissingNumber(int n) {
  return n == 5522 || n == 5542 || n == 5568;
}

std::vector<std::string> Placeholders(const std::string& text) {
  static const std::regex placeholder("%(ld|s|S|u|d)");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
       it != std::sregex_iterator(); ++it)
    found.push_back(it->str());
  return found;
}

MessageSpec Parsed(CatalogLanguage language, int n) {
  MessageSpec messageSpec;
  EXPECT_TRUE(ParseMessageSpec(*CatalogEntry(language, n), messageSpec)) << n;
  return messageSpec;
}

std::string ButtonShape(const MessageSpec& messageSpec) {
  std::string shape;
  for (const SpecButton& button : messageSpec.buttons)
    shape += std::to_string(button.nResult) + (button.bDefault ? "! " : " ");
  return shape;
}

TEST(MessageCatalog, EveryLanguageHasEveryEntryWithTheEnglishShapeAndTheFileFormat) {
  for (CatalogLanguage language : kLanguages) {
    for (int n = 5000; n <= 5574; ++n) {
      const bool bExpected = (n <= 5039 || n >= 5500) && !IsMissingNumber(n);
      const auto entry = CatalogEntry(language, n);
      ASSERT_EQ(entry.has_value(), bExpected) << n;
      if (!bExpected) continue;
      const std::string english(*CatalogEntry(CatalogLanguage::English, n));
      EXPECT_FALSE(entry->empty()) << n;
      EXPECT_EQ(Placeholders(std::string(*entry)), Placeholders(english)) << n;
      if (n < 5500) continue;
      const MessageSpec messageSpec = Parsed(language, n);
      const MessageSpec englishSpec = Parsed(CatalogLanguage::English, n);
      EXPECT_EQ(messageSpec.icon, englishSpec.icon) << n;
      EXPECT_FALSE(messageSpec.textTemplate.empty()) << n;
      const bool bException = language == CatalogLanguage::German && (n == 5519 || n == 5541);
      if (!bException) {
        EXPECT_EQ(ButtonShape(messageSpec), ButtonShape(englishSpec)) << n;
      }
      for (const SpecButton& button : messageSpec.buttons) EXPECT_EQ(button.label[0], '&') << n;
    }
  }
  EXPECT_EQ(ButtonShape(Parsed(CatalogLanguage::German, 5519)), "5! 2 9 ");
  EXPECT_EQ(ButtonShape(Parsed(CatalogLanguage::German, 5541)), "2 9 ");
  EXPECT_EQ(Parsed(CatalogLanguage::German, 5509).buttons[1].label, "&Nein");
  EXPECT_EQ(Parsed(CatalogLanguage::French, 5514).buttons[1].label, "&Annuler");
  // Texts leave the catalog in the ANSI code page; a locale without a catalog reads English.
  EXPECT_EQ(CatalogText(0x0407, 5010), "L\xF6schen:");
  EXPECT_EQ(CatalogText(0x040C, 5023), "Latin-1 (\xC9tats-Unis, Europe de l'Ouest)");
  EXPECT_EQ(CatalogText(0x040A, 5000), "Setup");
  EXPECT_EQ(CatalogText(0x0407, 5522), "");

  // The file format: numbered lines with a tab, escapes, comments and bad lines passed over.
  const auto entries =
      ParseCatalogText("# comment\n\n5000\tA\\nB\\\\n\\t\r\nx\tbad\n12 no tab\n5001\t\n-3\tneg");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.at(5000), "A\nB\\n\\t");
  EXPECT_EQ(entries.at(5001), "");
  EXPECT_EQ(entries.at(-3), "neg");
}

TEST(MessageSpecParser, AnyDelimitersMarksAndBrokenEntries) {
  MessageSpec messageSpec;
  ASSERT_TRUE(ParseMessageSpec("<?><a [b] c><A=5|B=-1!|C|&D=7!>", messageSpec));
  EXPECT_EQ(messageSpec.icon, ui::IconKind::Question);
  EXPECT_EQ(messageSpec.textTemplate, "a [b] c");
  EXPECT_EQ(ButtonShape(messageSpec), "5 -1! 7! ");  // "C" has no result and is left out
  EXPECT_EQ(DefaultResult(messageSpec), -1);         // the first mark counts

  // The result is read from the '=' up to the '!': blanks and a sign before the digits are
  // allowed; an entry without digits there is no button.
  ASSERT_TRUE(ParseMessageSpec("[?][t][&Yes=6|&No= 7!|&OK=+2|&X=-|&Y= |&Z=3 !]", messageSpec));
  EXPECT_EQ(ButtonShape(messageSpec), "6 7! 2 3! ");
  EXPECT_EQ(DefaultResult(messageSpec), 7);
  ASSERT_TRUE(ParseMessageSpec("[?][t][&OK=+2|&No=7]", messageSpec));
  EXPECT_EQ(DefaultResult(messageSpec), 2);

  EXPECT_FALSE(ParseMessageSpec("", messageSpec));
  ASSERT_TRUE(ParseMessageSpec("[x][no buttons]", messageSpec));
  EXPECT_EQ(messageSpec.icon, ui::IconKind::Information);
  EXPECT_EQ(messageSpec.textTemplate, "no buttons");
  EXPECT_EQ(DefaultResult(messageSpec), 2);
  ASSERT_TRUE(ParseMessageSpec("[s][unclosed", messageSpec));
  EXPECT_EQ(messageSpec.textTemplate, "unclosed");
  ASSERT_TRUE(ParseMessageSpec("[", messageSpec));
  EXPECT_TRUE(messageSpec.textTemplate.empty() && messageSpec.buttons.empty());
  ASSERT_TRUE(ParseMessageSpec(
      "[i][" + std::string(600, 'x') + "][" + std::string(300, 'L') + "=2]", messageSpec));
  EXPECT_EQ(messageSpec.textTemplate.size(), kMessageTemplateMax);
  EXPECT_EQ(messageSpec.buttons[0].label.size(), kButtonLabelMax);
}

TEST(MessageFormat, ConversionsFlagsWidthsPrecisionsAndLengthsOverAnyArguments) {
  const std::vector<MessageArg> args = {std::string("a"), int64_t{-1}, int64_t{-1},
                                        int64_t{0x100000005}, std::string("t")};
  EXPECT_EQ(FormatMessageText("%s %ld %u %d %S 100%% %x", args), "a -1 4294967295 5 t 100% ");
  EXPECT_EQ(FormatMessageText("%s=%d;", {int64_t{42}}), "42=;");  // a missing argument: nothing
  EXPECT_EQ(FormatMessageText("%", {}), "%");
  EXPECT_EQ(FormatMessageText("%s%s", {std::string(2000, 'x'), std::string(100, 'y')}).size(),
            kMessageTextMax);

  // Flags, widths, precisions and lengths take their place in the placeholder, so that every later
  // argument still lands in its own placeholder.
  const auto n = [](int64_t nValue) { return MessageArg(nValue); };
  const auto t = [](const char* text) { return MessageArg(std::string(text)); };
  const struct {
    const char* textTemplate;
    std::vector<MessageArg> args;
    const char* expected;
  } cases[] = {
      {"[%5d|%-5d|%05d|%+d|% d]",
       {n(42), n(42), n(42), n(42), n(42)},
       "[   42|42   |00042|+42| 42]"},
      {"[%-3s|%3s|%.2s|%-6.3s]", {t("a"), t("abcd"), t("abcd"), t("abcd")}, "[a  |abcd|ab|abc   ]"},
      {"%x %X %#x %o %lu %08.3f",
       {n(255), n(255), n(255), n(8), n(-1), n(1)},
       "ff FF 0xff 10 4294967295 %08.3f"},
      {"%hd %hu %hhd %lld %I64u %I32d",
       {n(65535), n(-1), n(200), n(-5000000000), n(-1), n(-1)},
       "-1 65535 -56 -5000000000 18446744073709551615 -1"},
      {"%.3d %.0d| %i %c%c", {n(7), n(0), n(-3), n('O'), t("Kz")}, "007 | -3 OK"},
      {"[%*d|%-*s|%.*s]", {n(4), n(1), n(-3), t("x"), n(2), t("abc")}, "[   1|x  |ab]"},
      {"%5s=%d", {n(12), t("text")}, "   12=text"},  // any argument in any conversion
      {"%5%|%ld|%lx", {n(1)}, "%|1|"},
      {"%0", {n(1)}, "%0"},  // no conversion: copied as written
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatMessageText(c.textTemplate, c.args), c.expected) << c.textTemplate;
  EXPECT_EQ(FormatMessageText("%999999999d|%.99999999s", {n(1), t("x")}).size(), kMessageTextMax);
}

// A catalog message's request and its answers over a real pipe:
// ServiceNotifications.MessagesGoAsErrorRequests.
TEST(ServiceMessage, RequestFieldsAndReplyWords) {
  EXPECT_EQ(BuildServiceRequest(5508, "Cannot execute '%s'.\nError %u! 50%", {"x", int64_t{-2}}),
            "error;ERR_WINEXEC;x;4294967294");
  EXPECT_EQ(BuildServiceRequest(5500, "no placeholders", {}), "error;ERR_NOMEMORY");
  for (int n : {5522, 5573, 5574, 5499, 6000}) EXPECT_EQ(BuildServiceRequest(n, "%s", {}), "") << n;

  const std::tuple<bool, const char*, int> replies[] = {
      {true, "1;yes", 2},    {true, "0;YES", 6},  {true, "0;No;more", 7},
      {true, "0;Ignore", 5}, {true, "0;none", 1}, {true, "0;perhaps", 2},
      {true, "0", 2},        {true, "x;yes", 2},  {false, "0;yes", 2}};
  for (const auto& [bExchanged, pszReply, nExpected] : replies)
    EXPECT_EQ(ParseServiceReply(bExchanged, pszReply), nExpected) << pszReply << bExchanged;
}

}  // namespace
}  // namespace tarvium
