// The information box that CloseWindow and KillProcess show before they act: only when a text is
// given and the run is not silent (or silent at level 2 or above); it closes by itself after the
// timeout (none or 0: it waits to be closed). Returns true when the box was shown and closed by
// its timeout, which CloseWindow's ABORT mode counts as a failure; false when it was closed by
// hand or not shown.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

bool ShowTimedNotice(SetupRun& run, const std::string& text, int32_t nTimeoutSeconds);

}  // namespace tarvium
