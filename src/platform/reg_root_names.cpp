#include "platform/reg_root_names.h"

#include <array>

namespace platform {
namespace {

struct RootName {
  RegRoot root;
  std::string_view longName;
  std::string_view shortName;
};

constexpr std::array<RootName, 5> kRootNames = {{
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegRoot::Users, "HKEY_USERS", "HKU"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
}};

}  // namespace

std::string_view RegRootName(RegRoot root) {
  for (const RootName& entry : kRootNames)
    if (entry.root == root) return entry.longName;
  return {};
}

std::optional<RegRoot> RegRootOfName(std::string_view upperName) {
  for (const RootName& entry : kRootNames)
    if (upperName == entry.longName || upperName == entry.shortName) return entry.root;
  return std::nullopt;
}

}  // namespace platform
