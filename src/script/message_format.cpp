// A placeholder is parsed into its parts first; numbers are then printed by snprintf from a
// format rebuilt out of those parts with a 64-bit argument of known type, so no text of the
// template ever reaches snprintf as a format. Widths and precisions are capped at the text limit,
// which no formatted text can pass anyway.
#include "script/message_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "script/decimal_text.h"

namespace tarvium {
namespace {

enum class Length { Default, Char, Short, Wide64 };

struct Placeholder {
  std::string flags;
  int nWidth = 0;
  bool bWidthArg = false;
  int nPrecision = -1;  // none
  bool bPrecisionArg = false;
  Length length = Length::Default;
  char conversion = 0;
  size_t nSize = 0;  // characters of the template it takes, from the '%'
};

constexpr std::string_view kFlags = "-+ #0";
constexpr std::string_view kConversions = "diouxXcsS%";

int ReadCount(std::string_view text, size_t& i) {
  int n = 0;
  for (; i < text.size() && IsDecimalDigit(text[i]); ++i)
    n = std::min<int>(n * 10 + (text[i] - '0'), kMessageTextMax);
  return n;
}

Length ReadLength(std::string_view text, size_t& i) {
  static constexpr struct {
    std::string_view prefix;
    Length length;
  } kLengths[] = {{"hh", Length::Char},   {"h", Length::Short},    {"ll", Length::Wide64},
                  {"l", Length::Default}, {"I64", Length::Wide64}, {"I32", Length::Default},
                  {"j", Length::Wide64},  {"z", Length::Wide64},   {"t", Length::Wide64},
                  {"w", Length::Default}};
  for (const auto& entry : kLengths) {
    if (text.substr(i).starts_with(entry.prefix)) {
      i += entry.prefix.size();
      return entry.length;
    }
  }
  return Length::Default;
}

// The placeholder at the '%' at text[nStart]; false when what follows is none.
bool ParsePlaceholder(std::string_view text, size_t nStart, Placeholder& placeholder) {
  size_t i = nStart + 1;
  while (i < text.size() && kFlags.find(text[i]) != std::string_view::npos)
    placeholder.flags += text[i++];
  if (i < text.size() && text[i] == '*') {
    placeholder.bWidthArg = true;
    ++i;
  } else {
    placeholder.nWidth = ReadCount(text, i);
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (i < text.size() && text[i] == '*') {
      placeholder.bPrecisionArg = true;
      ++i;
    } else {
      placeholder.nPrecision = ReadCount(text, i);
    }
  }
  placeholder.length = ReadLength(text, i);
  if (i >= text.size() || kConversions.find(text[i]) == std::string_view::npos) return false;
  placeholder.conversion = text[i];
  placeholder.nSize = i + 1 - nStart;
  return true;
}

// Hands out the message's arguments in order; past the last one there is none.
class ArgumentList {
 public:
  explicit ArgumentList(const std::vector<MessageArg>& args) : args_(args) {}
  const MessageArg* Next() { return nNext_ < args_.size() ? &args_[nNext_++] : nullptr; }
  int NextCount() {
    const MessageArg* arg = Next();
    if (arg == nullptr) return 0;
    if (const auto* text = std::get_if<std::string>(arg)) return ReadDecimal(*text);
    return static_cast<int>(
        std::clamp<int64_t>(std::get<int64_t>(*arg), -int{kMessageTextMax}, int{kMessageTextMax}));
  }

 private:
  const std::vector<MessageArg>& args_;
  size_t nNext_ = 0;
};

// The value cut to the placeholder's length, as the callee of printf would read it.
int64_t CutToLength(int64_t nValue, Length length, bool bSigned) {
  switch (length) {
    case Length::Char:
      return bSigned ? int64_t{static_cast<int8_t>(nValue)} : int64_t{static_cast<uint8_t>(nValue)};
    case Length::Short:
      return bSigned ? int64_t{static_cast<int16_t>(nValue)}
                     : int64_t{static_cast<uint16_t>(nValue)};
    case Length::Default:
      return bSigned ? int64_t{static_cast<int32_t>(nValue)}
                     : int64_t{static_cast<uint32_t>(nValue)};
    case Length::Wide64:
      break;
  }
  return nValue;
}

std::string PrintNumber(const Placeholder& placeholder, int64_t nValue) {
  const bool bSigned = placeholder.conversion == 'd' || placeholder.conversion == 'i';
  const int64_t nCut = CutToLength(nValue, placeholder.length, bSigned);
  const std::string format = "%" + placeholder.flags + "*.*ll" + placeholder.conversion;
  char buffer[kMessageTextMax * 2 + 64];
  const int nPrecision = placeholder.nPrecision;
  const int n = bSigned ? std::snprintf(buffer, sizeof buffer, format.c_str(), placeholder.nWidth,
                                        nPrecision, static_cast<long long>(nCut))
                        : std::snprintf(buffer, sizeof buffer, format.c_str(), placeholder.nWidth,
                                        nPrecision, static_cast<unsigned long long>(nCut));
  return n > 0 ? std::string(buffer, std::min<size_t>(n, sizeof buffer - 1)) : std::string();
}

std::string PadText(const Placeholder& placeholder, std::string text) {
  if (placeholder.nPrecision >= 0 && text.size() > static_cast<size_t>(placeholder.nPrecision))
    text.resize(placeholder.nPrecision);
  const size_t nWidth = static_cast<size_t>(placeholder.nWidth);
  if (text.size() >= nWidth) return text;
  const bool bLeft = placeholder.flags.find('-') != std::string::npos;
  return bLeft ? text + std::string(nWidth - text.size(), ' ')
               : std::string(nWidth - text.size(), ' ') + text;
}

std::string PrintArgument(const Placeholder& placeholder, const MessageArg* arg) {
  if (arg == nullptr) return {};
  const char c = placeholder.conversion;
  if (const auto* text = std::get_if<std::string>(arg))
    return PadText(placeholder, c == 'c' ? text->substr(0, 1) : *text);
  const int64_t nValue = std::get<int64_t>(*arg);
  if (c == 's' || c == 'S') return PadText(placeholder, std::to_string(nValue));
  if (c == 'c') {
    Placeholder whole = placeholder;
    whole.nPrecision = -1;
    return PadText(whole, std::string(1, static_cast<char>(nValue)));
  }
  return PrintNumber(placeholder, nValue);
}

std::string Expand(Placeholder placeholder, ArgumentList& args) {
  if (placeholder.bWidthArg) {
    placeholder.nWidth = args.NextCount();
    if (placeholder.nWidth < 0) {  // a negative width asks for left alignment
      placeholder.flags += '-';
      placeholder.nWidth = -placeholder.nWidth;
    }
  }
  if (placeholder.bPrecisionArg) placeholder.nPrecision = std::max(args.NextCount(), -1);
  if (placeholder.conversion == '%') return "%";
  return PrintArgument(placeholder, args.Next());
}

}  // namespace

std::string FormatMessageText(std::string_view textTemplate, const std::vector<MessageArg>& args) {
  std::string text;
  ArgumentList list(args);
  for (size_t i = 0; i < textTemplate.size() && text.size() < kMessageTextMax;) {
    Placeholder placeholder;
    if (textTemplate[i] != '%' || !ParsePlaceholder(textTemplate, i, placeholder)) {
      text += textTemplate[i++];
      continue;
    }
    text += Expand(placeholder, list);
    i += placeholder.nSize;
  }
  if (text.size() > kMessageTextMax) text.resize(kMessageTextMax);
  return text;
}

}  // namespace tarvium
