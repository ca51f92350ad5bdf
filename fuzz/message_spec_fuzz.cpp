// Fuzzes the message definition parser, the template formatter and the service request
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
  tarvium::MessageSpec messageSpec;
  if (!tarvium::ParseMessageSpec(bytes, messageSpec)) return 0;
  if (messageSpec.textTemplate.size() > tarvium::kMessageTemplateMax) std::abort();
  if (!messageSpec.buttons.empty() && messageSpec.nDefault >= messageSpec.buttons.size())
    std::abort();
  for (const tarvium::SpecButton& button : messageSpec.buttons)
    if (button.label.size() > tarvium::kButtonLabelMax) std::abort();
  tarvium::DefaultResult(messageSpec);
  const std::vector<tarvium::MessageArg> args = {std::string(bytes), int64_t{-1}};
  if (tarvium::FormatMessageText(messageSpec.textTemplate, args).size() > tarvium::kMessageTextMax)
    std::abort();
  tarvium::BuildServiceRequest(5506, messageSpec.textTemplate, args);
  return 0;
}
