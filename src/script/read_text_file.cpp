// ReadTextFile(file): the whole text of a file through the machine's file system, decoded as the
// engine decodes every text file (UTF-8 and UTF-16 with a byte-order mark become ANSI). A file
// that cannot be read gives the empty text, never a message.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/inf_file.h"
#include "engine/setup_run.h"
#include "script/call_function.h"
#include "script/function_arguments.h"
#include "script/text_function_bodies.h"

namespace tarvium {

void ReadTextFileFunction(SetupRun& run, std::string_view text, std::string& result) {
  const FunctionArguments args(text, 1);
  if (args.Text(0).empty()) return;
  std::string bytes;
  if (run.machine.Files().ReadWholeFile(args.Text(0), bytes) != 0) return;
  TextEncoding encoding;
  const std::vector<char> decoded = DecodeText(bytes, encoding);
  result.assign(decoded.begin(), decoded.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                       decoded.size(), kFunctionResultMax)));
}

}  // namespace tarvium
