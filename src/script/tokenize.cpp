// Tokenize(NAME, separators): splits the value of a variable and sets NAME1, NAME2, ... to the
// pieces. With the default separator "," the pieces are arguments as NextArgument reads them
// (quotes allowed, empty pieces kept); with other separators any run of separator characters
// divides pieces, so empty pieces cannot occur.
#include <string>

#include "engine/ansi_text.h"
#include "engine/replace_variables.h"
#include "engine/variable_sections.h"
#include "platform/ansi_case.h"
#include "script/function_arguments.h"
#include "script/next_argument.h"
#include "script/text_function_bodies.h"

namespace tarvium {
namespace {

// Calls `take` for each piece of `value`; returns the number of pieces.
template <class Take>
size_t SplitPieces(std::string_view value, std::string_view separators, Take take) {
  size_t nCount = 0;
  if (separators == ",") {
    std::string piece;
    for (size_t nPos = 0; (nPos = NextArgument(value, nPos, piece)) != std::string_view::npos;)
      take(piece, ++nCount);
    return nCount;
  }
  for (size_t nPos = value.find_first_not_of(separators); nPos != std::string_view::npos;) {
    const size_t nEnd = value.find_first_of(separators, nPos);
    take(std::string(value.substr(nPos, nEnd - nPos)), ++nCount);
    nPos = nEnd == std::string_view::npos ? nEnd : value.find_first_not_of(separators, nEnd);
  }
  return nCount;
}

}  // namespace

void TokenizeFunction(SetupRun& run, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 2);
  const std::string name(TrimAnsi(args.Text(0)));
  const std::string separators = args.Count() > 1 && !args.Text(1).empty() ? args.Text(1) : ",";
  if (name.empty()) {
    result = "0";
    return;
  }
  const std::string value = LookupVariable(run, platform::AnsiUpper(name));
  const size_t nCount =
      SplitPieces(value, separators, [&](const std::string& piece, size_t nIndex) {
        SetVariable(run, name + std::to_string(nIndex), piece);
      });
  result = std::to_string(nCount);
}

}  // namespace tarvium
