// The predefined variables that name the machine's folders (Windows, System, ProgramFilesDir,
// Desktop, ...), as opposed to the product's own directories (App, Data, Src, ...): the folders
// a script may never remove, and the prefixes CollapseEnv turns back into references.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

struct FolderVariable {
  std::string_view name;
  std::string value;  // without a trailing backslash
};

// The folder variables that have a value, longest value first.
std::vector<FolderVariable> FolderVariables(SetupRun& run);

// A folder variable's directory or the temporary directory (any case, trailing backslash or not).
bool IsProtectedDirectory(SetupRun& run, std::string_view path);

// Replaces a leading folder path of the text by its reference ("C:\Windows\x" -> "%Windows%\x").
std::string CollapseFolderPrefix(SetupRun& run, const std::string& text);

}  // namespace tarvium
