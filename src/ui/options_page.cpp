// Numbers are formatted with std::to_chars, which ignores the C locale: a text-mode backend may
// switch the process to the terminal's locale, and the separator must still be the one the
// product's machine configures, not the host's.
#include "ui/options_page.h"

#include <charconv>

namespace tarvium::ui {
namespace {

constexpr uint64_t kMebibyte = 1024 * 1024;

std::string FixedText(double value, int nDecimals, std::string_view decimalSeparator) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, nDecimals);
  std::string text(buffer, error == std::errc() ? end : buffer);
  if (const size_t nPoint = text.find('.'); nPoint != std::string::npos)
    text.replace(nPoint, 1, decimalSeparator);
  return text;
}

}  // namespace

CheckmarkSet CheckmarkSetOf(int nUseCheckmarks) {
  if (nUseCheckmarks == 0) return CheckmarkSet::Bulbs;
  return nUseCheckmarks == 1 ? CheckmarkSet::CheckBox : CheckmarkSet::ThreeState;
}

std::string OptionSizeText(uint64_t nBytes, std::string_view decimalSeparator) {
  const double bytes = static_cast<double>(nBytes);
  if (nBytes < kMebibyte) return FixedText(bytes / 1024.0, 0, decimalSeparator) + " KB";
  return FixedText(bytes / static_cast<double>(kMebibyte), 1, decimalSeparator) + " MB";
}

std::string_view CheckmarkPicture(CheckmarkSet set, const OptionEntry& entry) {
  constexpr std::string_view kThreeState[] = {"Check0", "Check1", "Check2"};
  constexpr std::string_view kRadio[] = {"Radio0", "Radio1", "Radio2"};
  const size_t nState = static_cast<size_t>(entry.state);
  if (entry.bRadio) return kRadio[nState];
  switch (set) {
    case CheckmarkSet::Bulbs:
      return entry.bSelected ? "BulbC" : "BulbN";
    case CheckmarkSet::CheckBox:
      return "CheckBox";
    case CheckmarkSet::ThreeState:
      break;
  }
  return kThreeState[nState];
}

}  // namespace tarvium::ui
