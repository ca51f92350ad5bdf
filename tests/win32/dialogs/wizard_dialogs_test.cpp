// The wizard's dialogs driven for real: Setup.exe under Wine with a display, its pages found by
// their headings and worked by their controls, and the prefix looked at afterwards (the files,
// the product's record in the registry). The same paths a person takes at the text-mode wizard:
// the custom mode with Back, a typed directory and user, an option cleared on the options page,
// and Cancel confirmed or not, in English and German; and the rules of the options tree.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "win32/dialogs/dialog_driver.h"
#include "win32/dialogs/dialog_ids.h"
#include "win32/dialogs/dialog_product.h"

namespace tarvium::test {
namespace {

// A product that asks the terms of use, the mode, the directory and the user, with three
// options, of which the first two are chosen by default.
void WriteWizardProduct(DialogProduct& product) {
  product.WriteFile(
      "Setup.inf",
      product.Head("Wizard Product", "%ProgramFilesDir%\\" + product.Vendor() + "\\Wizard Product",
                   "AskLicence=1\r\nLicenceText=Terms of use.\\nSecond line.\r\n"
                   "AskMode=1\r\nAskDir=1\r\nAskUser=1\r\n\r\n"
                   "[Options]\r\nProgram=Program files,DEFAULT\r\n"
                   "Docs=Documentation,DEFAULT\r\nExtras=Extra files\r\n\r\n"
                   "[Program]\r\n1:app.exe, bin\\, USEFILENAME, 25\r\n\r\n"
                   "[Docs]\r\n1:manual.txt, , USEFILENAME, 7\r\n\r\n"
                   "[Extras]\r\n1:extra.txt, , USEFILENAME, 11\r\n"));
  product.WriteFile("app.exe", "application exe bytes....");
  product.WriteFile("manual.txt", "manual\n");
  product.WriteFile("extra.txt", "extra text\n");
}

bool StartsWith(const std::string& text, const std::string& head) {
  return text.compare(0, head.size(), head) == 0;
}

// Terms accepted, the custom mode, Back from the directory page to the mode page and on to the
// terms, forward again, a directory typed, a user entered, the documentation cleared on the
// options page: the program lands in the typed directory, the documentation nowhere, and the
// product's record names the user.
TEST(WizardDialogs, InstallsToTheChosenDirectoryInTheCustomModeWithBack) {
  DialogProduct product;
  WriteWizardProduct(product);
  const std::string directory = product.NewInstallFolder("Wizard Test");
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));

  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Licence agreement", page));
  EXPECT_EQ(page.Caption(), product.Title());
  uint64_t hMain = 0;
  EXPECT_TRUE(setup.WaitForWindowOfClass("TarviumSetupMain", hMain));
  EXPECT_EQ(WindowCaption(hMain), product.Title());
  EXPECT_NE(page.Text(ids::kTermsText).find("Second line."), std::string::npos)
      << page.Text(ids::kTermsText);
  EXPECT_EQ(page.Text(ids::kNext), "Yes");
  EXPECT_EQ(page.Text(ids::kCancel), "No");
  page.Screenshot("licence-page");
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("Installation mode", page));
  EXPECT_TRUE(StartsWith(page.Text(ids::kModeFull), "Full (")) << page.Text(ids::kModeFull);
  EXPECT_TRUE(page.HasControl(ids::kModeStandard));
  page.Screenshot("mode-page");
  ASSERT_TRUE(page.Press(ids::kModeCustom));
  ASSERT_TRUE(setup.WaitForDialog("Destination directory", page));
  ASSERT_TRUE(page.Press(ids::kBack));
  ASSERT_TRUE(setup.WaitForDialog("Installation mode", page));
  ASSERT_TRUE(page.Press(ids::kBack));
  ASSERT_TRUE(setup.WaitForDialog("Licence agreement", page));
  ASSERT_TRUE(page.Press(ids::kNext));
  ASSERT_TRUE(setup.WaitForDialog("Installation mode", page));
  ASSERT_TRUE(page.Press(ids::kModeCustom));

  ASSERT_TRUE(setup.WaitForDialog("Destination directory", page));
  EXPECT_EQ(page.Text(ids::kDirectory),
            "C:\\Program Files\\" + product.Vendor() + "\\Wizard Product");
  page.Screenshot("directory-page");
  // Browse opens the system's folder browser; cancelled, it leaves the field as it was.
  const std::string proposed = page.Text(ids::kDirectory);
  ASSERT_TRUE(page.Press(ids::kBrowse));
  Dialog browser;
  ASSERT_TRUE(
      setup.WaitForDialogWhere([&](const Dialog& other) { return other.Handle() != page.Handle(); },
                               "the folder browser", browser));
  ASSERT_TRUE(browser.Press(ids::kCancel));
  ASSERT_TRUE(browser.WaitClosed());
  EXPECT_EQ(page.Text(ids::kDirectory), proposed);
  ASSERT_TRUE(page.SetText(ids::kDirectory, directory));
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("User information", page));
  ASSERT_TRUE(page.SetText(ids::kUserName, "Ann Example"));
  ASSERT_TRUE(page.SetText(ids::kCompany, "Example Ltd"));
  page.Screenshot("user-page");
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("Components", page));
  ASSERT_TRUE(page.WaitForText(ids::kOptionsCount, "2 of 3 components selected"));
  std::vector<std::string> texts;
  for (const TreeRow& row : page.TreeRows(ids::kOptionsTree)) texts.push_back(row.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Program files", "Documentation", "Extra files"}));
  page.Screenshot("options-page");
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "Documentation"));
  ASSERT_TRUE(page.WaitForText(ids::kOptionsCount, "1 of 3 components selected"));
  ASSERT_TRUE(page.Press(ids::kNext));

  Dialog box;
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
  box.Screenshot("message-box");
  ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
  uint32_t dwExitCode = 1;
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);

  EXPECT_TRUE(PathExists(directory + "\\bin\\app.exe"));
  EXPECT_FALSE(PathExists(directory + "\\manual.txt")) << "the documentation was cleared";
  EXPECT_FALSE(PathExists(directory + "\\extra.txt"));
  EXPECT_FALSE(PathExists("C:\\Program Files\\" + product.Vendor()));
  const std::string record = product.MachineKey("Wizard Product\\1.0\\Setup");
  EXPECT_EQ(MachineText(record, "RegisteredOwner"), "Ann Example");
  EXPECT_EQ(MachineText(record, "RegisteredOrganization"), "Example Ltd");
  EXPECT_EQ(MachineText(record, "AppPath"), directory + "\\");
}

// Cancel (and the terms' No) asks whether to abort: the default No, taken with Enter, keeps the
// page; Escape does nothing in that box, which has no answer 2; Yes ends the run with -1 and
// nothing installed. In English and in German.
TEST(WizardDialogs, CancelEndsTheRunOnlyWhenConfirmed) {
  const struct {
    const char *language, *licence, *no, *question, *destination;
  } cases[] = {
      {"en-US", "Licence agreement", "No", "Do you really want to abort the installation?",
       "Destination directory"},
      {"de-DE", "Lizenzvertrag", "Nein", "Möchten Sie die Installation wirklich abbrechen?",
       "Zielverzeichnis"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    PageLanguage language(c.language);
    DialogProduct product;
    WriteWizardProduct(product);
    SetupProcess setup;
    ASSERT_TRUE(product.Start(setup, "Setup.inf"));

    Dialog page;
    ASSERT_TRUE(setup.WaitForDialog(c.licence, page));
    EXPECT_EQ(page.Text(ids::kCancel), c.no);
    ASSERT_TRUE(page.Press(ids::kCancel));
    Dialog box;
    ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, c.question, box));
    EXPECT_EQ(box.DefaultButton(), ids::kBoxNo);
    EXPECT_TRUE(box.HasControl(ids::kBoxIcon));
    EXPECT_TRUE(box.HasControl(ids::kBoxYes));
    box.PressKey(0x0D);  // VK_RETURN: the default, No
    ASSERT_TRUE(box.WaitClosed());
    ASSERT_TRUE(page.Exists()) << "No ended the page";
    EXPECT_EQ(page.Text(ids::kHeading), c.licence);

    // Forward to the directory page, whose Cancel asks the same.
    ASSERT_TRUE(page.Press(ids::kNext));
    ASSERT_TRUE(setup.WaitForDialog(
        c.language == std::string("en-US") ? "Installation mode" : "Installationsart", page));
    ASSERT_TRUE(page.Press(ids::kModeCustom));
    ASSERT_TRUE(setup.WaitForDialog(c.destination, page));
    ASSERT_TRUE(page.Press(ids::kCancel));
    ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, c.question, box));
    if (*c.language == 'e') box.Screenshot("message-box-question");
    // Escape, then Tab: once the Tab has moved the focus, the Escape before it was handled.
    const int nFocus = box.FocusedControl();
    box.PressKey(0x1B);  // VK_ESCAPE
    box.PressKey(0x09);  // VK_TAB
    ASSERT_TRUE(box.WaitFocusLeaves(nFocus));
    EXPECT_TRUE(box.Exists()) << "Escape closed a box without an answer 2";
    ASSERT_TRUE(box.Press(ids::kBoxYes));

    uint32_t dwExitCode = 0;
    ASSERT_TRUE(setup.WaitForExit(dwExitCode));
    EXPECT_EQ(static_cast<int32_t>(dwExitCode), -1);
    EXPECT_FALSE(MachineKeyExists("Software\\" + product.Vendor()));
    EXPECT_FALSE(PathExists("C:\\Program Files\\" + product.Vendor()));
  }
}

// The pages a product asks besides the common ones: its information text, where to run from,
// a directory chosen from a list (the default holds two), the data directory, a prompt's value
// and, for a file the medium lacks, the medium page, whose Skip leaves the file out. The choices
// land where they were made: the list's second directory, the typed value in the record.
TEST(WizardDialogs, ListInformationValueAndMediumPagesTakeTheirAnswers) {
  DialogProduct product;
  const std::string first = product.NewInstallFolder("First");
  const std::string second = product.NewInstallFolder("Second");
  product.WriteFile(
      "Setup.inf",
      product.Head("Pages Product", first + ";" + second,
                   "AskInfo=1\r\nInfoText=News of this version.\r\nAskFromCD=1\r\n"
                   "AskDir=1\r\nAskDataDir=1\r\nPrompts=Patient\r\n\r\n"
                   "[Patient]\r\nVariable=Patient\r\nText=Type a word\r\n"
                   "Default=proposed\r\n\r\n"
                   "[Options]\r\nProgram=Program files,DEFAULT\r\n\r\n"
                   "[Program]\r\n1:files\\absent.dll\r\n1:files\\app.txt, app.txt\r\n"));
  product.WriteFile("files\\app.txt", "app\n");
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));

  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Information", page));
  EXPECT_NE(page.Text(ids::kTermsText).find("News of this version."), std::string::npos)
      << page.Text(ids::kTermsText);
  page.Screenshot("information-page");
  ASSERT_TRUE(page.Press(ids::kNext));
  ASSERT_TRUE(setup.WaitForDialog("Where to run from", page));
  EXPECT_TRUE(page.HasControl(ids::kFromCDStart));
  page.Screenshot("from-cd-page");
  ASSERT_TRUE(page.Press(ids::kFromCDLocal));

  ASSERT_TRUE(setup.WaitForDialog("Destination directory", page));
  EXPECT_EQ(page.ComboItems(ids::kDirectory), (std::vector<std::string>{first, second}));
  ASSERT_TRUE(page.SelectCombo(ids::kDirectory, second));
  ASSERT_TRUE(page.WaitForText(ids::kDirectory, second));
  page.Screenshot("directory-list-page");
  ASSERT_TRUE(page.Press(ids::kNext));
  ASSERT_TRUE(setup.WaitForDialog("Data directory", page));
  EXPECT_TRUE(page.HasControl(ids::kDirectory));
  page.Screenshot("data-directory-page");
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("Input", page));
  EXPECT_EQ(page.Text(ids::kValue), "proposed");
  ASSERT_TRUE(page.SetText(ids::kValue, "typed"));
  page.Screenshot("value-page");
  ASSERT_TRUE(page.Press(ids::kNext));
  ASSERT_TRUE(setup.WaitForDialog("Components", page));
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("Installation medium", page));
  EXPECT_EQ(page.Text(ids::kDiskDirectory).rfind(product.Media(), 0), 0u)
      << page.Text(ids::kDiskDirectory);
  EXPECT_TRUE(page.IsUsable(ids::kDiskBrowse));
  EXPECT_EQ(page.Text(ids::kNext), "OK");
  page.Screenshot("medium-page");
  ASSERT_TRUE(page.Press(ids::kSkip));

  Dialog box;
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
  ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
  uint32_t dwExitCode = 1;
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_TRUE(PathExists(second + "\\app.txt"));
  EXPECT_FALSE(PathExists(second + "\\absent.dll"));
  EXPECT_FALSE(PathExists(first));
  EXPECT_EQ(MachineText(product.MachineKey("Pages Product\\1.0\\Setup\\Prompts"), "PATIENT"),
            "typed");
}

// /A asks where an administrator installs, and the administrator's copy of a product how to use
// it (Cancel on either ends the run like any page's); a product that is installed already asks
// what to do with it, and Uninstall there removes it after the removal's own question.
TEST(WizardDialogs, AdministratorSharedAndSecondRunPagesOfferTheirChoices) {
  DialogProduct product;
  const std::string directory = product.NewInstallFolder("Second Run");
  product.WriteFile("Setup.inf",
                    product.Head("Second Product", directory,
                                 "\r\n[Options]\r\nProgram=Program files,DEFAULT\r\n\r\n"
                                 "[Program]\r\n1:app.exe, , USEFILENAME, 25\r\n"));
  product.WriteFile("app.exe", "application exe bytes....");
  Dialog page;
  Dialog box;
  uint32_t dwExitCode = 0;
  product.WriteFile("Shared.inf", product.Head("Shared Product", directory,
                                               "\r\n[Admin]\r\nAdminSetup=1\r\n\r\n"
                                               "[Options]\r\nProgram=Program files,DEFAULT\r\n\r\n"
                                               "[Program]\r\n"));
  const struct {
    const char *arguments, *heading, *picture;
    int nFirst, nSecond;
  } cancelled[] = {
      {"/A Setup.inf", "Administrator setup", "administrator-page", ids::kAdminFileServer,
       ids::kAdminWorkstation},
      {"Shared.inf", "Shared installation", "shared-page", ids::kSharedLocal,
       ids::kSharedFromServer},
  };
  for (const auto& c : cancelled) {
    SCOPED_TRACE(c.arguments);
    SetupProcess setup;
    ASSERT_TRUE(product.Start(setup, c.arguments));
    ASSERT_TRUE(setup.WaitForDialog(c.heading, page));
    EXPECT_TRUE(page.IsUsable(c.nFirst));
    EXPECT_TRUE(page.IsUsable(c.nSecond));
    page.Screenshot(c.picture);
    ASSERT_TRUE(page.Press(ids::kCancel));
    ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "really want to abort", box));
    ASSERT_TRUE(box.Press(ids::kBoxYes));
    ASSERT_TRUE(setup.WaitForExit(dwExitCode));
    EXPECT_EQ(static_cast<int32_t>(dwExitCode), -1);
  }
  {
    SetupProcess setup;
    ASSERT_TRUE(product.Start(setup, "/S Setup.inf"));
    ASSERT_TRUE(setup.WaitForExit(dwExitCode));
    ASSERT_EQ(dwExitCode, 0u);
    ASSERT_TRUE(PathExists(directory + "\\app.exe"));
  }
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));
  ASSERT_TRUE(setup.WaitForDialog("Product already installed", page));
  for (int nChoice : {ids::kSameAddRemove, ids::kSameRepeat, ids::kSameNew, ids::kSameUninstall})
    EXPECT_TRUE(page.IsUsable(nChoice)) << nChoice;
  page.Screenshot("same-version-page");
  ASSERT_TRUE(page.Press(ids::kSameUninstall));
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "Do you want to continue?", box));
  ASSERT_TRUE(box.Press(ids::kBoxYes));
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "Uninstallation complete", box));
  ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_FALSE(PathExists(directory + "\\app.exe"));
  EXPECT_FALSE(MachineKeyExists(product.MachineKey("Second Product\\1.0\\Setup")));
}

// The options tree's rules on the product of tests/data/options: the option that is always
// installed cannot be cleared, the exclusive group that must keep one member moves its choice
// and keeps its last member, the group that may be empty can be left empty. Each toggle that
// must change nothing is followed by one that changes the count, and the tree is looked at once
// that count shows: the key presses are handled in order.
TEST(WizardDialogs, OptionsTreeKeepsFixedOptionsAndExclusiveGroups) {
  DialogProduct product;
  std::string inf = ReadFileBytes(TARVIUM_TEST_DATA "\\options\\Setup.inf");
  ASSERT_FALSE(inf.empty());
  const std::string directory = product.NewInstallFolder("Atlas");
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"MachineKeyName=Tarvium\\Atlas\\3.0",
            "MachineKeyName=" + product.Vendor() + "\\Atlas\\3.0"},
           {"ApplicationDir=%ProgramFilesDir%\\Tarvium\\Atlas", "ApplicationDir=" + directory},
           {"ProductName=Tarvium Atlas\n", product.NameLines("Tarvium Atlas")}}) {
    const size_t nAt = inf.find(from);
    ASSERT_NE(nAt, std::string::npos) << from;
    inf.replace(nAt, from.size(), to);
  }
  product.WriteFile("Setup.inf", inf);
  for (const auto& [file, nBytes] :
       std::vector<std::pair<const char*, size_t>>{{"atlas.exe", 1572864},
                                                   {"europe.map", 3145728},
                                                   {"asia.map", 2621440},
                                                   {"low.dat", 204800},
                                                   {"high.dat", 1048576},
                                                   {"english.voc", 524288},
                                                   {"german.voc", 530000},
                                                   {"routes.dll", 81920},
                                                   {"log.exe", 40000}})
    product.WriteFile(file, std::string(nBytes, 'x'));
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));
  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Installation mode", page));
  ASSERT_TRUE(page.Press(ids::kModeCustom));
  ASSERT_TRUE(setup.WaitForDialog("Components", page));
  auto count = [&](int nSelected) {
    return page.WaitForText(
        ids::kOptionsCount,
        [&](const std::string& shown) {
          return StartsWith(shown, std::to_string(nSelected) + " of 11 components selected");
        },
        std::to_string(nSelected) + " of 11 components selected");
  };
  ASSERT_TRUE(count(4));
  std::vector<std::string> texts;
  for (const TreeRow& row : page.TreeRows(ids::kOptionsTree)) texts.push_back(row.text);
  ASSERT_GE(texts.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 7),
            (std::vector<std::string>{"Atlas viewer", "Map sets", "Europe", "Asia", "Map detail",
                                      "Low detail", "High detail"}));
  const int nViewer = page.TreeImage(ids::kOptionsTree, "Atlas viewer");
  const int nLowOn = page.TreeImage(ids::kOptionsTree, "Low detail");
  const int nHighOff = page.TreeImage(ids::kOptionsTree, "High detail");
  const int nEnglishOff = page.TreeImage(ids::kOptionsTree, "English voice");
  EXPECT_NE(page.TreeImage(ids::kOptionsTree, "Europe"), page.TreeImage(ids::kOptionsTree, "Asia"))
      << "a chosen and an unchosen option look alike";
  EXPECT_NE(nLowOn, nHighOff);

  // The viewer is always installed: Space leaves it; the route planner then counts.
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "Atlas viewer"));
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "Route planner"));
  ASSERT_TRUE(count(5));
  EXPECT_EQ(page.TreeImage(ids::kOptionsTree, "Atlas viewer"), nViewer);

  // Detail must keep one: High takes Low's place, and cannot be cleared itself.
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "High detail"));
  ASSERT_TRUE(page.WaitForTreeImage(
      ids::kOptionsTree, "High detail", [&](int n) { return n == nLowOn; }, "chosen"));
  EXPECT_EQ(page.TreeImage(ids::kOptionsTree, "Low detail"), nHighOff);
  EXPECT_TRUE(StartsWith(page.Text(ids::kOptionsCount), "5 of 11"))
      << page.Text(ids::kOptionsCount);
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "High detail"));
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "Route planner"));
  ASSERT_TRUE(count(4));
  EXPECT_EQ(page.TreeImage(ids::kOptionsTree, "High detail"), nLowOn) << "the last one was cleared";

  // The voices may be left empty: English, then German in its place, then none.
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "English voice"));
  ASSERT_TRUE(count(5));
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "German voice"));
  ASSERT_TRUE(page.WaitForTreeImage(
      ids::kOptionsTree, "English voice", [&](int n) { return n == nEnglishOff; }, "cleared"));
  EXPECT_TRUE(StartsWith(page.Text(ids::kOptionsCount), "5 of 11"))
      << page.Text(ids::kOptionsCount);
  ASSERT_TRUE(page.ToggleTreeItem(ids::kOptionsTree, "German voice"));
  ASSERT_TRUE(count(4));
  EXPECT_NE(page.Text(ids::kOptionsSize).find("MB"), std::string::npos)
      << page.Text(ids::kOptionsSize);

  // Description shows the selected option's text in a box of its own.
  ASSERT_TRUE(page.SelectTreeItem(ids::kOptionsTree, "Route planner"));
  ASSERT_TRUE(page.Press(ids::kOptionsDescription));
  Dialog box;
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "Plans routes over the maps.", box));
  EXPECT_NE(box.Text(ids::kBoxText).find("Needs the map of Europe."), std::string::npos)
      << box.Text(ids::kBoxText);
  box.PressKey(0x0D);  // VK_RETURN
  ASSERT_TRUE(box.WaitClosed());
  ASSERT_TRUE(page.Exists());
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
  ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
  uint32_t dwExitCode = 1;
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
  for (const char* file : {"atlas.exe", "europe.map", "high.dat"})
    EXPECT_TRUE(PathExists(directory + "\\" + file)) << file;
  for (const char* file : {"asia.map", "low.dat", "english.voc", "german.voc", "routes.dll"})
    EXPECT_FALSE(PathExists(directory + "\\" + file)) << file;
}

}  // namespace
}  // namespace tarvium::test
