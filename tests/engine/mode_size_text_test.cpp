// The sizes of the mode page: bytes, KB and MB at their borders, rounded as printf rounds.
#include "engine/mode_size_text.h"

#include <gtest/gtest.h>

namespace tarvium {
namespace {

TEST(ModeSizeText, UnitsAtTheirBordersRounded) {
  struct Case {
    int64_t nBytes;
    std::string expected;
  };
  const Case cases[] = {
      {0, "0 Bytes"},
      {1023, "1023 Bytes"},
      {1024, "1 KB"},
      {1536, "2 KB"},  // rounds to the even 2 as printf does
      {1048575, "1024 KB"},
      {1048576, "1 MB"},
      {5 * 1048576 + 524288, "6 MB"},
      {int64_t{3} * 1024 * 1048576, "3072 MB"},
  };
  for (const Case& c : cases) EXPECT_EQ(ModeSizeText(c.nBytes, ","), c.expected) << c.nBytes;
}

}  // namespace
}  // namespace tarvium
