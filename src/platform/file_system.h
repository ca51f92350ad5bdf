// Files and directories as the engine sees them: Windows paths (8-bit ANSI text, drive letters or
// UNC, either slash, relative to the current directory), Win32 error codes, FILETIME values and
// opaque handles. The operations carry the names and the rules of the Windows functions the
// engine calls, so that engine code reads like the Windows code it replaces; a Win32 backend will
// call those functions. The emulated machine implements it over a directory of drives.
//
// Every operation returns ERROR_SUCCESS or the Win32 error Windows gives. An implementation that
// only reads (HostFileSystem) overrides ReadWholeFile alone; the other operations then answer
// ERROR_NOT_SUPPORTED.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_error.h"

namespace platform {

inline constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x0001;
inline constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x0002;
inline constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x0004;
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x0010;
inline constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x0020;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x0080;  // a file with no other attribute
inline constexpr uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x0100;
// A symbolic link or junction: reported by GetFileAttributes and GetFileAttributesEx, never set.
// Code that must not be led elsewhere (archive extraction) looks for it on each directory of a
// path.
inline constexpr uint32_t FILE_ATTRIBUTE_REPARSE_POINT = 0x0400;
inline constexpr uint32_t FILE_ATTRIBUTE_OFFLINE = 0x1000;
inline constexpr uint32_t FILE_ATTRIBUTE_NOT_CONTENT_INDEXED = 0x2000;
inline constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// CreateFile: desired access and creation disposition.
inline constexpr uint32_t GENERIC_READ = 0x80000000;
inline constexpr uint32_t GENERIC_WRITE = 0x40000000;
inline constexpr uint32_t CREATE_NEW = 1;
inline constexpr uint32_t CREATE_ALWAYS = 2;
inline constexpr uint32_t OPEN_EXISTING = 3;
inline constexpr uint32_t OPEN_ALWAYS = 4;
inline constexpr uint32_t TRUNCATE_EXISTING = 5;

// SetFilePointerEx move methods.
inline constexpr uint32_t FILE_BEGIN = 0;
inline constexpr uint32_t FILE_CURRENT = 1;
inline constexpr uint32_t FILE_END = 2;

// MoveFileEx flags.
inline constexpr uint32_t MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr uint32_t MOVEFILE_COPY_ALLOWED = 0x2;
inline constexpr uint32_t MOVEFILE_DELAY_UNTIL_REBOOT = 0x4;

// Handles of open files and of enumerations; Invalid is never a handle that was handed out.
enum class FileHandle : uint32_t { Invalid = 0 };
enum class FindHandle : uint32_t { Invalid = 0 };

// FILETIME values: 100 ns since 1601-01-01 UTC. When setting, 0 leaves that time unchanged.
struct FileTimes {
  uint64_t ftCreationTime = 0;
  uint64_t ftLastAccessTime = 0;
  uint64_t ftLastWriteTime = 0;
};

// What GetFileAttributesEx tells about a file or directory.
struct FileInfo {
  uint32_t dwFileAttributes = 0;
  FileTimes times;
  uint64_t nFileSize = 0;  // 0 for directories
};

// One entry of an enumeration: its information and its name without the directory.
struct FindData : FileInfo {
  std::string cFileName;
};

struct DiskSpace {
  uint64_t nFreeBytesAvailable = 0;  // free bytes the caller may use
  uint64_t nTotalBytes = 0;
  uint64_t nTotalFreeBytes = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads a whole file. An error opening it is returned as Windows gives it (ERROR_FILE_NOT_FOUND,
  // ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ...); an error or short count while reading it
  // after a successful open is ERROR_READ_FAULT.
  virtual uint32_t ReadWholeFile(const std::string& path, std::string& bytes) = 0;

  // --- Open files -------------------------------------------------------------------------------
  // CreateFile: dwDesiredAccess is GENERIC_READ and/or GENERIC_WRITE; dwAttributes are the
  // FILE_ATTRIBUTE_* of a new (or, with CREATE_ALWAYS, rewritten) file, which gets
  // FILE_ATTRIBUTE_ARCHIVE as well. Writing to a read-only file or drive is ERROR_ACCESS_DENIED,
  // to a file another process runs or locks ERROR_SHARING_VIOLATION; CREATE_NEW on an existing
  // file is ERROR_FILE_EXISTS. Share modes between handles are not emulated.
  virtual uint32_t CreateFile(const std::string& path, uint32_t dwDesiredAccess,
                              uint32_t dwCreationDisposition, uint32_t dwAttributes,
                              FileHandle& hFile) {
    return Unsupported(path, dwDesiredAccess, dwCreationDisposition, dwAttributes, hFile);
  }
  // CreateFile of an existing file for reading (GENERIC_READ, OPEN_EXISTING) that also tells its
  // attributes, times and size as they were when it was opened. The default asks the new handle.
  virtual uint32_t OpenForReading(const std::string& path, FileHandle& hFile, FileInfo& info);
  // nRead is 0 at the end of the file.
  virtual uint32_t ReadFile(FileHandle hFile, void* pBuffer, uint32_t nToRead, uint32_t& nRead) {
    return Unsupported(hFile, pBuffer, nToRead, nRead);
  }
  virtual uint32_t WriteFile(FileHandle hFile, const void* pBuffer, uint32_t nToWrite,
                             uint32_t& nWritten) {
    return Unsupported(hFile, pBuffer, nToWrite, nWritten);
  }
  // Reads at nOffset and leaves the file pointer where it was, as a ReadFile at that position
  // between two moves of the pointer would. The default does exactly that.
  virtual uint32_t ReadFileAt(FileHandle hFile, uint64_t nOffset, void* pBuffer, uint32_t nToRead,
                              uint32_t& nRead);
  // Moves the file pointer (FILE_BEGIN, FILE_CURRENT, FILE_END); a position before the start is
  // ERROR_NEGATIVE_SEEK. pNewPosition may be null.
  virtual uint32_t SetFilePointerEx(FileHandle hFile, int64_t nDistance, uint32_t dwMoveMethod,
                                    uint64_t* pNewPosition) {
    return Unsupported(hFile, nDistance, dwMoveMethod, pNewPosition);
  }
  // Cuts or extends the file at the file pointer.
  virtual uint32_t SetEndOfFile(FileHandle hFile) { return Unsupported(hFile); }
  virtual uint32_t GetFileSizeEx(FileHandle hFile, uint64_t& nSize) {
    return Unsupported(hFile, nSize);
  }
  virtual uint32_t GetFileTime(FileHandle hFile, FileTimes& times) {
    return Unsupported(hFile, times);
  }
  // The attributes, times and size of an open file.
  virtual uint32_t GetFileInformationByHandle(FileHandle hFile, FileInfo& info) {
    return Unsupported(hFile, info);
  }
  // Times set on a handle stay as set while the handle writes, as on Windows.
  virtual uint32_t SetFileTime(FileHandle hFile, const FileTimes& times) {
    return Unsupported(hFile, times);
  }
  virtual uint32_t CloseHandle(FileHandle hFile) { return Unsupported(hFile); }
  // Copies up to nToCopy bytes from hFrom's file pointer to hTo's and moves both pointers, as a
  // ReadFile into a buffer and a WriteFile of what was read would; nCopied is 0 at the end of
  // hFrom. The default does exactly that; a backend may move the bytes without bringing them to
  // the caller.
  virtual uint32_t CopyFileRange(FileHandle hFrom, FileHandle hTo, uint32_t nToCopy,
                                 uint32_t& nCopied);

  // --- Files and directories by path -----------------------------------------------------------
  virtual uint32_t GetFileAttributes(const std::string& path, uint32_t& dwAttributes) {
    return Unsupported(path, dwAttributes);
  }
  // Sets READONLY, HIDDEN, SYSTEM, ARCHIVE, TEMPORARY, OFFLINE and NOT_CONTENT_INDEXED;
  // FILE_ATTRIBUTE_NORMAL alone clears them.
  virtual uint32_t SetFileAttributes(const std::string& path, uint32_t dwAttributes) {
    return Unsupported(path, dwAttributes);
  }
  virtual uint32_t GetFileAttributesEx(const std::string& path, FileInfo& info) {
    return Unsupported(path, info);
  }
  // The three times of a file or directory by its path (0 leaves a time unchanged).
  virtual uint32_t SetFileTimes(const std::string& path, const FileTimes& times) {
    return Unsupported(path, times);
  }
  // A read-only file is ERROR_ACCESS_DENIED, a directory ERROR_ACCESS_DENIED, a file in use
  // ERROR_SHARING_VIOLATION.
  virtual uint32_t DeleteFile(const std::string& path) { return Unsupported(path); }
  // Copies data, attributes (with ARCHIVE) and last-write time; the copy's creation time is now.
  // With bFailIfExists an existing target is ERROR_FILE_EXISTS.
  virtual uint32_t CopyFile(const std::string& existingPath, const std::string& newPath,
                            bool bFailIfExists) {
    return Unsupported(existingPath, newPath, bFailIfExists);
  }
  // Renames or moves a file or directory, also into another directory. An existing target is
  // ERROR_ALREADY_EXISTS unless MOVEFILE_REPLACE_EXISTING is given (a file only); another drive
  // needs MOVEFILE_COPY_ALLOWED (files only), else ERROR_NOT_SAME_DEVICE.
  // MOVEFILE_DELAY_UNTIL_REBOOT records the operation for the next restart instead, where an
  // empty newPath deletes existingPath.
  virtual uint32_t MoveFileEx(const std::string& existingPath, const std::string& newPath,
                              uint32_t dwFlags) {
    return Unsupported(existingPath, newPath, dwFlags);
  }
  // ERROR_ALREADY_EXISTS when the name exists, ERROR_PATH_NOT_FOUND without a parent.
  virtual uint32_t CreateDirectory(const std::string& path) { return Unsupported(path); }
  // Creates the directory and every missing parent; ERROR_ALREADY_EXISTS when it was there.
  virtual uint32_t CreateDirectoryTree(const std::string& path) { return Unsupported(path); }
  // ERROR_DIR_NOT_EMPTY with entries in it, ERROR_DIRECTORY for a file, ERROR_SHARING_VIOLATION
  // for the current directory or one above it.
  virtual uint32_t RemoveDirectory(const std::string& path) { return Unsupported(path); }

  // --- Enumeration ------------------------------------------------------------------------------
  // The pattern's last name may hold '*' and '?'. A directory other than a drive's root also
  // lists "." and "..". Entries come sorted by their upper-case names. No match is
  // ERROR_FILE_NOT_FOUND; FindNextFile past the last entry is ERROR_NO_MORE_FILES.
  virtual uint32_t FindFirstFile(const std::string& pattern, FindHandle& hFind, FindData& data) {
    return Unsupported(pattern, hFind, data);
  }
  virtual uint32_t FindNextFile(FindHandle hFind, FindData& data) {
    return Unsupported(hFind, data);
  }
  virtual uint32_t FindClose(FindHandle hFind) { return Unsupported(hFind); }
  // Whether the directory `path` is empty: an enumeration of "path\*" lists nothing besides "."
  // and ".." (or fails). ERROR_DIRECTORY for a file, the errors of GetEntryKind for a path that
  // names nothing. What removing a directory once it is empty asks, which a backend may answer
  // without listing every entry; the default enumerates up to the first one.
  virtual uint32_t IsDirectoryEmpty(const std::string& path, bool& bEmpty);

  // --- Current directory, full paths, temporary files ------------------------------------------
  // The current directory names the current drive as well ("C:\Work", "\\srv\share\x").
  virtual uint32_t GetCurrentDirectory(std::string& path) { return Unsupported(path); }
  // "D:" alone changes to the directory last used on drive D:.
  virtual uint32_t SetCurrentDirectory(const std::string& path) { return Unsupported(path); }
  virtual uint32_t GetFullPathName(const std::string& path, std::string& fullPath) {
    return Unsupported(path, fullPath);
  }
  // The temporary directory, with a trailing backslash.
  virtual uint32_t GetTempPath(std::string& path) { return Unsupported(path); }
  // GetTempFileName: dir\ + up to three characters of prefix + the number in hex + ".tmp".
  // With nUnique 0 the first free number is taken and the file is created empty; otherwise the
  // name is only formed from nUnique.
  virtual uint32_t GetTempFileName(const std::string& dir, const std::string& prefix,
                                   uint32_t nUnique, std::string& path) {
    return Unsupported(dir, prefix, nUnique, path);
  }
  // Short (8.3) and long forms of an existing path. A backend without short names gives the
  // path as it was given for both.
  virtual uint32_t GetShortPathName(const std::string& path, std::string& shortPath) {
    return Unsupported(path, shortPath);
  }
  virtual uint32_t GetLongPathName(const std::string& path, std::string& longPath) {
    return Unsupported(path, longPath);
  }
  // Free space of the drive or share that holds the existing directory `path`.
  virtual uint32_t GetDiskFreeSpaceEx(const std::string& path, DiskSpace& space) {
    return Unsupported(path, space);
  }

  // --- Version resources -----------------------------------------------------------------------
  // GetFileVersionInfo: the raw version resource (VS_VERSIONINFO) of an executable file, for the
  // script layer to read as VerQueryValue would. A file that is no PE file is
  // ERROR_BAD_EXE_FORMAT, one without resources ERROR_RESOURCE_DATA_NOT_FOUND, one whose
  // resources hold no version ERROR_RESOURCE_TYPE_NOT_FOUND; errors opening or reading the file
  // are those of ReadWholeFile. The default reads the file with ReadWholeFile and finds the
  // resource in its image (pe_resources.h); a Win32 backend calls the system's function.
  virtual uint32_t GetFileVersionInfo(const std::string& path, std::vector<uint8_t>& block);

  // Whether the path names an existing entry, and whether that is a directory: what FileExists
  // and DirectoryExists need, which a backend may answer without reading all attributes. The
  // default asks GetFileAttributes.
  virtual uint32_t GetEntryKind(const std::string& path, bool& bDirectory);
  // The size and the last-access and last-write times, with FILE_ATTRIBUTE_DIRECTORY as the only
  // attribute and no creation time: what comparing a file with another needs, which a backend
  // may answer without reading the attributes it keeps elsewhere. The default asks
  // GetFileAttributesEx.
  virtual uint32_t GetFileSizeAndTimes(const std::string& path, FileInfo& info);

  // Makes the attributes and creation times this process changed survive its end, even a kill:
  // a backend that gathers them in memory for a while writes them now. ERROR_SUCCESS when they
  // are written (a backend that writes each at once has nothing to do).
  virtual uint32_t FlushMetadata() { return ERROR_SUCCESS; }

  // --- Conveniences over the operations above ---------------------------------------------------
  bool FileExists(const std::string& path);       // an existing file (not a directory)
  bool DirectoryExists(const std::string& path);  // an existing directory
  uint32_t GetFileSize(const std::string& path, uint64_t& nSize);
  // Writes a whole file: creates it, or rewrites an existing one and keeps its attributes.
  uint32_t WriteWholeFile(const std::string& path, const std::string& bytes);

 protected:
  // OpenForReading's last step: the new handle's information, or the handle closed on failure.
  uint32_t AskNewHandle(FileHandle& hFile, FileInfo& info);

 private:
  template <class... Args>
  static uint32_t Unsupported(const Args&...) {
    return ERROR_NOT_SUPPORTED;
  }
};

}  // namespace platform
