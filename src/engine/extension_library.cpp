// The setup extension library: loading through the machine's module service, the hook block in
// its two text forms, and the two engine functions the extension may call back.
//
// The callbacks are plain C functions without a context argument (that is the block's interface),
// so they find their run through a thread-local pointer that is set only while a hook of that run
// is being called and restored afterwards. A callback that an extension keeps and calls later, or
// from another thread, finds no run and does nothing.
#include "engine/extension_library.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/code_page.h"
#include "platform/win_error.h"

namespace tarvium {

// The loaded library of a run; unloaded when the last reference goes.
struct SetupExtension {
  SetupExtension(platform::Modules& owner, platform::ModuleHandle handle, bool bUnicodeForm,
                 platform::ProcAddress hook)
      : modules(owner), hModule(handle), bUnicode(bUnicodeForm), pfnHook(hook) {}
  SetupExtension(const SetupExtension&) = delete;
  SetupExtension& operator=(const SetupExtension&) = delete;
  ~SetupExtension() { modules.FreeLibrary(hModule); }

  platform::Modules& modules;
  platform::ModuleHandle hModule;
  bool bUnicode = false;
  platform::ProcAddress pfnHook = nullptr;
};

namespace {

thread_local SetupRun* tHookRun = nullptr;

// Makes the run reachable for the callbacks while its hook runs.
class HookRunScope {
 public:
  explicit HookRunScope(SetupRun& run) : pPrevious_(tHookRun) { tHookRun = &run; }
  ~HookRunScope() { tHookRun = pPrevious_; }
  HookRunScope(const HookRunScope&) = delete;
  HookRunScope& operator=(const HookRunScope&) = delete;

 private:
  SetupRun* pPrevious_;
};

// --- Engine functions for the extension ---------------------------------------------------------

// Replaces the references of text and copies the result back, cut to the buffer.
template <class Char>
int ReplaceInBuffer(Char* pszText, uint32_t cchBuffer, std::string text) {
  ReplaceVariables(*tHookRun, text);
  const size_t nCopy = std::min<size_t>(text.size(), cchBuffer - 1);
  for (size_t i = 0; i < nCopy; ++i) {
    if constexpr (sizeof(Char) == 1)
      pszText[i] = text[i];
    else
      pszText[i] = platform::AnsiCharToUnicode(static_cast<unsigned char>(text[i]));
  }
  pszText[nCopy] = 0;
  return 1;
}

// The text of a buffer that the extension may have left without its zero.
template <class Char>
std::basic_string_view<Char> TextInBuffer(const Char* pszText, uint32_t cchBuffer) {
  const std::basic_string_view<Char> buffer(pszText, cchBuffer);
  return buffer.substr(0, buffer.find(Char(0)));
}

int SetFromAssignment(const std::string& assignment) {
  const size_t nEquals = assignment.find('=');
  if (nEquals == std::string::npos || nEquals == 0) return 0;
  return SetVariable(*tHookRun, assignment.substr(0, nEquals), assignment.substr(nEquals + 1)) ? 1
                                                                                               : 0;
}

extern "C" int TARVIUM_HOOK_CALL ReplaceVariablesForHookA(char* pszText, uint32_t cchBuffer) {
  if (!tHookRun || !pszText || cchBuffer == 0) return 0;
  return ReplaceInBuffer(pszText, cchBuffer, std::string(TextInBuffer(pszText, cchBuffer)));
}

extern "C" int TARVIUM_HOOK_CALL SetVariableForHookA(const char* pszAssignment) {
  if (!tHookRun || !pszAssignment) return 0;
  return SetFromAssignment(pszAssignment);
}

extern "C" int TARVIUM_HOOK_CALL ReplaceVariablesForHookW(char16_t* pszText, uint32_t cchBuffer) {
  if (!tHookRun || !pszText || cchBuffer == 0) return 0;
  return ReplaceInBuffer(pszText, cchBuffer,
                         platform::Utf16ToAnsi(TextInBuffer(pszText, cchBuffer)));
}

extern "C" int TARVIUM_HOOK_CALL SetVariableForHookW(const char16_t* pszAssignment) {
  if (!tHookRun || !pszAssignment) return 0;
  return SetFromAssignment(platform::Utf16ToAnsi(pszAssignment));
}

// --- Texts of the block --------------------------------------------------------------------------

// An 8-bit text the extension may change in place: at least a path's buffer.
std::string AnsiBuffer(const std::string& text) {
  std::string buffer = text;
  buffer.resize(std::max(text.size(), kPathSize - 1), '\0');
  return buffer;
}

// The UTF-16 copy of at most kHookWideTextMax characters, in a buffer of kHookWideTextMax + 1.
std::u16string WideBuffer(const std::string& text) {
  std::u16string buffer(kHookWideTextMax, u'\0');
  const size_t nCopy = std::min(text.size(), kHookWideTextMax);
  for (size_t i = 0; i < nCopy; ++i)
    buffer[i] = platform::AnsiCharToUnicode(static_cast<unsigned char>(text[i]));
  return buffer;
}

// The texts of one call: the setup information file, then the three event texts.
template <class Text>
using HookTexts = std::array<Text, 4>;

// Everything of the block but the engine functions; the texts stay owned by the caller.
template <class Block, class Text>
void FillBlock(Block& block, const SetupRun& run, uint32_t nEvent, HookTexts<Text>& texts) {
  block.cbSize = kHookBlockSize;
  block.nEvent = nEvent;
  block.dwMode = SetupHookModeBits(run);
  block.dwReserved = 0;
  block.hMainWindow = nullptr;  // the run's user interface owns no window the hook may use
  block.pszSetupInf = texts[0].c_str();
  block.pszText1 = texts[1].data();
  block.pszText2 = texts[2].data();
  block.pszText3 = texts[3].data();
}

int CallAnsiHook(SetupRun& run, const SetupExtension& extension, uint32_t nEvent,
                 const std::string& szText1, const std::string& szText2,
                 const std::string& szText3) {
  HookTexts<std::string> texts = {run.ctx.szInfFile, AnsiBuffer(szText1), AnsiBuffer(szText2),
                                  AnsiBuffer(szText3)};
  SetupHookBlockA block{};
  FillBlock(block, run, nEvent, texts);
  block.pfnReplaceVariables = ReplaceVariablesForHookA;
  block.pfnSetVariable = SetVariableForHookA;
  const auto pfnHook = reinterpret_cast<SetupHookFuncA>(extension.pfnHook);
  return pfnHook(&block, block.pszText1, block.pszText2, block.pszText3);
}

int CallWideHook(SetupRun& run, const SetupExtension& extension, uint32_t nEvent,
                 const std::string& szText1, const std::string& szText2,
                 const std::string& szText3) {
  HookTexts<std::u16string> texts = {WideBuffer(run.ctx.szInfFile), WideBuffer(szText1),
                                     WideBuffer(szText2), WideBuffer(szText3)};
  SetupHookBlockW block{};
  FillBlock(block, run, nEvent, texts);
  block.pfnReplaceVariables = ReplaceVariablesForHookW;
  block.pfnSetVariable = SetVariableForHookW;
  return reinterpret_cast<SetupHookFuncW>(extension.pfnHook)(&block);
}

}  // namespace

uint32_t SetupHookModeBits(const SetupRun& run) {
  const SetupContext& ctx = run.ctx;
  const std::pair<bool, uint32_t> bits[] = {
      {ctx.bAdminSetup, kHookModeAdminSetup},   {ctx.bUninstall, kHookModeUninstall},
      {ctx.bModify, kHookModeModify},           {ctx.bRepair, kHookModeRepair},
      {ctx.bSilent, kHookModeSilent},           {ctx.bClientSetup, kHookModeClientSetup},
      {ctx.bFromCD, kHookModeFromCD},           {ctx.bWorkstationSetup, kHookModeWorkstationSetup},
      {ctx.bUserPartRun, kHookModeUserPartRun},
  };
  uint32_t dwMode = 0;
  for (const auto& [bSet, dwBit] : bits)
    if (bSet) dwMode |= dwBit;
  return dwMode;
}

bool LoadSetupExtension(SetupRun& run) {
  UnloadSetupExtension(run);
  std::string library = run.ctx.szSetupExtDll;
  ReplaceVariables(run, library);
  if (library.empty()) return true;
  const std::string function =
      run.ctx.szSetupHookFunc.empty() ? "SetupHookFunc" : run.ctx.szSetupHookFunc;
  platform::Modules& modules = run.machine.Libraries();
  platform::ModuleHandle hModule = platform::ModuleHandle::Invalid;
  if (const uint32_t err = modules.LoadLibrary(library, hModule); err != platform::ERROR_SUCCESS)
    return ShowMessage(run, 5520, library, int64_t{err}) == kResultIgnore;
  auto extension = std::make_shared<SetupExtension>(modules, hModule, run.ctx.bSetupExtIsUnicode,
                                                    modules.GetProcAddress(hModule, function));
  if (!extension->pfnHook) {
    ShowMessage(run, 5521, function, library);
    return false;  // the library is freed with the last reference
  }
  run.extension = std::move(extension);
  return true;
}

int CallSetupHook(SetupRun& run, uint32_t nEvent, const std::string& szText1,
                  const std::string& szText2, const std::string& szText3) {
  if (!run.extension) return 1;
  const std::shared_ptr<SetupExtension> extension = run.extension;  // the hook may not unload it
  const HookRunScope scope(run);
  const int nResult = extension->bUnicode
                          ? CallWideHook(run, *extension, nEvent, szText1, szText2, szText3)
                          : CallAnsiHook(run, *extension, nEvent, szText1, szText2, szText3);
  return nResult != 0 ? 1 : 0;
}

void UnloadSetupExtension(SetupRun& run) {
  run.extension.reset();
}

}  // namespace tarvium
