// The INI, batch and config text editors over arbitrary input. The input is split at its first
// two zero bytes into a text, a line and a name. Each editor must end, and the properties the
// handlers rely on must hold: a line applied twice changes nothing the second time (batch and
// INI add), an uninstall pass never lengthens a batch text, a removal never lengthens an INI
// text, and a merged program list holds no doubled blank that the program did not bring.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "sysconfig/batch_text.h"
#include "sysconfig/config_text.h"
#include "sysconfig/ini_lines.h"

namespace {

std::string_view Part(std::string_view& rest) {
  const size_t nZero = rest.find('\0');
  const std::string_view part = rest.substr(0, nZero);
  rest = nZero == std::string_view::npos ? std::string_view() : rest.substr(nZero + 1);
  return part;
}

void Check(bool bHolds) {
  if (!bHolds) abort();
}

// A name or value that reads back as written: no line ends, no INI syntax, no outer blanks.
bool Plain(std::string_view text) {
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
  for (char c : text)
    if (static_cast<unsigned char>(c) < ' ' || c == '=' || c == '[' || c == ']' || c == ';' ||
        c == '"' || c == '\'')
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view text = Part(rest);
  const std::string_view line = Part(rest);
  const std::string_view name = rest;

  const std::string once = tarvium::EditBatText(text, line, false);
  Check(tarvium::EditBatText(once, line, false) == once);
  Check(tarvium::EditBatText(text, line, true).size() <= text.size());

  for (auto mode :
       {tarvium::ConfigEdit::Add, tarvium::ConfigEdit::Set, tarvium::ConfigEdit::Delete})
    tarvium::EditConfigText(text, name, std::string(line), mode);

  if (std::optional<tarvium::IniLineEdit> edit = tarvium::ParseIniLine(line)) {
    tarvium::TrimIniLineParts(*edit);
    const std::string merged = tarvium::MergeProgramList(text, edit->value, !edit->bDelete);
    Check(merged.find("  ") == std::string::npos || edit->value.find("  ") != std::string::npos);
    const bool bPlain = Plain(edit->section) && Plain(edit->key) && Plain(edit->value);
    if (auto added = tarvium::AddIniLineText(text, edit->section, edit->key, edit->value))
      Check(!bPlain || !tarvium::AddIniLineText(*added, edit->section, edit->key, edit->value));
    if (auto removed = tarvium::RemoveIniLineText(text, edit->section, edit->key, edit->value))
      Check(removed->size() < text.size());
  }
  return 0;
}
