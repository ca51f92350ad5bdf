/* An in-process COM server for the registration tests, built from this one source for both
 * machines: as a host module of the emulated machine, which writes through the registry the
 * machine hands it (machine_module_api.h), and as a Windows DLL, which writes through advapi32.
 * DllRegisterServer registers the test class (its CLSID key with InprocServer32 naming this file,
 * and its ProgID); DllUnregisterServer removes both. Built with COM_TEST_WITHOUT_ENTRIES it exports
 * neither entry (a DLL that counts as registered when loaded), with COM_TEST_FAILING both entries
 * fail without writing anything. */
#include <stdint.h>
#include <string.h>

#define COM_TEST_CLSID "{6A3C1D52-8E0F-4B7A-9C21-3F5E7D2A4B20}"
#define COM_TEST_PROGID "Tarvium.ComTest"
#define COM_TEST_TITLE "Tarvium COM test object"

/* Only the registering form writes to the registry. */
#if !defined(COM_TEST_WITHOUT_ENTRIES) && !defined(COM_TEST_FAILING)
#define COM_TEST_WRITES 1
#endif

#define TEST_S_OK 0
#define TEST_SELFREG_E_CLASS ((int32_t)0x80040201)

#ifdef _WIN32
#include <windows.h>
#define COM_TEST_EXPORT __declspec(dllexport)

static char g_modulePath[MAX_PATH];

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved) {
  (void)pReserved;
  if (dwReason == DLL_PROCESS_ATTACH)
    GetModuleFileNameA(hInstance, g_modulePath, sizeof g_modulePath);
  return TRUE;
}

#ifdef COM_TEST_WRITES
/* REG_SZ text as the default value (null name) or a named value of an HKCR key, made first. */
static long WriteText(const char* keyPath, const char* valueName, const char* text) {
  HKEY hKey = NULL;
  long err = RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, NULL, 0, KEY_WRITE, NULL, &hKey, NULL);
  if (err != ERROR_SUCCESS) return err;
  err = RegSetValueExA(hKey, valueName, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
  RegCloseKey(hKey);
  return err;
}

static long DeleteTree(const char* keyPath) {
  return RegDeleteTreeA(HKEY_CLASSES_ROOT, keyPath);
}
#endif

#else
#include "platform/emulated/com/machine_module_api.h"
#define COM_TEST_EXPORT __attribute__((visibility("default")))

static const struct MachineModuleApi* g_pApi;
static char g_modulePath[260];

COM_TEST_EXPORT void MachineAttach(const struct MachineModuleApi* pApi, const char* modulePath) {
  g_pApi = pApi;
  strncpy(g_modulePath, modulePath ? modulePath : "", sizeof g_modulePath - 1);
}

#ifdef COM_TEST_WRITES
static long WriteText(const char* keyPath, const char* valueName, const char* text) {
  if (!g_pApi) return 6; /* ERROR_INVALID_HANDLE: the machine never attached */
  long err = (long)g_pApi->RegCreateKey(g_pApi->pContext, MACHINE_HKEY_CLASSES_ROOT, keyPath);
  if (err != 0) return err;
  return (long)g_pApi->RegSetValue(g_pApi->pContext, MACHINE_HKEY_CLASSES_ROOT, keyPath, valueName,
                                   1 /* REG_SZ */, (const uint8_t*)text,
                                   (uint32_t)strlen(text) + 1);
}

static long DeleteTree(const char* keyPath) {
  if (!g_pApi) return 6;
  return (long)g_pApi->RegDeleteTree(g_pApi->pContext, MACHINE_HKEY_CLASSES_ROOT, keyPath);
}
#endif
#endif

#ifndef COM_TEST_WITHOUT_ENTRIES

#define CLSID_KEY "CLSID\\" COM_TEST_CLSID

COM_TEST_EXPORT int32_t DllRegisterServer(void) {
#ifdef COM_TEST_FAILING
  return TEST_SELFREG_E_CLASS;
#else
  const long failures = WriteText(CLSID_KEY, NULL, COM_TEST_TITLE) |
                        WriteText(CLSID_KEY "\\InprocServer32", NULL, g_modulePath) |
                        WriteText(CLSID_KEY "\\InprocServer32", "ThreadingModel", "Apartment") |
                        WriteText(CLSID_KEY "\\ProgID", NULL, COM_TEST_PROGID) |
                        WriteText(COM_TEST_PROGID, NULL, COM_TEST_TITLE) |
                        WriteText(COM_TEST_PROGID "\\CLSID", NULL, COM_TEST_CLSID);
  return failures ? TEST_SELFREG_E_CLASS : TEST_S_OK;
#endif
}

COM_TEST_EXPORT int32_t DllUnregisterServer(void) {
#ifdef COM_TEST_FAILING
  return TEST_SELFREG_E_CLASS;
#else
  /* A key that is already gone counts as removed, as servers usually treat it. */
  const long errClass = DeleteTree(CLSID_KEY);
  const long errProgId = DeleteTree(COM_TEST_PROGID);
  return (errClass && errClass != 2) || (errProgId && errProgId != 2) ? TEST_SELFREG_E_CLASS
                                                                      : TEST_S_OK;
#endif
}

#else
/* Something to export, so that the file is a DLL like any other. */
COM_TEST_EXPORT int32_t ComTestVersion(void) {
  return 1;
}
#endif
