// A run on a fresh temporary machine with the script engine attached, shared by the script tests:
// the lines an IF line hands to the section processing are recorded, and measured as their length.
// Line runs one script line as a section holds it, Removal the same in the removal pass.
#pragma once
#include <string>
#include <vector>

#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "script/execute_cmd.h"
#include "script/script_engine.h"
#include "support/shown_messages.h"
#include "support/test_machine.h"

namespace tarvium::test {

struct ScriptTestRun {
  ScriptTestRun() {
    AttachScriptEngine(run);
    run.sectionLines.processLine = [this](SetupRun&, const std::string& line) {
      processed.push_back(line);
      return line != "Stop";
    };
    run.sectionLines.measureLine = [](SetupRun&, const std::string& line) {
      return static_cast<int64_t>(line.size());
    };
  }

  std::vector<int> Messages() const { return ShownMessageNumbers(run); }
  int Line(const std::string& line) { return ExecuteCmd(run, line, {}, false, true, nullptr); }
  int Removal(const std::string& line) {
    run.ctx.bUninstall = true;
    const int nResult = Line(line);
    run.ctx.bUninstall = false;
    return nResult;
  }

  TestMachine machine;
  SetupRun run{machine.Machine()};
  std::vector<std::string> processed;
};

}  // namespace tarvium::test
