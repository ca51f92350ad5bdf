// How a child's full 32-bit exit code reaches its parent on a host whose exit status keeps only 8
// bits. The parent creates an empty file per child and names it in the child's environment variable
// TARVIUM_EXIT_CODE_FILE; the child's ExitProcess writes the code there as a signed decimal (-1,
// not 4294967295) before it exits with the code's low byte. The parent believes the file only when
// that low byte matches the exit status: a wrapper script that ends with its program's status
// ("setup; exit $?") passes the whole code on, while a child that ended otherwise (another status,
// a signal) cannot be given a code some descendant of it wrote. Without a believable file the POSIX
// status decides.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

inline constexpr char kExitCodeFileVariable[] = "TARVIUM_EXIT_CODE_FILE";

// Creates a fresh empty file "tarvium-exit-XXXXXX" in directory (the host's temporary directory
// when empty) and returns its path.
uint32_t CreateExitCodeFile(const std::string& directory, std::string& path);

// The Windows exit code of an ended child from the waitid() result (si_code, si_status) and the
// exit-code file (empty path: none). Exit status n gives n; death by a signal gives the code a
// Windows process gets for the like cause: SIGSEGV and SIGBUS 0xC0000005 (access violation),
// SIGILL 0xC000001D, SIGFPE 0xC0000094 (integer division by zero), SIGABRT 3 (abort()), SIGINT
// 0xC000013A (Ctrl+C), any other signal 1 (as a process ended by someone else's kill).
uint32_t ExitCodeOfChild(const std::string& exitCodeFile, int nSiCode, int nSiStatus);

// The child's side: writes the code to the file its parent named, if any: a full path only when
// the file is there, a relative one (from a person's shell) also when it is not. Errors are
// ignored: the exit status still carries the low byte.
void WriteOwnExitCode(uint32_t dwExitCode);

}  // namespace platform
