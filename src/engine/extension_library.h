// The setup extension library: a module named by [Application] "SetupExtDll" whose hook function
// the engine calls at fixed events of a run (2 and 3 around a file copy, 4 before the questions,
// 5 at the end, 6 and 7 around an option). A nonzero answer lets the engine go on; a run without
// a library answers every event with 1.
//
// The hook block below is the binary interface an extension is written against, so it is laid out
// field by field as the extension sees it (72 bytes on a 64-bit machine) and kept free of C++
// types. The 8-bit form passes ANSI texts and also hands the three event texts as further
// arguments of the hook; the UTF-16 form ("SetupExtIsUnicode") passes UTF-16 copies of at most
// 255 characters, and its two engine functions take UTF-16 texts. On Linux an extension is a
// shared object exporting the same C entry point.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#if defined(_WIN32) && !defined(_WIN64)
#define TARVIUM_HOOK_CALL __stdcall
#else
#define TARVIUM_HOOK_CALL
#endif

namespace tarvium {

struct SetupRun;

// Events of the hook.
inline constexpr uint32_t kHookBeforeCopy = 2;       // source, destination; 0 skips the copy
inline constexpr uint32_t kHookAfterCopy = 3;        // source and two further paths
inline constexpr uint32_t kHookBeforeQuestions = 4;  // 0 stops the run
inline constexpr uint32_t kHookEndOfRun = 5;
inline constexpr uint32_t kHookBeforeOption = 6;  // text 1 the option's full name; 0 skips it
inline constexpr uint32_t kHookAfterOption = 7;

// Run-mode bits of the hook block.
inline constexpr uint32_t kHookModeAdminSetup = 0x1;
inline constexpr uint32_t kHookModeUninstall = 0x2;
inline constexpr uint32_t kHookModeModify = 0x4;
inline constexpr uint32_t kHookModeRepair = 0x8;
inline constexpr uint32_t kHookModeSilent = 0x10;
inline constexpr uint32_t kHookModeClientSetup = 0x20;
inline constexpr uint32_t kHookModeFromCD = 0x40;
inline constexpr uint32_t kHookModeWorkstationSetup = 0x80;
inline constexpr uint32_t kHookModeUserPartRun = 0x100;

inline constexpr uint32_t kHookBlockSize = 72;
// The texts of the UTF-16 form hold at most this many characters (and their zero).
inline constexpr size_t kHookWideTextMax = 255;

extern "C" {

// The engine's functions an extension may call while its hook runs. The replace function
// replaces the %Name% references of a zero-terminated text in place; cchBuffer is the size of
// the buffer in characters, zero included, and the result is cut to fit. The set function takes
// "Name=Value" and sets that variable. Both return 1 on success and 0 when they did nothing
// (also when called while no hook of this engine runs).
typedef int(TARVIUM_HOOK_CALL* SetupReplaceVariablesA)(char* pszText, uint32_t cchBuffer);
typedef int(TARVIUM_HOOK_CALL* SetupSetVariableA)(const char* pszAssignment);
typedef int(TARVIUM_HOOK_CALL* SetupReplaceVariablesW)(char16_t* pszText, uint32_t cchBuffer);
typedef int(TARVIUM_HOOK_CALL* SetupSetVariableW)(const char16_t* pszAssignment);

struct SetupHookBlockA {
  uint32_t cbSize;      // kHookBlockSize
  uint32_t nEvent;      // kHook...
  uint32_t dwMode;      // kHookMode... bits
  uint32_t dwReserved;  // zero
  void* hMainWindow;    // the main window; null when the run shows none
  const char* pszSetupInf;
  char* pszText1;
  char* pszText2;
  SetupReplaceVariablesA pfnReplaceVariables;
  char* pszText3;
  SetupSetVariableA pfnSetVariable;
};

struct SetupHookBlockW {
  uint32_t cbSize;
  uint32_t nEvent;
  uint32_t dwMode;
  uint32_t dwReserved;
  void* hMainWindow;
  const char16_t* pszSetupInf;
  char16_t* pszText1;
  char16_t* pszText2;
  SetupReplaceVariablesW pfnReplaceVariables;
  char16_t* pszText3;
  SetupSetVariableW pfnSetVariable;
};

// The hook function the extension exports under the name of "SetupHookFunc".
typedef int(TARVIUM_HOOK_CALL* SetupHookFuncA)(SetupHookBlockA* pBlock, const char* pszText1,
                                               const char* pszText2, const char* pszText3);
typedef int(TARVIUM_HOOK_CALL* SetupHookFuncW)(SetupHookBlockW* pBlock);

}  // extern "C"

#if UINTPTR_MAX == UINT64_MAX
static_assert(sizeof(SetupHookBlockA) == kHookBlockSize &&
              sizeof(SetupHookBlockW) == kHookBlockSize);
static_assert(offsetof(SetupHookBlockA, nEvent) == 4 && offsetof(SetupHookBlockA, dwMode) == 8 &&
              offsetof(SetupHookBlockA, hMainWindow) == 16 &&
              offsetof(SetupHookBlockA, pszSetupInf) == 24 &&
              offsetof(SetupHookBlockA, pszText1) == 32 &&
              offsetof(SetupHookBlockA, pszText2) == 40 &&
              offsetof(SetupHookBlockA, pfnReplaceVariables) == 48 &&
              offsetof(SetupHookBlockA, pszText3) == 56 &&
              offsetof(SetupHookBlockA, pfnSetVariable) == 64);
static_assert(offsetof(SetupHookBlockW, pszSetupInf) == 24 &&
              offsetof(SetupHookBlockW, pfnReplaceVariables) == 48 &&
              offsetof(SetupHookBlockW, pszText3) == 56 &&
              offsetof(SetupHookBlockW, pfnSetVariable) == 64);
#endif

// Loads the library and looks up its hook function. False when the run must stop: the function is
// missing (message 5521), or the library cannot be loaded and the answer to 5520 is not Ignore.
bool LoadSetupExtension(SetupRun& run);

// Calls the hook with an event and its three texts; 1 without a loaded library.
int CallSetupHook(SetupRun& run, uint32_t nEvent, const std::string& szText1 = {},
                  const std::string& szText2 = {}, const std::string& szText3 = {});

// Unloads the library; later events answer 1.
void UnloadSetupExtension(SetupRun& run);

// The run-mode bits of the hook block for the run's current mode.
uint32_t SetupHookModeBits(const SetupRun& run);

}  // namespace tarvium
