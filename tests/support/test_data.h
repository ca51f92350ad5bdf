// The committed test files of tests/data/ (real binaries built by scripts kept beside them), read
// from the source tree so that tests need none of the tools that made them.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace tarvium::test {

// The bytes of tests/data/<relPath>; "" when it cannot be read.
std::string ReadTestData(const std::string& relPath);

inline std::span<const uint8_t> AsBytes(const std::string& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace tarvium::test
