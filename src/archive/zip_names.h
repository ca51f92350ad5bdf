// Entry names of zip archives: the sanitising of stored names, the conversion between the OEM
// names with '/' inside an archive and the ANSI names with '\' on the disk side, and the name
// filter with '*' and '?'. Pure functions, so the rules are tested without archives.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

// The stored name reduced to a name relative to the destination: a leading drive designator is
// dropped, then every leading '\' or '/', then everything up to and including the last of
// "\..\", "\../", "/../" and "/..\". What this leaves can still name a parent ("..\x", "x\..");
// DestinationNameOf below refuses those.
std::string SanitiseStoredName(std::string_view storedName);

// The disk-side name of an entry: sanitised, OEM to ANSI (UTF-8 to ANSI when the entry's flags
// say its name is UTF-8), '/' to '\'. False when the name would still leave the destination or
// names no file (empty, "..", a ':' of a stream or drive).
bool DestinationNameOf(std::string_view storedName, bool bUtf8, std::string& name);

// The archive-side name of a file: ANSI to OEM, '\' to '/'.
std::string StoredNameOf(std::string_view diskName);

// '*' any run of characters (also none), '?' exactly one; without regard to case. An empty
// filter takes every name.
bool MatchesFilter(std::string_view name, std::string_view filter);

}  // namespace tarvium
