#include "support/test_data.h"

#include "support/temp_dir.h"

namespace tarvium::test {

std::string ReadTestData(const std::string& relPath) {
  return ReadHostFile(std::string(TARVIUM_SOURCE_DIR) + "/tests/data/" + relPath);
}

}  // namespace tarvium::test
