// MachineFunctions(): the expression functions that ask the machine, gathered from their groups
// into one table once, so that CallFunction sees a single list beside the text functions.
#include <vector>

#include "script/expression_functions.h"
#include "script/machine_function_groups.h"

namespace tarvium {

std::span<const ExpressionFunction> MachineFunctions() {
  static const std::vector<ExpressionFunction> kAll = [] {
    std::vector<ExpressionFunction> all;
    for (std::span<const ExpressionFunction> group :
         {FileFunctions(), RegistryFunctions(), DotNetFunctions(), NetworkFunctions(),
          SystemFunctions(), XmlFunctions()})
      all.insert(all.end(), group.begin(), group.end());
    return all;
  }();
  return kAll;
}

}  // namespace tarvium
