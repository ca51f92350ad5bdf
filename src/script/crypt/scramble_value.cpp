// The scramble of recorded prompt answers, kept apart from the crypt classes because the engine
// calls it directly when it stores an answer, with the key letter taken from the tick count.
#include "script/crypt/scramble_value.h"

#include "engine/setup_run.h"

namespace Tarvium {

bool IsScrambleKey(char cKey) {
  return cKey >= 'A' && cKey <= 'Z';
}

std::string ScrambleChars(std::string_view chars, char cKey) {
  const size_t n = chars.size();
  const size_t nKey = static_cast<size_t>(cKey - 'A');
  std::string out(chars);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(out[i] ^ ((n - i + nKey) & 31));
  return out;
}

bool ScrambleValue(std::string& text, uint64_t nTickCount) {
  if (text.size() > kMaxScrambleLength) return false;
  const char cKey = static_cast<char>('A' + nTickCount % 26);
  text = std::string("*") + cKey + ScrambleChars(text, cKey);
  return true;
}

bool ScrambleValue(tarvium::SetupRun& run, std::string& text) {
  return ScrambleValue(text, run.machine.Time().GetTickCount64());
}

}  // namespace Tarvium
