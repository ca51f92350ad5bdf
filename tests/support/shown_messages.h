// The numbers of the messages a run showed, in order: what most tests compare with a list.
#pragma once
#include <vector>

#include "engine/setup_run.h"

namespace tarvium::test {

inline std::vector<int> ShownMessageNumbers(const SetupRun& run) {
  std::vector<int> numbers;
  for (const ShownMessage& shown : run.shownMessages) numbers.push_back(shown.nMessage);
  return numbers;
}

}  // namespace tarvium::test
