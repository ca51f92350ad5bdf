// The size of an installation mode as the mode page names it: "%ld Bytes" below 1024 bytes,
// "%.0lf KB" below 1 MB and "%.0lf MB" from there, with the decimal separator of the user's locale
// in place of the point.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

std::string ModeSizeText(int64_t nBytes, const std::string& decimalSeparator);

}  // namespace tarvium
