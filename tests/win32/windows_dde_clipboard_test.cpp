// The services of the real Windows that talk to other programs' windows: the top-level windows
// (windows this test makes, found by their titles and sent the messages that end them), DDE
// conversations (with a DDE server this test runs itself, since the shell's Program Manager may not
// answer everywhere) and the clipboard's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_dde.h"
#include "platform/win32/win32_top_level_windows.h"
#include "platform/win_error.h"
#include "win32/test_dde_server.h"
#include "win32/test_window.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

using tarvium::test::ThreadWindow;

constexpr uint32_t kWmSetText = 0x000C;
constexpr uint32_t kDdeTimeoutMs = 5000;

std::string UniqueName(const std::string& stem) {
  static int nNext = 0;
  return stem + " " + std::to_string(tarvium::test::ThisProcessId()) + "-" +
         std::to_string(nNext++);
}

// --- Top-level windows --------------------------------------------------------------------------

class TopLevelWindowsTest : public ::testing::Test {
 protected:
  // Skips the case where no window can be made: under Wine without a display driver.
  void RequireWindow(uint64_t handle) {
    if (handle == 0 && tarvium::test::RunsUnderWine())
      GTEST_SKIP() << "Wine makes no window without a display (set the prefix's "
                      "HKCU\\Software\\Wine\\Drivers Graphics to \"null\")";
    ASSERT_NE(handle, 0u);
  }
  std::vector<WindowEntry> Titled(const std::string& title) {
    std::vector<WindowEntry> windows;
    EXPECT_EQ(service_.EnumWindows(windows), ERROR_SUCCESS);
    std::erase_if(windows, [&](const WindowEntry& window) { return window.title != title; });
    return windows;
  }
  uint32_t Send(uint64_t handle, uint32_t uMsg, int64_t& lResult) {
    return service_.SendMessage(static_cast<WindowHandle>(handle), uMsg, lResult);
  }

  Win32TopLevelWindows service_;
};

TEST_F(TopLevelWindowsTest, AWindowIsListedAndAnswersTheShutdownQuery) {
  for (const bool bAgrees : {true, false}) {
    const std::string title = UniqueName("Caf\xE9 \xC6gir");
    ThreadWindow window(title, bAgrees);
    RequireWindow(window.Handle());
    const std::vector<WindowEntry> found = Titled(title);
    ASSERT_EQ(found.size(), 1u) << title;
    EXPECT_EQ(static_cast<uint64_t>(found[0].hWnd), window.Handle());
    EXPECT_EQ(found[0].dwProcessId, tarvium::test::ThisProcessId());
    int64_t lResult = -1;
    EXPECT_EQ(Send(window.Handle(), WM_QUERYENDSESSION, lResult), ERROR_SUCCESS);
    EXPECT_EQ(lResult != 0, bAgrees);
    EXPECT_EQ(window.QueryMessages(), 1);
    EXPECT_EQ(Send(window.Handle(), kWmSetText, lResult), ERROR_NOT_SUPPORTED);
    EXPECT_TRUE(tarvium::test::WindowExists(window.Handle()));
  }
}

// WM_CLOSE and WM_DESTROY end another thread's window through its own handling; a window of this
// thread is destroyed. Then the handle names no window.
TEST_F(TopLevelWindowsTest, CloseAndDestroyEndWindowsOfEveryThread) {
  for (const uint32_t uMsg : {WM_CLOSE, WM_DESTROY}) {
    const std::string title = UniqueName("Tarvium end");
    ThreadWindow window(title, true);
    RequireWindow(window.Handle());
    int64_t lResult = -1;
    EXPECT_EQ(Send(window.Handle(), uMsg, lResult), ERROR_SUCCESS);
    window.WaitEnded();
    EXPECT_EQ(window.DestroyMessages(), 1);
    EXPECT_FALSE(tarvium::test::WindowExists(window.Handle()));
    EXPECT_TRUE(Titled(title).empty());
  }
  const uint64_t handle = tarvium::test::CreateWindowOfThisThread(UniqueName("Tarvium own"));
  RequireWindow(handle);
  int64_t lResult = -1;
  EXPECT_EQ(Send(handle, WM_DESTROY, lResult), ERROR_SUCCESS);
  EXPECT_FALSE(tarvium::test::WindowExists(handle));
  for (const uint64_t hGone : {handle, uint64_t{0}})
    for (const uint32_t uMsg : {WM_CLOSE, WM_DESTROY, WM_QUERYENDSESSION})
      EXPECT_EQ(Send(hGone, uMsg, lResult), ERROR_INVALID_WINDOW_HANDLE) << hGone << " " << uMsg;
}

// --- DDE ----------------------------------------------------------------------------------------

class DdeTest : public ::testing::Test {
 protected:
  DdeTest() : service_(UniqueName("TarviumDde")), server_(service_, "Groups") {}
  void SetUp() override {
    if (!server_.IsServing() && tarvium::test::RunsUnderWine())
      GTEST_SKIP() << "Wine's DDE library did not register the test's server";
    ASSERT_TRUE(server_.IsServing());
  }

  std::string service_;
  tarvium::test::TestDdeServer server_;
  Win32Dde dde_;
};

TEST_F(DdeTest, CommandsReachTheServerAndComeBackAcknowledged) {
  DdeConversation hConv = DdeConversation::None;
  std::string upperService = service_;
  std::transform(upperService.begin(), upperService.end(), upperService.begin(), ::toupper);
  ASSERT_EQ(dde_.Initiate(upperService, "groups", kDdeTimeoutMs, hConv), ERROR_SUCCESS);
  EXPECT_NE(hConv, DdeConversation::None);
  const struct {
    std::string command;
    bool bAccepted;
  } cases[] = {
      {"[CreateGroup(Tools)][ShowGroup(Tools,1)]", true},
      {"[Refuse(Tools)]", false},
      {"[AddItem(\"C:\\Program Files\\T\\t.exe\",\"T \xE9\")]", true},
  };
  for (const auto& one : cases) {
    bool bAccepted = !one.bAccepted;
    EXPECT_EQ(dde_.Execute(hConv, one.command, bAccepted), ERROR_SUCCESS) << one.command;
    EXPECT_EQ(bAccepted, one.bAccepted) << one.command;
  }
  std::vector<std::string> sent;
  for (const auto& one : cases) sent.push_back(one.command);
  EXPECT_EQ(server_.Commands(), sent);
  EXPECT_EQ(dde_.Terminate(hConv), ERROR_SUCCESS);
}

TEST_F(DdeTest, NoServerAnswersAnotherServiceOrTopicAndAClosedConversationIsNoHandle) {
  const std::pair<std::string, std::string> targets[] = {{UniqueName("TarviumNobody"), "Groups"},
                                                         {service_, "Items"}};
  for (const auto& [application, topic] : targets) {
    DdeConversation hConv = static_cast<DdeConversation>(7);
    EXPECT_EQ(dde_.Initiate(application, topic, kDdeTimeoutMs, hConv), ERROR_FILE_NOT_FOUND)
        << application << "|" << topic;
    EXPECT_EQ(hConv, DdeConversation::None);
  }
  bool bAccepted = true;
  EXPECT_EQ(dde_.Execute(DdeConversation::None, "[ShowGroup(A,1)]", bAccepted),
            ERROR_INVALID_HANDLE);
  EXPECT_FALSE(bAccepted);
  DdeConversation hConv = DdeConversation::None;
  ASSERT_EQ(dde_.Initiate(service_, "Groups", kDdeTimeoutMs, hConv), ERROR_SUCCESS);
  EXPECT_EQ(dde_.Terminate(hConv), ERROR_SUCCESS);
  EXPECT_EQ(dde_.Execute(hConv, "[ShowGroup(A,1)]", bAccepted), ERROR_INVALID_HANDLE);
  EXPECT_EQ(dde_.Terminate(hConv), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(server_.Commands().empty());
}

// --- Clipboard ----------------------------------------------------------------------------------

// Puts back the text the clipboard held before the test.
class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(clipboard_.GetClipboardText(saved_), ERROR_SUCCESS); }
  void TearDown() override { clipboard_.SetClipboardText(saved_); }

  Win32Clipboard clipboard_;
  std::string saved_;
};

// The last, empty text empties the clipboard.
TEST_F(ClipboardTest, TextComesBackAsItWasPut) {
  const std::string texts[] = {"two\r\nlines", "Caf\xE9 \xFC\xDF", std::string(100000, 'x'), ""};
  for (const std::string& text : texts) {
    ASSERT_EQ(clipboard_.SetClipboardText(text), ERROR_SUCCESS);
    std::string read = "stale";
    EXPECT_EQ(clipboard_.GetClipboardText(read), ERROR_SUCCESS);
    EXPECT_EQ(read, text);
  }
}

}  // namespace
}  // namespace platform::win32
