// Writes a shell link in file order: header, item list, link information, string data, extra data.
// The item list and the link information are built from the target path alone (a drive path gives
// both, a share only the link information), and the flags say exactly which structures follow, so
// every reader of the published layout, ours included, finds what was set. Strings are stored in
// Unicode and the link information in ANSI, as the shell's link object saves a link.
#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/byte_writer.h"
#include "platform/code_page.h"
#include "platform/shell_link.h"

namespace platform {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr uint32_t kValidNetType = 0x2;
constexpr uint32_t kNetworkProviderLanman = 0x00020000;
constexpr uint32_t kEnvironmentBlockSignature = 0xA0000001;
constexpr uint32_t kIconEnvironmentBlockSignature = 0xA0000007;
constexpr size_t kEnvironmentBlockSize = 0x314;
constexpr size_t kMaxPath = 260;

// My Computer, 20D04FE0-3AEA-1069-A2D8-08002B30309D, as a root item stores it.
constexpr uint8_t kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                     0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

std::u16string ToUtf16(std::string_view ansi) {
  std::u16string text;
  for (char c : ansi) text += AnsiCharToUnicode(static_cast<unsigned char>(c));
  return text;
}

bool IsDrivePath(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}
bool IsUncPath(std::string_view path) {
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const size_t nSep = std::min(path.find('\\'), path.size());
    if (nSep > 0) parts.push_back(path.substr(0, nSep));
    path.remove_prefix(std::min(path.size(), nSep + 1));
  }
  return parts;
}

// FILETIME (UTC) as the DOS date and time a file entry item holds: date in the low word.
uint32_t DosDateTime(uint64_t ft) {
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr int64_t kDaysFrom1601To1970 = 134774;
  if (ft == 0) return 0;
  const int64_t nSeconds = static_cast<int64_t>(ft / kTicksPerSecond);
  int64_t nDays = nSeconds / 86400 - kDaysFrom1601To1970;
  const int64_t nTime = nSeconds % 86400;
  // Civil date from days since 1970-01-01.
  nDays += 719468;
  const int64_t era = nDays / 146097;
  const int64_t doe = nDays - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  if (year < 1980 || year > 2107) return 0;
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const uint32_t time = static_cast<uint32_t>(((nTime / 3600) << 11) | (((nTime / 60) % 60) << 5) |
                                              ((nTime % 60) / 2));
  return date | (time << 16);
}

// One item: its size, then the bytes.
void PutItem(Bytes& out, const Bytes& item) {
  PutU16(out, static_cast<uint32_t>(item.size() + 2));
  out.insert(out.end(), item.begin(), item.end());
}

Bytes RootItem() {
  Bytes item = {0x1F, 0x50};
  item.insert(item.end(), std::begin(kMyComputer), std::end(kMyComputer));
  return item;
}

Bytes VolumeItem(std::string_view drive) {
  Bytes item = {0x2F};
  PutAnsiz(item, std::string(drive.substr(0, 2)) + "\\");
  item.resize(0x17, 0);
  return item;
}

// A file entry without extension blocks: type, size, time, attributes, the ANSI name padded to an
// even size, and a zero offset that says no extension block follows.
Bytes FileEntryItem(std::string_view name, bool bDirectory, const ShellLinkProperties& target) {
  Bytes item = {static_cast<uint8_t>(bDirectory ? 0x31 : 0x32), 0};
  PutU32(item, bDirectory ? 0 : static_cast<uint32_t>(target.nFileSize));
  PutU32(item, bDirectory ? 0 : DosDateTime(target.ftWrite));
  PutU16(item, bDirectory ? kAttributeDirectory : target.dwFileAttributes & 0xFFFF);
  PutAnsiz(item, name);
  if (item.size() % 2) item.push_back(0);
  PutU16(item, 0);
  return item;
}

void PutTargetIdList(Bytes& out, const ShellLinkProperties& p) {
  Bytes list;
  if (IsDrivePath(p.path)) {
    PutItem(list, RootItem());
    PutItem(list, VolumeItem(p.path));
    const std::vector<std::string_view> parts = SplitPath(std::string_view(p.path).substr(2));
    for (size_t i = 0; i < parts.size(); ++i) {
      const bool bLast = i + 1 == parts.size();
      PutItem(list,
              FileEntryItem(parts[i], !bLast || (p.dwFileAttributes & kAttributeDirectory), p));
    }
  }
  PutU16(list, 0);
  PutU16(out, static_cast<uint32_t>(list.size()));
  out.insert(out.end(), list.begin(), list.end());
}

// "\\server\share" and the rest of a UNC path.
std::pair<std::string_view, std::string_view> SplitShare(std::string_view path) {
  const size_t nServerEnd = path.find('\\', 2);
  const size_t nShareEnd = nServerEnd == std::string_view::npos ? std::string_view::npos
                                                                : path.find('\\', nServerEnd + 1);
  if (nShareEnd == std::string_view::npos) return {path, {}};
  return {path.substr(0, nShareEnd), path.substr(nShareEnd + 1)};
}

Bytes NetworkLink(std::string_view netName) {
  Bytes network;
  PutU32(network, 0);  // size, set below
  for (uint32_t value : {kValidNetType, 0x14u, 0u, kNetworkProviderLanman}) PutU32(network, value);
  PutAnsiz(network, netName);
  SetU32(network, 0, network.size());
  return network;
}

Bytes VolumeId() {
  Bytes volume;
  for (uint32_t value : {0x11u, kDriveFixed, 0u, 0x10u}) PutU32(volume, value);
  volume.push_back(0);  // empty label
  return volume;
}

// Link information with the ANSI header: a volume and local path, or a share and the suffix.
void PutLinkInfo(Bytes& out, std::string_view target) {
  constexpr uint32_t kHeaderSize = 0x1C;
  const bool bNetwork = IsUncPath(target);
  Bytes body;
  uint32_t dwVolume = 0, dwLocal = 0, dwNetwork = 0;
  std::string_view suffix;
  if (bNetwork) {
    const auto [share, rest] = SplitShare(target);
    dwNetwork = kHeaderSize;
    const Bytes network = NetworkLink(share);
    body.insert(body.end(), network.begin(), network.end());
    suffix = rest;
  } else {
    dwVolume = kHeaderSize;
    const Bytes volume = VolumeId();
    body.insert(body.end(), volume.begin(), volume.end());
    dwLocal = kHeaderSize + static_cast<uint32_t>(body.size());
    PutAnsiz(body, target);
  }
  const uint32_t dwSuffix = kHeaderSize + static_cast<uint32_t>(body.size());
  PutAnsiz(body, suffix);
  const uint32_t dwFlags = bNetwork ? kCommonNetworkRelativeLink : kVolumeIdAndLocalBasePath;
  PutU32(out, kHeaderSize + static_cast<uint32_t>(body.size()));
  for (uint32_t value : {kHeaderSize, dwFlags, dwVolume, dwLocal, dwNetwork, dwSuffix})
    PutU32(out, value);
  out.insert(out.end(), body.begin(), body.end());
}

void PutCountedString(Bytes& out, std::string_view text) {
  const std::u16string unicode = ToUtf16(text.substr(0, 0xFFFF));
  PutU16(out, static_cast<uint32_t>(unicode.size()));
  for (char16_t c : unicode) PutU16(out, c);
}

// An environment block: the path in ANSI and in Unicode, each in a fixed field of MAX_PATH.
void PutEnvironmentBlock(Bytes& out, uint32_t dwSignature, std::string_view path) {
  const size_t nStart = out.size();
  PutU32(out, kEnvironmentBlockSize);
  PutU32(out, dwSignature);
  const std::string_view cut = path.substr(0, kMaxPath - 1);
  PutAnsiz(out, cut);
  out.resize(nStart + 8 + kMaxPath, 0);
  for (char16_t c : ToUtf16(cut)) PutU16(out, c);
  out.resize(nStart + kEnvironmentBlockSize, 0);
}

// The structure flags follow what is written: an empty string is not written even when its flag
// is asked for (readers differ on empty strings), a relative path is written when asked for, and
// the strings are always Unicode. The other flags are taken as asked.
uint32_t LinkFlagsOf(const ShellLinkProperties& p) {
  constexpr uint32_t kStringFlags =
      kLinkHasName | kLinkHasWorkingDir | kLinkHasArguments | kLinkHasIconLocation;
  uint32_t dwFlags =
      kLinkIsUnicode | (p.dwExtraFlags & ~(kLinkHasTargetIdList | kLinkHasLinkInfo | kStringFlags));
  if (p.path.empty())
    dwFlags &= ~kLinkHasRelativePath;
  else
    dwFlags |= kLinkHasLinkInfo;
  if (IsDrivePath(p.path)) dwFlags |= kLinkHasTargetIdList;
  const std::pair<const std::string*, uint32_t> strings[] = {
      {&p.description, kLinkHasName},
      {&p.workingDir, kLinkHasWorkingDir},
      {&p.arguments, kLinkHasArguments},
      {&p.iconFile, kLinkHasIconLocation},
  };
  for (const auto& [pText, dwFlag] : strings)
    if (!pText->empty()) dwFlags |= dwFlag;
  return dwFlags;
}

void PutHeader(Bytes& out, const ShellLinkProperties& p, uint32_t dwFlags) {
  out.reserve(kShellLinkHeaderSize);
  PutU32(out, kShellLinkHeaderSize);
  out.insert(out.end(), kShellLinkClsid.begin(), kShellLinkClsid.end());
  PutU32(out, dwFlags);
  PutU32(out, p.dwFileAttributes);
  for (uint64_t ft : {p.ftCreation, p.ftAccess, p.ftWrite}) PutU64(out, ft);
  PutU32(out, static_cast<uint32_t>(p.nFileSize));
  PutU32(out, static_cast<uint32_t>(p.iIconIndex));
  PutU32(out, p.iShowCmd < 0 ? kShowNormal : static_cast<uint32_t>(p.iShowCmd));
  PutU16(out, p.wHotKey);
  out.resize(kShellLinkHeaderSize, 0);
}

std::string ParentFolder(std::string_view path) {
  const size_t nSep = path.find_last_of('\\');
  return nSep == std::string_view::npos ? std::string() : std::string(path.substr(0, nSep));
}

// The drive ("C:") or share ("\\server\share") a path lies on; empty for a relative path.
std::string RootOf(std::string_view path) {
  if (IsDrivePath(path)) return std::string(path.substr(0, 2));
  if (IsUncPath(path)) return std::string(SplitShare(path).first);
  return {};
}

}  // namespace

std::string RelativeLinkPath(std::string_view linkPath, std::string_view target) {
  const std::string root = RootOf(target);
  if (root.empty() || !AnsiEqualNoCase(root, RootOf(linkPath))) return std::string(target);
  const std::string folder = ParentFolder(linkPath);
  const std::vector<std::string_view> from =
      SplitPath(std::string_view(folder).substr(root.size()));
  const std::vector<std::string_view> to = SplitPath(target.substr(root.size()));
  size_t nCommon = 0;
  while (nCommon < from.size() && nCommon + 1 < to.size() &&
         AnsiEqualNoCase(from[nCommon], to[nCommon]))
    ++nCommon;
  std::string relative = nCommon == from.size() ? ".\\" : "";
  for (size_t i = nCommon; i < from.size(); ++i) relative += "..\\";
  for (size_t i = nCommon; i < to.size(); ++i) {
    relative += to[i];
    if (i + 1 < to.size()) relative += '\\';
  }
  return relative;
}

std::vector<uint8_t> WriteShellLink(const ShellLinkProperties& p) {
  const uint32_t dwFlags = LinkFlagsOf(p);
  Bytes out;
  PutHeader(out, p, dwFlags);
  if (dwFlags & kLinkHasTargetIdList) PutTargetIdList(out, p);
  if (dwFlags & kLinkHasLinkInfo) PutLinkInfo(out, p.path);
  const std::string relative = RelativeLinkPath(p.linkPath, p.path);
  const std::pair<uint32_t, const std::string*> strings[] = {
      {kLinkHasName, &p.description},      {kLinkHasRelativePath, &relative},
      {kLinkHasWorkingDir, &p.workingDir}, {kLinkHasArguments, &p.arguments},
      {kLinkHasIconLocation, &p.iconFile},
  };
  for (const auto& [dwFlag, pText] : strings)
    if (dwFlags & dwFlag) PutCountedString(out, *pText);
  if (dwFlags & kLinkHasExpString) PutEnvironmentBlock(out, kEnvironmentBlockSignature, p.path);
  if (dwFlags & kLinkHasExpIcon)
    PutEnvironmentBlock(out, kIconEnvironmentBlockSignature, p.iconFile);
  PutU32(out, 0);  // the terminal block
  return out;
}

}  // namespace platform
