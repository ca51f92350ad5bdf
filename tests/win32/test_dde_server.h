// A DDE server of the test's own process, made with the DDE management library in a thread of its
// own (with its message loop): it answers one service and topic, records every command it is sent,
// and refuses (negative acknowledgement) the commands that contain kRefusedWord.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvium::test {

class TestDdeServer {
 public:
  static constexpr const char* kRefusedWord = "Refuse";

  TestDdeServer(const std::string& service, const std::string& topic);
  TestDdeServer(const TestDdeServer&) = delete;
  TestDdeServer& operator=(const TestDdeServer&) = delete;
  ~TestDdeServer();

  // Whether the server has registered its service.
  bool IsServing() const { return bServing_; }
  std::vector<std::string> Commands() const;
  // Called from the library's callback, in the server's thread.
  bool Record(const std::string& command);
  const std::string& Topic() const { return topic_; }

 private:
  void Run(const std::string& service);

  std::string topic_;
  bool bServing_ = false;
  uint32_t dwThreadId_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> commands_;
  std::thread thread_;
};

}  // namespace tarvium::test
