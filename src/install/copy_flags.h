// The copy flags and attribute words of copy lines and section references. A copy line's flag
// field mixes both tables (a word of the copy table is not looked up among the attributes); a
// section reference takes copy flags alone, or a decimal number.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "engine/inf_fields.h"

namespace tarvium {

inline constexpr uint32_t COPY_APPEND = 0x1;
inline constexpr uint32_t COPY_ALWAYS = 0x2;
inline constexpr uint32_t COPY_NOSIZEWARNING = 0x4;
inline constexpr uint32_t COPY_NODATEWARNING = 0x8;
inline constexpr uint32_t COPY_REPLACEOLDER = 0x10;
inline constexpr uint32_t COPY_DONTREPLACE = 0x20;
inline constexpr uint32_t COPY_OPTIONAL = 0x40;
inline constexpr uint32_t COPY_REPLACEVARS = 0x80;
inline constexpr uint32_t COPY_CREATE = 0x100;
inline constexpr uint32_t COPY_DIRECTORY = 0x200;
inline constexpr uint32_t COPY_LOCALAPP = 0x400;
inline constexpr uint32_t COPY_SHAREDDLL = 0x800;
inline constexpr uint32_t COPY_DELETE = 0x1000;
inline constexpr uint32_t COPY_DONTDELETE = 0x2000;
inline constexpr uint32_t COPY_REGASM = 0x4000;
inline constexpr uint32_t COPY_WINDOWS32 = 0x8000;
inline constexpr uint32_t COPY_WINDOWS64 = 0x10000;
inline constexpr uint32_t COPY_DOS = 0x40000;
inline constexpr uint32_t COPY_NT = 0x80000;
inline constexpr uint32_t COPY_SETUPHOOK = 0x100000;
inline constexpr uint32_t COPY_ADMIN = 0x200000;
inline constexpr uint32_t COPY_CLIENT = 0x400000;
inline constexpr uint32_t COPY_MACHINE = 0x800000;
inline constexpr uint32_t COPY_REGISTER = 0x1000000;
inline constexpr uint32_t COPY_KEEPEXISTING = 0x2000000;
inline constexpr uint32_t COPY_SETUP = 0x4000000;
inline constexpr uint32_t COPY_CHECKRTVERSION = 0x8000000;
inline constexpr uint32_t COPY_SETUSERINFO = 0x10000000;
inline constexpr uint32_t COPY_CASCADED = 0x20000000;
inline constexpr uint32_t COPY_SERVICE = 0x40000000;
inline constexpr uint32_t COPY_EXPAND = 0x80000000;

inline constexpr std::array<FlagName, 35> kCopyFlagNames = {{
    {"NORMAL", 0},
    {"APPEND", COPY_APPEND},
    {"ALWAYS", COPY_ALWAYS},
    {"NOSIZEWARNING", COPY_NOSIZEWARNING},
    {"NODATEWARNING", COPY_NODATEWARNING},
    {"REPLACEOLDER", COPY_REPLACEOLDER},
    {"DONTREPLACE", COPY_DONTREPLACE},
    {"OPTIONAL", COPY_OPTIONAL},
    {"REPLACEVARS", COPY_REPLACEVARS},
    {"CREATE", COPY_CREATE},
    {"DIRECTORY", COPY_DIRECTORY},
    {"LOCALAPP", COPY_LOCALAPP},
    {"SHAREDDLL", COPY_SHAREDDLL},
    {"DELETE", COPY_DELETE},
    {"DONTDELETE", COPY_DONTDELETE},
    {"REGASM", COPY_REGASM},
    {"WINDOWS32", COPY_WINDOWS32},
    {"WINDOWS64", COPY_WINDOWS64},
    {"DOS", COPY_DOS},
    {"NT", COPY_NT},
    {"SETUPHOOK", COPY_SETUPHOOK},
    {"ADMIN", COPY_ADMIN},
    {"CLIENT", COPY_CLIENT},
    {"MACHINE", COPY_MACHINE},
    {"REGISTER", COPY_REGISTER},
    {"KEEPEXISTING", COPY_KEEPEXISTING},
    {"SETUP", COPY_SETUP},
    {"CHECKRTVERSION", COPY_CHECKRTVERSION},
    {"SETUSERINFO", COPY_SETUSERINFO},
    {"CASCADED", COPY_CASCADED},
    {"SERVICE", COPY_SERVICE},
    {"EXPAND", COPY_EXPAND},
    {"DONTSETUPFROMDEST", 0},
    {"REGISTER16", 0},
    {"WINDOWS16", 0},
}};

inline constexpr std::array<FlagName, 5> kAttributeNames = {{
    {"RDONLY", 1},
    {"HIDDEN", 2},
    {"SYSTEM", 4},
    {"USEFILENAME", 8},
    {"BACKUP", 16},
}};

// Reads a copy line's flag field into its copy flags and attribute words; false when a word is in
// neither table.
bool ParseCopyLineFlags(std::string_view text, uint32_t& dwCopyFlags, uint32_t& dwAttributes);

}  // namespace tarvium
