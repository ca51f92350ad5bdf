// The byte reader refuses every read that would leave its buffer and stays where it was.
#include "platform/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::ByteReader;

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
  const std::vector<uint8_t> bytes = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 'h',
                                      0,    'i',  0,    0,    0,    0x7F};
  ByteReader reader(bytes);
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  std::u16string wide;
  ASSERT_TRUE(reader.ReadU16(u16));
  ASSERT_TRUE(reader.ReadU32(u32));
  ASSERT_TRUE(reader.ReadUtf16z(wide));
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0x12345678u);
  EXPECT_EQ(wide, u"hi");
  EXPECT_EQ(reader.Position(), 12u);

  uint64_t u64 = 0;
  EXPECT_FALSE(reader.ReadU64(u64));
  EXPECT_FALSE(reader.ReadU16(u16));
  EXPECT_EQ(reader.Position(), 12u);  // a failed read does not move
  std::string ansi;
  EXPECT_FALSE(reader.ReadAnsiz(ansi));  // no terminator before the end
  EXPECT_EQ(reader.Position(), 12u);
  EXPECT_FALSE(reader.Skip(2));
  EXPECT_TRUE(reader.AlignTo(4));  // 12 is aligned already
  EXPECT_FALSE(reader.Seek(14));
}

TEST(ByteReader, SlicesOnlyInsideTheBuffer) {
  const std::vector<uint8_t> bytes(16, 0xAB);
  ByteReader reader(bytes);
  EXPECT_TRUE(reader.Slice(8, 8).has_value());
  EXPECT_FALSE(reader.Slice(8, 9).has_value());
  EXPECT_FALSE(reader.Slice(17, 0).has_value());
  EXPECT_FALSE(reader.Slice(4, SIZE_MAX).has_value());  // no overflow of offset plus size
  std::u16string wide;
  EXPECT_FALSE(reader.ReadUtf16(SIZE_MAX / 2 + 1, wide));
  ASSERT_TRUE(reader.Skip(3));
  ASSERT_TRUE(reader.AlignTo(4));
  EXPECT_EQ(reader.Position(), 4u);
}

}  // namespace
