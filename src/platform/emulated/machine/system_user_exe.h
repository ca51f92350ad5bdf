// The User.exe of a new machine's system directory. Windows reads the language it was installed
// in from the version resource of that file when the registry does not say it, so a machine needs
// a real one: a small PE file made here, in code, with only a version resource whose translation
// is the machine's language. Nothing runs it; making it in code keeps a cross compiler out of the
// build and lets every machine language have its own file.
#pragma once
#include <cstdint>
#include <string>

#include "platform/emulated/machine/machine_config.h"

namespace platform::emulated {

// The time of the system's own files: 2019-12-07 09:08 UTC as a FILETIME.
inline constexpr uint64_t kSystemFileTime = 132201832800000000;

// The bytes of a 32-bit PE image whose one resource is a version resource: file and product
// version from the machine's Windows version, dwFileOS VOS_NT_WINDOWS32, a string table and the
// translation (machine language, Unicode code page 1200).
std::string SystemUserExeImage(const MachineConfig& config);

}  // namespace platform::emulated
