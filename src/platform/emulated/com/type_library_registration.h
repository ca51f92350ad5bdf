// The registry entries of a type library, written and removed as Windows' RegisterTypeLib and
// UnRegisterTypeLib do: the library under HKCR\TypeLib\{libid}\<major>.<minor> (hexadecimal) with
// its name, its locale's path key (<lcid hex>\win32 or \win64, after the library's system kind),
// FLAGS and HELPDIR; and every dispatch interface and every interface marked for automation under
// HKCR\Interface\{iid}. TypeLib is shared between the registry views of a 64-bit machine and
// Interface is not, so on such a machine the interfaces go into both views, as Windows writes them.
// Kept apart from the emulated COM library so that it works on any Registry and a library already
// read from its file.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/emulated/com/type_library.h"
#include "platform/registry.h"

namespace platform::emulated {

inline constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005);

// The proxy/stub classes Windows names for automation interfaces: the type-library marshaller
// for interfaces and dual interfaces, the dispatch marshaller for pure dispatch interfaces.
inline constexpr const char* kPSOAInterface = "{00020424-0000-0000-C000-000000000046}";
inline constexpr const char* kPSDispatch = "{00020420-0000-0000-C000-000000000046}";

// Whether registration writes an Interface key for the type.
bool IsRegisteredInterface(const TypeInfoEntry& type);

// RegisterTypeLib(library, path, no help directory): S_OK, TYPE_E_REGISTRYACCESS when the
// library's keys cannot be written, E_FAIL for a system kind without a platform name. HELPDIR is
// the library file's folder when the key is new and is left alone when it exists. Interface keys
// that cannot be written are passed over, as Windows does.
int32_t WriteTypeLibRegistration(Registry& registry, bool b64BitMachine, const TypeLibrary& library,
                                 const std::string& path);

// Reads the library at a registered path (its error when it cannot).
using TypeLibraryLoader = std::function<int32_t(const std::string& path, TypeLibrary& library)>;

// UnRegisterTypeLib(identity's libid, version, lcid, syskind): E_INVALIDARG when that locale and
// system kind is not registered, TYPE_E_INVALIDSTATE when the registered file cannot be read. The
// automation interfaces of the registered file whose TypeLib names this library lose their keys;
// then the locale's path key and the locale key when it is empty, and the version key with FLAGS
// and HELPDIR when nothing else remains below it, and the library key when no version remains.
int32_t RemoveTypeLibRegistration(Registry& registry, bool b64BitMachine,
                                  const TypeLibrary& identity, const TypeLibraryLoader& load);

}  // namespace platform::emulated
