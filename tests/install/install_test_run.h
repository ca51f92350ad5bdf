// A run on a fresh temporary machine with the script and installation engines attached and a
// setup information file given as text. The copy lines that the pass reaches are recorded with
// their section, which shows which sections ran, in which order and with which switches.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/inf_file.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "script/script_engine.h"
#include "support/shown_messages.h"
#include "support/test_machine.h"

namespace tarvium::test {

struct CopiedLine {
  std::string section;
  std::string line;
  bool bCarryOut = true;
  uint32_t dwSectionFlags = 0;
};

class InstallTestRun {
 public:
  explicit InstallTestRun(std::string_view infText) {
    run.inf.emplace(std::vector<char>(infText.begin(), infText.end()));
    run.inf->BuildSectionIndex();
    run.variables.Set("MachineKeyName", "Vendor\\Product");
    AttachScriptEngine(run);
    AttachInstallEngine(run);
    SetCopyLineProcessor(run, [this](SetupRun& r, const std::string& line, const SectionCall& c) {
      copied.push_back({r.position.section, line, c.bCarryOut, c.dwSectionFlags});
      return line.find("FAIL") == std::string::npos;
    });
  }

  OptionTable& Options() { return EngineOf(run).options; }
  OptionRecord& Option(std::string_view name) { return Options()[FindOption(Options(), name)]; }

  std::vector<int> Messages() const { return ShownMessageNumbers(run); }
  // The sections whose copy lines were carried out, in order.
  std::vector<std::string> CarriedOutSections() const {
    std::vector<std::string> sections;
    for (const CopiedLine& copy : copied)
      if (copy.bCarryOut) sections.push_back(copy.section);
    return sections;
  }
  // The names of the selected options, in table order.
  std::vector<std::string> Selected() {
    std::vector<std::string> names;
    for (const OptionRecord& option : Options().records)
      if (option.selected && !option.name.empty()) names.push_back(option.name);
    return names;
  }

  TestMachine machine;
  SetupRun run{machine.Machine()};
  std::vector<CopiedLine> copied;
};

}  // namespace tarvium::test
