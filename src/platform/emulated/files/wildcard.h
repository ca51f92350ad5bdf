// Name patterns of directory enumeration, matched as FindFirstFile matches them: "*.*" is every
// name (also names without a dot), '?' is one character but none at a dot or at the end, "*."
// is a name without a dot, and names are compared without regard to case. The kernel's own
// wildcards may be written too: '<' (a run of characters up to the final dot), '>' (the '?' of
// kernel32) and '"' (a dot, or nothing at the end). The entries "." and ".." are listed alike,
// as the one-character name ".": "?" lists both, as "??" and "*" do. Patterns match the long
// names only: the emulated machine has no short names, through which Windows also finds ".a"
// for "a*." and "a.a.a" for "*aa*".
#pragma once
#include <string_view>

namespace platform::emulated {

bool HasWildcards(std::string_view pattern);
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace platform::emulated
