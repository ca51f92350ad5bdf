// Encrypted values: the crypt classes and their factory, the recognition of the forms, the guard
// the engine calls through the script engine's hooks, and the scramble of recorded answers.
#include <gtest/gtest.h>

#include <string>

#include "engine/encrypted_value.h"
#include "engine/setup_run.h"
#include "script/crypt/aes_decrypt.h"
#include "script/crypt/crypt_factory.h"
#include "script/crypt/decrypt_value.h"
#include "script/crypt/fixed_crypt.h"
#include "script/crypt/md5_crypt.h"
#include "script/crypt/scramble_value.h"
#include "script/crypt/setup_crypt.h"
#include "script/crypt/sync_decrypt.h"
#include "script/script_engine.h"
#include "support/test_machine.h"

namespace {

using namespace Tarvium;

std::string Decrypted(std::string value) {
  EXPECT_TRUE(DecryptValue(value)) << value;
  return value;
}

TEST(EncryptedValues, EveryReversibleFormDecryptsBack) {
  for (const std::string& text : {std::string(), std::string("s3cret"),
                                  std::string("p\xE4ss, w\"o;rd %x%"), std::string(19, 'z')}) {
    std::string sync, aes, fixed, tilde, mode1;
    ASSERT_TRUE(CSyncDecrypt().MakeValue(text, sync));
    ASSERT_TRUE(CAESDecrypt().MakeValue(text, aes));
    ASSERT_TRUE(CFixedCrypt().Encrypt(text, fixed));
    ASSERT_TRUE(CSetupCrypt(2).Encrypt(text, tilde));
    ASSERT_TRUE(CSetupCrypt(1).Encrypt(text, mode1));
    EXPECT_EQ(fixed.size(), 42u);
    EXPECT_EQ(tilde.find_first_not_of("0123456789abcdef", 2), std::string::npos) << tilde;
    for (const std::string& value : {sync, aes, fixed, tilde}) EXPECT_EQ(Decrypted(value), text);
    std::string plain;
    ASSERT_TRUE(CSetupCrypt(1).Decrypt(mode1, plain));
    EXPECT_EQ(plain, text);
  }
  std::string unchanged = "kept";
  EXPECT_FALSE(CFixedCrypt().Encrypt(std::string(20, 'z'), unchanged));
  EXPECT_EQ(unchanged, "kept");
}

TEST(EncryptedValues, DamagedValuesFailAndStayUnchanged) {
  std::string sync, fixed;
  ASSERT_TRUE(CSyncDecrypt().MakeValue("password", sync));
  ASSERT_TRUE(CFixedCrypt().Encrypt("password", fixed));
  std::string tampered = sync;
  tampered[tampered.size() / 2] = tampered[tampered.size() / 2] == '0' ? '1' : '0';
  std::string fixedPadding = fixed;
  fixedPadding[40] = fixedPadding[40] == '0' ? '1' : '0';  // a byte of the zero padding
  for (const std::string& bad :
       {tampered, sync.substr(0, 21), std::string("#"), "#" + sync.substr(2), sync + "g",
        fixedPadding, "A" + std::string(40, 'g') + "X", std::string("X0123"),
        "X" + std::string(32, '0'), std::string("~Aabc"), std::string("~a6263"),
        std::string("*1abc"), std::string("*")}) {
    std::string value = bad;
    EXPECT_FALSE(DecryptValue(value)) << bad;
    EXPECT_EQ(value, bad);
    EXPECT_FALSE(IsNonEmptyEncryptedValue(bad)) << bad;
  }
}

TEST(EncryptedValues, FormsAreToldApartByFirstCharacterAndLength) {
  const std::string a42 = "A" + std::string(40, '0') + "X";
  EXPECT_EQ(EncryptedValueKind("*Kxyz"), kCryptSetup2);
  EXPECT_EQ(EncryptedValueKind("~B00"), kCryptSetup2);
  EXPECT_EQ(EncryptedValueKind(a42), kCryptFixed);
  EXPECT_EQ(EncryptedValueKind(a42.substr(1)), kCryptNone) << "41 characters: plain text";
  EXPECT_EQ(EncryptedValueKind("A" + std::string(41, '0')), kCryptNone) << "no final X";
  EXPECT_EQ(EncryptedValueKind("#00"), kCryptSync);
  EXPECT_EQ(EncryptedValueKind("X00"), kCryptAes);
  for (const std::string& plain :
       {std::string(), std::string("Bsecret"), std::string("xlower"), "a" + a42.substr(1)})
    EXPECT_EQ(EncryptedValueKind(plain), kCryptNone) << plain;
}

TEST(EncryptedValues, DigestModesHashAndCannotDecrypt) {
  std::string digest;
  ASSERT_TRUE(CMD5Crypt(1).Encrypt("abc", digest));
  EXPECT_EQ(digest, "900150983cd24fb0d6963f7d28e17f72");
  std::string upper;
  ASSERT_TRUE(CMD5Crypt(2).Encrypt("aBc", upper));
  ASSERT_TRUE(CMD5Crypt(1).Encrypt("ABC", digest));
  EXPECT_EQ(upper, digest) << "mode 2 ignores case";
  std::string salted, salt;
  ASSERT_TRUE(CSetupCrypt(4).Encrypt("abc", salted));
  ASSERT_TRUE(CMD5Crypt(1).Encrypt("abczq58", salt));
  EXPECT_EQ(salted, salt);
  std::string keyed;
  ASSERT_TRUE(CSetupCrypt(3).Encrypt("abc", keyed));
  EXPECT_EQ(keyed.size(), 32u);
  EXPECT_NE(keyed, digest);
  std::string out = "kept";
  for (int nKind : {4, 5, 7, 8}) EXPECT_FALSE(CreateCrypt(nKind)->Decrypt(salted, out)) << nKind;
  EXPECT_FALSE(CSetupCrypt(5).Encrypt("abc", out));
  EXPECT_EQ(out, "kept");
}

TEST(EncryptedValues, ScrambleXorsByPositionAndDecryptsBack) {
  std::string text = "abc";
  ASSERT_TRUE(ScrambleValue(text, 26));  // key letter A
  EXPECT_EQ(text, std::string("*A") + char('a' ^ 3) + char('b' ^ 2) + char('c' ^ 1));
  text = "abc";
  ASSERT_TRUE(ScrambleValue(text, 2));  // key letter C adds 2 to each mask
  EXPECT_EQ(text, std::string("*C") + char('a' ^ 5) + char('b' ^ 4) + char('c' ^ 3));

  for (const std::string& plain :
       {std::string("x"), std::string("Answer, with \\ and %"), std::string(253, '\xE9')}) {
    for (uint64_t nTick : {0u, 7u, 25u}) {
      std::string value = plain;
      ASSERT_TRUE(ScrambleValue(value, nTick));
      EXPECT_EQ(Decrypted(value), plain);
    }
  }
  std::string tooLong(254, 'a');
  EXPECT_FALSE(ScrambleValue(tooLong, 0));
  EXPECT_EQ(tooLong, std::string(254, 'a'));
}

TEST(EncryptedValues, GuardThroughTheEngineHooks) {
  tarvium::test::TestMachine machine;
  tarvium::SetupRun run(machine.Machine());
  tarvium::AttachScriptEngine(run);

  std::string empty;
  tarvium::DecryptGuard(run, empty);
  EXPECT_EQ(empty, "");
  std::string aes;
  ASSERT_TRUE(CAESDecrypt().MakeValue("secret", aes));
  std::string guarded = aes;
  tarvium::DecryptGuard(run, guarded);
  EXPECT_EQ(guarded, aes) << "AES values are not decrypted by the guard";
  EXPECT_EQ(run.debugLines, (std::vector<std::string>{"An empty string will not be decrypted\r\n",
                                                      "AES decryption is not allowed here\r\n"}));

  const std::string plain41 = "A" + std::string(39, 'b') + "X";
  for (const std::string& plain : {std::string("Bpassword"), plain41}) {
    std::string value = plain;
    tarvium::DecryptGuard(run, value);
    EXPECT_EQ(value, plain);
    EXPECT_FALSE(tarvium::IsNonEmptyEncryptedValue(run, plain));
  }
  std::string fixed, fixedEmpty;
  ASSERT_TRUE(CFixedCrypt().Encrypt("secret", fixed));
  ASSERT_TRUE(CFixedCrypt().Encrypt("", fixedEmpty));
  EXPECT_TRUE(tarvium::IsNonEmptyEncryptedValue(run, fixed));
  EXPECT_FALSE(tarvium::IsNonEmptyEncryptedValue(run, fixedEmpty));
  tarvium::DecryptGuard(run, fixed);
  EXPECT_EQ(fixed, "secret");

  std::string answer = "recorded answer";
  ASSERT_TRUE(ScrambleValue(run, answer));
  EXPECT_TRUE(answer[0] == '*' && IsScrambleKey(answer[1])) << answer;
  tarvium::DecryptGuard(run, answer);
  EXPECT_EQ(answer, "recorded answer");
}

TEST(EncryptedValues, HexConversionIsLowerCaseAndStrict) {
  const CAESDecrypt crypt;
  EXPECT_EQ(crypt.BytesToHex(std::string("\x00\xAB\x7F", 3)), "00ab7f");
  std::string bytes = "kept";
  EXPECT_TRUE(crypt.HexToBytes("00AB7f", bytes));
  EXPECT_EQ(bytes, std::string("\x00\xAB\x7F", 3));
  bytes = "kept";
  for (const char* bad : {"abc", "0g", "00 1", "0x"}) EXPECT_FALSE(crypt.HexToBytes(bad, bytes));
  EXPECT_EQ(bytes, "kept");
}

}  // namespace
