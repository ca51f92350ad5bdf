// One security command as its methods see it: the run, the line as shown, the fields of its
// argument list and the switches of the section. A field is "given" when it is not empty or was
// quoted, so that LocalUser.Mod can tell a value to keep ('') from one to empty ("").
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/inf_fields.h"

namespace tarvium {

struct SetupRun;

struct SecurityField {
  std::string text;
  bool bQuoted = false;
};

struct SecurityCall {
  SetupRun& run;
  const std::string& line;
  std::vector<SecurityField> fields;
  bool bNoUseCount = false;
  bool bCountExisting = false;
  bool bApproved = false;

  std::string Text(size_t index) const {
    return index < fields.size() ? fields[index].text : std::string();
  }
  bool Given(size_t index) const {
    return index < fields.size() && (fields[index].bQuoted || !fields[index].text.empty());
  }
};

// A method's result: ERROR_SUCCESS, the Windows error of the failed operation (message 5555), or
// kCommandStopped when the method has shown its own message and the command fails.
inline constexpr uint32_t kCommandStopped = 0xFFFFFFFF;
using SecurityMethod = uint32_t (*)(SecurityCall&);

struct MethodEntry {
  const char* pszObject;
  const char* pszMethod;
  SecurityMethod method;
};
// The method of the table for the object and method names (any case); null when there is none.
SecurityMethod FindMethodIn(std::span<const MethodEntry> table, const std::string& object,
                            const std::string& method);

// The methods of each kind of object; null for a method the object does not have.
SecurityMethod FindAccountMethod(const std::string& object, const std::string& method);
SecurityMethod FindSystemObjectMethod(const std::string& object, const std::string& method);
SecurityMethod FindAccessListMethod(const std::string& object, const std::string& method);

// A field read with a flag table (an empty field is 0); false after message 5530 for a word the
// table does not have.
bool ReadFlagField(SecurityCall& call, size_t index, std::span<const FlagName> table,
                   uint32_t& dwValue);

}  // namespace tarvium
