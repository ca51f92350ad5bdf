// The removals the file and directory commands share: a file through the installation engine's
// removal (which defers a file in use to the next restart) and a directory chain removed from the
// innermost directory outwards for as long as each removal succeeds, never a machine folder.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// Deletes one file; true when done or deferred.
bool DeleteScriptFile(SetupRun& run, const std::string& path);
// Removes the directory and then its parents while each is empty and no protected folder.
void RemoveDirectoryChain(SetupRun& run, const std::string& directory);
// Removes one empty directory; false for a protected folder or a failure.
bool RemoveScriptDirectory(SetupRun& run, const std::string& directory);

}  // namespace tarvium
