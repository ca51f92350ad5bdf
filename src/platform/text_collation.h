// How the engine orders text when a script compares it: as Windows' locale-independent,
// case-insensitive string comparison does for the ANSI code page (CompareStringA with
// LOCALE_INVARIANT and NORM_IGNORECASE). Punctuation and symbols sort before digits (the ASCII
// ones by their code, then + < = >), digits before letters; an accented letter sorts with its base
// letter, the accent deciding only between texts that are otherwise equal; case never decides; the
// ligatures ß, æ and œ equal ss, ae and oe. Hyphen and apostrophe follow the word-sort rule: they
// are passed over, so that "coop" and "co-op" sort side by side, and only decide between texts that
// are equal without them (the text without them first). The Linux build orders with ICU's root
// collation; a Win32 backend calls CompareStringA.
#pragma once
#include <string_view>

namespace platform {

// Negative when a sorts before b, 0 when they are equal, positive after.
int CompareTextNoCase(std::string_view a, std::string_view b);

}  // namespace platform
