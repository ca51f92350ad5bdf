#include "service/setup_service_pipe.h"

#include <memory>

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "service/pipe_init.h"
#include "service/pipe_options.h"
#include "service/service_dialogs.h"
#include "service/service_notifications.h"
#include "service/service_pipe.h"

namespace tarvium {
namespace {

class PipeSetupService final : public SetupService {
 public:
  bool PipeInit(SetupRun& run) override { return tarvium::PipeInit(run, pipe_); }
  uint32_t Exchange(SetupRun& run, const std::string& request, std::string& reply) override {
    return pipe_.Exchange(run, request, reply);
  }
  int AskDialog(SetupRun& run, ServiceDialog nDialog, const std::string& parameter,
                std::vector<std::string>& values) override {
    return AskServiceDialog(run, pipe_, nDialog, parameter, values);
  }
  int AskPage(SetupRun& run, ui::PageRequest& page) override {
    return AskServicePage(run, pipe_, page);
  }
  int AskPrompt(SetupRun& run, const std::string& promptLine, std::string& answer) override {
    return AskServicePrompt(run, pipe_, promptLine, answer);
  }
  int GetOptions(SetupRun& run) override { return PipeGetOptions(run, pipe_); }
  void SetProgressPos(SetupRun& run, int64_t nMaximum, int64_t nPosition) override {
    tarvium::SetProgressPos(run, pipe_, nMaximum, nPosition);
  }
  void SetProgressText(SetupRun& run, const std::string& text) override {
    tarvium::SetProgressText(run, pipe_, text);
  }
  void Echo(SetupRun& run, const std::string& text) override { SendEcho(run, pipe_, text); }
  void PlaySound(SetupRun& run, const std::string& soundFile) override {
    SendPlaySound(run, pipe_, soundFile);
  }
  void ShowPicture(SetupRun& run, const std::string& pictureFile) override {
    SendShowPicture(run, pipe_, pictureFile);
  }
  void Sleep(SetupRun& run, uint32_t dwMilliseconds) override {
    SendSleep(run, pipe_, dwMilliseconds);
  }
  bool Splash(SetupRun& run, const std::string& line) override {
    return SendSplashLine(run, pipe_, line);
  }
  // Like every exchange, "exit" opens the pipe again when it broke earlier in the run, so that a
  // service that came back learns that the run has ended.
  void PipeExit(SetupRun& run) override {
    std::string reply;
    pipe_.Exchange(run, "exit", reply);
    SetupTrace(run, "SETUP.exe closing pipe\n");
    pipe_.Close();
  }
  void ClosePipe() override { pipe_.Close(); }

 private:
  ServicePipe pipe_;
};

}  // namespace

void AttachServicePipe(SetupRun& run) {
  run.service = std::make_unique<PipeSetupService>();
}

}  // namespace tarvium
