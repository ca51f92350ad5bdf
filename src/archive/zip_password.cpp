// The password rule shared by Zip and Unzip.
#include "archive/zip_password.h"

#include "archive/archive_trace.h"

namespace tarvium {

std::string ZipPasswordOf(SetupRun& run, const std::string& password) {
  constexpr size_t kZipPasswordBuffer = 304;
  if (password.size() < kZipPasswordBuffer) return password;
  TraceArchive(run, "Zip password is longer than %u characters; its first %u are used",
               unsigned(kZipPasswordBuffer - 1), unsigned(kZipPasswordBuffer - 1));
  return password.substr(0, kZipPasswordBuffer - 1);
}

}  // namespace tarvium
