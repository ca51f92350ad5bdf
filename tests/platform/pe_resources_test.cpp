// Finding the version resource in real PE files built by tests/data/pe/build.sh, and refusing
// truncated and damaged ones cleanly.
// The byte reader refuses every read that would leave its buffer and stays where it was.
#include "platform/pe_resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/win_error.h"
#include "support/test_data.h"

namespace {

using namespace platform;
using tarvium::test::AsBytes;
using tarvium::test::ReadTestData;

uint32_t FindVersion(const std::string& file, std::string* pBlock = nullptr) {
  std::span<const uint8_t> data;
  const uint32_t err = FindPeResource(AsBytes(file), RT_VERSION, data);
  if (pBlock) pBlock->assign(data.begin(), data.end());
  return err;
}

uint32_t U32At(const std::string& bytes, size_t nOffset) {
  uint32_t dw = 0;
  std::memcpy(&dw, bytes.data() + nOffset, 4);  // the tests run on little-endian hosts
  return dw;
}

void SetU32(std::string& bytes, size_t nOffset, uint32_t dw) {
  std::memcpy(bytes.data() + nOffset, &dw, 4);
}

// Where the resource tree of english64.exe lies: its one type, one name and one language.
struct ResourceLayout {
  size_t nRoot = 0;       // file offset of the root directory (start of .rsrc)
  size_t nNames = 0;      // of the name directory under type 16
  size_t nLanguages = 0;  // of the language directory
  size_t nDataEntry = 0;  // of the data entry
};

ResourceLayout LayoutOf(const std::string& file) {
  ResourceLayout layout;
  const size_t nSection = file.find(std::string(".rsrc\0\0\0", 8));
  EXPECT_NE(nSection, std::string::npos);
  layout.nRoot = U32At(file, nSection + 20);  // PointerToRawData
  const auto Below = [&](size_t nDirectory) {
    return layout.nRoot + (U32At(file, nDirectory + 20) & 0x7FFFFFFF);  // first entry's target
  };
  layout.nNames = Below(layout.nRoot);
  layout.nLanguages = Below(layout.nNames);
  layout.nDataEntry = Below(layout.nLanguages);
  return layout;
}

TEST(PeResources, FindsTheVersionOfRealFilesAndTruncatedOnesFailOrGiveItWhole) {
  for (const char* name : {"english64.exe", "german32.dll", "untranslated32.exe"}) {
    std::string block;
    ASSERT_EQ(FindVersion(ReadTestData(std::string("pe/") + name), &block), ERROR_SUCCESS) << name;
    ASSERT_GE(block.size(), 6u) << name;
    EXPECT_EQ(static_cast<uint8_t>(block[0]) | static_cast<uint8_t>(block[1]) << 8, block.size())
        << name;  // the block's own length is the resource's size
    EXPECT_EQ(block.substr(6, 30), std::string("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30))
        << name;
  }
  EXPECT_EQ(FindVersion(ReadTestData("pe/rcdata64.exe")), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(FindVersion(ReadTestData("pe/bare32.exe")), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(FindVersion("MZ but not much more"), ERROR_BAD_EXE_FORMAT);
  EXPECT_EQ(FindVersion(ReadTestData("pe/build.sh")), ERROR_BAD_EXE_FORMAT);
  EXPECT_EQ(FindVersion(""), ERROR_BAD_EXE_FORMAT);

  for (const char* name : {"english64.exe", "german32.dll"}) {
    const std::string file = ReadTestData(std::string("pe/") + name);
    std::string whole;
    ASSERT_EQ(FindVersion(file, &whole), ERROR_SUCCESS);
    size_t nShortestFound = file.size();
    for (size_t nLength = 0; nLength < file.size(); ++nLength) {
      std::string block;
      const uint32_t err = FindVersion(file.substr(0, nLength), &block);
      if (err == ERROR_SUCCESS) {
        EXPECT_EQ(block, whole) << name << " cut at " << nLength;
        nShortestFound = std::min(nShortestFound, nLength);
      } else {
        EXPECT_EQ(err, ERROR_BAD_EXE_FORMAT) << name << " cut at " << nLength;
      }
    }
    // Found exactly when the file still holds the resource's last byte.
    EXPECT_EQ(file.substr(nShortestFound - whole.size(), whole.size()), whole) << name;
  }
}

TEST(PeResources, DamagedResourceDirectoriesFailCleanly) {
  const std::string file = ReadTestData("pe/english64.exe");
  const ResourceLayout at = LayoutOf(file);
  struct Damage {
    const char* what;
    size_t nOffset;
    uint32_t dwValue, dwError;
  };
  const Damage damages[] = {
      {"huge entry count", at.nRoot + 12, 0xFFFF0000, ERROR_BAD_EXE_FORMAT},
      {"type points outside", at.nRoot + 20, 0xFFFFFFF0, ERROR_BAD_EXE_FORMAT},
      {"type is data, not a directory", at.nRoot + 20, 0x10, ERROR_BAD_EXE_FORMAT},
      {"name directory is the root again", at.nNames + 20, 0x80000000, ERROR_BAD_EXE_FORMAT},
      {"language directory is itself", at.nLanguages + 20,
       0x80000000 | static_cast<uint32_t>(at.nLanguages - at.nRoot), ERROR_BAD_EXE_FORMAT},
      {"no language", at.nLanguages + 14, 0, ERROR_RESOURCE_LANG_NOT_FOUND},
      {"no name", at.nNames + 12, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {"other type", at.nRoot + 16, 3, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"data outside every section", at.nDataEntry, 0x7FFF0000, ERROR_BAD_EXE_FORMAT},
      {"data larger than its section", at.nDataEntry + 4, 0xFFFFFFFF, ERROR_BAD_EXE_FORMAT},
      {"section table beyond the file", U32At(file, 0x3C) + 6, 0x0000FFFF, ERROR_BAD_EXE_FORMAT},
  };
  for (const Damage& damage : damages) {
    std::string bad = file;
    SetU32(bad, damage.nOffset, damage.dwValue);
    EXPECT_EQ(FindVersion(bad), damage.dwError) << damage.what;
  }
  // PE32+: the resource slot is the third data directory after NumberOfRvaAndSizes at 108.
  std::string noResources = file;
  SetU32(noResources, U32At(file, 0x3C) + 24 + 112 + 2 * 8, 0);
  EXPECT_EQ(FindVersion(noResources), ERROR_RESOURCE_DATA_NOT_FOUND);
}

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
