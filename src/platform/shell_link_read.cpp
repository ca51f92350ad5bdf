// Reads a shell link structure by structure, in file order: header, item list, link information,
// string data. Each structure is read from a slice of its declared size, so an offset inside one
// can never reach into another or past the end; the extra data blocks after the strings are not
// needed to start a link and are not read.
#include "platform/shell_link.h"

#include <algorithm>
#include <array>

#include "platform/byte_reader.h"
#include "platform/code_page.h"
#include "platform/processes.h"

namespace platform {
namespace {

constexpr size_t kLinkInfoMinHeader = 0x1C;
constexpr size_t kLinkInfoUnicodeHeader = 0x24;  // headers this long add the Unicode offsets
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr size_t kNetworkLinkMinSize = 0x14;

std::string CutAtZero(std::string text) {
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

bool ReadHeader(ByteReader& reader, ShellLink& link) {
  uint32_t dwHeaderSize = 0;
  std::span<const uint8_t> clsid;
  if (!reader.ReadU32(dwHeaderSize) || dwHeaderSize != kShellLinkHeaderSize ||
      !reader.ReadBytes(kShellLinkClsid.size(), clsid) ||
      !std::equal(clsid.begin(), clsid.end(), kShellLinkClsid.begin()))
    return false;
  uint32_t dwIconIndex = 0;
  if (!reader.ReadU32(link.dwLinkFlags) || !reader.ReadU32(link.dwFileAttributes) ||
      !reader.ReadU64(link.ftCreation) || !reader.ReadU64(link.ftAccess) ||
      !reader.ReadU64(link.ftWrite) || !reader.ReadU32(link.nFileSize) ||
      !reader.ReadU32(dwIconIndex) || !reader.ReadU32(link.dwShowCommand) ||
      !reader.ReadU16(link.wHotKey) || !reader.Seek(kShellLinkHeaderSize))
    return false;
  link.iIconIndex = static_cast<int32_t>(dwIconIndex);
  return true;
}

bool SkipTargetIdList(ByteReader& reader) {
  uint16_t nSize = 0;
  return reader.ReadU16(nSize) && reader.Skip(nSize);
}

// The rest of a structure from an offset, or none when the offset lies outside it.
std::optional<ByteReader> From(const ByteReader& structure, uint32_t dwOffset) {
  if (dwOffset > structure.Size()) return std::nullopt;
  return structure.Slice(dwOffset, structure.Size() - dwOffset);
}

// A structure that starts with its own 32-bit size: a slice of that size at the reader's position
// (read on after its size field; offsets into it count from its start), and the reader moved
// past it.
std::optional<ByteReader> TakeSizedStructure(ByteReader& reader, size_t nMinSize) {
  ByteReader peek = reader;
  uint32_t dwSize = 0;
  if (!peek.ReadU32(dwSize) || dwSize < nMinSize) return std::nullopt;
  std::optional<ByteReader> structure = reader.Slice(reader.Position(), dwSize);
  if (!structure || !reader.Skip(dwSize)) return std::nullopt;
  structure->Skip(4);
  return structure;
}

// A zero-terminated string at an offset of a structure; offset 0 means none.
bool ReadAnsiAt(const ByteReader& structure, uint32_t dwOffset, std::string& text) {
  text.clear();
  if (dwOffset == 0) return true;
  std::optional<ByteReader> at = From(structure, dwOffset);
  return at && at->ReadAnsiz(text);
}

// The Unicode form of a string at an offset; offset 0 keeps the ANSI form read before.
bool ReadUnicodeAt(const ByteReader& structure, uint32_t dwOffset, std::string& text) {
  if (dwOffset == 0) return true;
  std::optional<ByteReader> at = From(structure, dwOffset);
  std::u16string unicode;
  if (!at || !at->ReadUtf16z(unicode)) return false;
  text = Utf16ToAnsi(unicode);
  return true;
}

bool ReadNetworkLink(const ByteReader& info, uint32_t dwOffset, ShellLink& link) {
  std::optional<ByteReader> rest = From(info, dwOffset);
  if (!rest) return false;
  std::optional<ByteReader> network = TakeSizedStructure(*rest, kNetworkLinkMinSize);
  uint32_t dwFlags = 0, dwNetNameOffset = 0, dwDeviceNameOffset = 0, dwProvider = 0;
  if (!network || !network->ReadU32(dwFlags) || !network->ReadU32(dwNetNameOffset) ||
      !network->ReadU32(dwDeviceNameOffset) || !network->ReadU32(dwProvider) ||
      !ReadAnsiAt(*network, dwNetNameOffset, link.szNetName))
    return false;
  if (dwNetNameOffset <= kNetworkLinkMinSize) return true;  // no Unicode offsets follow
  uint32_t dwNetNameOffsetUnicode = 0;
  return network->ReadU32(dwNetNameOffsetUnicode) &&
         ReadUnicodeAt(*network, dwNetNameOffsetUnicode, link.szNetName);
}

bool ReadLinkInfoPaths(const ByteReader& header, ShellLink& link) {
  ByteReader info = header;
  uint32_t dwHeaderSize = 0, dwFlags = 0, dwVolumeIdOffset = 0, dwLocalBasePathOffset = 0;
  uint32_t dwNetworkOffset = 0, dwSuffixOffset = 0;
  if (!info.ReadU32(dwHeaderSize) || dwHeaderSize < kLinkInfoMinHeader ||
      dwHeaderSize > info.Size() || !info.ReadU32(dwFlags) || !info.ReadU32(dwVolumeIdOffset) ||
      !info.ReadU32(dwLocalBasePathOffset) || !info.ReadU32(dwNetworkOffset) ||
      !info.ReadU32(dwSuffixOffset) || !ReadAnsiAt(info, dwSuffixOffset, link.szCommonPathSuffix))
    return false;
  uint32_t dwLocalBasePathOffsetUnicode = 0, dwSuffixOffsetUnicode = 0;
  if (dwHeaderSize >= kLinkInfoUnicodeHeader &&
      (!info.ReadU32(dwLocalBasePathOffsetUnicode) || !info.ReadU32(dwSuffixOffsetUnicode) ||
       !ReadUnicodeAt(info, dwSuffixOffsetUnicode, link.szCommonPathSuffix)))
    return false;
  if ((dwFlags & kVolumeIdAndLocalBasePath) &&
      (!ReadAnsiAt(info, dwLocalBasePathOffset, link.szLocalBasePath) ||
       !ReadUnicodeAt(info, dwLocalBasePathOffsetUnicode, link.szLocalBasePath)))
    return false;
  return !(dwFlags & kCommonNetworkRelativeLink) || ReadNetworkLink(info, dwNetworkOffset, link);
}

// The link information; with ForceNoLinkInfo it is there but to be ignored, so only skipped.
bool ReadLinkInfo(ByteReader& reader, ShellLink& link) {
  const bool bIgnored = (link.dwLinkFlags & kLinkForceNoLinkInfo) != 0;
  std::optional<ByteReader> info = TakeSizedStructure(reader, bIgnored ? 4 : kLinkInfoMinHeader);
  if (!info) return false;
  return bIgnored || ReadLinkInfoPaths(*info, link);
}

// One StringData entry: a count of characters, then the characters (UTF-16 or ANSI).
bool ReadCountedString(ByteReader& reader, bool bUnicode, std::string& text) {
  uint16_t nCount = 0;
  if (!reader.ReadU16(nCount)) return false;
  if (bUnicode) {
    std::u16string unicode;
    if (!reader.ReadUtf16(nCount, unicode)) return false;
    text = Utf16ToAnsi(unicode);
    return true;
  }
  std::span<const uint8_t> bytes;
  if (!reader.ReadBytes(nCount, bytes)) return false;
  text = CutAtZero(std::string(bytes.begin(), bytes.end()));
  return true;
}

bool ReadStringData(ByteReader& reader, ShellLink& link) {
  const bool bUnicode = (link.dwLinkFlags & kLinkIsUnicode) != 0;
  const std::pair<uint32_t, std::string*> entries[] = {
      {kLinkHasName, &link.szName},
      {kLinkHasRelativePath, &link.szRelativePath},
      {kLinkHasWorkingDir, &link.szWorkingDir},
      {kLinkHasArguments, &link.szArguments},
      {kLinkHasIconLocation, &link.szIconLocation},
  };
  for (const auto& [dwFlag, pText] : entries)
    if ((link.dwLinkFlags & dwFlag) && !ReadCountedString(reader, bUnicode, *pText)) return false;
  return true;
}

std::string JoinPath(std::string_view base, std::string_view suffix) {
  if (suffix.empty()) return std::string(base);
  if (base.empty() || base.back() == '\\') return std::string(base) + std::string(suffix);
  return std::string(base) + "\\" + std::string(suffix);
}

}  // namespace

bool ReadShellLink(std::span<const uint8_t> bytes, ShellLink& link) {
  link = ShellLink{};
  ByteReader reader(bytes);
  if (!ReadHeader(reader, link)) return false;
  if ((link.dwLinkFlags & kLinkHasTargetIdList) && !SkipTargetIdList(reader)) return false;
  if ((link.dwLinkFlags & kLinkHasLinkInfo) && !ReadLinkInfo(reader, link)) return false;
  return ReadStringData(reader, link);
}

std::string ShellLinkTarget(const ShellLink& link, std::string_view linkPath) {
  if (!link.szLocalBasePath.empty()) return link.szLocalBasePath + link.szCommonPathSuffix;
  if (!link.szNetName.empty()) return JoinPath(link.szNetName, link.szCommonPathSuffix);
  if (link.szRelativePath.empty()) return {};
  const size_t nSeparator = linkPath.find_last_of("\\/");
  const std::string_view folder =
      nSeparator == std::string_view::npos ? std::string_view() : linkPath.substr(0, nSeparator);
  return JoinPath(folder, link.szRelativePath);
}

uint32_t ShowCommandOfLink(const ShellLink& link) {
  switch (link.dwShowCommand) {
    case SW_SHOWMAXIMIZED:
    case SW_SHOWMINNOACTIVE:
      return link.dwShowCommand;
    default:
      return SW_SHOWNORMAL;
  }
}

}  // namespace platform
