// The functions that ask the machine (files, processes, registry, .NET, network, clipboard, XML).
// This table is empty until those functions are added; names outside every table are left as
// written by CallFunction's callers.
#include "script/expression_functions.h"

namespace tarvium {

std::span<const ExpressionFunction> MachineFunctions() {
  return {};
}

}  // namespace tarvium
