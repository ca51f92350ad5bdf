// The exit-code table: every rule, and the negation after an abort with a restart due.
#include <gtest/gtest.h>

#include "engine/exit_code.h"
#include "engine/setup_context.h"

namespace tarvium {
namespace {

struct EndState {
  bool bAborted, bBySetupData, bAbortedReboot, bExitWindows;
  uint32_t dwRunFlags;
  int32_t iReboot;
  int32_t nExpected;
};

TEST(ExitCode, EveryRuleOfTheTable) {
  const EndState cases[] = {
      {false, false, false, false, 0, 0, 0},       // normal end
      {false, false, false, true, 0, 5, 0},        // a restart the engine performs itself
      {false, false, false, false, 0x08, 5, 0},    // run flag 0x08 but nothing due
      {false, false, false, true, 0x08, 0, 6702},  // restart due, no reboot kind decided
      {false, false, false, true, 0x08, 1, 6702},  //
      {false, false, false, true, 0x0A, 2, 6702},  // other bits do not matter
      {false, false, false, true, 0x08, 3, 6703},  // log off
      {false, false, false, true, 0x08, 4, 6706},  // shut down
      {false, false, false, true, 0x08, 5, 6708},  // restart the computer
      {true, false, false, true, 0x08, 5, -1},     // an abort wins over the restart
      {true, true, false, false, 0, 0, 6704},      // /V mismatch or unmet requirement
      {false, false, true, false, 0, 0, 6704},     // AbortReboot without a restart reported
      {false, false, true, true, 0x08, 1, -6702},  // AbortReboot with a restart due
      {false, false, true, true, 0x08, 5, -6708},  //
      {true, false, true, false, 0, 0, 1},         // -1 negated
  };
  for (const EndState& c : cases) {
    SetupContext ctx;
    ctx.bAborted = c.bAborted;
    ctx.bAbortedBySetupData = c.bBySetupData;
    ctx.bAbortedReboot = c.bAbortedReboot;
    ctx.bExitWindows = c.bExitWindows;
    ctx.dwRunFlags = c.dwRunFlags;
    ctx.iReboot = c.iReboot;
    EXPECT_EQ(ExitCodeOfRun(ctx), c.nExpected)
        << c.bAborted << c.bBySetupData << c.bAbortedReboot << c.bExitWindows << " flags "
        << c.dwRunFlags << " reboot " << c.iReboot;
  }
}

}  // namespace
}  // namespace tarvium
