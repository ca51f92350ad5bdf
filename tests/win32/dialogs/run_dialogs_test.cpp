// The dialogs a run shows while it works: the message boxes of its script and its end (which
// button is the default, which box Escape closes), the progress window with its Cancel, the
// programs-to-end page counting down, and the restart page of /Y counting down. Each runs the
// real Setup.exe under Wine with a display, on a medium of its own.
#include <gtest/gtest.h>

#include <string>

#include "win32/dialogs/dialog_driver.h"
#include "win32/dialogs/dialog_ids.h"
#include "win32/dialogs/dialog_product.h"

namespace tarvium::test {
namespace {

constexpr int kReturn = 0x0D;  // VK_RETURN
constexpr int kEscape = 0x1B;  // VK_ESCAPE

// The number a text shows ("Continuing in: 59 sec" -> 59, "100 %" -> 100); -1 without one.
int SecondsIn(const std::string& text) {
  const size_t nDigit = text.find_first_of("0123456789");
  return nDigit == std::string::npos ? -1 : std::stoi(text.substr(nDigit));
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t nCount = 0;
  for (size_t n = text.find(part); n != std::string::npos; n = text.find(part, n + 1)) ++nCount;
  return nCount;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Echo's box has only OK, which answers 2 as the catalog's OK does: it is the default, and Enter
// takes it. The end box's OK answers 2 too, so Escape closes it, and the run ends well. (The
// abort question, which has no answer 2 and ignores Escape, is the wizard test's.) The usage box
// of /? is such a box too, and the run ends with it; so is the box in which --version shows the
// version to a Setup.exe without a standard output.
TEST(RunDialogs, MessageBoxesTakeTheirDefaultWithEnterAndCloseWithEscape) {
  DialogProduct product;
  const std::string directory = product.NewInstallFolder("Echo");
  product.WriteFile("Setup.inf", product.Head("Echo Product", directory,
                                              "\r\n[Options]\r\nProgram=Program,DEFAULT\r\n\r\n"
                                              "[Program]\r\nEcho Hello from the script.\r\n"));
  Dialog box;
  uint32_t dwExitCode = 1;
  {
    SetupProcess usage;
    ASSERT_TRUE(product.Start(usage, "/?"));
    ASSERT_TRUE(usage.WaitForDialogShowing(ids::kBoxText, "Usage: Setup [/A", box));
    box.Screenshot("usage-box");
    box.PressKey(kEscape);
    ASSERT_TRUE(usage.WaitForExit(dwExitCode));
  }
  {
    SetupProcess version;
    ASSERT_TRUE(product.Start(version, "--version"));
    ASSERT_TRUE(version.WaitForDialogShowing(ids::kBoxText,
                                             "Setup.exe (Tarvium Setup) " TARVIUM_VERSION, box));
    box.PressKey(kEscape);
    ASSERT_TRUE(version.WaitForExit(dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
  }
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));
  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Components", page));
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "Hello from the script.", box));
  EXPECT_EQ(box.Caption(), product.Title());
  EXPECT_EQ(box.DefaultButton(), ids::kBoxOKResultTwo);
  EXPECT_EQ(box.Text(ids::kBoxOKResultTwo), "&OK");
  EXPECT_FALSE(box.HasControl(ids::kBoxOK));
  EXPECT_TRUE(box.HasControl(ids::kBoxIcon));
  box.PressKey(kReturn);
  ASSERT_TRUE(box.WaitClosed());

  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
  EXPECT_EQ(box.DefaultButton(), ids::kBoxOKResultTwo);
  box.PressKey(kEscape);
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_TRUE(MachineKeyExists(product.MachineKey("Echo Product\\1.0\\Setup")));
}

// The progress window shows the copy from the medium to the product's folder; its Cancel asks
// 5509: No lets the run finish, Yes aborts it with its box, and the run fails.
TEST(RunDialogs, ProgressWindowShowsTheCopyAndItsCancelAsksBeforeItAborts) {
  for (const int nAnswer : {ids::kBoxNo, ids::kBoxYes}) {
    SCOPED_TRACE(nAnswer == ids::kBoxYes ? "abort confirmed" : "abort declined");
    DialogProduct product;
    const std::string directory = product.NewInstallFolder("Progress");
    product.WriteFile("Setup.inf",
                      product.Head("Progress Product", directory,
                                   "\r\n[Options]\r\nProgram=Program files,DEFAULT\r\n\r\n"
                                   "[Program]\r\n1:files\\app.exe, bin\\, USEFILENAME\r\n"
                                   "1:files\\data.bin, bin\\, USEFILENAME\r\nSleep 5000\r\n"));
    product.WriteFile("files\\app.exe", "MZ");
    product.WriteFile("files\\data.bin", std::string(100000, 'x'));
    SetupProcess setup;
    ASSERT_TRUE(product.Start(setup, "Setup.inf"));
    Dialog page;
    ASSERT_TRUE(setup.WaitForDialog("Components", page));
    ASSERT_TRUE(page.Press(ids::kNext));

    Dialog progress;
    ASSERT_TRUE(setup.WaitForDialog("Installing", progress));
    ASSERT_TRUE(progress.WaitForText(
        ids::kProgressPercent,
        [](const std::string& shown) {
          return shown.find('%') != std::string::npos && SecondsIn(shown) == 100;
        },
        "100 per cent"));
    EXPECT_EQ(progress.ProgressPosition(ids::kProgressBar), 100);
    // Each line reads "Copying:" (or "to:") once, then the path, whether the label stands in a
    // static of its own or begins the line's text.
    const std::string copying =
        progress.Text(ids::kProgressCopyingLabel) + " " + progress.Text(ids::kProgressSource);
    EXPECT_EQ(CountOf(copying, "Copying:"), 1u) << copying;
    EXPECT_TRUE(EndsWith(copying, " " + product.Media() + "\\files\\data.bin")) << copying;
    const std::string to =
        progress.Text(ids::kProgressToLabel) + " " + progress.Text(ids::kProgressDestination);
    EXPECT_EQ(CountOf(to, "to:"), 1u) << to;
    EXPECT_TRUE(EndsWith(to, " " + directory + "\\bin\\data.bin")) << to;
    if (nAnswer == ids::kBoxNo) progress.Screenshot("progress-window");
    ASSERT_TRUE(progress.Press(ids::kCancel));
    Dialog box;
    ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "really want to abort", box));
    ASSERT_TRUE(box.Press(nAnswer));
    uint32_t dwExitCode = 0;
    if (nAnswer == ids::kBoxYes) {
      ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "Installation aborted", box));
      ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
      ASSERT_TRUE(setup.WaitForExit(dwExitCode));
      EXPECT_NE(dwExitCode, 0u);
      continue;
    }
    ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
    ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
    ASSERT_TRUE(setup.WaitForExit(dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_TRUE(PathExists(directory + "\\bin\\data.bin"));
  }
}

// AskKillProcesses with a time-out lists the running program (not the absent one) and counts
// down; OK ends the program and the run goes on.
TEST(RunDialogs, ProcessesPageCountsDownAndOKEndsTheProgram) {
  DialogProduct product;
  const std::string directory = product.NewInstallFolder("Processes");
  const std::string worker = "TarviumWorker.exe";
  product.CopyIn(TARVIUM_STAND_IN, worker);
  product.WriteFile(worker.substr(0, worker.size() - 4) + ".ini", "Sleep=60\r\n");
  product.WriteFile(
      "Setup.inf", product.Head("Processes Product", directory,
                                "AskKillProcessesText1=These programs still run:\r\n"
                                "\r\n[Options]\r\nProgram=Program files,DEFAULT\r\n\r\n"
                                "[Program]\r\n%SetupInfPathName%\\" +
                                    worker + "\r\nWaitUntilProcessExists " + worker +
                                    ",10\r\nAskKillProcesses 60," + worker +
                                    ",absent.exe\r\nWaitWhileProcessExists " + worker + ",10\r\n"));
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "Setup.inf"));
  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Components", page));
  ASSERT_TRUE(page.Press(ids::kNext));

  ASSERT_TRUE(setup.WaitForDialog("Programs to end", page));
  EXPECT_EQ(page.ListItems(ids::kProcessesList), std::vector<std::string>{worker});
  EXPECT_EQ(page.Text(ids::kNext), "OK");
  EXPECT_TRUE(page.HasControl(ids::kProcessesMeter));
  std::string first;
  ASSERT_TRUE(page.WaitForText(
      ids::kProcessesCountdown,
      [&](const std::string& shown) {
        first = shown;
        return SecondsIn(shown) > 0;
      },
      "a countdown"));
  EXPECT_TRUE(first.rfind("Continuing in: ", 0) == 0) << first;
  page.Screenshot("processes-page");
  ASSERT_TRUE(page.WaitForText(
      ids::kProcessesCountdown,
      [&](const std::string& shown) {
        return SecondsIn(shown) >= 0 && SecondsIn(shown) < SecondsIn(first);
      },
      "fewer seconds than '" + first + "'"));
  ASSERT_TRUE(page.Press(ids::kNext));

  Dialog box;
  ASSERT_TRUE(setup.WaitForDialogShowing(ids::kBoxText, "successfully completed", box));
  EXPECT_FALSE(ProcessRuns(worker)) << "OK did not end the program";
  ASSERT_TRUE(box.Press(ids::kBoxOKResultTwo));
  uint32_t dwExitCode = 1;
  ASSERT_TRUE(setup.WaitForExit(dwExitCode));
  EXPECT_EQ(dwExitCode, 0u);
}

// The restart page of /Y shows its text and counts down. The test ends the setup before zero:
// the restart at zero would be real, and under Wine would end this prefix's programs.
TEST(RunDialogs, RestartPageCountsDown) {
  DialogProduct product;
  SetupProcess setup;
  ASSERT_TRUE(product.Start(setup, "\"/YSave your work.,1,0,60\""));
  Dialog page;
  ASSERT_TRUE(setup.WaitForDialog("Restart", page));
  EXPECT_NE(page.Text(ids::kRestartText).find("Save your work."), std::string::npos)
      << page.Text(ids::kRestartText);
  EXPECT_TRUE(page.HasControl(ids::kRestartMeter));
  EXPECT_EQ(page.Text(ids::kNext), "OK");
  std::string first;
  ASSERT_TRUE(page.WaitForText(
      ids::kRestartCountdown,
      [&](const std::string& shown) {
        first = shown;
        return SecondsIn(shown) > 0;
      },
      "a countdown"));
  EXPECT_TRUE(first.rfind("Restarting in: ", 0) == 0) << first;
  page.Screenshot("restart-page");
  ASSERT_TRUE(page.WaitForText(
      ids::kRestartCountdown,
      [&](const std::string& shown) {
        return SecondsIn(shown) > 0 && SecondsIn(shown) < SecondsIn(first);
      },
      "fewer seconds than '" + first + "'"));
  EXPECT_TRUE(setup.Running());
  setup.Kill();
}

}  // namespace
}  // namespace tarvium::test
