#include "platform/emulated/registry/registry_value_cache.h"

namespace platform::emulated {

RegistryValueCache::RegistryValueCache(const std::string& dbPath)
    : begun_(dbPath + "-writes-begun"), done_(dbPath + "-writes-done") {}

bool RegistryValueCache::Find(const Epoch& epoch, const std::string& key, uint32_t& dwResult,
                              RegValue& value) {
  if (!begun_.IsShared() || !done_.IsShared() || !epoch.IsQuiet()) return false;
  if (!(epoch == epoch_)) {
    answers_.clear();
    epoch_ = epoch;
    return false;
  }
  const auto it = answers_.find(key);
  if (it == answers_.end()) return false;
  dwResult = it->second.dwResult;
  if (dwResult == 0) value = it->second.value;
  return true;
}

void RegistryValueCache::Store(const Epoch& epoch, const std::string& key, uint32_t dwResult,
                               const RegValue& value) {
  if (!epoch.IsQuiet() || !(epoch == epoch_) || !(Now() == epoch)) return;
  if (answers_.size() >= kMaxAnswers) answers_.clear();
  answers_[key] = {dwResult, dwResult == 0 ? value : RegValue{}};
}

}  // namespace platform::emulated
