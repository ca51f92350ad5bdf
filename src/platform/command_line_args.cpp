// The Windows command-line rules as a small reader over the text: the program name first (its own
// rule), then arguments, each read by runs of backslashes and runs of quotes because those are
// the units the rules count in.
#include "platform/command_line_args.h"

namespace platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t CountRun(std::string_view text, size_t pos, char c) {
  size_t n = 0;
  while (pos + n < text.size() && text[pos + n] == c) ++n;
  return n;
}

std::string ReadProgramName(std::string_view line, size_t& pos) {
  if (!line.empty() && line[0] == '"') {
    const size_t end = line.find('"', 1);
    const size_t stop = end == std::string_view::npos ? line.size() : end;
    pos = end == std::string_view::npos ? line.size() : end + 1;
    return std::string(line.substr(1, stop - 1));
  }
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return std::string(line.substr(0, pos));
}

// A run of quotes that is not escaped. Counted together with an open quoted part, every three
// give one literal quote; one left over leaves (or makes) the part open, none or two close it.
void ReadQuoteRun(std::string_view line, size_t& pos, std::string& arg, bool& bQuoted) {
  const size_t nQuotes = CountRun(line, pos, '"');
  pos += nQuotes;
  const size_t nCounted = nQuotes + (bQuoted ? 1 : 0);
  arg.append(nCounted / 3, '"');
  bQuoted = nCounted % 3 == 1;
}

void ReadBackslashRun(std::string_view line, size_t& pos, std::string& arg, bool& bQuoted) {
  const size_t nBackslashes = CountRun(line, pos, '\\');
  pos += nBackslashes;
  if (pos >= line.size() || line[pos] != '"') {
    arg.append(nBackslashes, '\\');
    return;
  }
  arg.append(nBackslashes / 2, '\\');
  if (nBackslashes % 2 == 0) {
    ReadQuoteRun(line, pos, arg, bQuoted);
  } else {
    arg += '"';
    ++pos;
  }
}

std::string ReadArgument(std::string_view line, size_t& pos) {
  std::string arg;
  bool bQuoted = false;
  while (pos < line.size() && (bQuoted || !IsBlank(line[pos]))) {
    if (line[pos] == '\\')
      ReadBackslashRun(line, pos, arg, bQuoted);
    else if (line[pos] == '"')
      ReadQuoteRun(line, pos, arg, bQuoted);
    else
      arg += line[pos++];
  }
  return arg;
}

void SkipBlanks(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
}

}  // namespace

std::vector<std::string> CommandLineToArgv(std::string_view commandLine) {
  std::vector<std::string> argv;
  size_t pos = 0;
  argv.push_back(ReadProgramName(commandLine, pos));
  SkipBlanks(commandLine, pos);
  while (pos < commandLine.size()) {
    argv.push_back(ReadArgument(commandLine, pos));
    SkipBlanks(commandLine, pos);
  }
  return argv;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos)
    return std::string(argument);
  std::string quoted = "\"";
  size_t nBackslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++nBackslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped; elsewhere they stay single.
    quoted.append(c == '"' ? 2 * nBackslashes + 1 : nBackslashes, '\\');
    nBackslashes = 0;
    quoted += c;
  }
  quoted.append(2 * nBackslashes, '\\');  // they precede the closing quote
  quoted += '"';
  return quoted;
}

std::string ArgvToCommandLine(const std::vector<std::string>& argv) {
  if (argv.empty()) return {};
  std::string program;
  for (char c : argv[0])
    if (c != '"') program += c;
  const bool bQuote = program.empty() || program.find_first_of(" \t") != std::string::npos;
  std::string line = bQuote ? "\"" + program + "\"" : program;
  for (size_t i = 1; i < argv.size(); ++i) line += " " + QuoteArgument(argv[i]);
  return line;
}

bool IsHelpArgument(std::string_view argument) {
  return argument == "--help" || argument == "-h" || argument == "/?";
}

}  // namespace platform
