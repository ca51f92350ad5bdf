// The parts of a Windows path that the copy and removal rules build names from: the directory
// that holds a file, its name, its name without the extension, and the extension. Pure text
// functions; a path may use '\' or '/' and start with a drive ("C:x" has the directory "C:").
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

// The directory part without its trailing separator ("C:\a\b.txt" -> "C:\a"); "" when the path
// names no directory.
std::string ParentDirectoryOf(std::string_view path);
// The last name of the path ("C:\a\b.txt" -> "b.txt").
std::string FileNameOf(std::string_view path);
// The path without the extension of its last name ("C:\a\b.txt" -> "C:\a\b").
std::string PathWithoutExtension(std::string_view path);
// The extension of the last name with its dot (".txt"), "" when it has none.
std::string ExtensionOf(std::string_view path);

}  // namespace tarvium
