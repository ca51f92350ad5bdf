// What the emulated COM library reads from a type library: the library's identity (identifier,
// version, locale, system kind, flags), its name and help texts, and each type's kind, identifier,
// name and flags, which decide what registration writes. Read from the MSFT format that MIDL and
// widl write, either a .tlb file or the "TYPELIB" resource of a PE file (.dll, .exe, .olb). The
// older SLTG format is recognised and refused. A pure function over bytes, read through ByteReader:
// a truncated or hostile file gives a TYPE_E_ code, never a read outside it.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform::emulated {

inline constexpr int32_t TYPE_E_UNSUPFORMAT = static_cast<int32_t>(0x80028019);
inline constexpr int32_t TYPE_E_INVALIDSTATE = static_cast<int32_t>(0x80028029);
inline constexpr int32_t E_INVALIDARG = static_cast<int32_t>(0x80070057);

// TYPEKIND
enum class TypeKind : uint32_t {
  Enum = 0,
  Record = 1,
  Module = 2,
  Interface = 3,
  Dispatch = 4,
  Coclass = 5,
  Alias = 6,
  Union = 7,
};

// TYPEFLAGS that registration looks at.
inline constexpr uint16_t TYPEFLAG_FDUAL = 0x40;
inline constexpr uint16_t TYPEFLAG_FOLEAUTOMATION = 0x100;
inline constexpr uint16_t TYPEFLAG_FDISPATCHABLE = 0x1000;

// SYSKIND
inline constexpr uint32_t SYS_WIN16 = 0;
inline constexpr uint32_t SYS_WIN32 = 1;
inline constexpr uint32_t SYS_MAC = 2;
inline constexpr uint32_t SYS_WIN64 = 3;

struct TypeInfoEntry {
  TypeKind kind = TypeKind::Enum;
  std::string guid;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", empty when the type has none
  std::string name;
  uint16_t wTypeFlags = 0;
};

struct TypeLibrary {
  std::string libid;  // as TypeInfoEntry::guid
  uint16_t wMajorVerNum = 0;
  uint16_t wMinorVerNum = 0;
  uint32_t lcid = 0;  // the library's locale (its [lcid] attribute), 0 for neutral
  uint32_t syskind = SYS_WIN32;
  uint16_t wLibFlags = 0;  // LIBFLAG_FRESTRICTED, _FCONTROL, _FHIDDEN as the file has them
  std::string name;
  std::string helpString;  // the library's documentation string, empty when it has none
  std::string helpFile;    // the help file's name, empty when it has none
  std::vector<TypeInfoEntry> typeInfos;
};

// Reads a type library file's bytes (a .tlb, or a PE file with a TYPELIB resource): S_OK (0),
// TYPE_E_UNSUPFORMAT for the SLTG format, TYPE_E_CANTLOADLIBRARY for anything else that is no
// readable type library. Texts are 8-bit, as the file holds them.
int32_t ReadTypeLibrary(std::span<const uint8_t> bytes, TypeLibrary& library);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" for the 16 bytes of a GUID as stored (Data1 to Data3
// little-endian), as StringFromGUID2 writes it.
std::string FormatGuid(std::span<const uint8_t, 16> bytes);

}  // namespace platform::emulated
