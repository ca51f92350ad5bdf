// Each function of the table finds the Registry in its context and the root by its HKEY_ value;
// an unknown root is ERROR_INVALID_HANDLE, as Windows answers a key handle it does not know.
#include "platform/emulated/com/machine_module_binding.h"

#include <optional>
#include <string>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::optional<RegRoot> RootOf(uint32_t hRoot) {
  switch (hRoot) {
    case MACHINE_HKEY_CLASSES_ROOT:
      return RegRoot::ClassesRoot;
    case MACHINE_HKEY_CURRENT_USER:
      return RegRoot::CurrentUser;
    case MACHINE_HKEY_LOCAL_MACHINE:
      return RegRoot::LocalMachine;
    case MACHINE_HKEY_USERS:
      return RegRoot::Users;
    case MACHINE_HKEY_CURRENT_CONFIG:
      return RegRoot::CurrentConfig;
    default:
      return std::nullopt;
  }
}

std::string TextOf(const char* text) {
  return text ? text : "";
}

uint32_t CreateKey(void* pContext, uint32_t hRoot, const char* keyPath) {
  const auto root = RootOf(hRoot);
  if (!root) return ERROR_INVALID_HANDLE;
  return static_cast<Registry*>(pContext)->CreateKey(*root, TextOf(keyPath));
}

uint32_t SetValue(void* pContext, uint32_t hRoot, const char* keyPath, const char* valueName,
                  uint32_t dwType, const uint8_t* pData, uint32_t cbData) {
  const auto root = RootOf(hRoot);
  if (!root) return ERROR_INVALID_HANDLE;
  if (!pData && cbData) return ERROR_INVALID_PARAMETER;
  RegValue value;
  value.dwType = dwType;
  if (cbData) value.data.assign(pData, pData + cbData);
  return static_cast<Registry*>(pContext)->SetValue(*root, TextOf(keyPath), TextOf(valueName),
                                                    value);
}

uint32_t DeleteTree(void* pContext, uint32_t hRoot, const char* keyPath) {
  const auto root = RootOf(hRoot);
  if (!root) return ERROR_INVALID_HANDLE;
  return static_cast<Registry*>(pContext)->DeleteTree(*root, TextOf(keyPath));
}

uint32_t DeleteValue(void* pContext, uint32_t hRoot, const char* keyPath, const char* valueName) {
  const auto root = RootOf(hRoot);
  if (!root) return ERROR_INVALID_HANDLE;
  return static_cast<Registry*>(pContext)->DeleteValue(*root, TextOf(keyPath), TextOf(valueName));
}

}  // namespace

MachineModuleBinding::MachineModuleBinding(Registry& registry) {
  api_.cbSize = sizeof api_;
  api_.pContext = &registry;
  api_.RegCreateKey = CreateKey;
  api_.RegSetValue = SetValue;
  api_.RegDeleteTree = DeleteTree;
  api_.RegDeleteValue = DeleteValue;
}

}  // namespace platform::emulated
