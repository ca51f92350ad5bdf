// Fuzzes the option model and the install pass over the input as a setup information file: the
// option table with its relations and sizes, a selection and a deselection of every option, the
// requirement lines, and an install and a removal pass (copy lines are only counted), on one
// emulated machine shared by all inputs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/inf_file.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"
#include "install/build_options.h"
#include "install/install_engine.h"
#include "install/install_pass.h"
#include "install/option_selection.h"
#include "install/requirements.h"
#include "script/script_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tarvium::SetupRun run(FuzzMachine("options_fuzz"));
  tarvium::TextEncoding encoding;
  run.inf.emplace(tarvium::DecodeText(bytes, encoding));
  run.inf->BuildSectionIndex();
  run.variables.Set("MachineKeyName", "Fuzz\\Options");
  tarvium::AttachScriptEngine(run);
  tarvium::AttachInstallEngine(run);
  tarvium::SetCopyLineProcessor(run, [](tarvium::SetupRun&, const std::string&,
                                        const tarvium::SectionCall&) { return true; });
  tarvium::BuildOptions(run);
  tarvium::OptionTable& table = tarvium::EngineOf(run).options;
  for (int32_t i = 1; i < table.Count(); ++i) tarvium::SelectOption(table, i, i % 3 != 0);
  std::string failed;
  tarvium::CheckRequirements(run, failed);
  run.ctx.bAborted = false;
  tarvium::RunInstallationPasses(run);
  run.ctx.bAborted = false;
  run.ctx.bUninstall = true;
  tarvium::RunInstallationPasses(run);
  return 0;
}
