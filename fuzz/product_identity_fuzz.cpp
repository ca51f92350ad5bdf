// Fuzzes the reading of the product identity: the number, version and colour parsers over the
// raw input, then the whole identity pass over the input as a setup information file, on one
// emulated machine shared by all inputs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/inf_file.h"
#include "engine/inf_values.h"
#include "engine/product_identity.h"
#include "engine/setup_run.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  uint32_t dwValue = 0;
  tarvium::ParseDecimal(bytes);
  tarvium::ParseFormatVersion(bytes);
  tarvium::ParseHexNumber(bytes, dwValue);
  std::string text(bytes);
  tarvium::ReduceDoubledBackslashes(text);

  tarvium::SetupRun run(FuzzMachine("product_identity_fuzz"));
  tarvium::TextEncoding encoding;
  tarvium::InfFile inf(tarvium::DecodeText(bytes, encoding));
  inf.BuildSectionIndex();
  tarvium::ReadProductIdentity(run, inf);
  return 0;
}
