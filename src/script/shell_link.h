// The shell-link (.lnk) reader: the fixed header, the item list (skipped), the link information
// with the target's local or network path, and the string data (description, relative path,
// working directory, arguments, icon location), in the published binary layout. Everything is read
// through the bounds-checked ByteReader, so a damaged or hostile file gives a clean failure. Text
// comes back in the engine's ANSI code page; Unicode forms are preferred where a file has both.
// The reader is a pure function of the bytes; the writer of the same format will sit beside it.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvium {

// LinkFlags bits of the header.
inline constexpr uint32_t kLinkHasTargetIdList = 0x01;
inline constexpr uint32_t kLinkHasLinkInfo = 0x02;
inline constexpr uint32_t kLinkHasName = 0x04;
inline constexpr uint32_t kLinkHasRelativePath = 0x08;
inline constexpr uint32_t kLinkHasWorkingDir = 0x10;
inline constexpr uint32_t kLinkHasArguments = 0x20;
inline constexpr uint32_t kLinkHasIconLocation = 0x40;
inline constexpr uint32_t kLinkIsUnicode = 0x80;
inline constexpr uint32_t kLinkForceNoLinkInfo = 0x100;

inline constexpr size_t kShellLinkHeaderSize = 0x4C;

struct ShellLink {
  uint32_t dwLinkFlags = 0;
  uint32_t dwFileAttributes = 0;
  uint32_t dwShowCommand = 0;  // as stored; ShowCommandOfLink maps it
  int32_t iIconIndex = 0;
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

}  // namespace tarvium
