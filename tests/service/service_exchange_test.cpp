// The engine's pipe client against setup-agent's session over the machine's real pipe: the
// opening, the dialogs with their conversion and the confirmation of Cancel, and the options; and
// the replies read apart: dialog replies, opening requests and the progress percent.
// Notifications, messages and the end of the exchange against setup-agent's session over the
// machine's real pipe, and a peer that breaks the pipe in the middle of a run.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "agent_script.h"
#include "agent_session.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/build_options.h"
#include "install/install_test_run.h"
#include "platform/win_error.h"
#include "service/service_dialogs.h"
#include "service/service_notifications.h"
#include "service/service_pipe.h"
#include "service/service_reply.h"
#include "service/setup_service_pipe.h"

namespace tarvium::test {
namespace {

// A run connected to the setup service (/G) on a fresh temporary machine, with the script and
// installation engines and the service pipe attached, and a product with the options Main (1200
// bytes), Docs, a hidden option and one always installed.
constexpr const char* kServiceTestInf =
    "[Options]\nMain=Program,DEFAULT\nDocs=Documentation\nSecret=Hidden,HIDDEN\n"
    "Always=Always,COPYALWAYS\n";

struct ServiceTestRun : InstallTestRun {
  ServiceTestRun() : InstallTestRun(kServiceTestInf) {
    run.ctx.bServiceMode = true;
    run.ctx.szInfFile = "Z:\\media\\Setup.inf";
    run.variables.Set("SetupName", "Demo Setup");
    AttachServicePipe(run);
    EXPECT_TRUE(BuildOptions(run));
    Option("Main").size = 1200;
  }
  SetupService& Service() { return *run.service; }
  bool HasDebugLine(const std::string& part) const {
    for (const std::string& line : run.debugLines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
};

// The setup service's end of the pipe for the service tests: setup-agent's own session, run in a
// thread over the test machine's pipe server and answering from a script text, so that the
// engine's pipe client talks to the real peer over the real pipe.
class AgentPeer {
 public:
  static constexpr uint32_t kTimeoutMs = 10000;  // a broken test fails instead of hanging

  AgentPeer(platform::Machine& machine, std::string_view scriptText) : machine_(machine) {
    std::string error;
    EXPECT_TRUE(agent::ParseAgentScript(scriptText, script_, error)) << error;
    EXPECT_EQ(machine.Pipes().Create(kServicePipeName, server_), platform::ERROR_SUCCESS);
    thread_ = std::thread([this] {
      std::unique_ptr<platform::PipeConnection> connection;
      if (!server_ || server_->Accept(connection, kTimeoutMs) != platform::ERROR_SUCCESS) return;
      end_ = agent::ServeRun(*connection, script_, kTimeoutMs,
                             [this](const std::string& line) { log_.push_back(line); });
    });
  }
  ~AgentPeer() {
    if (thread_.joinable()) thread_.join();
  }

  // Closes the run's end of the pipe, waits for the session to end and removes the pipe. A peer
  // that nobody connected to is woken by a connection that closes at once.
  const std::vector<std::string>& Finish(SetupRun& run) {
    if (run.service) run.service->ClosePipe();
    std::unique_ptr<platform::PipeConnection> wake;
    machine_.Pipes().Open(kServicePipeName, wake);
    wake.reset();
    if (thread_.joinable()) thread_.join();
    server_.reset();
    return log_;
  }
  // The requests the agent received, in order (without their numbers).
  std::vector<std::string> Requests(SetupRun& run) {
    std::vector<std::string> requests;
    for (const std::string& line : Finish(run))
      if (const size_t nMark = line.find(" > "); nMark != std::string::npos)
        requests.push_back(line.substr(nMark + 3));
    return requests;
  }
  agent::SessionEnd End() const { return end_; }

 private:
  platform::Machine& machine_;
  agent::AgentScript script_;
  std::unique_ptr<platform::PipeServer> server_;
  std::vector<std::string> log_;
  agent::SessionEnd end_ = agent::SessionEnd::TimedOut;
  std::thread thread_;
};

using Lines = std::vector<std::string>;

// A connected run and setup-agent's session answering it from the script.
struct AnsweredRun : ServiceTestRun {
  explicit AnsweredRun(std::string_view script) : peer(machine.Machine(), script) {}
  Lines Requests() { return peer.Requests(run); }
  AgentPeer peer;
};

TEST(ServiceExchange, OpeningAnswersTheServiceUntilEndinit) {
  for (const char* pszEnd : {"endinit", "ENDINIT"}) {
    AnsweredRun t("init resolve;%WINDIR%\\x\ninit getsize;Main\ninit getsize;Nope\nendinit " +
                  std::string(pszEnd));
    t.run.ctx.szSilentLevel = "";
    EXPECT_TRUE(t.Service().PipeInit(t.run)) << pszEnd;
    EXPECT_EQ(t.Requests(), (Lines{"init<CR><LF>Z:\\media\\Setup.inf<CR><LF>5", "C:\\Windows\\x",
                                   "Main;1200", ""}))
        << pszEnd;
  }
}

TEST(ServiceExchange, OpeningFailsOnUnknownRequestsAndMissingPipe) {
  for (const char* pszQuestion : {"init bogus;x", "init resolve", "init getsize"}) {
    AnsweredRun t(pszQuestion);
    t.run.ctx.szSilentLevel = "1";
    EXPECT_FALSE(t.Service().PipeInit(t.run)) << pszQuestion;
    EXPECT_TRUE(t.HasDebugLine("received unknown command from pipe")) << pszQuestion;
    EXPECT_EQ(t.Requests().front(), "init<CR><LF>Z:\\media\\Setup.inf<CR><LF>1");
  }
  ServiceTestRun alone;  // nobody listens: the open fails with the error it got
  EXPECT_FALSE(alone.Service().PipeInit(alone.run));
  EXPECT_TRUE(alone.HasDebugLine(": PipeInitFailed(errno=2):"));
  EXPECT_TRUE(alone.HasDebugLine("The system cannot find the file specified."));
}

TEST(ServiceExchange, PagesSendTheirParametersAndConvertReplies) {
  struct Case {
    ui::PageKind kind;
    int nDefaultChoice;
    const char *pszScript, *pszRequest;
    int nResult;
    const char* pszValue;
  };
  // The directory page answered with a value and the mode page: the scenario
  // service-install-answered.
  const Case cases[] = {
      {ui::PageKind::Directory, 1, "askdir = 0;next", "askdir;C:\\Old", 1, "C:\\Old"},
      {ui::PageKind::DataDirectory, 1, "askdatadir = 0;back;D:\\", "askdatadir;C:\\Old", 998,
       "D:\\"},
      {ui::PageKind::FromCD, 7102, "askfromcd = 0;next;1", "askfromcd", 7105, "C:\\Old"},
      {ui::PageKind::FromCD, 7102, "askfromcd = 0;next;0", "askfromcd", 7102, "C:\\Old"},
      {ui::PageKind::FromCD, 7102, "askfromcd = 0;fromcd", "askfromcd", 7105, "C:\\Old"},
      {ui::PageKind::Shared, 6905, "askshared = 0;next;1", "askshared;6905", 6902, "C:\\Old"},
      {ui::PageKind::Shared, 6905, "askshared = 0;next;0", "askshared;6905", 6905, "C:\\Old"},
      {ui::PageKind::SameVersion, 7006, "instsame = 0;next;3", "instsame", 7007, "C:\\Old"},
      {ui::PageKind::SameVersion, 7006, "instsame = 0;next;0", "instsame", 7004, "C:\\Old"},
      {ui::PageKind::Admin, 7202, "admin = 0;prev", "admin", 998, "C:\\Old"},
      // a value outside the choices is Cancel, confirmed by the (default) Yes to 5509
      {ui::PageKind::SameVersion, 7006, "instsame = 0;next;4\nERR_SETUPABORT = 0;yes", "instsame",
       2, "C:\\Old"},
  };
  for (const Case& c : cases) {
    AnsweredRun t(c.pszScript);
    ui::PageRequest page;
    page.kind = c.kind;
    page.nDefaultChoice = c.nDefaultChoice;
    page.value = "C:\\Old";
    EXPECT_EQ(t.Service().AskPage(t.run, page), c.nResult) << c.pszScript;
    EXPECT_EQ(page.value, c.pszValue) << c.pszScript;
    EXPECT_EQ(t.Requests().front(), c.pszRequest) << c.pszScript;
  }
}

TEST(ServiceExchange, CancelIsConfirmedWithMessage5509) {
  // No asks the page again and Yes stands: the scenario service-cancel-confirmed.
  {  // a prompt: Cancel stands after Yes
    AnsweredRun t("PROMPT = 0;cancel;x\nERR_SETUPABORT = 0;YES");
    std::string answer = "before";
    EXPECT_EQ(t.Service().AskPrompt(t.run, "Serial,Enter it", answer), 2);
    EXPECT_EQ(answer, "before");
    EXPECT_EQ(t.Requests(), (Lines{"PROMPT=Serial,Enter it", "error;ERR_SETUPABORT"}));
  }
  {  // the dialogs asked once take Cancel as it is
    AnsweredRun t("askuninstallold = 0;cancel\ngetpathname = 0;cancel");
    Lines values;
    EXPECT_EQ(t.Service().AskDialog(t.run, ServiceDialog::AskUninstallOld, "1.0", values), 2);
    EXPECT_EQ(t.Service().AskDialog(t.run, ServiceDialog::GetPathName, ";*.txt", values), 2);
    EXPECT_EQ(t.Requests(), (Lines{"askuninstallold;1.0", "getpathname;*.txt"}));
  }
}

TEST(ServiceExchange, FailedDialogsGiveCancelWithoutAsking) {
  for (const char* pszScript : {"askdir = 5;next;C:\\X", "fault 1 = close"}) {
    AnsweredRun t(pszScript);  // a non-zero status, a peer that goes away: 2 at once, no 5509
    ui::PageRequest page;
    page.kind = ui::PageKind::Directory;
    EXPECT_EQ(t.Service().AskPage(t.run, page), 2) << pszScript;
    EXPECT_TRUE(t.HasDebugLine("DirDialog() failed: ")) << pszScript;
    EXPECT_EQ(t.Requests(), Lines{"askdir"}) << pszScript;
  }
  AnsweredRun t("filenotfound = 0");  // the status alone: no answer word, no values
  ServicePipe pipe;
  int nResult = 2;
  Lines values = {"stale"};
  EXPECT_EQ(CallServiceDialog(t.run, pipe, ServiceDialog::FileNotFound, "a.dll", nResult, values),
            0u);
  EXPECT_EQ(nResult, 2);
  EXPECT_TRUE(values.empty());
  pipe.Close();
  EXPECT_EQ(t.Requests(), Lines{"filenotfound;a.dll"});
}

TEST(ServiceExchange, OptionsAnswerSizesAndSelectTheNamedOptions) {
  AnsweredRun t("getsize Main\ngetsize Nope\ngetsize\noptions = 0;next;Docs;Unknown");
  t.Option("Secret").selected = true;
  ASSERT_EQ(t.Selected(), (Lines{"Main", "Secret", "Always"}));
  EXPECT_EQ(t.Service().GetOptions(t.run), 1);
  EXPECT_EQ(t.Selected(), (Lines{"Docs", "Secret", "Always"}));
  EXPECT_EQ(t.Requests(), (Lines{"[options]", "1200", "0", "1200"}));
}

TEST(ServiceExchange, OptionsFailuresAndCancel) {
  struct Case {
    const char *pszScript, *pszDebug;
    size_t nRequests;  // [options] and, for a Cancel, the abort question
  };
  const Case cases[] = {
      {"options = x;next;Docs", "Invalid result from options", 1},
      {"options = 0\nERR_SETUPABORT = 0;yes", "Invalid result from options", 2},
      {"options = 3;next;Docs", "Options dialog failed", 1},
      {"fault 1 = short", "PipeGetOptions() failed: ", 1},
      {"options = 0;cancel;Docs\nERR_SETUPABORT = 0;yes", "", 2},
  };
  for (const Case& c : cases) {
    AnsweredRun t(c.pszScript);
    EXPECT_EQ(t.Service().GetOptions(t.run), 2) << c.pszScript;
    EXPECT_EQ(t.Selected(), (Lines{"Main", "Always"})) << c.pszScript;
    EXPECT_TRUE(t.HasDebugLine(c.pszDebug)) << c.pszScript;
    EXPECT_EQ(t.Requests().size(), c.nRequests) << c.pszScript;
  }
}

TEST(ServiceReply, DialogRepliesGiveStatusAnswerAndValues) {
  struct Case {
    const char* pszReply;
    uint32_t dwStatus;
    bool bHasAnswer;
    int nResult;
    Lines values;
  };
  const Case cases[] = {
      {"0;next;C:\\App", 0, true, 1, {"C:\\App"}},
      {"0", 0, false, 2, {}},  // status only: no answer word, no values
      {"0;YES", 0, true, 6, {}},
      {"0;no", 0, true, 2, {}},
      {"0;Ok", 0, true, 1, {}},
      {"0;prev", 0, true, 998, {}},
      {"0;back", 0, true, 998, {}},
      {"0;fromcd", 0, true, 7105, {}},
      {"0;local", 0, true, 7102, {}},
      {"0;skip", 0, true, 996, {}},
      {"0;maybe;x", 0, true, 2, {"x"}},
      {"0;;", 0, true, 2, {""}},
      {"0;ok;;x;", 0, true, 1, {"", "x", ""}},
      {"1;yes;v", 1, false, 2, {}},  // a non-zero status is a failure
      {"garbage", platform::ERROR_INVALID_DATA, false, 2, {}},
      {"", platform::ERROR_INVALID_DATA, false, 2, {}},
      {" 0;next", platform::ERROR_INVALID_DATA, false, 2, {}},
  };
  for (const Case& c : cases) {
    const DialogReply reply = ParseDialogReply(c.pszReply);
    EXPECT_EQ(reply.dwStatus, c.dwStatus) << c.pszReply;
    EXPECT_EQ(reply.bHasAnswer, c.bHasAnswer) << c.pszReply;
    EXPECT_EQ(reply.nResult, c.nResult) << c.pszReply;
    EXPECT_EQ(reply.values, c.values) << c.pszReply;
  }
}

TEST(ServiceReply, OpeningRequestsSplitAtSemicolonsAndLineBreaks) {
  struct Case {
    const char *pszReply, *pszWord, *pszArgument;
    bool bHasArgument;
  };
  const Case cases[] = {
      {"resolve;%WINDIR%\\x", "resolve", "%WINDIR%\\x", true},
      {"getsize\r\nMain\r\n", "getsize", "Main", true},
      {"getsize;Main;ignored", "getsize", "Main", true},
      {"getsize;", "getsize", "", false},
      {";;resolve;;x", "resolve", "x", true},
      {"resolve", "resolve", "", false},
      {"", "", "", false},
  };
  for (const Case& c : cases) {
    const InitRequest request = ParseInitRequest(c.pszReply);
    EXPECT_EQ(request.word, c.pszWord) << c.pszReply;
    EXPECT_EQ(request.argument, c.pszArgument) << c.pszReply;
    EXPECT_EQ(request.bHasArgument, c.bHasArgument) << c.pszReply;
  }
}

TEST(ServiceReply, ProgressPercentOnlyScalesOtherMaximums) {
  struct Case {
    int64_t nMaximum, nPosition, nSent;
  };
  for (const Case& c : {Case{200, 50, 25}, Case{100, 37, 37}, Case{0, 7, 7}, Case{300, 0, 0},
                        Case{3, 1, 33}, Case{3000000000LL, 3000000000LL, 100}})
    EXPECT_EQ(ProgressPercent(c.nMaximum, c.nPosition), c.nSent)
        << c.nMaximum << " " << c.nPosition;
}

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
    AnsweredRun t("");
    SendEveryNotification(t.Service(), t.run);
    EXPECT_EQ(t.Requests(), (Lines{"setprogresspos;25", "setprogresspos;37",
                                   "setprogresstext;Copying a.dll", "setprogresstext;sleep 500",
                                   "echo;hello;Demo Setup", "playsound", "playsound C:\\ding.wav",
                                   "showpicture C:\\pic.bmp", "SplashDialogOn 10%,10%"}));
  }
  for (int nLevel : {0, 1}) {  // progress is not sent in a silent run of level 0
    AnsweredRun t("");
    t.run.ctx.bSilent = true;
    t.run.ctx.iSilentLevel = nLevel;
    t.run.variables.Set("SetupName", "");
    SendEveryNotification(t.Service(), t.run);
    const Lines requests = t.Requests();
    EXPECT_EQ(requests.size(), nLevel == 0 ? 5u : 9u) << nLevel;
    EXPECT_EQ(requests.front(), nLevel == 0 ? "echo;hello" : "setprogresspos;25");
    EXPECT_EQ(t.HasDebugLine("output of progress pos is suppressed by silent level"), nLevel == 0);
    EXPECT_EQ(t.HasDebugLine("output of progress text is suppressed by silent level"), nLevel == 0);
  }
}

TEST(ServiceNotifications, MessagesGoAsErrorRequests) {
  AnsweredRun t(
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
  const Lines requests = t.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0], "error;ERR_FILEOLDER;a.dll;1.1.2020;2.2.2022");
  EXPECT_EQ(requests[3], "error;ERR_CREATE_KEY;HKLM\\X;5");
  EXPECT_NE(
      t.machine
          .RegString(platform::RegRoot::LocalMachine, "Software\\kelvaron\\Stowfield", "LastError")
          .find("64 bit platform"),
      std::string::npos);
  AnsweredRun silent("");  // a silent connected run answers with the default button
  silent.run.ctx.bSilent = true;
  EXPECT_EQ(ShowMessage(silent.run, 5509), 7);
  EXPECT_TRUE(silent.Requests().empty());
}

TEST(ServiceNotifications, ABrokenPeerEndsExchangesWithTheirError) {
  for (const char* pszScript : {"fault 2 = close", "fault 2 = short"}) {
    AnsweredRun t(pszScript);
    std::string reply;
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;one", reply), 0u) << pszScript;
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;two", reply), platform::ERROR_BROKEN_PIPE);
    EXPECT_TRUE(t.HasDebugLine("The pipe has been ended.")) << pszScript;
    t.peer.Finish(t.run);
    // the next exchange opens the pipe again and finds nobody
    EXPECT_EQ(t.Service().Exchange(t.run, "echo;three", reply), platform::ERROR_FILE_NOT_FOUND);
    t.Service().SetProgressText(t.run, "x");
    EXPECT_TRUE(t.HasDebugLine(": SetProgressText failed: The system cannot find"));
    EXPECT_FALSE(t.Service().Splash(t.run, "SplashDialogOff"));
    EXPECT_EQ(t.peer.End(), agent::SessionEnd::Fault);
  }
}

// A reply block that stops short while the service keeps the pipe open fails after the time-out
// instead of holding the run: the scenario service-agent-stalls.

// A run's last request is "exit": the scenario service-install-answered. A service that went away
// and came back still hears it.
TEST(ServiceNotifications, ExitEndsTheExchange) {
  ServiceTestRun broken;
  AgentPeer gone(broken.machine.Machine(), "fault 1 = close");
  broken.Service().Echo(broken.run, "x");
  gone.Finish(broken.run);
  AgentPeer back(broken.machine.Machine(), "");
  broken.Service().PipeExit(broken.run);
  EXPECT_EQ(back.Requests(broken.run), Lines{"exit"});
  EXPECT_EQ(back.End(), agent::SessionEnd::Exit);
  EXPECT_TRUE(broken.HasDebugLine("SETUP.exe closing pipe"));
}

}  // namespace
}  // namespace tarvium::test
