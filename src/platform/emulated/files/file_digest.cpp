// SHA-256 through Crypto++, the project's crypto library; the file is read in blocks so that a
// large file needs no large buffer.
#include "platform/emulated/files/file_digest.h"

#include <cryptopp/hex.h>
#include <cryptopp/sha.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win_error.h"

namespace platform {

uint32_t Sha256OfHostFile(const std::string& hostPath, std::string& hexDigest) {
  hexDigest.clear();
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
  CryptoPP::SHA256 hash;
  unsigned char buffer[64 * 1024];
  ssize_t n = 0;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    hash.Update(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (n < 0) return ERROR_READ_FAULT;
  unsigned char digest[CryptoPP::SHA256::DIGESTSIZE];
  hash.Final(digest);
  CryptoPP::HexEncoder encoder(new CryptoPP::StringSink(hexDigest), false);
  encoder.Put(digest, sizeof digest);
  encoder.MessageEnd();
  return ERROR_SUCCESS;
}

}  // namespace platform
