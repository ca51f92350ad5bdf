// What the script engine asks of the section processing: an IF line runs its chosen command as a
// line of the current section, and during the size computation measures it instead. The section
// processing attaches both; a run without them runs nothing and measures nothing, which is what
// the script engine's own tests and a run before the section processing is attached see.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tarvium {

struct SetupRun;

struct SectionLineHooks {
  // Processes one line as a line of the section; false when the section must stop.
  std::function<bool(SetupRun&, const std::string& line)> processLine;
  // The bytes one line of an option's section adds to the option's size.
  std::function<int64_t(SetupRun&, const std::string& line)> measureLine;
};

}  // namespace tarvium
