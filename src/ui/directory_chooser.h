// Browse: the directory chooser of the directory fields (the destination, the data directory, a
// missing file's directory, a prompt's value). It starts from the field's text: when that is not
// an existing directory it is cut at its last backslash, and a bare drive ("D:") gets its
// backslash. A chosen directory replaces the text.
#pragma once
#include <string>

#include "platform/file_system.h"
#include "ui/text_session.h"

namespace tarvium::ui {

// Lets the person choose a directory of the machine's file system, starting from directory
// (ANSI, a Windows path, in and out). True when one was chosen; false when the person cancelled,
// and directory is unchanged.
bool ChooseDirectory(TextSession& session, platform::FileSystem& files, std::string& directory);

}  // namespace tarvium::ui
