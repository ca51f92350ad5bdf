// The registry of a wrapped machine as a recorded run sees it: keys the run creates or deletes
// and values it sets or deletes are kept in an overlay and logged instead of being written, and
// every question merges the overlay with the wrapped registry. A key the run made anew (or made
// again after deleting it) hides the wrapped key of that name with everything below it, so that a
// deleted tree stays deleted without the overlay listing it. Enumerations merge first and index
// the merged list, which is kept until the next change so that walking a key by index costs one
// merge, not one per index. The 32-bit view is a separate half of the overlay, as it is a separate
// set of keys on a 64-bit machine.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/recording/machine_change.h"
#include "platform/registry.h"

namespace platform {

class OverlayRegistry final : public Registry {
 public:
  OverlayRegistry(Registry& wrapped, Clock& clock, ChangeLog& changes);

  uint32_t CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile, RegView view,
                     bool* bCreated) override;
  uint32_t OpenKey(RegRoot root, const std::string& keyPath, RegView view) override;
  uint32_t DeleteKey(RegRoot root, const std::string& keyPath, RegView view) override;
  uint32_t DeleteTree(RegRoot root, const std::string& keyPath, RegView view) override;
  uint32_t QueryValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                      RegValue& value, RegView view) override;
  uint32_t SetValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                    const RegValue& value, RegView view) override;
  uint32_t DeleteValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                       RegView view) override;
  uint32_t EnumKey(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                   RegView view) override;
  uint32_t EnumValue(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                     RegValue& value, RegView view) override;
  uint32_t QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                        RegView view) override;
  uint32_t CountKeyContents(RegRoot root, const std::string& keyPath, uint32_t& nSubKeys,
                            uint32_t& nValues, RegView view) override;

 private:
  struct OverlayValue {
    std::string name;
    bool bDeleted = false;
    RegValue value;
    uint64_t nOrder = 0;  // values the run adds are listed after the wrapped ones, in this order
  };
  struct OverlayKey {
    std::string name;  // as the run named it
    bool bDeleted = false;
    bool bHidesWrapped = false;  // made anew: nothing of the wrapped key of that name shows
    std::unordered_map<std::string, OverlayValue> values;  // by upper-case name
    std::set<std::string> children;  // ids of the subkeys the run made or deleted
    uint64_t ftLastWriteTime = 0;
  };
  // Where a key stands once the overlay is laid over the wrapped registry.
  struct KeyState {
    RegRoot root = RegRoot::LocalMachine;
    RegView view = RegView::Default;
    std::string path;  // without surrounding backslashes
    std::string id;
    OverlayKey* pKey = nullptr;
    bool bExists = false;
    bool bWrappedContent = false;  // the wrapped registry's key shows through
  };
  using ValueList = std::vector<std::pair<std::string, RegValue>>;

  KeyState Locate(RegRoot root, const std::string& keyPath, RegView view);
  OverlayKey& EntryFor(KeyState& key);
  void AddChild(KeyState& parent, const std::string& name);
  void MarkDeleted(KeyState& key);
  uint32_t CheckWrappedDeletion(const KeyState& key, bool bTree);
  const std::vector<std::string>& SubKeys(const KeyState& key);
  const ValueList& Values(const KeyState& key);
  std::string FullName(const KeyState& key) const;
  void Changed() { ++m_nGeneration; }

  Registry& m_wrapped;
  Clock& m_clock;
  ChangeLog& m_changes;
  std::map<std::string, OverlayKey> m_keys;  // ordered: a key's subtree is one range
  uint64_t m_nValueOrder = 0;
  uint64_t m_nGeneration = 1;
  // The last merged lists, valid while the generation is unchanged.
  std::string m_subKeysId;
  uint64_t m_nSubKeysGeneration = 0;
  std::vector<std::string> m_subKeys;
  std::string m_valuesId;
  uint64_t m_nValuesGeneration = 0;
  ValueList m_values;
};

}  // namespace platform
