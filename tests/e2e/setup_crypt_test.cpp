// setup-crypt as a packager runs it: every form it writes is decrypted by the engine's own
// DecryptValue to the text that went in, and its errors are one line with a clear status.
#include <gtest/gtest.h>

#include <string>

#include "script/crypt/decrypt_value.h"
#include "support/run_tool.h"

namespace {

using tarvium::test::RunTool;
using tarvium::test::ShellQuote;
using tarvium::test::ToolResult;

ToolResult SetupCrypt(const std::string& args) {
  return RunTool("setup-crypt", args);
}

// The value the tool prints, without its line end; empty when it failed.
std::string Encrypted(const std::string& form, const std::string& text) {
  const ToolResult result = SetupCrypt("encrypt --form " + form + " " + ShellQuote(text));
  EXPECT_EQ(result.nExit, 0) << form << ": " << result.out;
  if (result.nExit != 0 || result.out.empty() || result.out.back() != '\n') return "";
  return result.out.substr(0, result.out.size() - 1);
}

bool IsOneErrorLine(const ToolResult& result) {
  return result.out.rfind("setup-crypt: ", 0) == 0 &&
         result.out.find('\n') == result.out.size() - 1;
}

TEST(SetupCryptTool, EveryFormDecryptsInTheEngine) {
  const std::string text = "Pa$$ w0rd, \"quoted\" 100%";
  const struct {
    const char* form;
    char cFirst;
  } forms[] = {{"sync", '#'}, {"aes", 'X'}, {"tilde", '~'}, {"star", '*'}, {"fixed", 'A'}};
  for (const auto& form : forms) {
    const std::string plain = form.cFirst == 'A' ? text.substr(0, 19) : text;
    const std::string value = Encrypted(form.form, plain);
    ASSERT_FALSE(value.empty()) << form.form;
    EXPECT_EQ(value[0], form.cFirst) << value;
    std::string decrypted = value;
    EXPECT_TRUE(Tarvium::DecryptValue(decrypted)) << value;
    EXPECT_EQ(decrypted, plain) << form.form;
    EXPECT_EQ(SetupCrypt("decrypt " + ShellQuote(value)).out, plain + "\n") << form.form;
  }
  EXPECT_EQ(Encrypted("fixed", "").size(), 42u);
  EXPECT_EQ(SetupCrypt("encrypt 'default form'").out[0], '#');
}

TEST(SetupCryptTool, FailuresAreOneLineWithStatus) {
  const ToolResult tooLong = SetupCrypt("encrypt --form fixed " + std::string(20, 'x'));
  EXPECT_EQ(tooLong.nExit, 1);
  EXPECT_TRUE(IsOneErrorLine(tooLong)) << tooLong.out;
  EXPECT_NE(tooLong.out.find("at most 19 characters"), std::string::npos);

  std::string sync = Encrypted("sync", "secret");
  sync[10] = sync[10] == 'a' ? 'b' : 'a';
  for (const std::string& value : {sync, std::string("plain"), std::string("#12z4")}) {
    const ToolResult result = SetupCrypt("decrypt " + ShellQuote(value));
    EXPECT_EQ(result.nExit, 1) << value;
    EXPECT_TRUE(IsOneErrorLine(result)) << result.out;
  }
  for (const char* args : {"", "bogus", "encrypt", "decrypt", "encrypt --form", "decrypt a b",
                           "encrypt --form rot13 x", "encrypt --from star x"}) {
    const ToolResult result = SetupCrypt(args);
    EXPECT_EQ(result.nExit, 2) << args << ": " << result.out;
    EXPECT_TRUE(IsOneErrorLine(result)) << args << ": " << result.out;
  }
  const ToolResult help = SetupCrypt("--help");
  EXPECT_EQ(help.nExit, 0);
  EXPECT_EQ(help.out.rfind("usage: setup-crypt encrypt", 0), 0u) << help.out;
}

}  // namespace
