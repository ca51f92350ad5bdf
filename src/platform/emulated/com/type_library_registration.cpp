// Type library registration over the Registry interface. Each step maps to one registry call of
// the order Windows uses, so that a failing write leaves what Windows would leave. The interface
// keys are written once per registry view that holds its own copy of HKCR\Interface.
#include "platform/emulated/com/type_library_registration.h"

#include <cstdio>
#include <vector>

#include "platform/ansi_case.h"
#include "platform/com_library.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

RegValue SzValue(const std::string& text) {
  RegValue value;
  value.dwType = REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

std::string TextOf(const RegValue& value) {
  std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

std::string Hex(uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", n);
  return text;
}

std::string VersionText(const TypeLibrary& library) {
  return Hex(library.wMajorVerNum) + "." + Hex(library.wMinorVerNum);
}

std::string VersionKey(const TypeLibrary& library) {
  return "TypeLib\\" + library.libid + "\\" + VersionText(library);
}

// "<lcid>\win32" below the version key; false for a system kind without a platform name.
bool LocaleSubkey(uint32_t lcid, uint32_t syskind, std::string& subkey) {
  const char* platform = syskind == SYS_WIN16   ? "win16"
                         : syskind == SYS_WIN32 ? "win32"
                         : syskind == SYS_WIN64 ? "win64"
                                                : nullptr;
  if (!platform) return false;
  subkey = Hex(lcid) + "\\" + platform;
  return true;
}

// The folder of the library file: the path without its file name, and without a trailing
// resource number ("C:\App\Lib.dll\2") first.
std::string HelpDirOf(const std::string& path) {
  std::string dir = path;
  size_t nSlash = dir.rfind('\\');
  if (nSlash != std::string::npos && nSlash + 1 < dir.size() &&
      dir.find_first_not_of("0123456789", nSlash + 1) == std::string::npos) {
    dir.resize(nSlash);
    nSlash = dir.rfind('\\');
  }
  if (nSlash != std::string::npos) dir.resize(nSlash);
  return dir;
}

std::vector<RegView> InterfaceViews(bool b64BitMachine) {
  if (b64BitMachine) return {RegView::View64, RegView::View32};
  return {RegView::Default};
}

void WriteInterface(Registry& registry, RegView view, const TypeLibrary& library,
                    const TypeInfoEntry& type) {
  const std::string key = "Interface\\" + type.guid;
  const RegRoot hkcr = RegRoot::ClassesRoot;
  if (registry.CreateKey(hkcr, key, false, view) != ERROR_SUCCESS) return;
  if (!type.name.empty()) registry.SetValue(hkcr, key, "", SzValue(type.name), view);
  const bool bTypeLibMarshaller =
      type.kind == TypeKind::Interface || (type.wTypeFlags & TYPEFLAG_FDUAL);
  const RegValue proxy = SzValue(bTypeLibMarshaller ? kPSOAInterface : kPSDispatch);
  for (const char* subkey : {"\\ProxyStubClsid", "\\ProxyStubClsid32"})
    if (registry.CreateKey(hkcr, key + subkey, false, view) == ERROR_SUCCESS)
      registry.SetValue(hkcr, key + subkey, "", proxy, view);
  if (registry.CreateKey(hkcr, key + "\\TypeLib", false, view) == ERROR_SUCCESS) {
    registry.SetValue(hkcr, key + "\\TypeLib", "", SzValue(library.libid), view);
    registry.SetValue(hkcr, key + "\\TypeLib", "Version", SzValue(VersionText(library)), view);
  }
}

// Removes an interface's keys when its TypeLib names the library: the three subkeys, then the
// key itself, which stays when something else was added below it.
void RemoveInterface(Registry& registry, RegView view, const std::string& libid,
                     const std::string& iid) {
  const std::string key = "Interface\\" + iid;
  const RegRoot hkcr = RegRoot::ClassesRoot;
  RegValue owner;
  if (registry.QueryValue(hkcr, key + "\\TypeLib", "", owner, view) != ERROR_SUCCESS ||
      !AnsiEqualNoCase(TextOf(owner), libid))
    return;
  for (const char* subkey : {"\\ProxyStubClsid", "\\ProxyStubClsid32", "\\TypeLib"})
    registry.DeleteKey(hkcr, key + subkey, view);
  registry.DeleteKey(hkcr, key, view);
}

// The path registered for the locale, or for its language, or for the neutral locale, as
// Windows looks a library up.
bool FindRegisteredPath(Registry& registry, const std::string& versionKey, uint32_t lcid,
                        uint32_t syskind, std::string& path) {
  for (const uint32_t candidate : {lcid, lcid & 0x3FF, 0u}) {
    std::string subkey;
    RegValue value;
    if (LocaleSubkey(candidate, syskind, subkey) &&
        registry.QueryValue(RegRoot::ClassesRoot, versionKey + "\\" + subkey, "", value) ==
            ERROR_SUCCESS) {
      path = TextOf(value);
      return true;
    }
  }
  return false;
}

// Whether the version key holds nothing but FLAGS and HELPDIR.
bool OnlyFlagsAndHelpDir(Registry& registry, const std::string& versionKey) {
  std::string name;
  for (uint32_t i = 0; registry.EnumKey(RegRoot::ClassesRoot, versionKey, i, name) == ERROR_SUCCESS;
       ++i)
    if (!AnsiEqualNoCase(name, "FLAGS") && !AnsiEqualNoCase(name, "HELPDIR")) return false;
  return true;
}

}  // namespace

bool IsRegisteredInterface(const TypeInfoEntry& type) {
  if (type.guid.empty()) return false;
  return type.kind == TypeKind::Dispatch ||
         (type.kind == TypeKind::Interface && (type.wTypeFlags & TYPEFLAG_FOLEAUTOMATION));
}

int32_t WriteTypeLibRegistration(Registry& registry, bool b64BitMachine, const TypeLibrary& library,
                                 const std::string& path) {
  const RegRoot hkcr = RegRoot::ClassesRoot;
  const std::string versionKey = VersionKey(library);
  std::string localeSubkey;
  if (!LocaleSubkey(library.lcid, library.syskind, localeSubkey)) return E_FAIL;
  if (registry.CreateKey(hkcr, versionKey) != ERROR_SUCCESS) return TYPE_E_REGISTRYACCESS;
  // The library's documentation string names it, or else its name.
  const std::string& title = library.helpString.empty() ? library.name : library.helpString;
  if (!title.empty() && registry.SetValue(hkcr, versionKey, "", SzValue(title)) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  const std::string pathKey = versionKey + "\\" + localeSubkey;
  const std::string flagsKey = versionKey + "\\FLAGS";
  const std::string helpDirKey = versionKey + "\\HELPDIR";
  bool bNewHelpDir = false;
  if (registry.CreateKey(hkcr, pathKey) != ERROR_SUCCESS ||
      registry.SetValue(hkcr, pathKey, "", SzValue(path)) != ERROR_SUCCESS ||
      registry.CreateKey(hkcr, flagsKey) != ERROR_SUCCESS ||
      registry.SetValue(hkcr, flagsKey, "", SzValue(std::to_string(library.wLibFlags))) !=
          ERROR_SUCCESS ||
      registry.CreateKey(hkcr, helpDirKey, false, RegView::Default, &bNewHelpDir) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  if (bNewHelpDir &&
      registry.SetValue(hkcr, helpDirKey, "", SzValue(HelpDirOf(path))) != ERROR_SUCCESS)
    return TYPE_E_REGISTRYACCESS;
  for (const TypeInfoEntry& type : library.typeInfos) {
    if (!IsRegisteredInterface(type)) continue;
    for (const RegView view : InterfaceViews(b64BitMachine))
      WriteInterface(registry, view, library, type);
  }
  return S_OK;
}

int32_t RemoveTypeLibRegistration(Registry& registry, bool b64BitMachine,
                                  const TypeLibrary& identity, const TypeLibraryLoader& load) {
  const RegRoot hkcr = RegRoot::ClassesRoot;
  const std::string versionKey = VersionKey(identity);
  std::string localeSubkey, path;
  if (!LocaleSubkey(identity.lcid, identity.syskind, localeSubkey) ||
      !FindRegisteredPath(registry, versionKey, identity.lcid, identity.syskind, path) ||
      registry.OpenKey(hkcr, versionKey) != ERROR_SUCCESS)
    return E_INVALIDARG;
  TypeLibrary registered;
  if (load(path, registered) != S_OK) return TYPE_E_INVALIDSTATE;
  for (const TypeInfoEntry& type : registered.typeInfos) {
    if (!IsRegisteredInterface(type)) continue;
    for (const RegView view : InterfaceViews(b64BitMachine))
      RemoveInterface(registry, view, identity.libid, type.guid);
  }
  registry.DeleteKey(hkcr, versionKey + "\\" + localeSubkey);
  registry.DeleteKey(hkcr, versionKey + "\\" + localeSubkey.substr(0, localeSubkey.find('\\')));
  if (OnlyFlagsAndHelpDir(registry, versionKey)) {
    registry.DeleteKey(hkcr, versionKey + "\\FLAGS");
    registry.DeleteKey(hkcr, versionKey + "\\HELPDIR");
    registry.DeleteKey(hkcr, versionKey);
    registry.DeleteKey(hkcr, "TypeLib\\" + identity.libid);
  }
  return S_OK;
}

}  // namespace platform::emulated
