// Where Browse starts: from the directory the entry field names. A field that does not name an
// existing directory (a new directory the setup will create, a typing error) is cut at its last
// backslash, so the chooser opens in the directory above; a bare drive ("D:") gets its backslash,
// because "D:" alone would mean the drive's current directory.
#pragma once
#include <string>

#include "platform/file_system.h"

namespace tarvium::ui {

std::string BrowseStartDirectory(const std::string& fieldText, platform::FileSystem& files);

}  // namespace tarvium::ui
