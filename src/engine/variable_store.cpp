// The buffers behind the predefined table and the lookup of its names in any case.
#include "engine/variable_store.h"

#include <unordered_map>

#include "engine/predefined_names.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

// Names are looked up in any case without making an upper-case copy first: copy lines ask for
// several directory variables each, and the copies cost more than the lookups.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const {
    size_t nHash = 14695981039346656037ULL;  // FNV-1a over the upper-case bytes
    for (const char c : name) {
      nHash ^= static_cast<unsigned char>(platform::AnsiUpperChar(c));
      nHash *= 1099511628211ULL;
    }
    return nHash;
  }
};

struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return platform::AnsiEqualNoCase(a, b);
  }
};

using NameIndex = std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual>;

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
