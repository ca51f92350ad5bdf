// Applying read .reg text to a registry. On the machine's SQLite registry all operations run in one
// transaction, so that a write the registry refuses (a name too long, a key too deep) leaves
// nothing of the file behind; another Registry gets them one by one.
#include <functional>

#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/error_text.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

uint32_t ApplyRegTextOp(Registry& registry, const RegTextOp& op, RegView view) {
  switch (op.kind) {
    case RegTextOp::Kind::CreateKey:
      return registry.CreateKey(op.root, op.keyPath, false, view);
    case RegTextOp::Kind::DeleteTree:
      return registry.DeleteTree(op.root, op.keyPath, view);
    case RegTextOp::Kind::SetValue:
      return registry.SetValue(op.root, op.keyPath, op.valueName, op.value, view);
    case RegTextOp::Kind::DeleteValue:
      return registry.DeleteValue(op.root, op.keyPath, op.valueName, view);
  }
  return ERROR_INVALID_PARAMETER;
}

uint32_t ApplyInOrder(Registry& registry, const std::vector<RegTextOp>& ops, RegTextError& error,
                      RegView view) {
  for (const RegTextOp& op : ops) {
    const uint32_t dwError = ApplyRegTextOp(registry, op, view);
    const bool bDeleting =
        op.kind == RegTextOp::Kind::DeleteTree || op.kind == RegTextOp::Kind::DeleteValue;
    if (dwError == ERROR_SUCCESS || (bDeleting && dwError == ERROR_FILE_NOT_FOUND)) continue;
    error = RegTextError{op.nLine, "the registry refused the line: " + ErrorCodeText(dwError)};
    return dwError;
  }
  return ERROR_SUCCESS;
}

}  // namespace

uint32_t ApplyRegTextOps(Registry& registry, const std::vector<RegTextOp>& ops, RegTextError& error,
                         RegView view) {
  auto* sqlite = dynamic_cast<SqliteRegistry*>(&registry);
  if (!sqlite) return ApplyInOrder(registry, ops, error, view);
  return sqlite->WriteAsOne([&] { return ApplyInOrder(registry, ops, error, view); });
}

uint32_t ImportRegText(Registry& registry, std::string_view bytes, RegTextError& error,
                       RegView view, std::vector<RegTextError>* skipped) {
  std::vector<RegTextOp> ops;
  if (uint32_t dwError = ParseRegText(bytes, ops, error, skipped)) return dwError;
  return ApplyRegTextOps(registry, ops, error, view);
}

}  // namespace platform::emulated
