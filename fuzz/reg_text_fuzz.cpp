// libFuzzer target for .reg text. Reading any bytes must not crash. What reads cleanly is applied
// to a real registry, every root moved below HKEY_CURRENT_USER\Fuzz so that one tree can be
// cleared after each input, and exported; the export must read again, and importing it into the
// emptied tree must export to the same text, which checks that writing and reading agree.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/registry_sqlite.h"
#include "platform/win_error.h"

namespace {

using platform::RegRoot;
using namespace platform::emulated;

constexpr size_t kMaxOpsApplied = 64;  // keeps each input to a few milliseconds of SQLite work
constexpr const char* kFuzzKey = "Fuzz";

class FuzzRegistry {
 public:
  FuzzRegistry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "reg-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    dir_ = pattern;
    if (SqliteRegistry::Open({dir_ + "/registry.db", "S-1-5-21-7-7-7-1000"}, registry_)) abort();
  }
  ~FuzzRegistry() {
    registry_.reset();
    std::filesystem::remove_all(dir_);
  }
  SqliteRegistry& Get() { return *registry_; }

 private:
  std::string dir_;
  std::unique_ptr<SqliteRegistry> registry_;
};

void MoveBelowFuzzKey(std::vector<RegTextOp>& ops) {
  for (RegTextOp& op : ops) {
    const std::string root(RegRootName(op.root));
    op.keyPath =
        std::string(kFuzzKey) + "\\" + root + (op.keyPath.empty() ? "" : "\\" + op.keyPath);
    op.root = RegRoot::CurrentUser;
  }
}

void CheckExportReadsBack(SqliteRegistry& registry) {
  std::string exported;
  const uint32_t dwExport = registry.OpenKey(RegRoot::CurrentUser, kFuzzKey) == 0
                                ? ExportRegText(registry, RegRoot::CurrentUser, kFuzzKey, exported)
                                : platform::ERROR_FILE_NOT_FOUND;
  if (dwExport == platform::ERROR_FILE_NOT_FOUND) return;
  if (dwExport) abort();
  if (registry.DeleteTree(RegRoot::CurrentUser, kFuzzKey)) abort();
  RegTextError error;
  if (ImportRegText(registry, exported, error)) abort();  // an export that does not read back
  std::string again;
  if (ExportRegText(registry, RegRoot::CurrentUser, kFuzzKey, again) || again != exported) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzRegistry registry;
  std::vector<RegTextOp> ops;
  RegTextError error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (ParseRegText(text, ops, error) != platform::ERROR_SUCCESS || ops.size() > kMaxOpsApplied)
    return 0;
  MoveBelowFuzzKey(ops);
  if (ApplyRegTextOps(registry.Get(), ops, error) == platform::ERROR_SUCCESS)
    CheckExportReadsBack(registry.Get());
  registry.Get().DeleteTree(RegRoot::CurrentUser, kFuzzKey);
  return 0;
}
