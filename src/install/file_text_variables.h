// REPLACEVARS: the %Name% references in the text of a copied file are replaced by their values.
// The file is treated line by line, so that the limit of a variable line applies to each line
// and not to the whole file; line ends stay as they were.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// False when the file cannot be read or written back.
bool ReplaceVariablesInFile(SetupRun& run, const std::string& path);

}  // namespace tarvium
