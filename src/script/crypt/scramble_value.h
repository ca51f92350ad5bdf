// Scrambling of the prompt answers the engine records: "*", a key letter K and the text's
// characters each XORed with a mask from its position and K. The mask depends only on the length,
// the position and K, so the same operation scrambles and unscrambles (CSetupCrypt mode 2 reads
// the recorded answers back through it).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvium {
struct SetupRun;
}

namespace Tarvium {

// Longest text ScrambleValue takes: with "*" and the key letter it still fits a 256-byte buffer.
inline constexpr size_t kMaxScrambleLength = 253;

// True for the key letters "A" to "Z".
bool IsScrambleKey(char cKey);
// Character c at position i of n becomes c XOR ((n - i + (cKey - 'A')) AND 31); applied twice it
// gives the text back.
std::string ScrambleChars(std::string_view chars, char cKey);
// Replaces text by "*", K and its scrambled characters, with K = 'A' + nTickCount modulo 26.
// False, with text unchanged, for a text longer than kMaxScrambleLength.
bool ScrambleValue(std::string& text, uint64_t nTickCount);
// The same with the tick count of the run's machine.
bool ScrambleValue(tarvium::SetupRun& run, std::string& text);

}  // namespace Tarvium
