// Shared files and removal: the use counts of shared files in the system's SharedDLLs table, the
// removal of installed files and directories (never a protected directory), and renames and
// deletes deferred to the next restart when a file is in use.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Counts a shared file up after its copy (a file that existed before starts at 1); then the
// file's registration (REGISTER, SERVICE, REGASM, fonts). False: 5518 was not ignored or the
// registration failed.
bool CountSharedFileUp(SetupRun& run, const std::string& path, bool bExistedBefore,
                       uint32_t dwCopyFlags, const std::string& name);
// Counts it down in an uninstall; at 0 asks 5535 and unregisters and removes it on Yes.
bool CountSharedFileDown(SetupRun& run, const std::string& path, uint32_t dwCopyFlags,
                         const std::string& name);

// A shared file's count before this run changed it, as the run's journal notes it: the decimal
// count; without a value "0" when the file is not there (its first user starts the count) and "-"
// when it is (the installation that put it there counts as one).
std::string SharedFileCountBeforeRun(SetupRun& run, const std::string& path, bool bFileThere);
// Notes it, the first time this run comes to the file: before the copy, so that the note says
// whether the file was there before the run.
void NoteSharedFileBeforeRun(SetupRun& run, const std::string& path, bool bFileThere);
// Puts a noted count back: "-" deletes the value, a number is written as the count (a value the
// table has keeps its type).
uint32_t RestoreSharedFileCount(SetupRun& run, const std::string& path, const std::string& text);

// A font file by its extension (".ttf", ".otf", ".fon").
bool IsFontFile(const std::string& path);
// Adds a font file to the system's fonts (bAdd) or removes it, through the fonts handler; a
// build without one traces the request and counts it as done.
bool UpdateFontRegistration(SetupRun& run, const std::string& path, const std::string& name,
                            bool bAdd);

// Deletes a file (a path ending in "." stands for every file of its directory), deferring the
// delete of a file in use; true when done or deferred.
bool RemoveFile(SetupRun& run, const std::string& path);
// RemoveFile, then a help file's index files, then the parent directories that became empty
// (the index files first, so that a directory they alone kept goes as well).
bool RemoveInstalledFile(SetupRun& run, const std::string& path);
// Removes an empty directory that is not protected; false without a message when it cannot.
bool RemoveInstalledDirectory(SetupRun& run, const std::string& path);
// Removes the files below a directory and its emptied subdirectories.
bool RemoveDirectoryTree(SetupRun& run, const std::string& path);
// Renames a file, deferring the rename when the target is in use; true when done or deferred.
bool RenameInstalledFile(SetupRun& run, const std::string& from, const std::string& to);
// Registers a rename (or a delete, target empty) for the next restart; success sets the
// run's configuration-changed flag.
bool DeferFileOperation(SetupRun& run, const std::string& source, const std::string& target);

}  // namespace tarvium
