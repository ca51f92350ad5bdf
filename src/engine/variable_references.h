// References that name a value outside the variable store: a registry value ("HKLM\Key:Name" or
// "HKLM,Key,Name") or an INI value ("File,Section,Key"). A name that is neither reads empty.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The value the reference names, or false when the name is no such reference.
bool ReadReferencedValue(SetupRun& run, const std::string& name, std::string& value);

// Whether an upper-cased name has the form of such a reference (a registry root before its first
// '\', or comma fields), without reading anything.
bool IsValueReference(const std::string& name);

}  // namespace tarvium
