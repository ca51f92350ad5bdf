// The image is laid out by hand: MZ header, PE header with a PE32 optional header whose resource
// data directory points at the one section, ".rsrc". The section holds the three-level resource
// directory (RT_VERSION, name 1, the language) and the VS_VERSIONINFO tree, whose nodes are
// written by one recursive function: length, value length, type, UTF-16 key, value and children,
// every part aligned to four bytes from the start of the tree, as VerQueryValue reads them.
#include "platform/emulated/machine/system_user_exe.h"

#include <cstdio>
#include <vector>

#include "platform/byte_writer.h"
#include "platform/pe_resources.h"

namespace platform::emulated {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kPeHeaderOffset = 0x40;
constexpr uint16_t kOptionalHeaderSize = 224;  // PE32 with sixteen data directories
constexpr uint32_t kResourceRva = kSectionAlignment;
constexpr uint16_t kUnicodeCodePage = 1200;
// Where the parts of the resource section start: three directories of one entry each (16 + 8
// bytes), the data entry (16 bytes), then the version resource.
constexpr uint32_t kNameDirectory = 0x18;
constexpr uint32_t kLanguageDirectory = 0x30;
constexpr uint32_t kDataEntry = 0x48;
constexpr uint32_t kVersionData = 0x58;
constexpr uint32_t kSubdirectory = 0x80000000;

using Bytes = std::vector<uint8_t>;

void PadTo(Bytes& out, size_t nSize) {
  if (out.size() < nSize) out.resize(nSize, 0);
}

void Align(Bytes& out, size_t nAlignment) {
  PadTo(out, (out.size() + nAlignment - 1) / nAlignment * nAlignment);
}

struct VersionNode {
  std::string key;            // ASCII
  Bytes value;                // the value's bytes
  uint16_t wValueLength = 0;  // bytes for binary values, characters for text
  bool bText = false;
  std::vector<VersionNode> children;
};

Bytes Utf16Z(const std::string& ascii) {
  Bytes bytes;
  for (char c : ascii) PutU16(bytes, static_cast<unsigned char>(c));
  PutU16(bytes, 0);
  return bytes;
}

VersionNode TextNode(const std::string& key, const std::string& text) {
  return {key, Utf16Z(text), static_cast<uint16_t>(text.size() + 1), true, {}};
}

VersionNode BranchNode(const std::string& key, std::vector<VersionNode> children) {
  return {key, {}, 0, true, std::move(children)};
}

void WriteNode(const VersionNode& node, Bytes& out) {
  Align(out, 4);
  const size_t nStart = out.size();
  PutU16(out, 0);  // the length, set when the node is complete
  PutU16(out, node.wValueLength);
  PutU16(out, node.bText ? 1 : 0);
  const Bytes key = Utf16Z(node.key);
  out.insert(out.end(), key.begin(), key.end());
  Align(out, 4);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) WriteNode(child, out);
  SetU16(out, nStart, static_cast<uint32_t>(out.size() - nStart));
}

Bytes FixedFileInfo(uint32_t dwVersionMS, uint32_t dwVersionLS) {
  Bytes info;
  for (uint32_t dwField :
       {0xFEEF04BDu, 0x00010000u, dwVersionMS, dwVersionLS, dwVersionMS, dwVersionLS, 0x3Fu, 0u,
        0x00040004u /* VOS_NT_WINDOWS32 */, 2u /* VFT_DLL */, 0u, 0u, 0u})
    PutU32(info, dwField);
  return info;
}

Bytes VersionResource(const MachineConfig& config) {
  const uint32_t dwVersionMS = config.dwMajorVersion << 16 | (config.dwMinorVersion & 0xFFFF);
  const uint32_t dwVersionLS = config.dwBuildNumber << 16;
  char version[64];
  std::snprintf(version, sizeof version, "%u.%u.%u.0", config.dwMajorVersion, config.dwMinorVersion,
                config.dwBuildNumber);
  char table[16];
  std::snprintf(table, sizeof table, "%04X%04X", config.wUILanguage, kUnicodeCodePage);
  Bytes translation;
  PutU16(translation, config.wUILanguage);
  PutU16(translation, kUnicodeCodePage);

  VersionNode root{"VS_VERSION_INFO", FixedFileInfo(dwVersionMS, dwVersionLS), 52, false, {}};
  root.children.push_back(BranchNode(
      "StringFileInfo",
      {BranchNode(table,
                  {TextNode("FileDescription", "Multi-User Windows USER API Client DLL"),
                   TextNode("FileVersion", version), TextNode("OriginalFilename", "USER.EXE")})}));
  root.children.push_back(
      BranchNode("VarFileInfo", {VersionNode{"Translation", translation, 4, false, {}}}));
  Bytes block;
  WriteNode(root, block);
  return block;
}

// The resource directory header of one numbered entry, and the entry.
void PutDirectory(Bytes& out, uint32_t dwId, uint32_t dwTarget) {
  PutU32(out, 0);  // characteristics
  PutU32(out, 0);  // time stamp
  PutU32(out, 0);  // version
  PutU16(out, 0);  // named entries
  PutU16(out, 1);  // numbered entries
  PutU32(out, dwId);
  PutU32(out, dwTarget);
}

Bytes ResourceSection(const MachineConfig& config) {
  const Bytes version = VersionResource(config);
  Bytes section;
  PutDirectory(section, RT_VERSION, kSubdirectory | kNameDirectory);
  PutDirectory(section, 1, kSubdirectory | kLanguageDirectory);
  PutDirectory(section, config.wUILanguage, kDataEntry);
  PutU32(section, kResourceRva + kVersionData);
  PutU32(section, static_cast<uint32_t>(version.size()));
  PutU32(section, 0);  // code page
  PutU32(section, 0);  // reserved
  section.insert(section.end(), version.begin(), version.end());
  return section;
}

void PutHeaders(Bytes& image, uint32_t dwSectionSize, uint32_t dwRawSize) {
  PutU16(image, 0x5A4D);  // "MZ"
  PadTo(image, 0x3C);
  PutU32(image, kPeHeaderOffset);
  PadTo(image, kPeHeaderOffset);
  PutU32(image, 0x00004550);  // "PE\0\0"
  // COFF header: i386, one section, no time stamp or symbols, an executable 32-bit image.
  PutU16(image, 0x014C);
  PutU16(image, 1);
  PutU32(image, 0);
  PutU32(image, 0);
  PutU32(image, 0);
  PutU16(image, kOptionalHeaderSize);
  PutU16(image, 0x0102);
  // PE32 optional header.
  const size_t nOptional = image.size();
  PutU16(image, 0x010B);
  PadTo(image, nOptional + 8);
  PutU32(image, dwRawSize);  // size of initialized data
  PadTo(image, nOptional + 28);
  PutU32(image, 0x00400000);  // image base
  PutU32(image, kSectionAlignment);
  PutU32(image, kFileAlignment);
  PutU16(image, 6);  // operating system version
  PutU16(image, 0);
  PutU32(image, 0);  // image version
  PutU16(image, 6);  // subsystem version
  PutU16(image, 0);
  PutU32(image, 0);
  const uint32_t dwImageSize = kResourceRva + (dwSectionSize + kSectionAlignment - 1) /
                                                  kSectionAlignment * kSectionAlignment;
  PutU32(image, dwImageSize);
  PutU32(image, kFileAlignment);  // size of headers
  PutU32(image, 0);               // checksum
  PutU16(image, 2);               // Windows GUI subsystem
  PadTo(image, nOptional + 92);
  PutU32(image, 16);  // data directories
  PadTo(image, nOptional + 96 + 2 * 8);
  PutU32(image, kResourceRva);
  PutU32(image, dwSectionSize);
  PadTo(image, nOptional + kOptionalHeaderSize);
  // The section table: ".rsrc", initialized read-only data.
  for (char c : std::string(".rsrc\0\0\0", 8)) image.push_back(static_cast<uint8_t>(c));
  PutU32(image, dwSectionSize);
  PutU32(image, kResourceRva);
  PutU32(image, dwRawSize);
  PutU32(image, kFileAlignment);
  PadTo(image, image.size() + 12);
  PutU32(image, 0x40000040);
  PadTo(image, kFileAlignment);
}

}  // namespace

std::string SystemUserExeImage(const MachineConfig& config) {
  Bytes section = ResourceSection(config);
  const auto dwSectionSize = static_cast<uint32_t>(section.size());
  Align(section, kFileAlignment);
  Bytes image;
  PutHeaders(image, dwSectionSize, static_cast<uint32_t>(section.size()));
  image.insert(image.end(), section.begin(), section.end());
  return std::string(image.begin(), image.end());
}

}  // namespace platform::emulated
