#include "service/service_notifications.h"

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "platform/error_text.h"
#include "platform/win_error.h"
#include "service/service_pipe.h"

namespace tarvium {
namespace {

// Sends a notification; a failure is traced with `failureText` before the system's text.
bool Notify(SetupRun& run, ServicePipe& pipe, const std::string& request,
            const std::string& failureText) {
  std::string reply;
  const uint32_t dwError = pipe.Exchange(run, request, reply);
  if (dwError == platform::ERROR_SUCCESS) return true;
  DebugOutput(run, failureText + platform::SystemErrorText(dwError));
  return false;
}

bool IsProgressSuppressed(const SetupRun& run) {
  return run.ctx.bSilent && run.ctx.iSilentLevel == 0;
}

}  // namespace

int64_t ProgressPercent(int64_t nMaximum, int64_t nPosition) {
  if (nMaximum == 100 || nMaximum == 0 || nPosition == 0) return nPosition;
  return nPosition * 100 / nMaximum;
}

void SetProgressPos(SetupRun& run, ServicePipe& pipe, int64_t nMaximum, int64_t nPosition) {
  if (IsProgressSuppressed(run)) {
    DebugOutput(run, "output of progress pos is suppressed by silent level\n");
    return;
  }
  Notify(run, pipe, "setprogresspos;" + std::to_string(ProgressPercent(nMaximum, nPosition)),
         SourcePlace(__FILE__, __LINE__) + ": SetProgressBar failed: ");
}

void SetProgressText(SetupRun& run, ServicePipe& pipe, const std::string& text) {
  if (IsProgressSuppressed(run)) {
    DebugOutput(run, "output of progress text is suppressed by silent level\n");
    return;
  }
  Notify(run, pipe, "setprogresstext;" + text,
         SourcePlace(__FILE__, __LINE__) + ": SetProgressText failed: ");
}

void SendEcho(SetupRun& run, ServicePipe& pipe, const std::string& text) {
  const std::string& setupName = run.variables.Get("SetupName");
  Notify(run, pipe, "echo;" + text + (setupName.empty() ? "" : ";" + setupName), "Echo failed: ");
}

void SendPlaySound(SetupRun& run, ServicePipe& pipe, const std::string& soundFile) {
  Notify(run, pipe, soundFile.empty() ? "playsound" : "playsound " + soundFile,
         "PlaySound failed: ");
}

void SendShowPicture(SetupRun& run, ServicePipe& pipe, const std::string& pictureFile) {
  if (!pictureFile.empty()) Notify(run, pipe, "showpicture " + pictureFile, "ShowPicture failed: ");
}

void SendSleep(SetupRun& run, ServicePipe& pipe, uint32_t dwMilliseconds) {
  SetProgressText(run, pipe, "sleep " + std::to_string(dwMilliseconds));
}

bool SendSplashLine(SetupRun& run, ServicePipe& pipe, const std::string& line) {
  return Notify(run, pipe, line, "Splash failed: ");
}

}  // namespace tarvium
