// A setup extension library for tests and end-to-end scenarios, built as
// <build>/tests/setup_test_extension.so. It exports both hook forms: "SetupHookFunc" (8-bit
// texts) and "SetupHookFuncW" (UTF-16, for "SetupExtIsUnicode=1"). It is configured through the
// run's own variables, read back with the engine's replace function, so a Setup.inf sets it up
// like any other value:
//   TestHookLog     host path of a file that gets one line per call (nothing is written when empty)
//   TestHookRefuse  events answered with 0, as a comma list ("4,6")
//   TestHookProbe   any text; the line shows what the replace function made of "%TestHookProbe%"
// Every call also sets TestHookLastEvent to the event number through the set function. A line:
//   A event=4 mode=0x10 size=72 inf=C:\m\Setup.inf text1=.. text2=.. text3=.. args=block
//     probe=.. set=1 answer=1
// (one line; "args=block" says the further arguments of the 8-bit form are the block's texts,
// the UTF-16 form writes "args=none"). Texts are written in UTF-8.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/extension_library.h"

namespace {

using tarvium::SetupHookBlockA;
using tarvium::SetupHookBlockW;

// What one call saw, in UTF-8.
struct HookCall {
  char cForm = 'A';
  uint32_t nEvent = 0, dwMode = 0, cbSize = 0;
  std::string inf, text1, text2, text3, args, probe;
  int nSetResult = 0;
};

// Text converted to UTF-8 by the C library; "?" when the conversion is not available.
std::string Utf8Of(const char* pszFromCode, const char* pBytes, size_t nBytes) {
  const iconv_t cd = ::iconv_open("UTF-8", pszFromCode);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
  std::string out(nBytes * 3 + 1, '\0');
  char* pIn = const_cast<char*>(pBytes);  // iconv does not write through it
  char* pOut = out.data();
  size_t nInLeft = nBytes, nOutLeft = out.size();
  ::iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft);
  ::iconv_close(cd);
  out.resize(out.size() - nOutLeft);
  return out;
}

std::string Utf8OfWide(const char16_t* psz) {
  size_t n = 0;
  while (psz && psz[n]) ++n;
  return Utf8Of("UTF-16LE", reinterpret_cast<const char*>(psz), n * sizeof(char16_t));
}

std::string Utf8OfAnsi(const char* psz) {
  return Utf8Of("WINDOWS-1252", psz, psz ? std::strlen(psz) : 0);
}

std::u16string WideOfAscii(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

std::string ReplacedA(const SetupHookBlockA& block, const char* pszReference) {
  char buffer[1025];
  std::snprintf(buffer, sizeof buffer, "%s", pszReference);
  block.pfnReplaceVariables(buffer, sizeof buffer);
  return buffer;
}

std::string ReplacedW(const SetupHookBlockW& block, const char* pszReference) {
  char16_t buffer[256] = {};
  const std::u16string reference = WideOfAscii(pszReference);
  reference.copy(buffer, reference.size());
  block.pfnReplaceVariables(buffer, 256);
  return Utf8OfWide(buffer);
}

bool IsRefused(const std::string& list, uint32_t nEvent) {
  for (const char* p = list.c_str(); *p;) {
    char* pEnd = nullptr;
    const unsigned long n = std::strtoul(p, &pEnd, 10);
    if (pEnd != p && n == nEvent) return true;
    p = pEnd != p ? pEnd : p + 1;
    while (*p == ',' || *p == ' ') ++p;
  }
  return false;
}

int Answer(const HookCall& call, const std::string& logPath, const std::string& refuse) {
  const int nAnswer = IsRefused(refuse, call.nEvent) ? 0 : 1;
  if (logPath.empty()) return nAnswer;
  if (FILE* pLog = std::fopen(logPath.c_str(), "a")) {
    std::fprintf(pLog,
                 "%c event=%u mode=0x%X size=%u inf=%s text1=%s text2=%s text3=%s args=%s "
                 "probe=%s set=%d answer=%d\n",
                 call.cForm, call.nEvent, call.dwMode, call.cbSize, call.inf.c_str(),
                 call.text1.c_str(), call.text2.c_str(), call.text3.c_str(), call.args.c_str(),
                 call.probe.c_str(), call.nSetResult, nAnswer);
    std::fclose(pLog);
  }
  return nAnswer;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int SetupHookFunc(SetupHookBlockA* pBlock,
                                                                    const char* pszText1,
                                                                    const char* pszText2,
                                                                    const char* pszText3) {
  HookCall call{'A', pBlock->nEvent, pBlock->dwMode, pBlock->cbSize};
  call.inf = Utf8OfAnsi(pBlock->pszSetupInf);
  call.text1 = Utf8OfAnsi(pBlock->pszText1);
  call.text2 = Utf8OfAnsi(pBlock->pszText2);
  call.text3 = Utf8OfAnsi(pBlock->pszText3);
  const bool bSame =
      pszText1 == pBlock->pszText1 && pszText2 == pBlock->pszText2 && pszText3 == pBlock->pszText3;
  call.args = bSame ? "block" : "other";
  call.probe = Utf8OfAnsi(ReplacedA(*pBlock, "%TestHookProbe%").c_str());
  call.nSetResult =
      pBlock->pfnSetVariable(("TestHookLastEvent=" + std::to_string(call.nEvent)).c_str());
  return Answer(call, ReplacedA(*pBlock, "%TestHookLog%"), ReplacedA(*pBlock, "%TestHookRefuse%"));
}

extern "C" __attribute__((visibility("default"))) int SetupHookFuncW(SetupHookBlockW* pBlock) {
  HookCall call{'W', pBlock->nEvent, pBlock->dwMode, pBlock->cbSize};
  call.inf = Utf8OfWide(pBlock->pszSetupInf);
  call.text1 = Utf8OfWide(pBlock->pszText1);
  call.text2 = Utf8OfWide(pBlock->pszText2);
  call.text3 = Utf8OfWide(pBlock->pszText3);
  call.args = "none";
  call.probe = ReplacedW(*pBlock, "%TestHookProbe%");
  call.nSetResult = pBlock->pfnSetVariable(
      WideOfAscii("TestHookLastEvent=" + std::to_string(call.nEvent)).c_str());
  return Answer(call, ReplacedW(*pBlock, "%TestHookLog%"), ReplacedW(*pBlock, "%TestHookRefuse%"));
}
