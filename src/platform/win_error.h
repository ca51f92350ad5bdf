// Win32 error codes the engine branches on. Platform calls return one of these (ERROR_SUCCESS
// on success), exactly as the Windows function of the same purpose would.
#pragma once
#include <cstdint>

namespace platform {

inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_INVALID_FUNCTION = 1;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr uint32_t ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr uint32_t ERROR_BAD_FORMAT = 11;
inline constexpr uint32_t ERROR_INVALID_DRIVE = 15;
inline constexpr uint32_t ERROR_CURRENT_DIRECTORY = 16;
inline constexpr uint32_t ERROR_NOT_SAME_DEVICE = 17;
inline constexpr uint32_t ERROR_NO_MORE_FILES = 18;
inline constexpr uint32_t ERROR_WRITE_PROTECT = 19;
inline constexpr uint32_t ERROR_NOT_READY = 21;
inline constexpr uint32_t ERROR_SEEK = 25;
inline constexpr uint32_t ERROR_WRITE_FAULT = 29;
inline constexpr uint32_t ERROR_READ_FAULT = 30;
inline constexpr uint32_t ERROR_GEN_FAILURE = 31;
inline constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr uint32_t ERROR_LOCK_VIOLATION = 33;
inline constexpr uint32_t ERROR_HANDLE_EOF = 38;
inline constexpr uint32_t ERROR_HANDLE_DISK_FULL = 39;
inline constexpr uint32_t ERROR_NOT_SUPPORTED = 50;
inline constexpr uint32_t ERROR_BAD_NETPATH = 53;
inline constexpr uint32_t ERROR_NETWORK_ACCESS_DENIED = 65;
inline constexpr uint32_t ERROR_BAD_NET_NAME = 67;
inline constexpr uint32_t ERROR_FILE_EXISTS = 80;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_NEGATIVE_SEEK = 131;
inline constexpr uint32_t ERROR_BROKEN_PIPE = 109;
inline constexpr uint32_t ERROR_DISK_FULL = 112;
inline constexpr uint32_t ERROR_CALL_NOT_IMPLEMENTED = 120;
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr uint32_t ERROR_INVALID_NAME = 123;
inline constexpr uint32_t ERROR_MOD_NOT_FOUND = 126;
inline constexpr uint32_t ERROR_PROC_NOT_FOUND = 127;
inline constexpr uint32_t ERROR_DIR_NOT_EMPTY = 145;
inline constexpr uint32_t ERROR_BAD_PATHNAME = 161;
inline constexpr uint32_t ERROR_BUSY = 170;
inline constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
inline constexpr uint32_t ERROR_BAD_EXE_FORMAT = 193;
inline constexpr uint32_t ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t ERROR_WAIT_TIMEOUT = 258;
inline constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr uint32_t ERROR_DIRECTORY = 267;
inline constexpr uint32_t ERROR_PIPE_BUSY = 231;
inline constexpr uint32_t ERROR_NO_DATA = 232;
inline constexpr uint32_t ERROR_PIPE_NOT_CONNECTED = 233;
inline constexpr uint32_t ERROR_PARTIAL_COPY = 299;
inline constexpr uint32_t ERROR_INVALID_IMAGE_HASH = 577;  // the module's signature is not valid
inline constexpr uint32_t ERROR_OPERATION_ABORTED = 995;
inline constexpr uint32_t ERROR_CANCELLED = 1223;
inline constexpr uint32_t ERROR_BADDB = 1009;
inline constexpr uint32_t ERROR_BADKEY = 1010;
inline constexpr uint32_t ERROR_CANTOPEN = 1011;
inline constexpr uint32_t ERROR_CANTREAD = 1012;
inline constexpr uint32_t ERROR_CANTWRITE = 1013;
inline constexpr uint32_t ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr uint32_t ERROR_KEY_DELETED = 1018;
inline constexpr uint32_t ERROR_CHILD_MUST_BE_VOLATILE = 1021;
inline constexpr uint32_t ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr uint32_t ERROR_SERVICE_EXISTS = 1073;
inline constexpr uint32_t ERROR_SUCCESS_REBOOT_REQUIRED = 3010;
inline constexpr uint32_t ERROR_NO_SUCH_USER = 1317;
inline constexpr uint32_t ERROR_LOGON_FAILURE = 1326;
inline constexpr uint32_t ERROR_NONE_MAPPED = 1332;
inline constexpr uint32_t ERROR_INVALID_DATA = 13;
inline constexpr uint32_t ERROR_SHUTDOWN_IN_PROGRESS = 1115;
inline constexpr uint32_t ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr uint32_t ERROR_NO_SYSTEM_RESOURCES = 1450;
inline constexpr uint32_t ERROR_RESOURCE_DATA_NOT_FOUND = 1812;  // an image without resources
inline constexpr uint32_t ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr uint32_t ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
inline constexpr uint32_t ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
inline constexpr uint32_t ERROR_CANT_ACCESS_FILE = 1920;  // a name that holds no file (a FIFO)

}  // namespace platform
