// .reg text: every value type survives export and import, both file versions and encodings read
// as the registry editor writes them, unreadable lines are skipped with their line and reason, and
// a write the registry refuses leaves nothing of the file behind.
#include "platform/emulated/registry/reg_text.h"

#include <map>
#include <sstream>

#include "platform/code_page.h"
#include "registry_test_util.h"

namespace platform::emulated::test {
namespace {

using enum RegRoot;
using RegTextTest = RegistryTest;

// Every key below key with its values, "path|name" -> "type:bytes", for comparing two trees.
void CollectTree(Registry& reg, RegRoot root, const std::string& key,
                 std::map<std::string, std::string>& tree) {
  std::string name;
  RegValue value;
  tree[key + "\\"];  // the key itself, also when it holds nothing
  for (uint32_t i = 0; reg.EnumValue(root, key, i, name, value) == ERROR_SUCCESS; ++i)
    tree[key + "|" + name] = std::to_string(value.dwType) + ":" + Text(value);
  for (uint32_t i = 0; reg.EnumKey(root, key, i, name) == ERROR_SUCCESS; ++i)
    CollectTree(reg, root, key + "\\" + name, tree);
}

std::string Export(Registry& reg, RegRoot root, const std::string& key) {
  std::string text;
  EXPECT_EQ(ExportRegText(reg, root, key, text), ERROR_SUCCESS);
  return text;
}

TEST_F(RegTextTest, EveryValueTypeSurvivesExportAndImport) {
  const std::string key = "Software\\Round \"Trip\"";
  ASSERT_EQ(reg->CreateKey(CurrentUser, key + "\\Sub\\Deeper"), ERROR_SUCCESS);
  std::string binary;
  for (int i = 0; i < 300; ++i) binary += static_cast<char>(i);
  const std::map<std::string, RegValue> values = {
      {"", Sz("default")},
      {"Plain \\ \"quoted\" \xE9\x80", Sz("C:\\Program Files\\\"x\" \xE9\x80")},
      {"Lines", Sz("one\r\ntwo")},
      {"NoZero", Bytes(REG_SZ, "abc")},
      {"Expand", Sz("%SystemRoot%\\\xE9", REG_EXPAND_SZ)},
      {"Multi", Bytes(REG_MULTI_SZ, std::string("a\0\x80\0\0", 5))},
      {"Binary", Bytes(REG_BINARY, binary)},
      {"Empty", Bytes(REG_BINARY, "")},
      {"None", Bytes(REG_NONE, "")},
      {"Dword", Dword(0xDEADBEEF)},
      {"ShortDword", Bytes(REG_DWORD, "\x01\x02")},
      {"BigEndian", Bytes(REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04")},
      {"Qword", Bytes(REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08")},
      {"OddType", Bytes(0x12345, "\xFF")},
  };
  for (const auto& [name, value] : values)
    ASSERT_EQ(reg->SetValue(CurrentUser, key + "\\Sub", name, value), ERROR_SUCCESS) << name;
  const std::string text = Export(*reg, CurrentUser, key);

  // The layout the editor writes: CRLF, lines of at most 80 columns, UTF-8 text.
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\", 0), 0u);
  EXPECT_NE(text.find("\"Dword\"=dword:deadbeef\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,00,53,00"), std::string::npos);
  EXPECT_NE(text.find(AnsiToUtf8("\"Plain \\\\ \\\"quoted\\\" \xE9\x80\"")), std::string::npos);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r');
    EXPECT_LE(Utf8ToUtf16(line).size(), 81u) << line;
  }

  tarvium::test::TempDir otherDir;
  auto other = OpenRegistry(otherDir.Path());
  RegTextError error;
  ASSERT_EQ(ImportRegText(*other, text, error), ERROR_SUCCESS) << error.nLine << error.message;
  std::map<std::string, std::string> original, imported;
  CollectTree(*reg, CurrentUser, key, original);
  CollectTree(*other, CurrentUser, key, imported);
  original[key + "\\Sub|NoZero"] = "1:abc" + std::string(1, '\0');  // reg export cuts at the zero
  EXPECT_EQ(imported, original);
  EXPECT_EQ(original.size(), values.size() + 3);
  EXPECT_EQ(Export(*other, CurrentUser, key), text);
}

TEST_F(RegTextTest, ReadsRegedit4AndUtf16Files) {
  // REGEDIT4 in Windows-1252: string types in hex are the bytes themselves.
  const std::string v4 =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\V4]\r\n"
      "\"Caf\xE9\"=\"cr\xE8me\"\r\n"
      "\"Path\"=hex(2):25,41,25,00\r\n";
  RegTextError error;
  ASSERT_EQ(ImportRegText(*reg, v4, error), ERROR_SUCCESS) << error.message;
  EXPECT_EQ(Read(LocalMachine, "Software\\V4", "CAF\xC9"), Text(Sz("cr\xE8me")));
  EXPECT_EQ(Read(LocalMachine, "Software\\V4", "Path"), Text(Sz("%A%")));

  // Version 5 in UTF-16LE with BOM: hex(7) holds UTF-16LE strings, converted to Windows-1252.
  const std::u16string v5 =
      u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.t\u00e9st]\r\n"
      u"@=\"\u20ac uro\"\r\n"
      u"\"List\"=hex(7):61,00,00,00,ac,20,00,00,00,00\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : v5) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  ASSERT_EQ(ImportRegText(*reg, bytes, error), ERROR_SUCCESS) << error.message;
  EXPECT_EQ(Read(ClassesRoot, ".t\xE9st", ""), Text(Sz("\x80 uro")));
  EXPECT_EQ(Read(ClassesRoot, ".t\xE9st", "List"), std::string("a\0\x80\0\0", 5));

  // UTF-8 with BOM, lower-case keywords, short root names.
  ASSERT_EQ(ImportRegText(*reg,
                          "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKCU\\U8]\n"
                          "\"\xC3\xA9\"=DWORD:1f\n",
                          error),
            ERROR_SUCCESS)
      << error.message;
  EXPECT_EQ(Read(CurrentUser, "U8", "\xE9"), Text(Dword(0x1F)));
}

TEST_F(RegTextTest, DeletionsCommentsAndContinuedLines) {
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Gone\\Child"), ERROR_SUCCESS);
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Kept"), ERROR_SUCCESS);
  for (const char* name : {"", "drop", "keep"})
    ASSERT_EQ(reg->SetValue(CurrentUser, "Kept", name, Sz("x")), ERROR_SUCCESS);
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "; a comment\r\n"
      "[-HKEY_CURRENT_USER\\Gone]\r\n"
      "[-HKEY_CURRENT_USER\\NeverWas]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Kept]\r\n"
      "@=-\r\n"
      "\"drop\" = -\r\n"
      "\"absent\"=-\r\n"
      "\"bin\"=hex:01,02,\\\r\n"
      "    03,04,\\\r\n"
      "  05\r\n"
      "\"after\"=\"a\\\\\"\r\n";
  RegTextError error;
  ASSERT_EQ(ImportRegText(*reg, text, error), ERROR_SUCCESS) << error.nLine << error.message;
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read(CurrentUser, "Kept", ""), "<error 2>");
  EXPECT_EQ(Read(CurrentUser, "Kept", "drop"), "<error 2>");
  EXPECT_EQ(Read(CurrentUser, "Kept", "keep"), Text(Sz("x")));
  EXPECT_EQ(Read(CurrentUser, "Kept", "bin"), "\x01\x02\x03\x04\x05");
  EXPECT_EQ(Read(CurrentUser, "Kept", "after"), Text(Sz("a\\")));
}

TEST_F(RegTextTest, UnreadableLinesAreSkippedWithTheirLineAndReason) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "[HKEY_CURRENT_USER\\M]\r\n"
      "\"a\"=\"unterminated\r\n"   // 3
      "\"b\"=dword:123456789\r\n"  // 4
      "garbage\r\n"                // 5
      "\"c\"=\"kept\"\r\n"
      "[HKEY_NOWHERE\\M]\r\n"             // 7
      "\"d\"=\"lost with its key\"\r\n"   // 8
      "[-HKEY_CURRENT_USER]\r\n"          // 9
      "[HKEY_CURRENT_USER\\M\\\\N]\r\n";  // 10
  std::vector<RegTextOp> ops;
  std::vector<RegTextError> skipped;
  RegTextError error;
  ASSERT_EQ(ParseRegText(text, ops, error, &skipped), ERROR_SUCCESS);
  std::vector<uint32_t> lines;
  for (const RegTextError& line : skipped) {
    lines.push_back(line.nLine);
    EXPECT_FALSE(line.message.empty());
  }
  EXPECT_EQ(lines, (std::vector<uint32_t>{3, 4, 5, 7, 8, 9, 10}));
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[1].valueName, "c");
  EXPECT_EQ(ops[1].nLine, 6u);

  EXPECT_EQ(ParseRegText("", ops, error), ERROR_INVALID_DATA);
  EXPECT_EQ(error.nLine, 1u);
}

// A write the registry refuses undoes the writes of the file before it: nothing of it stays.
TEST_F(RegTextTest, ARefusedWriteLeavesNothingOfTheFile) {
  ASSERT_EQ(reg->CreateKey(CurrentUser, "Kept"), ERROR_SUCCESS);
  ASSERT_EQ(reg->SetValue(CurrentUser, "Kept", "old", Sz("x")), ERROR_SUCCESS);
  std::string deep = "HKEY_CURRENT_USER\\Deep";
  for (int i = 0; i < 600; ++i) deep += "\\k";
  const std::string head =
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\New]\r\n\"v\"=\"x\"\r\n[-HKEY_CURRENT_USER\\Kept]\r\n";
  const std::pair<std::string, uint32_t> refusals[] = {
      {"[HKEY_CURRENT_USER\\New]\r\n\"" + std::string(20000, 'n') + "\"=\"x\"\r\n", 6},
      {"[" + deep + "]\r\n", 5},
  };
  for (const auto& [tail, nLine] : refusals) {
    RegTextError error;
    EXPECT_NE(ImportRegText(*reg, head + tail, error), ERROR_SUCCESS);
    EXPECT_EQ(error.nLine, nLine);
    EXPECT_EQ(reg->OpenKey(CurrentUser, "New"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(CurrentUser, "Kept", "old"), Text(Sz("x"))) << "the deleted tree is back";
  }
#ifdef TARVIUM_FAULT_SEAM
  reg->RefuseWrites(true, 2);  // the key and the value are written, the tree's deletion refused
  RegTextError error;
  EXPECT_EQ(ImportRegText(*reg, head, error), ERROR_ACCESS_DENIED);
  EXPECT_EQ(error.nLine, 4u);
  reg->RefuseWrites(false);
  EXPECT_EQ(reg->OpenKey(CurrentUser, "New"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(ImportRegText(*reg, head, error), ERROR_SUCCESS) << "the registry is usable after it";
  EXPECT_EQ(Read(CurrentUser, "New", "v"), Text(Sz("x")));
  EXPECT_EQ(reg->OpenKey(CurrentUser, "Kept"), ERROR_FILE_NOT_FOUND);
#endif
}

}  // namespace
}  // namespace platform::emulated::test
