#include "engine/path_steps.h"

namespace tarvium {

void RemoveParentSteps(std::string& path) {
  size_t nStep;
  while ((nStep = path.find("\\..")) != std::string::npos) {
    const size_t nElement = nStep == 0 ? std::string::npos : path.rfind('\\', nStep - 1);
    const size_t nFrom = nElement == std::string::npos ? 0 : nElement;
    path.erase(nFrom, nStep + 3 - nFrom);
  }
}

}  // namespace tarvium
