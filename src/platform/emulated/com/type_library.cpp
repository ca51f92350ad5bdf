// The MSFT type library reader. The file is a fixed header, an optional help-DLL offset, one offset
// per type, then a directory of fifteen segments (type infos, GUIDs, names, strings, ...); every
// other reference is an offset into one of those segments. Each segment the reader needs becomes
// a ByteReader of its own, so an offset is only ever resolved inside the segment it belongs to,
// and a segment that does not lie inside the file rejects the whole library. Only the parts that
// identify the library and its types are read: function and variable descriptions are not needed
// to register a library.
#include "platform/emulated/com/type_library.h"

#include <cstdio>
#include <optional>

#include "platform/byte_reader.h"
#include "platform/com_library.h"
#include "platform/pe_resources.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr uint32_t kMsftMagic = 0x5446534D;  // "MSFT"
constexpr uint32_t kSltgMagic = 0x47544C53;  // "SLTG"
constexpr uint16_t kMzMagic = 0x5A4D;        // "MZ": a PE file that may hold the library
constexpr uint32_t kHelpDllFlag = 0x100;     // the header is followed by a help DLL's offset
constexpr size_t kHeaderSize = 0x54;
constexpr size_t kSegmentCount = 15;
constexpr uint32_t kSegmentMarker = 0x0F;  // the fourth field of every segment entry
constexpr size_t kTypeInfoSize = 0x64;
constexpr size_t kGuidEntrySize = 24;  // the GUID, its type reference, the next in its hash chain
constexpr size_t kNameIntroSize = 12;  // type reference, next in hash chain, length and hash

// The segments this reader uses, by their place in the directory.
enum Segment : size_t { kTypeInfos = 0, kGuids = 5, kNames = 7, kStrings = 8 };

// The header's fields, in file order (21 32-bit values).
struct MsftHeader {
  uint32_t magic1, magic2, posguid, lcid, lcid2, varflags, version, flags, nTypeInfos, helpString,
      helpStringContext, helpContext, nNames, nNameChars, nameOffset, helpFile, customData, res44,
      res48, dispatchPos, nImpInfos;
};

class MsftFile {
 public:
  explicit MsftFile(ByteReader file) : file_(file) {}

  int32_t Read(TypeLibrary& library) {
    if (!ReadHeader() || !ReadSegments()) return TYPE_E_CANTLOADLIBRARY;
    library = {};
    if (!ReadGuid(header_.posguid, library.libid) || !ReadName(header_.nameOffset, library.name) ||
        !ReadString(header_.helpString, library.helpString) ||
        !ReadString(header_.helpFile, library.helpFile))
      return TYPE_E_CANTLOADLIBRARY;
    library.wMajorVerNum = static_cast<uint16_t>(header_.version & 0xFFFF);
    library.wMinorVerNum = static_cast<uint16_t>(header_.version >> 16);
    library.lcid = header_.lcid2;  // the first locale is the system's that wrote the file
    library.syskind = header_.varflags & 0x0F;
    library.wLibFlags = static_cast<uint16_t>(header_.flags & 0xFFFF);
    // Each type info takes a fixed slot; a count the segment cannot hold is a damaged file.
    if (header_.nTypeInfos > segments_[kTypeInfos].Size() / kTypeInfoSize)
      return TYPE_E_CANTLOADLIBRARY;
    library.typeInfos.reserve(header_.nTypeInfos);
    for (uint32_t i = 0; i < header_.nTypeInfos; ++i) {
      TypeInfoEntry entry;
      if (!ReadTypeInfo(i, entry)) return TYPE_E_CANTLOADLIBRARY;
      library.typeInfos.push_back(std::move(entry));
    }
    return S_OK;
  }

 private:
  bool ReadHeader() {
    ByteReader reader = file_;
    uint32_t* fields[] = {&header_.magic1,
                          &header_.magic2,
                          &header_.posguid,
                          &header_.lcid,
                          &header_.lcid2,
                          &header_.varflags,
                          &header_.version,
                          &header_.flags,
                          &header_.nTypeInfos,
                          &header_.helpString,
                          &header_.helpStringContext,
                          &header_.helpContext,
                          &header_.nNames,
                          &header_.nNameChars,
                          &header_.nameOffset,
                          &header_.helpFile,
                          &header_.customData,
                          &header_.res44,
                          &header_.res48,
                          &header_.dispatchPos,
                          &header_.nImpInfos};
    static_assert(sizeof fields / sizeof fields[0] * 4 == kHeaderSize);
    for (uint32_t* pField : fields)
      if (!reader.ReadU32(*pField)) return false;
    return header_.magic1 == kMsftMagic;
  }

  // The segment directory follows the header, the help DLL's offset and the type offsets.
  bool ReadSegments() {
    size_t nDirectory = kHeaderSize + ((header_.varflags & kHelpDllFlag) ? 4 : 0);
    if (header_.nTypeInfos > file_.Size() / 4) return false;
    nDirectory += size_t{header_.nTypeInfos} * 4;
    ByteReader reader = file_;
    if (!reader.Seek(nDirectory)) return false;
    for (size_t i = 0; i < kSegmentCount; ++i) {
      uint32_t dwOffset = 0, dwLength = 0, dwReserved = 0, dwMarker = 0;
      if (!reader.ReadU32(dwOffset) || !reader.ReadU32(dwLength) || !reader.ReadU32(dwReserved) ||
          !reader.ReadU32(dwMarker) || dwMarker != kSegmentMarker)
        return false;
      // An absent segment has the offset -1; a present one must lie inside the file.
      if (static_cast<int32_t>(dwOffset) < 0 || static_cast<int32_t>(dwLength) <= 0) continue;
      const auto segment = file_.Slice(dwOffset, dwLength);
      if (!segment) return false;
      segments_[i] = *segment;
    }
    return true;
  }

  // A GUID at an offset of the GUID segment; a negative offset is no GUID.
  bool ReadGuid(uint32_t dwOffset, std::string& guid) {
    guid.clear();
    if (static_cast<int32_t>(dwOffset) < 0) return true;
    ByteReader reader = segments_[kGuids];
    std::span<const uint8_t> bytes;
    if (!reader.Seek(dwOffset) || reader.Remaining() < kGuidEntrySize ||
        !reader.ReadBytes(16, bytes))
      return false;
    guid = FormatGuid(bytes.first<16>());
    return true;
  }

  // A name of the name segment: its length is the low byte of the intro's third field.
  bool ReadName(uint32_t dwOffset, std::string& name) {
    name.clear();
    if (static_cast<int32_t>(dwOffset) < 0) return true;
    ByteReader reader = segments_[kNames];
    uint32_t dwLength = 0;
    std::span<const uint8_t> text;
    if (!reader.Seek(dwOffset) || !reader.Skip(kNameIntroSize - 4) || !reader.ReadU32(dwLength) ||
        !reader.ReadBytes(dwLength & 0xFF, text))
      return false;
    name.assign(text.begin(), text.end());
    return true;
  }

  // A string of the string segment: a 16-bit length, then the text.
  bool ReadString(uint32_t dwOffset, std::string& text) {
    text.clear();
    if (static_cast<int32_t>(dwOffset) < 0) return true;
    ByteReader reader = segments_[kStrings];
    uint16_t nLength = 0;
    std::span<const uint8_t> bytes;
    if (!reader.Seek(dwOffset) || !reader.ReadU16(nLength) || !reader.ReadBytes(nLength, bytes))
      return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
  }

  // The fixed slot of type info i: kind in the low bits of its first field, then at 0x2C its
  // GUID's offset, its flags and its name's offset.
  bool ReadTypeInfo(uint32_t i, TypeInfoEntry& entry) {
    ByteReader reader = segments_[kTypeInfos];
    uint32_t dwKind = 0, dwGuid = 0, dwFlags = 0, dwName = 0;
    if (!reader.Seek(size_t{i} * kTypeInfoSize) || !reader.ReadU32(dwKind) ||
        !reader.Seek(size_t{i} * kTypeInfoSize + 0x2C) || !reader.ReadU32(dwGuid) ||
        !reader.ReadU32(dwFlags) || !reader.ReadU32(dwName))
      return false;
    if ((dwKind & 0x0F) > static_cast<uint32_t>(TypeKind::Union)) return false;
    entry.kind = static_cast<TypeKind>(dwKind & 0x0F);
    entry.wTypeFlags = static_cast<uint16_t>(dwFlags & 0xFFFF);
    return ReadGuid(dwGuid, entry.guid) && ReadName(dwName, entry.name);
  }

  ByteReader file_;
  MsftHeader header_{};
  ByteReader segments_[kSegmentCount];
};

}  // namespace

std::string FormatGuid(std::span<const uint8_t, 16> b) {
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return text;
}

int32_t ReadTypeLibrary(std::span<const uint8_t> bytes, TypeLibrary& library) {
  library = {};
  ByteReader reader(bytes);
  uint32_t dwMagic = 0;
  if (!reader.ReadU32(dwMagic)) return TYPE_E_CANTLOADLIBRARY;
  if ((dwMagic & 0xFFFF) == kMzMagic) {
    // A library inside a program or DLL: its first TYPELIB resource, which must itself be a
    // library file (a PE file inside is not followed further).
    std::span<const uint8_t> resource;
    if (FindPeResource(bytes, "TYPELIB", resource) != ERROR_SUCCESS) return TYPE_E_CANTLOADLIBRARY;
    ByteReader inner(resource);
    if (!inner.ReadU32(dwMagic) || (dwMagic & 0xFFFF) == kMzMagic) return TYPE_E_CANTLOADLIBRARY;
    bytes = resource;
  }
  if (dwMagic == kSltgMagic) return TYPE_E_UNSUPFORMAT;
  if (dwMagic != kMsftMagic) return TYPE_E_CANTLOADLIBRARY;
  const int32_t hr = MsftFile(ByteReader(bytes)).Read(library);
  if (hr != S_OK) library = {};
  return hr;
}

}  // namespace platform::emulated
