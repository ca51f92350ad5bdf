// CompareTextNoCase on Windows against the order text_collation.h describes, one table of pairs
// compared both ways. The accented cases are written in Windows-1252 and run only where that is
// the process's ANSI code page.
#include "platform/text_collation.h"

#include <gtest/gtest.h>

#include "platform/win32/win32_modules.h"
#include "platform/win_error.h"

namespace platform::win32 {
namespace {

int Sign(int n) {
  return (n > 0) - (n < 0);
}

// The process's ANSI code page, asked through the modules service: this file includes no
// Windows header, whose macros would replace the interface's constants.
unsigned AnsiCodePage() {
  Win32Modules modules;
  ModuleHandle hKernel = ModuleHandle::Invalid;
  if (modules.LoadLibrary("kernel32.dll", hKernel) != ERROR_SUCCESS) return 0;
  using GetAcpEntry = unsigned(__stdcall*)();
  const auto getAcp = reinterpret_cast<GetAcpEntry>(modules.GetProcAddress(hKernel, "GetACP"));
  const unsigned nCodePage = getAcp ? getAcp() : 0;
  modules.FreeLibrary(hKernel);
  return nCodePage;
}

struct CollationCase {
  std::string_view a;
  std::string_view b;
  int nOrder;  // of a against b: -1, 0 or 1
  bool bWindows1252 = false;
};

TEST(Win32TextCollation, OrdersTextAsTheInterfaceDescribes) {
  const CollationCase cases[] = {
      {"abc", "ABC", 0},
      {"apple", "Banana", -1},
      {"abc", "abcd", -1},
      {"file10", "file9", -1},
      // Only the given lengths count, and no text is the least.
      {std::string_view("abX", 2), "AB", 0},
      {std::string_view(), std::string_view(), 0},
      {std::string_view(), "a", -1},
      // The word-sort rule: hyphen and apostrophe are passed over, then the text without them
      // comes first.
      {"coop", "co-op", -1},
      {"co-op", "cop", -1},
      {"can't", "cans", 1},
      {"a-b", "ab", 1},
      // Accents decide only between texts that are otherwise equal; ligatures are their letters.
      // Windows-1252 in octal escapes: \351 is e acute, \311 its capital, \337 sharp s, \346 ae.
      {"\351", "e", 1, true},
      {"\351a", "eb", -1, true},
      {"\311t\351", "\351T\311", 0, true},
      {"stra\337e", "STRASSE", 0, true},
      {"\346", "AE", 0, true},
  };
  const bool bWindows1252 = AnsiCodePage() == 1252;
  for (const auto& [a, b, nOrder, bNeeds1252] : cases) {
    if (bNeeds1252 && !bWindows1252) continue;
    EXPECT_EQ(Sign(CompareTextNoCase(a, b)), nOrder) << "'" << a << "' '" << b << "'";
    EXPECT_EQ(Sign(CompareTextNoCase(b, a)), -nOrder) << "'" << b << "' '" << a << "'";
  }
  // Punctuation and symbols, the ASCII ones by their code, then + < = >, then digits, then
  // letters (hyphen and apostrophe are left out: they are passed over).
  constexpr std::string_view kOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0aB";
  for (size_t i = 0; i + 1 < kOrder.size(); ++i)
    EXPECT_LT(CompareTextNoCase(kOrder.substr(i, 1), kOrder.substr(i + 1, 1)), 0) << kOrder[i];
}

}  // namespace
}  // namespace platform::win32
