// The information box that CloseWindow and KillProcess show before they act: only when a text is
// given and the run is not silent (or silent at level 2 or above); it closes by itself after the
// timeout. Returns true when the box closed by its timeout (or was not shown), false when the user
// closed it.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

bool ShowTimedNotice(SetupRun& run, const std::string& text, int32_t nTimeoutSeconds);

}  // namespace tarvium
