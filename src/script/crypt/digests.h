// The MD5 digests the one-way crypt modes give (CMD5Crypt, CSetupCrypt modes 3 and 4), as raw
// bytes; the classes turn them into hexadecimal text.
#pragma once
#include <string>
#include <string_view>

namespace Tarvium {

std::string Md5Digest(std::string_view text);
std::string HmacMd5Digest(std::string_view key, std::string_view text);

}  // namespace Tarvium
