// Name patterns of directory enumeration, matched as FindFirstFile matches them: "*.*" is every
// name (also names without a dot), '?' is one character but none at a dot or at the end, "*."
// is a name without a dot, and names are compared without regard to case. The entries "." and
// ".." are listed alike, as the one-character name "." ('?' takes its dot): "?" lists both, as
// "??" and "*" do. Patterns match the long names only: the emulated machine has no short names.
#pragma once
#include <string_view>

namespace platform::emulated {

bool HasWildcards(std::string_view pattern);
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace platform::emulated
