// REG_MULTI_SZ data as a list of strings: each string ends with a zero byte and the list with an
// empty string, as the registry stores it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The strings of the data, read up to nMaxBytes; the list ends at its first empty string.
std::vector<std::string> DecodeMultiSz(const std::vector<uint8_t>& data,
                                       size_t nMaxBytes = SIZE_MAX);
std::vector<uint8_t> EncodeMultiSz(const std::vector<std::string>& strings);

}  // namespace platform
