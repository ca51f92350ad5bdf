// Editing config.sys (CONFIG.NT on NT platforms) one parameter line at a time: "name = value"
// lines added beside existing ones, set (replacing every line of that parameter) or deleted.
// Driver lines are matched by their driver, so that a new "device" line replaces the "device" or
// "devicehigh" line loading the same driver and keeps that line's keyword. Pure text.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tarvium {

enum class ConfigEdit { Add, Set, Delete };

// The longest line the editor compares; longer lines are compared by their first part.
inline constexpr size_t kConfigLineMax = 255;

std::string EditConfigText(std::string_view text, std::string_view name,
                           const std::optional<std::string>& value, ConfigEdit mode);

}  // namespace tarvium
