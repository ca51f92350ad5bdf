// The shared version comparison: the numeric parts from format version 14.10, the older partly
// textual order, part counts, and revisions.
#include "script/version_compare.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvium {
namespace {

TEST(VersionCompare, PartsByFormatVersionAndRevisions) {
  constexpr uint32_t kNew = 0x1410;
  constexpr uint32_t kOld = 0x1409;
  EXPECT_GT(CompareVersions("1.10", "1.9", kNew), 0);
  EXPECT_LT(CompareVersions("1.10", "1.9", kOld), 0);
  EXPECT_GT(CompareVersions("10.1", "9.1", kOld), 0);  // the first part is a number
  EXPECT_EQ(CompareVersions("01.2", "1.2", kOld), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2.0", kNew), 0);   // a missing part is lower
  EXPECT_EQ(CompareVersions("1..3", "1.0.3", kNew), 0);  // an empty part is the number 0
  EXPECT_GT(CompareVersions("1.b", "1.A", kNew), 0);     // text without regard to case
  EXPECT_EQ(CompareVersions("2.RC", "2.rc", kNew), 0);
  EXPECT_GT(CompareVersions("1.99999999999999999999", "1.4294967296", kNew), 0);
  // Ten parts at most: an eleventh does not count.
  EXPECT_EQ(CompareVersions("1.1.1.1.1.1.1.1.1.1.5", "1.1.1.1.1.1.1.1.1.1.4", kNew), 0);

  EXPECT_GT(CompareVersions("1.2", "1.2", kNew, "10", "9"), 0);
  // Revision "0" is none, on either side and on both.
  for (const auto& [a, b] : {std::pair{"0", ""}, {"", "0"}, {"0", "0"}, {"", ""}})
    EXPECT_EQ(CompareVersions("1.2", "1.2", kNew, a, b), 0) << a << " against " << b;
  EXPECT_GT(CompareVersions("1.2", "1.2", kNew, "1", "0"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "0", "1"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "", "1"), 0);
  EXPECT_LT(CompareVersions("1.2", "1.2", kNew, "a", "B"), 0);
  EXPECT_GT(CompareVersions("1.3", "1.2", kNew, "", "99"), 0);  // versions decide first
}

}  // namespace
}  // namespace tarvium
