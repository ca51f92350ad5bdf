// SHA-256 of a host file, as lower-case hex: the digest the module allow-list holds.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// ERROR_SUCCESS, or the Windows error of opening or reading the file.
uint32_t Sha256OfHostFile(const std::string& hostPath, std::string& hexDigest);

}  // namespace platform
