// Removing "\.." steps from a path text: each one goes together with the path element before it
// ("C:\A\B\..\C" is "C:\A\C"). Used where a path is fixed before it reaches the file system.
#pragma once
#include <string>

namespace tarvium {

void RemoveParentSteps(std::string& path);

}  // namespace tarvium
