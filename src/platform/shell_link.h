// The shell-link (.lnk) file format, read and written in one place: the fixed header (flags, file
// attributes, times, icon index, show command, hot key), the item list of the target, the link
// information with the target's local or network path, the string data (description, relative
// path, working directory, arguments, icon location) and the extra data blocks the engine needs.
// Both directions are pure functions of their input, so the launcher, the shortcut handlers and
// the machine's Program Manager share one description of the layout. Reading goes through the
// bounds-checked ByteReader, so a damaged or hostile file gives a clean failure. Text is in the
// engine's ANSI code page; the writer stores strings in Unicode, as the shell's link object does.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// LinkFlags bits of the header (the shell's link data flags).
inline constexpr uint32_t kLinkHasTargetIdList = 0x01;
inline constexpr uint32_t kLinkHasLinkInfo = 0x02;
inline constexpr uint32_t kLinkHasName = 0x04;
inline constexpr uint32_t kLinkHasRelativePath = 0x08;
inline constexpr uint32_t kLinkHasWorkingDir = 0x10;
inline constexpr uint32_t kLinkHasArguments = 0x20;
inline constexpr uint32_t kLinkHasIconLocation = 0x40;
inline constexpr uint32_t kLinkIsUnicode = 0x80;
inline constexpr uint32_t kLinkForceNoLinkInfo = 0x100;
inline constexpr uint32_t kLinkHasExpString = 0x200;
inline constexpr uint32_t kLinkHasExpIcon = 0x4000;

inline constexpr size_t kShellLinkHeaderSize = 0x4C;
// The link object's class, 00021401-0000-0000-C000-000000000046, as stored.
inline constexpr std::array<uint8_t, 16> kShellLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

struct ShellLink {
  uint32_t dwLinkFlags = 0;
  uint32_t dwFileAttributes = 0;
  uint64_t ftCreation = 0, ftAccess = 0, ftWrite = 0;  // FILETIME values of the target
  uint32_t nFileSize = 0;
  uint32_t dwShowCommand = 0;  // as stored; ShowCommandOfLink maps it
  int32_t iIconIndex = 0;
  uint16_t wHotKey = 0;
  // Link information: the target on a local volume (base path and suffix) or on a share.
  std::string szLocalBasePath;
  std::string szNetName;  // "\\server\share"
  std::string szCommonPathSuffix;
  // String data.
  std::string szName;  // the description
  std::string szRelativePath;
  std::string szWorkingDir;
  std::string szArguments;
  std::string szIconLocation;
};

// Reads a shell link; false when the bytes are no complete shell link (wrong header size or class
// identifier, or a structure that runs past the end). Strings end at their first zero character,
// because some writers count the terminator in the length.
bool ReadShellLink(std::span<const uint8_t> bytes, ShellLink& link);

// The target's path: the local base path with the common suffix, else the share's name with the
// suffix, else the relative path taken against the folder of the link file (a Windows path).
// Empty when the link names no file target (a shell namespace item only).
std::string ShellLinkTarget(const ShellLink& link, std::string_view linkPath);

// The window state to start the target with. A link stores SW_SHOWNORMAL, SW_SHOWMAXIMIZED or
// SW_SHOWMINNOACTIVE; every other value, and none, counts as SW_SHOWNORMAL, as the shell does
// when it starts a link whose value it does not know.
uint32_t ShowCommandOfLink(const ShellLink& link);

// What the shell's link object is told before it saves a link: the setters of the link object,
// the link data flags OR-ed in afterwards, and what is known of the target file.
struct ShellLinkProperties {
  std::string path;  // the target: "C:\dir\file", "\\server\share\file", or a bare name
  std::string arguments;
  std::string workingDir;
  std::string description;
  std::string iconFile;
  int32_t iIconIndex = 0;
  int32_t iShowCmd = -1;  // -1: not set (the link starts its target normally)
  uint16_t wHotKey = 0;
  uint32_t dwExtraFlags = 0;  // link data flags OR-ed into those the link has
  std::string linkPath;       // where the link is saved (for a relative path)
  // The target file as the shell finds it when the link is saved; zero when it is missing.
  uint32_t dwFileAttributes = 0;
  uint64_t nFileSize = 0;
  uint64_t ftCreation = 0, ftAccess = 0, ftWrite = 0;
};

// The bytes of the link the shell saves for these properties. The flags that announce a structure
// follow what is there (a string flag asked for without its text is dropped; a relative path asked
// for is computed from linkPath); the others of dwExtraFlags are stored as given.
std::vector<uint8_t> WriteShellLink(const ShellLinkProperties& properties);

// The path of `target` relative to the folder of `linkPath` (".\", "..\"), as the shell stores it;
// the target itself when the two lie on different drives or shares.
std::string RelativeLinkPath(std::string_view linkPath, std::string_view target);

class FileSystem;

// A link file of the machine: ERROR_SUCCESS, the error of reading it, or ERROR_BAD_FORMAT when it
// is no shell link.
uint32_t ReadShellLinkFile(FileSystem& files, const std::string& path, ShellLink& link);

// Saves a link for the properties at properties.linkPath (created or rewritten), with the
// attributes, size and times of the target when it exists; the error of writing the file.
uint32_t SaveShellLink(FileSystem& files, const ShellLinkProperties& properties);

}  // namespace platform
