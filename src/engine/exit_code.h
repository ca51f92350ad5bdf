// The exit code of a run, from its end-of-run fields: 0, -1 (aborted or not started), 6704
// (aborted by the setup data), and under run flag 0x08 the restart codes 6702, 6703, 6706 and
// 6708; a run aborted with a restart still due negates its code (0 becomes 6704). A calling
// setup or management agent acts on these numbers, so they are computed in one pure function.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupContext;

// Every code a run ends with, besides the negated restart codes.
inline constexpr int32_t kExitSuccess = 0;
inline constexpr int32_t kExitNotStarted = -1;            // aborted, or the run did not start
inline constexpr int32_t kExitRestart = 6702;             // run flag 0x08 and a restart is due,
inline constexpr int32_t kExitLogOff = 6703;              // a log-off (Reboot=3),
inline constexpr int32_t kExitAbortedBySetupData = 6704;  // /V mismatch, unmet requirement
inline constexpr int32_t kExitShutdown = 6706;            // a shutdown (Reboot=4),
inline constexpr int32_t kExitComputerRestart = 6708;     // a computer restart (Reboot=5)

// The code before the rule of bAbortedReboot.
int32_t ExitCodeBeforeAbortedReboot(const SetupContext& ctx);
// The final code: the rule of bAbortedReboot applied.
int32_t ExitCodeOfRun(const SetupContext& ctx);

}  // namespace tarvium
