// Hashing and comparing names in any case for unordered containers, without an upper-case copy:
// a lookup by a string_view finds a std::string key (both functors are transparent).
#pragma once
#include <cstddef>
#include <string_view>

#include "platform/ansi_case.h"

namespace platform {

struct AnsiNoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const {
    size_t nHash = 14695981039346656037ULL;  // FNV-1a over the upper-case bytes
    for (const char c : name) {
      nHash ^= static_cast<unsigned char>(AnsiUpperChar(c));
      nHash *= 1099511628211ULL;
    }
    return nHash;
  }
};

struct AnsiNoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return AnsiEqualNoCase(a, b); }
};

}  // namespace platform
