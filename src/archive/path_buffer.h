// The archive operations hold paths in buffers of 1025 characters: 1024 and the terminator.
#pragma once
#include <cstddef>

namespace tarvium {

inline constexpr size_t kArchivePathBuffer = 1025;

}  // namespace tarvium
