#include "install/option_record.h"

#include "platform/ansi_case.h"

namespace tarvium {

int32_t FindOption(const OptionTable& table, std::string_view name) {
  const auto found = table.indexByName.find(platform::AnsiUpper(name));
  return found == table.indexByName.end() ? -1 : found->second;
}

std::string_view OptionShortName(std::string_view fullName) {
  const size_t nSlash = fullName.rfind('\\');
  return nSlash == std::string_view::npos ? fullName : fullName.substr(nSlash + 1);
}

}  // namespace tarvium
