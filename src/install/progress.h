// The progress meter of the installation run: its range is the size of the selection, and every
// file that is copied, skipped or removed moves it by its size. Each change is traced as
// "Progress %d" and shown as a percentage through the user interface, or sent to the setup
// service as the position in a run connected to it.
#pragma once
#include <cstdint>

namespace tarvium {

struct SetupRun;

inline constexpr int64_t kProgressReset = -1;

// Sets the range (100 when 0) and puts the meter back to its start.
void SetProgressRange(SetupRun& run, int64_t nRange);

// Moves the meter by nAmount bytes; kProgressReset resets it and clears the percentage; 0 changes
// nothing.
void MoveProgress(SetupRun& run, int64_t nAmount);

}  // namespace tarvium
