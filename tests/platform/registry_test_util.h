// Helpers shared by the registry and .reg text tests: a fresh registry.db in a temporary directory
// and short ways to write typed values.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"

namespace platform::emulated::test {

inline constexpr const char* kTestSid = "S-1-5-21-1004336348-1177238915-682003330-1001";

inline std::unique_ptr<SqliteRegistry> OpenRegistry(const std::string& dir) {
  std::unique_ptr<SqliteRegistry> registry;
  const uint32_t dwError = SqliteRegistry::Open({dir + "/registry.db", kTestSid}, registry);
  EXPECT_EQ(dwError, ERROR_SUCCESS);
  return registry;
}

inline RegValue Bytes(uint32_t dwType, const std::string& bytes) {
  return RegValue{dwType, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

// A REG_SZ (or another string type) with its terminating zero.
inline RegValue Sz(const std::string& text, uint32_t dwType = REG_SZ) {
  return Bytes(dwType, text + std::string(1, '\0'));
}

inline RegValue Dword(uint32_t dw) {
  return Bytes(REG_DWORD, std::string{static_cast<char>(dw), static_cast<char>(dw >> 8),
                                      static_cast<char>(dw >> 16), static_cast<char>(dw >> 24)});
}

inline std::string Text(const RegValue& value) {
  return std::string(value.data.begin(), value.data.end());
}

struct RegistryTest : ::testing::Test {
  tarvium::test::TempDir dir;
  std::unique_ptr<SqliteRegistry> reg = OpenRegistry(dir.Path());

  // The value's bytes as text, or "<error N>".
  std::string Read(RegRoot root, const std::string& key, const std::string& name,
                   RegView view = RegView::Default) {
    RegValue value;
    if (uint32_t dwError = reg->QueryValue(root, key, name, value, view))
      return "<error " + std::to_string(dwError) + ">";
    return Text(value);
  }
};

}  // namespace platform::emulated::test
