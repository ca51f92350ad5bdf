// The sockets behind the emulated named pipes. Every socket call retries on EINTR; writes never
// raise SIGPIPE (a peer that went away is an error code, as a broken pipe is on Windows).
#include "platform/emulated/pipes/socket_pipes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr std::string_view kPipePrefix = "\\\\.\\pipe\\";

// NAME of "\\.\pipe\NAME"; empty when the name is not a local pipe name.
std::string LocalPipeName(const std::string& pipeName) {
  if (pipeName.size() <= kPipePrefix.size() || !AnsiStartsWithNoCase(pipeName, kPipePrefix))
    return "";
  std::string name = pipeName.substr(kPipePrefix.size());
  if (name.find_first_of("\\/") != std::string::npos || name == "." || name == "..") return "";
  return name;
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// The socket address of folder/name. A path too long for sun_path goes through an open
// descriptor of the folder (/proc/self/fd/N/name), which `folderFd` keeps open meanwhile.
bool SocketAddress(const std::string& folder, const std::string& name, Descriptor& folderFd,
                   sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  std::string path = folder + "/" + name;
  if (path.size() >= sizeof address.sun_path) {
    Descriptor opened(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (opened.Get() < 0) return false;
    path = "/proc/self/fd/" + std::to_string(opened.Get()) + "/" + name;
    if (path.size() >= sizeof address.sun_path) return false;
    folderFd.Reset(opened.Release());
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Waits until fd is readable; false with ERROR_WAIT_TIMEOUT or the error of poll.
uint32_t WaitReadable(int fd, uint32_t dwTimeoutMs) {
  const int nTimeout = dwTimeoutMs == PIPE_WAIT_FOREVER ? -1 : static_cast<int>(dwTimeoutMs);
  pollfd waiting{fd, POLLIN, 0};
  int nReady;
  do {
    nReady = ::poll(&waiting, 1, nTimeout);
  } while (nReady < 0 && errno == EINTR);
  if (nReady == 0) return ERROR_WAIT_TIMEOUT;
  return nReady < 0 ? ERROR_GEN_FAILURE : ERROR_SUCCESS;
}

class SocketConnection final : public PipeConnection {
 public:
  explicit SocketConnection(int fd) : fd_(fd) {}

  uint32_t Write(const void* pData, size_t nBytes) override {
    const auto* pBytes = static_cast<const char*>(pData);
    while (nBytes > 0) {
      const ssize_t nSent = ::send(fd_.Get(), pBytes, nBytes, MSG_NOSIGNAL);
      if (nSent < 0 && errno == EINTR) continue;
      if (nSent <= 0) return ERROR_NO_DATA;
      pBytes += nSent;
      nBytes -= static_cast<size_t>(nSent);
    }
    return ERROR_SUCCESS;
  }

  uint32_t Read(void* pData, size_t nBytes, size_t& nRead, uint32_t dwTimeoutMs) override {
    auto* pBytes = static_cast<char*>(pData);
    nRead = 0;
    while (nRead < nBytes) {
      if (const uint32_t err = WaitReadable(fd_.Get(), dwTimeoutMs); err != ERROR_SUCCESS)
        return err;
      const ssize_t nGot = ::recv(fd_.Get(), pBytes + nRead, nBytes - nRead, 0);
      if (nGot < 0 && errno == EINTR) continue;
      if (nGot <= 0) return ERROR_BROKEN_PIPE;
      nRead += static_cast<size_t>(nGot);
    }
    return ERROR_SUCCESS;
  }

 private:
  Descriptor fd_;
};

// The server holds the lock file NAME.lock for as long as it serves the name, so that a second
// server learns that the pipe is busy without connecting to the first one.
class SocketServer final : public PipeServer {
 public:
  SocketServer(int fd, int lockFd, std::string path)
      : fd_(fd), lockFd_(lockFd), path_(std::move(path)) {}
  ~SocketServer() override {
    ::unlink(path_.c_str());
    ::unlink((path_ + ".lock").c_str());
  }

  uint32_t Accept(std::unique_ptr<PipeConnection>& connection, uint32_t dwTimeoutMs) override {
    if (const uint32_t err = WaitReadable(fd_.Get(), dwTimeoutMs); err != ERROR_SUCCESS) return err;
    int fd;
    do {
      fd = ::accept4(fd_.Get(), nullptr, nullptr, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return ERROR_PIPE_NOT_CONNECTED;
    connection = std::make_unique<SocketConnection>(fd);
    return ERROR_SUCCESS;
  }

 private:
  Descriptor fd_;
  Descriptor lockFd_;
  std::string path_;
};

// Connects a new socket to folder/name; the errno of connect when it fails.
int ConnectSocket(const std::string& folder, const std::string& name, Descriptor& socketFd) {
  Descriptor folderFd;
  sockaddr_un address;
  if (!SocketAddress(folder, name, folderFd, address)) return ENAMETOOLONG;
  Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.Get() < 0) return errno;
  int nResult;
  do {
    nResult = ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (nResult < 0 && errno == EINTR);
  if (nResult < 0) return errno;
  socketFd.Reset(fd.Release());
  return 0;
}

}  // namespace

uint32_t SocketPipes::Open(const std::string& pipeName, std::unique_ptr<PipeConnection>& pipe) {
  const std::string name = LocalPipeName(pipeName);
  if (name.empty()) return ERROR_INVALID_NAME;
  Descriptor fd;
  switch (ConnectSocket(pipeDir_, name, fd)) {
    case 0:
      pipe = std::make_unique<SocketConnection>(fd.Release());
      return ERROR_SUCCESS;
    case EAGAIN:
      return ERROR_PIPE_BUSY;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    default:  // ENOENT, ECONNREFUSED (a server that ended), a name that cannot be reached
      return ERROR_FILE_NOT_FOUND;
  }
}

uint32_t SocketPipes::Create(const std::string& pipeName, std::unique_ptr<PipeServer>& server) {
  const std::string name = LocalPipeName(pipeName);
  if (name.empty()) return ERROR_INVALID_NAME;
  ::mkdir(pipeDir_.c_str(), 0755);
  const std::string path = pipeDir_ + "/" + name;
  Descriptor lockFd(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lockFd.Get() < 0) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
  if (::flock(lockFd.Get(), LOCK_EX | LOCK_NB) < 0) return ERROR_PIPE_BUSY;
  ::unlink(path.c_str());  // a socket left behind by a server that ended without removing it
  Descriptor folderFd;
  sockaddr_un address;
  if (!SocketAddress(pipeDir_, name, folderFd, address)) return ERROR_FILENAME_EXCED_RANGE;
  Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.Get() < 0 ||
      ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 ||
      ::listen(fd.Get(), 4) < 0)
    return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
  server = std::make_unique<SocketServer>(fd.Release(), lockFd.Release(), path);
  return ERROR_SUCCESS;
}

}  // namespace platform::emulated
