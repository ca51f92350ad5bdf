// Fuzzes the readers of the setup service's replies over any bytes, as a reply block delivers
// them (the text up to its first zero): nothing faults, a dialog reply has values only with an
// answer word and a zero status, its result is one of the answer words' numbers, and the values
// are the reply's fields after the second.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "agent_script.h"
#include "service/service_reply.h"

namespace {

bool IsDialogResult(int nResult) {
  for (int nKnown : {1, 2, 6, 996, 998, 7102, 7105})
    if (nResult == nKnown) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* pszText = reinterpret_cast<const char*>(data);
  const std::string_view reply(pszText, strnlen(pszText, size));
  const tarvium::DialogReply parsed = tarvium::ParseDialogReply(reply);
  if (!IsDialogResult(parsed.nResult)) std::abort();
  if (!parsed.bHasAnswer && (!parsed.values.empty() || parsed.nResult != 2)) std::abort();
  if (parsed.bHasAnswer && parsed.dwStatus != 0) std::abort();
  const size_t nFields = tarvium::SplitReplyFields(reply).size();
  if (parsed.bHasAnswer && parsed.values.size() != nFields - 2) std::abort();
  const tarvium::InitRequest request = tarvium::ParseInitRequest(reply);
  if (request.word.size() > reply.size() || request.argument.size() > reply.size()) std::abort();
  tarvium::agent::AgentScript script;
  std::string error;
  tarvium::agent::ParseAgentScript(reply, script, error);
  tarvium::agent::RequestKey(reply);
  return 0;
}
