// The registry operations every part of the engine writes and deletes through (RegReadText, the
// reading side, is in registry_text.h): write text or a number, read raw bytes or a value of a
// chosen view, delete a value, a key or a whole tree, count subkeys and prune keys that became
// empty. Each returns the Windows error code, ERROR_SUCCESS (0) on success.
#pragma once
#include <cstdint>
#include <string>

#include "engine/registry_text.h"
#include "platform/registry.h"

namespace tarvium {

struct SetupRun;

// The run's current-user root: when the engine works for a user whose hive it loaded, keys of
// HKEY_CURRENT_USER lead into HKEY_USERS\<SID> of that user. Other roots stay as they are.
void MapCurrentUserRoot(SetupRun& run, platform::RegRoot& root, std::string& keyPath);

// Creates the key when needed and writes REG_SZ.
uint32_t RegWriteText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                      const std::string& valueName, const std::string& text);
// Creates the key when needed and writes REG_DWORD.
uint32_t RegWriteDword(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                       const std::string& valueName, uint32_t dwValue);
// As RegWriteText, but REG_EXPAND_SZ when the text holds a '%'.
uint32_t RegWriteEnvText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                         const std::string& valueName, const std::string& text);

// The value's bytes as stored, without conversion, cut at kRegTextMax.
uint32_t RegReadTextRaw(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                        const std::string& valueName, std::string& bytes);

// A value of the given view as text; a key that cannot be opened is reported to the debugger
// output as "RegViewReadStringValue: Can not open key '%s': error number %i\n".
uint32_t RegViewReadStringValue(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                                platform::RegView view, const std::string& valueName,
                                std::string& text);

uint32_t RegDeleteValueAt(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                          const std::string& valueName);
// Deletes a key that has no subkeys.
uint32_t RegDeleteKeyAt(SetupRun& run, platform::RegRoot root, const std::string& keyPath);

// Number of subkeys; 0 when the key cannot be opened.
uint32_t RegCountSubkeys(SetupRun& run, platform::RegRoot root, const std::string& keyPath);
// True when the key has neither subkeys nor values, and when it cannot be opened.
bool RegIsKeyEmpty(SetupRun& run, platform::RegRoot root, const std::string& keyPath);

// Deletes the subkeys depth first, each level from its last subkey to its first, then the key
// itself when bDeleteSelf; returns the last result.
uint32_t RegDeleteTree(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                       bool bDeleteSelf);

// Deletes the key when bIncludeSelf and it is empty, then each parent of the path while it is
// empty, stopping at the first that is not or at the top of the path.
uint32_t RegPruneEmptyKeys(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                           bool bIncludeSelf);
// The same, testing only for subkeys (a key with values but no subkeys is removed).
uint32_t RegPruneKeysWithoutSubkeys(SetupRun& run, platform::RegRoot root,
                                    const std::string& keyPath, bool bIncludeSelf);

}  // namespace tarvium
