#include "script/message_format.h"

#include <cstdint>

namespace tarvium {
namespace {

enum class Conversion { None, Percent, Text, Signed, Unsigned };

// The conversion at the '%' at text[i] and its length; Conversion::None when it is not one of ours.
Conversion ConversionAt(std::string_view text, size_t i, size_t& nLength) {
  const std::string_view rest = text.substr(i + 1);
  const bool bLong = !rest.empty() && rest[0] == 'l';
  const char c = rest.size() > (bLong ? 1u : 0u) ? rest[bLong ? 1 : 0] : '\0';
  nLength = bLong ? 3 : 2;
  if (c == '%' && !bLong) return Conversion::Percent;
  if ((c == 's' || c == 'S') && !bLong) return Conversion::Text;
  if (c == 'd') return Conversion::Signed;
  if (c == 'u') return Conversion::Unsigned;
  return Conversion::None;
}

std::string ArgumentText(const MessageArg* arg, Conversion conversion) {
  if (arg == nullptr) return {};
  if (const std::string* text = std::get_if<std::string>(arg)) return *text;
  const int64_t nValue = std::get<int64_t>(*arg);
  if (conversion == Conversion::Unsigned) return std::to_string(static_cast<uint32_t>(nValue));
  if (conversion == Conversion::Signed) return std::to_string(static_cast<int32_t>(nValue));
  return std::to_string(nValue);
}

}  // namespace

std::string FormatMessageText(std::string_view textTemplate, const std::vector<MessageArg>& args) {
  std::string text;
  size_t nArg = 0;
  for (size_t i = 0; i < textTemplate.size() && text.size() < kMessageTextMax; ++i) {
    size_t nLength = 1;
    const Conversion conversion =
        textTemplate[i] == '%' ? ConversionAt(textTemplate, i, nLength) : Conversion::None;
    if (conversion == Conversion::None) {
      text += textTemplate[i];
      continue;
    }
    if (conversion == Conversion::Percent) {
      text += '%';
    } else {
      text += ArgumentText(nArg < args.size() ? &args[nArg] : nullptr, conversion);
      ++nArg;
    }
    i += nLength - 1;
  }
  if (text.size() > kMessageTextMax) text.resize(kMessageTextMax);
  return text;
}

}  // namespace tarvium
