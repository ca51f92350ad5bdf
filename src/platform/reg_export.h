// Writing a registry's keys out as .reg text, through the Registry interface of either machine:
// as reg export writes it, and byte for byte for snapshots.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform {

// Writes keyPath below root with all its subkeys as version 5 text in UTF-8, as reg export
// writes it (the whole root when keyPath is empty): every REG_SZ in quotes, cut at its first zero.
// ERROR_FILE_NOT_FOUND when the key is not there.
uint32_t ExportRegText(Registry& registry, RegRoot root, const std::string& keyPath,
                       std::string& text, RegView view = RegView::Default);

// Both hives, HKEY_LOCAL_MACHINE and HKEY_USERS (which hold every other root), as one UTF-8 text
// that keeps every value byte for byte (REG_SZ that no quoted string can hold goes as hex), for
// snapshots; read it back with RegTextReading::Exact. The keys whose full names one of
// `skippedKeys` matches ("HKEY_LOCAL_MACHINE\HARDWARE", "*\Perflib": '*' any run of characters,
// '?' any one, any case) are left out with their subkeys.
uint32_t ExportWholeRegistry(Registry& registry, std::string& text,
                             const std::vector<std::string>& skippedKeys = {});

// UTF-8 .reg text as reg export stores it: UTF-16LE with a byte-order mark.
std::string RegTextAsUtf16(std::string_view utf8Text);

}  // namespace platform
