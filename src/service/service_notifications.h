// The notifications of a run connected to the setup service: progress position and text, echo,
// sound, picture, sleep and the splash lines. Each is one exchange whose reply is read and
// ignored; a failure only leaves a line in the debug trace (a splash line's failure also makes
// its command fail). Progress is not sent in a silent run of level 0.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;
class ServicePipe;

// The number "setprogresspos" sends: nPosition * 100 / nMaximum, or the position itself when the
// maximum is 100 or 0 or the position is 0.
int64_t ProgressPercent(int64_t nMaximum, int64_t nPosition);

void SetProgressPos(SetupRun& run, ServicePipe& pipe, int64_t nMaximum, int64_t nPosition);
void SetProgressText(SetupRun& run, ServicePipe& pipe, const std::string& text);
void SendEcho(SetupRun& run, ServicePipe& pipe, const std::string& text);
void SendPlaySound(SetupRun& run, ServicePipe& pipe, const std::string& soundFile);
void SendShowPicture(SetupRun& run, ServicePipe& pipe, const std::string& pictureFile);
void SendSleep(SetupRun& run, ServicePipe& pipe, uint32_t dwMilliseconds);
bool SendSplashLine(SetupRun& run, ServicePipe& pipe, const std::string& line);

}  // namespace tarvium
