// The one place where host errors become Win32 errors: every emulated service maps errno here,
// so that the codes the engine branches on stay the same across services.
#pragma once
#include <cstdint>

namespace platform::emulated {

// The Win32 error Windows gives for the situation errno describes (ENOENT -> ERROR_FILE_NOT_FOUND,
// EEXIST -> ERROR_ALREADY_EXISTS, ENOSPC -> ERROR_DISK_FULL, ETXTBSY -> ERROR_SHARING_VIOLATION,
// ...); an errno without a Windows counterpart is ERROR_GEN_FAILURE.
uint32_t Win32ErrorOfErrno(int nErrno);

// The Win32 error for the errno of the last failed host call.
uint32_t LastHostError();

}  // namespace platform::emulated
