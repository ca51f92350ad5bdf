// The store of predefined variables: a fixed, ordered table of names, each bound to a text buffer
// that the engine fills (directories up to 1024 characters, other values up to 255, cut without
// notice). Src/SrcDir, App/ApplicationDir and Data/DataDir share one buffer each. Lookups go
// through a hash index by upper-cased name, because every variable reference asks it. User
// variables are not kept here: they live in the run's environment.
#pragma once
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

inline constexpr size_t kDirectoryValueMax = 1024;
inline constexpr size_t kShortValueMax = 255;

struct PredefinedName {
  std::string_view name;
  bool bDirectory;     // holds up to 1024 characters instead of 255
  bool bSharesBuffer;  // shares the buffer of the entry before it
};

// The names in table order.
std::span<const PredefinedName> PredefinedNames();

class VariableStore {
 public:
  VariableStore();

  // The table position of a predefined name (any case), or -1.
  int Find(std::string_view name) const;
  // Same, for a name already upper-cased (no copy is made).
  int FindUpper(const std::string& upperName) const;
  const std::string& ValueAt(int index) const { return buffers_[bufferOf_[index]]; }
  // Stores a value, cut to the entry's size.
  void SetAt(int index, std::string_view value);

  // By name; an unknown name reads empty and is not stored (Set returns false).
  const std::string& Get(std::string_view name) const;
  bool Set(std::string_view name, std::string_view value);

  // The current user's registry root in a run on behalf of the setup service: the user's hive
  // under HKEY_USERS. Empty means HKEY_CURRENT_USER.
  std::string userHiveSid;
  // The Start menu holds characters outside the code page: values with '?' become placeholders.
  bool bShortcutPlaceholders = false;

 private:
  std::vector<std::string> buffers_;
  std::vector<size_t> bufferOf_;  // table position -> buffer
};

}  // namespace tarvium
