/* The machine's services as a host module of the emulated machine reaches them. A module loaded
 * through the machine's Modules runs as host code and cannot call Windows' registry functions, so
 * the machine hands it its own registry: when a module exports the C entry
 *
 *     void MachineAttach(const struct MachineModuleApi* pApi, const char* modulePath);
 *
 * the machine calls it right after loading the module (and again on each further load of it),
 * before any other entry point, with the module's full Windows path (what GetModuleFileName gives
 * a Windows DLL, which a server writes into its registration). The structure and its functions stay
 * valid until the module is freed; a module keeps the pointer. The functions work as the Windows
 * functions of the same names: roots are the HKEY_ values, key paths relative to the root with
 * backslashes, text 8-bit Windows-1252, results Windows error codes (0 for success). Writes go to
 * the registry view of the engine, as a 64-bit in-process server's writes do. Plain C, so that any
 * module can use it. */
#ifndef TARVIUM_MACHINE_MODULE_API_H
#define TARVIUM_MACHINE_MODULE_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MACHINE_HKEY_CLASSES_ROOT 0x80000000u
#define MACHINE_HKEY_CURRENT_USER 0x80000001u
#define MACHINE_HKEY_LOCAL_MACHINE 0x80000002u
#define MACHINE_HKEY_USERS 0x80000003u
#define MACHINE_HKEY_CURRENT_CONFIG 0x80000005u

/* The name of the entry a module exports to receive the structure. */
#define MACHINE_ATTACH_ENTRY "MachineAttach"

struct MachineModuleApi {
  uint32_t cbSize; /* sizeof(struct MachineModuleApi) of the machine: later fields only follow */
  void* pContext;  /* the first argument of every function */
  /* RegCreateKeyEx: creates the key and the keys above it, or opens it. */
  uint32_t (*RegCreateKey)(void* pContext, uint32_t hRoot, const char* keyPath);
  /* RegSetValueEx on an existing key; an empty or null name is the key's default value. */
  uint32_t (*RegSetValue)(void* pContext, uint32_t hRoot, const char* keyPath,
                          const char* valueName, uint32_t dwType, const uint8_t* pData,
                          uint32_t cbData);
  /* RegDeleteTree: the key with everything below it. */
  uint32_t (*RegDeleteTree)(void* pContext, uint32_t hRoot, const char* keyPath);
  /* RegDeleteValue. */
  uint32_t (*RegDeleteValue)(void* pContext, uint32_t hRoot, const char* keyPath,
                             const char* valueName);
};

typedef void (*MachineAttachProc)(const struct MachineModuleApi* pApi, const char* modulePath);

#ifdef __cplusplus
}
#endif

#endif /* TARVIUM_MACHINE_MODULE_API_H */
