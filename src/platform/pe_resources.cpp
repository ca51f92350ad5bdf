// FindPeResource: the headers are read once into PeImage (the file, its section table and where
// the resource directory lies); relative virtual addresses are mapped to file offsets through the
// sections' raw data. The resource directory is walked exactly three levels down, so a directory
// that points back at itself cannot make the walk loop, and an entry count is believed only when
// the entries fit in the bytes that follow it.
#include "platform/pe_resources.h"

#include <algorithm>
#include <optional>

#include "platform/byte_reader.h"
#include "platform/win_error.h"

namespace platform {
namespace {

constexpr uint16_t kMzSignature = 0x5A4D;      // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr size_t kNewHeaderOffset = 0x3C;      // where the MZ header keeps the PE header's offset
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Offset of NumberOfRvaAndSizes in the optional header; the data directories follow it.
constexpr size_t kPe32DirectoryCount = 92;
constexpr size_t kPe32PlusDirectoryCount = 108;
constexpr uint32_t kResourceDirectory = 2;  // index among the data directories
constexpr size_t kDataDirectorySize = 8;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kResourceDirectoryHeaderSize = 16;
constexpr size_t kResourceEntrySize = 8;
constexpr uint32_t kHighBit = 0x80000000;  // a named entry, or an entry that is a subdirectory

struct PeImage {
  ByteReader file;
  ByteReader sectionTable;
  uint16_t nSections = 0;
  uint32_t dwResourceRva = 0;
  uint32_t dwResourceSize = 0;
};

// The resource data directory of the optional header; none when the header has no slot for it.
bool ReadResourceDirectory(ByteReader optional, PeImage& pe) {
  uint16_t wMagic = 0;
  if (!optional.ReadU16(wMagic)) return false;
  size_t nCountOffset = 0;
  if (wMagic == kPe32Magic) {
    nCountOffset = kPe32DirectoryCount;
  } else if (wMagic == kPe32PlusMagic) {
    nCountOffset = kPe32PlusDirectoryCount;
  } else {
    return false;
  }
  uint32_t nDirectories = 0;
  if (!optional.Seek(nCountOffset) || !optional.ReadU32(nDirectories)) return false;
  if (nDirectories <= kResourceDirectory) return true;  // no resource slot: no resources
  return optional.Skip(kResourceDirectory * kDataDirectorySize) &&
         optional.ReadU32(pe.dwResourceRva) && optional.ReadU32(pe.dwResourceSize);
}

bool ReadHeaders(std::span<const uint8_t> image, PeImage& pe) {
  pe.file = ByteReader(image);
  ByteReader reader = pe.file;
  uint16_t wMz = 0;
  uint32_t dwNewHeader = 0;
  uint32_t dwSignature = 0;
  if (!reader.ReadU16(wMz) || wMz != kMzSignature || !reader.Seek(kNewHeaderOffset) ||
      !reader.ReadU32(dwNewHeader) || !reader.Seek(dwNewHeader) || !reader.ReadU32(dwSignature) ||
      dwSignature != kPeSignature)
    return false;
  // COFF header: Machine, NumberOfSections, three 32-bit fields, SizeOfOptionalHeader, flags.
  uint16_t wOptionalSize = 0;
  if (!reader.Skip(2) || !reader.ReadU16(pe.nSections) || !reader.Skip(12) ||
      !reader.ReadU16(wOptionalSize) || !reader.Skip(2))
    return false;
  const size_t nOptional = reader.Position();
  const auto optional = pe.file.Slice(nOptional, wOptionalSize);
  const auto table =
      pe.file.Slice(nOptional + wOptionalSize, size_t{pe.nSections} * kSectionHeaderSize);
  if (!optional || !table || !ReadResourceDirectory(*optional, pe)) return false;
  pe.sectionTable = *table;
  return true;
}

// The bytes of the file from a relative virtual address to the end of its section's raw data
// (or of the file, when the file ends first); none when no section holds the address.
std::optional<ByteReader> MapRva(const PeImage& pe, uint32_t dwRva) {
  ByteReader table = pe.sectionTable;
  for (uint16_t i = 0; i < pe.nSections; ++i) {
    uint32_t dwVirtualSize = 0, dwVirtualAddress = 0, dwRawSize = 0, dwRawPointer = 0;
    if (!table.Seek(i * kSectionHeaderSize + 8) || !table.ReadU32(dwVirtualSize) ||
        !table.ReadU32(dwVirtualAddress) || !table.ReadU32(dwRawSize) ||
        !table.ReadU32(dwRawPointer))
      return std::nullopt;
    // Only what is both in the file and mapped into memory is the section's data.
    const uint32_t dwExtent = dwVirtualSize ? std::min(dwVirtualSize, dwRawSize) : dwRawSize;
    if (dwRva < dwVirtualAddress || dwRva - dwVirtualAddress >= dwExtent) continue;
    const size_t nOffset = size_t{dwRawPointer} + (dwRva - dwVirtualAddress);
    if (nOffset >= pe.file.Size()) return std::nullopt;
    const size_t nInSection = dwExtent - (dwRva - dwVirtualAddress);
    return pe.file.Slice(nOffset, std::min(nInSection, pe.file.Size() - nOffset));
  }
  return std::nullopt;
}

enum class EntryKind { Subdirectory, Data };

// Which entry of a directory is wanted: the one with a numeric id, the one with a name, or (with
// neither) the first of any kind.
struct EntryKey {
  std::optional<uint16_t> id;
  std::string_view name;
};

// Whether the name an entry points to (a counted UTF-16 string at dwOffset of `resources`) is
// `name`, ASCII letters compared without case.
bool NameMatches(const ByteReader& resources, uint32_t dwOffset, std::string_view name) {
  ByteReader text = resources;
  uint16_t nLength = 0;
  if (!text.Seek(dwOffset) || !text.ReadU16(nLength) || nLength != name.size()) return false;
  for (const char c : name) {
    uint16_t wChar = 0;
    if (!text.ReadU16(wChar)) return false;
    const auto upper = [](uint16_t ch) -> uint16_t {
      return ch >= 'a' && ch <= 'z' ? static_cast<uint16_t>(ch - 'a' + 'A') : ch;
    };
    if (upper(wChar) != upper(static_cast<uint8_t>(c))) return false;
  }
  return true;
}

// Finds in the directory at dwDirectory of `resources` the entry of the key and gives the offset
// it points to, which must be of `kind`.
uint32_t FindEntry(const ByteReader& resources, uint32_t dwDirectory, const EntryKey& key,
                   EntryKind kind, uint32_t dwNotFound, uint32_t& dwTarget) {
  ByteReader dir = resources;
  uint16_t nNamed = 0, nNumbered = 0;
  if (!dir.Seek(dwDirectory) || !dir.Skip(kResourceDirectoryHeaderSize - 4) ||
      !dir.ReadU16(nNamed) || !dir.ReadU16(nNumbered))
    return ERROR_BAD_EXE_FORMAT;
  const size_t nEntries = size_t{nNamed} + nNumbered;
  if (nEntries > dir.Remaining() / kResourceEntrySize) return ERROR_BAD_EXE_FORMAT;
  for (size_t i = 0; i < nEntries; ++i) {
    uint32_t dwName = 0, dwOffset = 0;
    if (!dir.ReadU32(dwName) || !dir.ReadU32(dwOffset)) return ERROR_BAD_EXE_FORMAT;
    if (key.id && dwName != *key.id) continue;
    if (!key.name.empty() &&
        (!(dwName & kHighBit) || !NameMatches(resources, dwName & ~kHighBit, key.name)))
      continue;
    const bool bSubdirectory = dwOffset & kHighBit;
    if (bSubdirectory != (kind == EntryKind::Subdirectory)) return ERROR_BAD_EXE_FORMAT;
    dwTarget = dwOffset & ~kHighBit;
    return ERROR_SUCCESS;
  }
  return dwNotFound;
}

// The first resource of the type the key names: its first name and that name's first language.
uint32_t FindResourceOfType(std::span<const uint8_t> image, const EntryKey& type,
                            std::span<const uint8_t>& data) {
  data = {};
  PeImage pe;
  if (!ReadHeaders(image, pe)) return ERROR_BAD_EXE_FORMAT;
  if (pe.dwResourceRva == 0 || pe.dwResourceSize == 0) return ERROR_RESOURCE_DATA_NOT_FOUND;
  const auto resources = MapRva(pe, pe.dwResourceRva);
  if (!resources) return ERROR_BAD_EXE_FORMAT;
  uint32_t dwNames = 0, dwLanguages = 0, dwEntry = 0;
  if (uint32_t err = FindEntry(*resources, 0, type, EntryKind::Subdirectory,
                               ERROR_RESOURCE_TYPE_NOT_FOUND, dwNames))
    return err;
  if (uint32_t err = FindEntry(*resources, dwNames, {}, EntryKind::Subdirectory,
                               ERROR_RESOURCE_NAME_NOT_FOUND, dwLanguages))
    return err;
  if (uint32_t err = FindEntry(*resources, dwLanguages, {}, EntryKind::Data,
                               ERROR_RESOURCE_LANG_NOT_FOUND, dwEntry))
    return err;
  // The data entry: the data's relative virtual address and its size.
  ByteReader entry = *resources;
  uint32_t dwDataRva = 0, dwDataSize = 0;
  if (!entry.Seek(dwEntry) || !entry.ReadU32(dwDataRva) || !entry.ReadU32(dwDataSize))
    return ERROR_BAD_EXE_FORMAT;
  auto bytes = MapRva(pe, dwDataRva);
  if (!bytes || !bytes->ReadBytes(dwDataSize, data)) return ERROR_BAD_EXE_FORMAT;
  return ERROR_SUCCESS;
}

}  // namespace

uint32_t FindPeResource(std::span<const uint8_t> image, uint16_t nType,
                        std::span<const uint8_t>& data) {
  return FindResourceOfType(image, {nType, {}}, data);
}

uint32_t FindPeResource(std::span<const uint8_t> image, std::string_view typeName,
                        std::span<const uint8_t>& data) {
  if (typeName.empty()) {
    data = {};
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  }
  return FindResourceOfType(image, {std::nullopt, typeName}, data);
}

}  // namespace platform
