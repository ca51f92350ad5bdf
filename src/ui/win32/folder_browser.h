// Browse on the directory pages: the system's folder browser, opened on the directory the field
// names (BrowseStartDirectory) and giving back the folder chosen.
#pragma once
#include <string>

#include "platform/file_system.h"
#include "ui/win32/windows_ui_api.h"

namespace tarvium::ui::win32 {

// Replaces the ANSI directory with the folder chosen; false when the person cancelled or the
// folder has no path in the file system.
bool ChooseFolder(HWND hOwner, const std::wstring& title, platform::FileSystem& files,
                  std::string& ansiDirectory);

}  // namespace tarvium::ui::win32
