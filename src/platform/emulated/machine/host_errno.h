// The one place where the emulated services (files, processes, power, clock) turn a host errno
// into the Windows error the engine branches on, so that every failure of these services reads
// alike. Callers that know better for their operation (CreateFile's ERROR_FILE_EXISTS for an
// existing file) decide before they get here.
#pragma once
#include <cstdint>

namespace platform {

uint32_t WinErrorFromErrno(int err);

}  // namespace platform
