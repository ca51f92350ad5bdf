// Expression functions over the network and the domain: GetIP, GetNIC, GetNICs and GetDCName.
// GetIP gives the first adapter's address that is set (a machine has several when it has several
// adapters, and the first one is the one Windows lists first); GetNICs separates the adapters'
// addresses with commas, so that Tokenize splits them with its default separator.
#include <cstdio>

#include "engine/setup_run.h"
#include "platform/network.h"
#include "script/decimal_text.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

std::vector<platform::AdapterInfo> Adapters(SetupRun& run) {
  std::vector<platform::AdapterInfo> adapters;
  if (run.machine.Net().GetAdaptersInfo(adapters) != platform::ERROR_SUCCESS) adapters.clear();
  return adapters;
}

// Twelve upper-case hexadecimal digits.
std::string HardwareAddressText(const platform::AdapterInfo& adapter) {
  std::string text;
  for (uint8_t b : adapter.address) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", b);
    text += digits;
  }
  return text;
}

// Empty when no adapter has an address.
void GetIP(SetupRun& run, std::string_view, std::string& result) {
  result.clear();
  for (const platform::AdapterInfo& adapter : Adapters(run)) {
    if (!adapter.ipAddress.empty() && adapter.ipAddress != "0.0.0.0") {
      result = adapter.ipAddress;
      return;
    }
  }
}

// Mode 1: the first four digits, mode 2: the last eight, otherwise all twelve.
void GetNIC(SetupRun& run, std::string_view args, std::string& result) {
  result.clear();
  const std::vector<platform::AdapterInfo> adapters = Adapters(run);
  if (adapters.empty()) return;
  const std::string address = HardwareAddressText(adapters.front());
  switch (ReadDecimal(FunctionArguments(args, 1).Text(0))) {
    case 1:
      result = address.substr(0, 4);
      break;
    case 2:
      result = address.substr(4);
      break;
    default:
      result = address;
  }
}

void GetNICs(SetupRun& run, std::string_view, std::string& result) {
  result.clear();
  for (const platform::AdapterInfo& adapter : Adapters(run))
    result += (result.empty() ? "" : ",") + HardwareAddressText(adapter);
}

// The name as the network management functions give it ("\\DC01"); empty when there is none.
void GetDCName(SetupRun& run, std::string_view args, std::string& result) {
  const std::string domain = FunctionArguments(args, 1).Text(0);
  if (run.machine.Users().GetDCName(domain, result) != platform::ERROR_SUCCESS) result.clear();
}

constexpr ExpressionFunction kFunctions[] = {
    {"GetIP", GetIP},
    {"GetNIC", GetNIC},
    {"GetNICs", GetNICs},
    {"GetDCName", GetDCName},
};

}  // namespace

std::span<const ExpressionFunction> NetworkFunctions() {
  return kFunctions;
}

}  // namespace tarvium
