// Finds a resource in the bytes of a PE file (32-bit PE32 or 64-bit PE32+), as the loader does
// for a file loaded as data: MZ header, PE signature, COFF header, optional header, section table,
// then the three-level resource directory (type, name, language). A pure function over a buffer,
// so that the emulated machine and the tests read real files without Windows, and everything goes
// through ByteReader: a truncated or hostile file gives an error code, never a read outside it.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

inline constexpr uint16_t RT_VERSION = 16;

// The data of the first resource of the numbered type nType: its first name and, under that, its
// first language. `data` points into `image`. Errors: ERROR_BAD_EXE_FORMAT for a file that is no
// PE file or whose headers or resource directory are damaged, ERROR_RESOURCE_DATA_NOT_FOUND for
// an image without resources, ERROR_RESOURCE_TYPE_NOT_FOUND when no resource has the type,
// ERROR_RESOURCE_NAME_NOT_FOUND / ERROR_RESOURCE_LANG_NOT_FOUND for an empty directory below it.
uint32_t FindPeResource(std::span<const uint8_t> image, uint16_t nType,
                        std::span<const uint8_t>& data);
// The same for a type known by its name ("TYPELIB"), compared as the loader compares resource
// names: without regard to the case of ASCII letters.
uint32_t FindPeResource(std::span<const uint8_t> image, std::string_view typeName,
                        std::span<const uint8_t>& data);

}  // namespace platform
