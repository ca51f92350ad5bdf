#include "ui/create_user_interface.h"

#include "ui/headless_ui.h"
#include "ui/win32/dialog_ui.h"
#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui {
namespace {

// A run whose standard error goes to a file or a pipe is run by a script or a build job that
// reads its lines: as a run at a terminal without a text screen on Linux, it is answered without
// asking. So is a run in a window station nobody sees (a service's).
bool HasPersonAtDesktop() {
  DWORD nType = FILE_TYPE_UNKNOWN;
  if (const HANDLE hError = GetStdHandle(STD_ERROR_HANDLE); hError && hError != INVALID_HANDLE_VALUE)
    nType = GetFileType(hError);
  if (nType == FILE_TYPE_DISK || nType == FILE_TYPE_PIPE) return false;
  USEROBJECTFLAGS flags{};
  DWORD nNeeded = 0;
  if (!GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                 &nNeeded))
    return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

// The Windows dialogs for a person at the desktop; the headless answers otherwise.
std::unique_ptr<UserInterface> CreateUserInterface(platform::Machine& machine) {
  if (!HasPersonAtDesktop())
    return std::make_unique<HeadlessUserInterface>(machine.Output(), &machine.Time());
  return std::make_unique<win32::DialogUserInterface>(machine.Output(), machine.Files(),
                                                     &machine.Time());
}

}  // namespace tarvium::ui
