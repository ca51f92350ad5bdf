// A small scanner over the text: a command is '[', a name up to '(' or ']', optional arguments up
// to the matching ')', then ']'. Blanks between commands are allowed, anything else is an error.
#include "platform/dde_command.h"

namespace platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() {
    while (nPos_ < text_.size() && IsBlank(text_[nPos_])) ++nPos_;
    return nPos_ == text_.size();
  }
  bool Take(char c) {
    if (AtEnd() || text_[nPos_] != c) return false;
    ++nPos_;
    return true;
  }
  // The text up to (not including) one of the stop characters, or false at the end.
  bool Until(std::string_view stops, std::string& text) {
    const size_t nEnd = text_.find_first_of(stops, nPos_);
    if (nEnd == std::string_view::npos) return false;
    text = Trim(text_.substr(nPos_, nEnd - nPos_));
    nPos_ = nEnd;
    return true;
  }
  // A quoted argument, the scanner standing on its opening quote.
  bool Quoted(std::string& text) {
    text.clear();
    for (++nPos_; nPos_ < text_.size(); ++nPos_) {
      if (text_[nPos_] != '"') {
        text += text_[nPos_];
      } else if (nPos_ + 1 < text_.size() && text_[nPos_ + 1] == '"') {
        text += '"';
        ++nPos_;
      } else {
        ++nPos_;
        return true;
      }
    }
    return false;
  }
  bool Argument(std::string& arg) {
    if (!AtEnd() && text_[nPos_] == '"') {
      std::string rest;
      return Quoted(arg) && Until(",)", rest) && rest.empty();
    }
    return Until(",)", arg);
  }

 private:
  std::string_view text_;
  size_t nPos_ = 0;
};

bool ParseArguments(Scanner& scan, std::vector<std::string>& args) {
  if (scan.Take(')')) return true;
  do {
    std::string arg;
    if (!scan.Argument(arg)) return false;
    args.push_back(std::move(arg));
  } while (scan.Take(','));
  return scan.Take(')');
}

}  // namespace

bool ParseDdeCommands(std::string_view text, std::vector<DdeCommand>& commands) {
  commands.clear();
  Scanner scan(text);
  if (scan.AtEnd()) return false;
  while (!scan.AtEnd()) {
    DdeCommand command;
    if (!scan.Take('[') || !scan.Until("(]", command.name) || command.name.empty()) return false;
    if (scan.Take('(') && !ParseArguments(scan, command.args)) return false;
    if (!scan.Take(']')) return false;
    commands.push_back(std::move(command));
  }
  return true;
}

}  // namespace platform
