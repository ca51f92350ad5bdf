#include "support/test_data.h"

#include <fstream>
#include <sstream>

namespace tarvium::test {

std::string ReadTestData(const std::string& relPath) {
  std::ifstream in(std::string(TARVIUM_SOURCE_DIR) + "/tests/data/" + relPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tarvium::test
