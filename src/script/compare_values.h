// How two operand values of a comparison are ordered, shared by the conditions of IF lines and
// the requirement lines: integers when both are integers, versions when both look like versions,
// otherwise text in Windows' case-insensitive collation (platform/text_collation.h). The kind is
// decided by both values together, so "10" and "9" order as numbers while "10" and "9a" order as
// text.
#pragma once
#include <cstdint>
#include <string_view>

namespace tarvium {

// True when the text contains '.' and holds only digits and dots.
bool LooksLikeVersion(std::string_view text);

// Negative, 0 or positive. Integers are signed 32-bit (a lone "-" reads as 0); versions use
// CompareVersions with the file's format version and no revisions.
int CompareValues(std::string_view a, std::string_view b, uint32_t nFormatVersion);

}  // namespace tarvium
