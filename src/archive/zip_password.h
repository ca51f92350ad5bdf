// The zip operations hold their password in a buffer of 304 bytes; a longer password is cut to
// its first 303 characters, as copying it into that buffer does, and the cut is traced.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

std::string ZipPasswordOf(SetupRun& run, const std::string& password);

}  // namespace tarvium
