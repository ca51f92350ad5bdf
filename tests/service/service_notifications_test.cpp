// Notifications, messages and the end of the exchange against setup-agent's session over the
// machine's real pipe, and a peer that breaks the pipe in the middle of a run.
#include <gtest/gtest.h>

#include "agent_peer.h"
#include "engine/show_message.h"
#include "service_test_run.h"

namespace tarvium::test {
namespace {

void SendEveryNotification(SetupService& service, SetupRun& run) {
  service.SetProgressPos(run, 200, 50);
  service.SetProgressPos(run, 100, 37);
  service.SetProgressText(run, "Copying a.dll");
  service.Sleep(run, 500);
  service.Echo(run, "hello");
  service.PlaySound(run, "");
  service.PlaySound(run, "C:\\ding.wav");
  service.ShowPicture(run, "");
  service.ShowPicture(run, "C:\\pic.bmp");
  EXPECT_TRUE(service.Splash(run, "SplashDialogOn 10%,10%"));
}

TEST(ServiceNotifications, RequestsAndTheSilentLevel) {
  {
    ServiceTestRun t;
    AgentPeer peer(t.machine.Machine(), "");
    SendEveryNotification(t.Service(), t.run);
    const std::vector<std::string> expected = {
        "setprogresspos;25",         "setprogresspos;37",       "setprogresstext;Copying a.dll",
        "setprogresstext;sleep 500", "echo;hello;Demo Setup",   "playsound",
        "playsound C:\\ding.wav",    "showpicture C:\\pic.bmp", "SplashDialogOn 10%,10%"};
    EXPECT_EQ(peer.Requests(t.run), expected);
  }
  for (int nLevel : {0, 1}) {  // progress is not sent in a silent run of level 0
    ServiceTestRun t;
    t.run.ctx.bSilent = true;
    t.run.ctx.iSilentLevel = nLevel;
    t.run.variables.Set("SetupName", "");
    AgentPeer peer(t.machine.Machine(), "");
    SendEveryNotification(t.Service(), t.run);
    const std::vector<std::string> requests = peer.Requests(t.run);
    EXPECT_EQ(requests.size(), nLevel == 0 ? 5u : 9u) << nLevel;
    EXPECT_EQ(requests.front(), nLevel == 0 ? "echo;hello" : "setprogresspos;25");
    EXPECT_EQ(t.HasDebugLine("output of progress pos is suppressed by silent level"), nLevel == 0);
    EXPECT_EQ(t.HasDebugLine("output of progress text is suppressed by silent level"), nLevel == 0);
  }
}

TEST(ServiceNotifications, MessagesGoAsErrorRequests) {
  ServiceTestRun t;
  AgentPeer peer(t.machine.Machine(),
                 "ERR_FILEOLDER = 0;YES\nERR_FILEOLDER = 1;yes\nERR_FILEOLDER = 0;perhaps\n"
                 "ERR_CREATE_KEY = 0;Ignore");
  const std::vector<int> results = {
      ShowMessage(t.run, 5506, std::string("a.dll"), std::string("1.1.2020"),
                  std::string("2.2.2022")),
      ShowMessage(t.run, 5506, std::string("b"), std::string("d"), std::string("e")),
      ShowMessage(t.run, 5506, std::string("c"), std::string("d"), std::string("e")),
      ShowMessage(t.run, 5518, std::string("HKLM\\X"), int64_t{5}),
      ShowMessage(t.run, 5573)};  // no ERR_ name: nothing is sent
  EXPECT_EQ(results, (std::vector<int>{6, 2, 2, 5, 2}));
  const std::vector<std::string> requests = peer.Requests(t.run);
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0], "error;ERR_FILEOLDER;a.dll;1.1.2020;2.2.2022");
  EXPECT_EQ(requests[3], "error;ERR_CREATE_KEY;HKLM\\X;5");
  EXPECT_NE(
      t.machine
          .RegString(platform::RegRoot::LocalMachine, "Software\\kelvaron\\Stowfield", "LastError")
          .find("64 bit platform"),
      std::string::npos);
  ServiceTestRun silent;  // a silent connected run answers with the default button
  silent.run.ctx.bSilent = true;
  AgentPeer nobody(silent.machine.Machine(), "");
  EXPECT_EQ(ShowMessage(silent.run, 5509), 7);
  EXPECT_TRUE(nobody.Requests(silent.run).empty());
}

TEST(ServiceNotifications, ABrokenPeerEndsExchangesWithTheirError) {
  struct Case {
    const char* pszScript;
    const char* pszDebug;
  };
  for (const Case& c : {Case{"fault 2 = close", "The pipe has been ended."},
                        Case{"fault 2 = short", "The pipe has been ended."}}) {
    ServiceTestRun t;
    AgentPeer peer(t.machine.Machine(), c.pszScript);
    std::string reply;
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;one", reply), 0u) << c.pszScript;
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;two", reply), platform::ERROR_BROKEN_PIPE);
    EXPECT_TRUE(t.HasDebugLine(c.pszDebug)) << c.pszScript;
    peer.Finish(t.run);
    // the next exchange opens the pipe again and finds nobody
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;three", reply), platform::ERROR_FILE_NOT_FOUND);
    t.Service().SetProgressText(t.run, "x");
    EXPECT_TRUE(t.HasDebugLine(": SetProgressText failed: The system cannot find"));
    EXPECT_FALSE(t.Service().Splash(t.run, "SplashDialogOff"));
    EXPECT_EQ(peer.End(), agent::SessionEnd::Fault);
  }
}

// A reply block that stops short while the service keeps the pipe open fails after the time-out
// instead of holding the run: the scenario service-agent-stalls.

TEST(ServiceNotifications, ExitEndsTheExchange) {
  ServiceTestRun t;
  AgentPeer peer(t.machine.Machine(), "");
  t.Service().Echo(t.run, "x");
  t.Service().PipeExit(t.run);
  EXPECT_EQ(peer.Requests(t.run), (std::vector<std::string>{"echo;x;Demo Setup", "exit"}));
  EXPECT_EQ(peer.End(), agent::SessionEnd::Exit);

  ServiceTestRun broken;  // a service that went away and came back still hears "exit"
  AgentPeer gone(broken.machine.Machine(), "fault 1 = close");
  broken.Service().Echo(broken.run, "x");
  gone.Finish(broken.run);
  AgentPeer back(broken.machine.Machine(), "");
  broken.Service().PipeExit(broken.run);
  EXPECT_EQ(back.Requests(broken.run), std::vector<std::string>{"exit"});
  EXPECT_EQ(back.End(), agent::SessionEnd::Exit);
  EXPECT_TRUE(broken.HasDebugLine("SETUP.exe closing pipe"));
}

}  // namespace
}  // namespace tarvium::test
