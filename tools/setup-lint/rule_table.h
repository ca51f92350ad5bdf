// The rules of setup-lint: each one's name (shown in brackets after a finding) and what it finds.
#pragma once
#include <span>
#include <string_view>

namespace tarvium::lint {

struct Rule {
  std::string_view name;
  std::string_view explanation;
};

std::span<const Rule> Rules();

}  // namespace tarvium::lint
