// The one version comparison of the engine: conditions, requirement lines, file versions and the
// installed product's version all order "major.minor.build..." texts through it. The rules depend
// on the format version of the setup information file, because files written for older engines
// rely on the older, partly textual ordering.
#pragma once
#include <cstdint>
#include <string_view>

namespace tarvium {

// The first format version ([Setup] "Version" 14.10) that compares later parts as numbers.
inline constexpr uint32_t kNumericVersionPartsFormat = 0x1410;

// Orders version A against version B: negative, 0 or positive. Each splits at '.' into at most
// ten parts (text after the tenth is ignored); a missing part is lower than a present one. From
// format version 14.10 parts that are both all digits (an empty part counts as 0) compare as
// numbers, others as text without regard to case; before it only the first part compares as a
// number (when A's starts with a digit) and later parts as text, so "1.10" < "1.9" there. Equal
// versions are ordered by their revisions: as numbers when A's starts with a digit, else as
// text; a revision "0" counts as none.
int CompareVersions(std::string_view versionA, std::string_view versionB, uint32_t nFormatVersion,
                    std::string_view revisionA = {}, std::string_view revisionB = {});

}  // namespace tarvium
