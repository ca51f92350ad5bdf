// The secrets the engine holds for its encrypted values. They are compiled in because the engine
// must decrypt values on any machine without a key store; they keep passwords out of the plain
// text of a setup information file, not away from someone who has this program. Changing any of
// them makes every value encrypted before unreadable, so they never change.
#pragma once
#include <array>
#include <cstdint>

namespace Tarvium::secrets {

// Passphrase of the "#" form (password-based DES-EDE2 with an HMAC-SHA1 check).
inline constexpr const char* kSyncPassphrase = "Tarvium Setup/sync:9f#Qm2!vLr7-Kx";

// Key (AES-256) and initialisation vector of the "X" form (AES in CBC mode, PKCS#7 padding).
inline constexpr std::array<uint8_t, 32> kAesKey = {
    0xde, 0x7c, 0xf5, 0x10, 0xf3, 0x6a, 0xb4, 0x31, 0xb1, 0x3c, 0x31, 0xa1, 0xf5, 0xed, 0x63, 0xfe,
    0xc1, 0x89, 0x4f, 0xee, 0x8b, 0xae, 0x7d, 0x43, 0x09, 0x3e, 0xa4, 0xda, 0x78, 0x30, 0xaa, 0xf7};
inline constexpr std::array<uint8_t, 16> kAesIv = {0x8b, 0xc4, 0xf4, 0x9e, 0xd6, 0x5a, 0x80, 0xe1,
                                                   0x63, 0xb8, 0x58, 0xd5, 0x35, 0xa4, 0xbe, 0xf8};

// Key of the fixed 42-character form: one byte for each byte of its 20-byte block.
inline constexpr std::array<uint8_t, 20> kFixedKey = {0x5d, 0x02, 0xa1, 0xe8, 0xb6, 0xdb, 0xb4,
                                                      0x70, 0x33, 0xce, 0x5f, 0xd7, 0xc8, 0x26,
                                                      0x81, 0x4c, 0xe4, 0xcf, 0x8c, 0xb0};

// Key of CSetupCrypt's keyed modes (the key stream of mode 1, the HMAC key of mode 3).
inline constexpr std::array<uint8_t, 16> kSetupKey = {
    0xec, 0xed, 0x27, 0x7c, 0xc1, 0xa6, 0x21, 0x37, 0xa9, 0x7d, 0x9a, 0x1a, 0x2b, 0xa9, 0x13, 0x5f};

}  // namespace Tarvium::secrets
