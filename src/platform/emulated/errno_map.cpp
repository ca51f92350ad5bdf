// errno to Win32 error codes. Callers that know better for their operation (CreateFile's
// ERROR_FILE_EXISTS for an existing file, ERROR_DIR_NOT_EMPTY for a directory removal) decide
// before they get here; this table is what remains.
#include "platform/emulated/errno_map.h"

#include <cerrno>

#include "platform/win_error.h"

namespace platform::emulated {

uint32_t Win32ErrorOfErrno(int nErrno) {
  switch (nErrno) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    case EBUSY:
      return ERROR_BUSY;
    case EAGAIN:
      return ERROR_LOCK_VIOLATION;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTSUP:
      return ERROR_NOT_SUPPORTED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

uint32_t LastHostError() {
  return Win32ErrorOfErrno(errno);
}

}  // namespace platform::emulated
