// The names .reg text and registry tools give the roots: the long name and its short form.
#pragma once
#include <optional>
#include <string_view>

#include "platform/registry.h"

namespace platform {

// "HKEY_LOCAL_MACHINE", ...
std::string_view RegRootName(RegRoot root);

// The root named by a long or short name ("HKEY_USERS", "HKU") already folded to upper case.
std::optional<RegRoot> RegRootOfName(std::string_view upperName);

}  // namespace platform
