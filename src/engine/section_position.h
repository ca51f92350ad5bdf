// The current position (section and line) is set by every section handler before each line, and
// the message catalog and ErrorLogMsg name it in the error file. A handler holds this scope while
// it walks a section's lines: at the end the position goes back to what it was, the referencing
// section's line or none, so that a message raised after the section (a page, the end message,
// the caller's own failure) does not name a line that is no longer being processed.
#pragma once
#include "engine/setup_run.h"

namespace tarvium {

class SectionPositionScope {
 public:
  explicit SectionPositionScope(SetupRun& run) : run_(run), saved_(run.position) {}
  ~SectionPositionScope() { run_.position = saved_; }
  SectionPositionScope(const SectionPositionScope&) = delete;
  SectionPositionScope& operator=(const SectionPositionScope&) = delete;

 private:
  SetupRun& run_;
  CurrentPosition saved_;
};

}  // namespace tarvium
