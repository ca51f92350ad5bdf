// take_snapshot: drive C: and the registry of the Windows machine it runs on, written as a snapshot
// that `winmachine diff` compares with another. The scenarios that run on both machines take one
// before and one after each run. Left out: what Windows rebuilds or rewrites at every start or
// whenever a device comes (HKLM\HARDWARE, the display and device drivers' records, the devices'
// interfaces and instances, hardware profiles, the services' start count), the control sets by
// number (on Windows the one in use is CurrentControlSet too; Wine has only that), the link
// Classes\Wow6432Node (to Software\Wow6432Node\Classes), the keys that only the system may read,
// the performance counters' keys, which are no keys to enumerate, the record of the mounted drives,
// where a test's own drive L: would show, and the user's keys that Wine itself writes (its own
// settings, and the console's, which its debugger makes when a program of the prefix crashes).
// Usage: take_snapshot.exe DIR
#include <cstdio>
#include <string>

#include "platform/machine_snapshot.h"
#include "platform/win32/win32_machine.h"

namespace {

constexpr const char* kUsage =
    "Usage: take_snapshot DIR\n"
    "Writes drive C: and the registry of this machine to DIR (files.tsv, registry.reg).\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--help" || first == "-h" || first == "/?") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  platform::win32::Win32Machine machine;
  const platform::SnapshotScope scope{
      {"C:"},
      {"HKEY_LOCAL_MACHINE\\HARDWARE", "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet0??",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ServiceCurrent",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Hardware Profiles",
       "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node", "HKEY_LOCAL_MACHINE\\SAM",
       "HKEY_LOCAL_MACHINE\\SECURITY",
       "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
       "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\MountedDevices", "HKEY_USERS\\*\\Software\\Wine",
       "HKEY_USERS\\*\\Console"}};
  platform::MachineSnapshot snapshot;
  std::string error;
  if (!platform::TakeSnapshot(machine.Files(), machine.Reg(), scope, snapshot, error) ||
      !platform::SaveSnapshot(snapshot, first, error)) {
    std::fprintf(stderr, "take_snapshot: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
