// The groups that make up MachineFunctions(), one file each: files and disks, the registry, the
// .NET Framework, the network and accounts, processes and the clipboard, XML files.
#pragma once
#include <span>

#include "script/expression_functions.h"

namespace tarvium {

std::span<const ExpressionFunction> FileFunctions();
std::span<const ExpressionFunction> RegistryFunctions();
std::span<const ExpressionFunction> DotNetFunctions();
std::span<const ExpressionFunction> NetworkFunctions();
std::span<const ExpressionFunction> SystemFunctions();
std::span<const ExpressionFunction> XmlFunctions();

}  // namespace tarvium
