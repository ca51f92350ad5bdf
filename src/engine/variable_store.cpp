// The buffers behind the predefined table and the lookup of its names in any case.
#include "engine/variable_store.h"

#include <unordered_map>

#include "engine/predefined_names.h"
#include "platform/ansi_case.h"
#include "platform/ansi_no_case_hash.h"

namespace tarvium {
namespace {

// Names are looked up in any case without making an upper-case copy first: copy lines ask for
// several directory variables each, and the copies cost more than the lookups.
using NameIndex =
    std::unordered_map<std::string, int, platform::AnsiNoCaseHash, platform::AnsiNoCaseEqual>;

const NameIndex& UpperIndex() {
  static const NameIndex index = [] {
    NameIndex built;
    for (size_t i = 0; i < kPredefinedNames.size(); ++i)
      built.emplace(platform::AnsiUpper(kPredefinedNames[i].name), static_cast<int>(i));
    return built;
  }();
  return index;
}

const std::string kEmpty;

}  // namespace

std::span<const PredefinedName> PredefinedNames() {
  return kPredefinedNames;
}

VariableStore::VariableStore() {
  bufferOf_.reserve(kPredefinedNames.size());
  for (const PredefinedName& entry : kPredefinedNames) {
    if (!entry.bSharesBuffer) buffers_.emplace_back();
    bufferOf_.push_back(buffers_.size() - 1);
  }
}

int VariableStore::FindUpper(const std::string& upperName) const {
  const auto& index = UpperIndex();
  const auto found = index.find(upperName);
  return found == index.end() ? -1 : found->second;
}

int VariableStore::Find(std::string_view name) const {
  const auto& index = UpperIndex();
  const auto found = index.find(name);
  return found == index.end() ? -1 : found->second;
}

void VariableStore::SetAt(int index, std::string_view value) {
  const size_t nMax = kPredefinedNames[index].bDirectory ? kDirectoryValueMax : kShortValueMax;
  buffers_[bufferOf_[index]].assign(value.substr(0, nMax));
}

const std::string& VariableStore::Get(std::string_view name) const {
  const int index = Find(name);
  return index < 0 ? kEmpty : ValueAt(index);
}

bool VariableStore::Set(std::string_view name, std::string_view value) {
  const int index = Find(name);
  if (index < 0) return false;
  SetAt(index, value);
  return true;
}

}  // namespace tarvium
