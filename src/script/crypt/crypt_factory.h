// Chooses the crypt object for a kind number, and the kind of an encrypted value from its first
// character, so that the rules that tell the encrypted forms apart stand in one place.
#pragma once
#include <memory>
#include <string_view>

#include "script/crypt/base_decrypt.h"

namespace Tarvium {

// Kind numbers of the factory.
enum CryptKind : int {
  kCryptNone = 0,
  kCryptFixed = 1,      // CFixedCrypt
  kCryptSetup2 = 2,     // CSetupCrypt mode 2
  kCryptSync = 3,       // CSyncDecrypt
  kCryptMd5First = 4,   // CMD5Crypt mode 1
  kCryptMd5Second = 5,  // CMD5Crypt mode 2
  kCryptSetup1 = 6,     // CSetupCrypt mode 1
  kCryptSetup3 = 7,     // CSetupCrypt mode 3
  kCryptSetup4 = 8,     // CSetupCrypt mode 4
  kCryptAes = 9,        // CAESDecrypt
};

// The crypt object of a kind; none for kCryptNone and for numbers outside 0 to 9.
std::unique_ptr<CBaseDecrypt> CreateCrypt(int nKind);

// The kind that decrypts a value, by its first character: "*" or "~" kCryptSetup2; "A" with
// exactly 42 characters of which the last is "X" kCryptFixed; "#" kCryptSync; "X" kCryptAes;
// anything else (a 41-character value starting with "A" too) is plain text, kCryptNone.
CryptKind EncryptedValueKind(std::string_view text);

}  // namespace Tarvium
