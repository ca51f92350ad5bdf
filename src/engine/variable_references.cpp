// The registry root is looked up first; only a name whose first comma field is not a root is an
// INI reference. The current user's root is the setup-service user's hive when the run has one.
#include "engine/variable_references.h"

#include "engine/inf_fields.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/registry_operations.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

bool ReadRegistryReference(SetupRun& run, platform::RegRoot root, std::string key,
                           const std::string& valueName, std::string& value) {
  MapCurrentUserRoot(run, root, key);
  RegReadText(run, root, key, valueName, value);
  return true;
}

// root\key:value; a doubled "::" leaves one ':' at the end of the key.
bool ReadPathForm(SetupRun& run, const std::string& name, std::string& value) {
  const size_t nSlash = name.find('\\');
  platform::RegRoot root;
  const RootName kind = ParseRootName(std::string_view(name).substr(0, nSlash), root);
  if (nSlash == std::string::npos || kind == RootName::Unknown) return false;
  if (kind == RootName::Unsupported) return true;
  const size_t nColon = name.find(':', nSlash + 1);
  if (nColon == std::string::npos)
    return ReadRegistryReference(run, root, name.substr(nSlash + 1), "", value);
  const bool bDoubled = nColon + 1 < name.size() && name[nColon + 1] == ':';
  const std::string key = name.substr(nSlash + 1, nColon - nSlash - 1 + (bDoubled ? 1 : 0));
  return ReadRegistryReference(run, root, key, name.substr(nColon + (bDoubled ? 2 : 1)), value);
}

bool HasHighCharacters(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 127) return true;
  return false;
}

void ReadIniValue(SetupRun& run, const std::string& file, const std::string& section,
                  const std::string& key, std::string& value) {
  if (!HasHighCharacters(section) && !HasHighCharacters(key)) {
    value = run.machine.Profiles().GetPrivateProfileString(section.c_str(), key.c_str(), "", file);
    return;
  }
  TextEncoding encoding = TextEncoding::Ansi;
  const std::optional<InfFile> text = LoadTextFile(run, file, encoding);
  if (!text || !GetValue(*text, section, key, value, kRegTextMax + 1)) value.clear();
}

// root,key,value or file,section,key
bool ReadCommaForm(SetupRun& run, const std::string& name, std::string& value) {
  std::string fields[3];
  const char* rest = name.c_str();
  int nFields = 0;
  while (nFields < 3 && rest) {
    rest = NextField(rest, fields[nFields]);
    if (rest) ++nFields;
  }
  platform::RegRoot root;
  const RootName kind = nFields > 0 ? ParseRootName(fields[0], root) : RootName::Unknown;
  if (kind == RootName::Supported)
    return ReadRegistryReference(run, root, fields[1], fields[2], value);
  if (kind == RootName::Unsupported) return true;
  if (nFields == 3) ReadIniValue(run, fields[0], fields[1], fields[2], value);
  return nFields == 3;
}

}  // namespace

bool ReadReferencedValue(SetupRun& run, const std::string& name, std::string& value) {
  value.clear();
  if (ReadPathForm(run, name, value)) return true;
  if (name.find(',') != std::string::npos) return ReadCommaForm(run, name, value);
  return false;
}

bool IsValueReference(const std::string& name) {
  const size_t nSlash = name.find('\\');
  platform::RegRoot root;
  if (nSlash != std::string::npos &&
      ParseRootName(std::string_view(name).substr(0, nSlash), root) != RootName::Unknown)
    return true;
  return name.find(',') != std::string::npos;
}

}  // namespace tarvium
