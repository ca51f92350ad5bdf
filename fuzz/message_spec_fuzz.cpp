// Fuzzes the message-box specification parser, the template formatter and the service request
// over any bytes: nothing faults, the limits on templates, labels and formatted texts hold, and
// the default button is always one of the parsed buttons.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "script/message_format.h"
#include "script/message_spec.h"
#include "script/service_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tarvium::MessageSpec spec;
  if (!tarvium::ParseMessageSpec(bytes, spec)) return 0;
  if (spec.textTemplate.size() > tarvium::kMessageTemplateMax) std::abort();
  if (!spec.buttons.empty() && spec.nDefault >= spec.buttons.size()) std::abort();
  for (const tarvium::SpecButton& button : spec.buttons)
    if (button.label.size() > tarvium::kButtonLabelMax) std::abort();
  tarvium::DefaultResult(spec);
  const std::vector<tarvium::MessageArg> args = {std::string(bytes), int64_t{-1}};
  if (tarvium::FormatMessageText(spec.textTemplate, args).size() > tarvium::kMessageTextMax)
    std::abort();
  tarvium::BuildServiceRequest(5506, spec.textTemplate, args);
  return 0;
}
