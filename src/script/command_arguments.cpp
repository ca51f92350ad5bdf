// The four ways a command takes its arguments. Words are read here; Text and List go through
// the argument splitter that the expression functions use, so quoting works the same in both.
#include "engine/ansi_text.h"
#include "engine/show_message.h"
#include "script/next_argument.h"
#include "script/script_chars.h"
#include "script/script_command.h"

namespace tarvium {

std::vector<std::string> WordArguments(std::string_view text) {
  std::vector<std::string> words;
  size_t nPos = 0;
  while (true) {
    while (nPos < text.size() && IsScriptBlank(text[nPos])) ++nPos;
    if (nPos >= text.size()) break;
    std::string word;
    bool bQuoted = false;
    for (; nPos < text.size() && (bQuoted || !IsScriptBlank(text[nPos])); ++nPos) {
      if (text[nPos] == '"')
        bQuoted = !bQuoted;
      else
        word += text[nPos];
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::vector<std::string> TextArguments(std::string_view text) {
  std::vector<std::string> args;
  std::string arg;
  for (size_t nPos = 0; (nPos = NextArgument(text, nPos, arg)) != std::string_view::npos;)
    args.emplace_back(TrimAnsi(arg));
  return args;
}

std::vector<std::string> ListArguments(std::string_view text) {
  std::string_view list = TrimAnsi(text);
  if (!list.empty() && list.front() == '(') {
    list.remove_prefix(1);
    const size_t nClose = list.rfind(')');
    if (nClose != std::string_view::npos) list = list.substr(0, nClose);
  }
  return TextArguments(list);
}

std::string ArgumentAt(const std::vector<std::string>& args, size_t index) {
  return index < args.size() ? args[index] : std::string();
}

bool MissingArgument(CommandCall& call) {
  return ShowMessage(call.run, 5528, call.written) != kResultOk;
}

}  // namespace tarvium
