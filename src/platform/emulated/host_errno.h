// The one place where the emulated processes, power and clock services turn a host errno into the
// Windows error the engine branches on, so that every failure of these services reads alike.
#pragma once
#include <cstdint>

namespace platform {

uint32_t WinErrorFromErrno(int err);

}  // namespace platform
