// The registry line parser on its own: both forms, every type, the numbers, the byte and string
// lists, the "::" names and the lines that are no registry lines.
#include <gtest/gtest.h>

#include "sysconfig/reg_line.h"

namespace tarvium::test {
namespace {

using Bytes = std::vector<uint8_t>;
using platform::RegRoot;

const SubstituteVariables kNoVariables = [](std::string&) {};

RegLine Parse(const std::string& text) {
  RegLine reg;
  EXPECT_TRUE(ParseRegLine(text, kNoVariables, reg)) << text;
  return reg;
}

Bytes Text(std::string_view text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

TEST(RegLineParser, TypesAndDataOfBothForms) {
  struct Case {
    const char* line;
    uint32_t dwType;
    Bytes data;
  };
  const Case cases[] = {
      {R"(HKLM\Software\T:D=dword:10)", platform::REG_DWORD, {0x10, 0, 0, 0}},
      {R"(HKLM\Software\T:D=DWORD: 0x1f)", platform::REG_DWORD, {0x1f, 0, 0, 0}},
      {"HKLM,Software\\T,C,0x00010001,10", platform::REG_DWORD, {10, 0, 0, 0}},
      {"HKLM,Software\\T,C,0x00010001,0x10", platform::REG_DWORD, {0x10, 0, 0, 0}},
      {"HKLM,Software\\T,C,65537,4294967295", platform::REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
      {R"(HKLM\Software\T:Q=qword:100000000)", platform::REG_QWORD, {0, 0, 0, 0, 1, 0, 0, 0}},
      {"HKLM,Software\\T,Q,0x00040001,256", platform::REG_QWORD, {0, 1, 0, 0, 0, 0, 0, 0}},
      {R"(HKLM\Software\T:B=hex:01,'ab',02)", platform::REG_BINARY, {1, 'a', 'b', 0, 2}},
      {R"(HKLM\Software\T:B=hexsz:01,'ab',02)", platform::REG_SZ, {1, 'a', 'b', 2}},
      {R"(HKLM\Software\T:H=hexsz:41,42,00)", platform::REG_SZ, {'A', 'B', 0}},
      {"HKLM,Software\\T,B,0x10000001,41,\"b\"\"c\"", platform::REG_SZ, {'A', 'b', '"', 'c'}},
      {"HKLM,Software\\T,B,1,01, 'x',zz", platform::REG_BINARY, {1, 0, 0}},
      {"HKLM,Software\\T,N,0x00020001,01,02,03", platform::REG_NONE, {1, 2, 3}},
      {"HKLM,Software\\T,B,0x80001,7", platform::REG_BINARY, {7}},
      {R"(HKLM\Software\T:M=multisz:a,,b)", platform::REG_MULTI_SZ, {'a', 0, 'b', 0, 0}},
      {"HKLM,Software\\T,M,0x00010000,a\tb,c", platform::REG_MULTI_SZ, {'a', 0, 'b', 0, 'c', 0, 0}},
      {R"(HKLM\Software\T:E=expandsz:%Path%)", platform::REG_EXPAND_SZ, Text("%Path%")},
      {"HKLM,Software\\T,E,0x00020000, %Path%", platform::REG_EXPAND_SZ, Text("%Path%")},
      {R"(HKLM\Software\T:S= "quoted", kept)", platform::REG_SZ, Text("\"quoted\", kept")},
      {"HKLM,Software\\T,S,0,\"a, b\",ignored", platform::REG_SZ, Text("a, b")},
      {"HKLM,Software\\T,S,0x80040", platform::REG_SZ, Text("")},
  };
  for (const Case& c : cases) {
    const RegLine reg = Parse(c.line);
    EXPECT_EQ(reg.dwType, c.dwType) << c.line;
    EXPECT_EQ(reg.data, c.data) << c.line;
  }
}

TEST(RegLineParser, KeysValueNamesAndFlags) {
  struct Case {
    const char* line;
    RegRoot root;
    const char* keyPath;
    const char* valueName;
    bool bCommaForm;
  };
  const Case cases[] = {
      {R"(HKLM\Software\T  =default)", RegRoot::LocalMachine, "Software\\T", "", false},
      {R"(hkey_current_user\Software\T)", RegRoot::CurrentUser, "Software\\T", "", false},
      {R"(HKCR\.ext\A::Name=x)", RegRoot::ClassesRoot, ".ext\\A:", "Name", false},
      {R"(HKCC\Software\T:Name:More=x)", RegRoot::CurrentConfig, "Software\\T", "Name:More", false},
      {R"(HKU\.DEFAULT\T:=x)", RegRoot::Users, ".DEFAULT\\T", "", false},
      {"HKEY_LOCAL_MACHINE, Software\\T  ,'N,1',0", RegRoot::LocalMachine, "Software\\T", "N,1",
       true},
  };
  for (const Case& c : cases) {
    const RegLine reg = Parse(c.line);
    EXPECT_EQ(reg.root, c.root) << c.line;
    EXPECT_EQ(reg.keyPath, c.keyPath) << c.line;
    EXPECT_EQ(reg.valueName, c.valueName) << c.line;
    EXPECT_EQ(reg.commaForm, c.bCommaForm) << c.line;
  }
  const RegLine flags = Parse("HKLM,K,N,0x1E,v");
  EXPECT_TRUE(flags.noClobber && flags.isDelete && flags.append && flags.keyOnly);
  EXPECT_TRUE(Parse(R"(HKPD\Counter:N=1)").bRootMissing);

  RegLine skipped;
  for (const char* line :
       {"Caption=Writing the keys", "HKXX\\Software\\T:N=1", "Nothing,here", "Software\\T"})
    EXPECT_FALSE(ParseRegLine(line, kNoVariables, skipped)) << line;
}

TEST(RegLineParser, VariablesAreSubstitutedInKeyNameAndValue) {
  RegLine reg;
  const SubstituteVariables substitute = [](std::string& text) {
    for (size_t n; (n = text.find("%V%")) != std::string::npos;) text.replace(n, 3, "Sub");
  };
  ASSERT_TRUE(ParseRegLine(R"(HKLM\Software\%V%:%V%Name=expandsz:%V%)", substitute, reg));
  EXPECT_EQ(reg.keyPath, "Software\\Sub");
  EXPECT_EQ(reg.valueName, "SubName");
  EXPECT_EQ(reg.valueText, "Sub");
  EXPECT_EQ(reg.dwType, platform::REG_EXPAND_SZ);
  // The type is read after substitution, so a variable can hold the prefix.
  const SubstituteVariables prefix = [](std::string& text) {
    if (text.starts_with("%T%")) text.replace(0, 3, "dword: ");
  };
  ASSERT_TRUE(ParseRegLine(R"(HKLM\Software\T:D=%T%1f)", prefix, reg));
  EXPECT_EQ(reg.dwType, platform::REG_DWORD);
  EXPECT_EQ(reg.data, (Bytes{0x1f, 0, 0, 0}));
  ASSERT_TRUE(ParseRegLine("HKLM,%V%,%V%,0,%V%", substitute, reg));
  EXPECT_EQ(reg.keyPath + reg.valueName + reg.valueText, "SubSubSub");
}

}  // namespace
}  // namespace tarvium::test
