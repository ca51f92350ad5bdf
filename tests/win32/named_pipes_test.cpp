// The named pipes of the real Windows, both ends in this process: the server's end in a thread of
// the test, the client's end in the test's own thread. Blocks are read whole, time-outs leave the
// pipe usable, and a closed end shows as the errors the engine and setup-agent branch on.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/named_pipe.h"
#include "platform/win32/win32_named_pipes.h"
#include "platform/win_error.h"
#include "win32/wine_check.h"

namespace platform::win32 {
namespace {

constexpr uint32_t kShortWaitMs = 50;

std::string UniquePipeName() {
  static std::atomic<int> nNext{0};
  return "\\\\.\\pipe\\tarvium-test-" + std::to_string(_getpid()) + "-" + std::to_string(nNext++);
}

std::vector<char> Pattern(size_t nBytes, char cFirst) {
  std::vector<char> bytes(nBytes);
  for (size_t i = 0; i < nBytes; ++i) bytes[i] = static_cast<char>(cFirst + i % 97);
  return bytes;
}

class NamedPipesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = UniquePipeName();
    ASSERT_EQ(pipes_.Create(name_, server_), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (serving_.joinable()) serving_.join();
  }
  // Accepts the next client in a thread of its own and hands its end to `serve` there.
  void ServeOne(std::function<void(PipeConnection&)> serve) {
    serving_ = std::thread([this, serve = std::move(serve)] {
      std::unique_ptr<PipeConnection> connection;
      acceptError_ = server_->Accept(connection, PIPE_WAIT_FOREVER);
      if (acceptError_ == ERROR_SUCCESS) serve(*connection);
    });
  }
  std::unique_ptr<PipeConnection> OpenClient() {
    std::unique_ptr<PipeConnection> client;
    EXPECT_EQ(pipes_.Open(name_, client), ERROR_SUCCESS);
    return client;
  }
  void FinishServing() {
    serving_.join();
    EXPECT_EQ(acceptError_, ERROR_SUCCESS);
  }

  Win32NamedPipes pipes_;
  std::string name_;
  std::unique_ptr<PipeServer> server_;
  std::thread serving_;
  uint32_t acceptError_ = ERROR_GEN_FAILURE;
};

TEST(NamedPipeNames, NamesOutsideThePipeFolderAreInvalid) {
  Win32NamedPipes pipes;
  for (const char* name : {"", "\\\\.\\pipe\\", "\\\\.\\pip\\x", "C:\\pipe\\x", "x",
                           "\\\\.\\mailslot\\x", "\\??\\pipe\\x"}) {
    std::unique_ptr<PipeConnection> client;
    std::unique_ptr<PipeServer> server;
    EXPECT_EQ(pipes.Open(name, client), ERROR_INVALID_NAME) << name;
    EXPECT_EQ(pipes.Create(name, server), ERROR_INVALID_NAME) << name;
    EXPECT_FALSE(client) << name;
    EXPECT_FALSE(server) << name;
  }
}

TEST_F(NamedPipesTest, ASecondServerFindsTheNameBusy) {
  if (tarvium::test::RunsUnderWine())
    GTEST_SKIP() << "Wine's CreateNamedPipeA ignores FILE_FLAG_FIRST_PIPE_INSTANCE";
  std::unique_ptr<PipeServer> second;
  EXPECT_EQ(pipes_.Create(name_, second), ERROR_PIPE_BUSY);
  EXPECT_FALSE(second);
}

TEST_F(NamedPipesTest, TheNameIsFoundInAnyCaseAndDisappearsWithTheServer) {
  std::string upper = name_;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  std::unique_ptr<PipeConnection> client;
  EXPECT_EQ(pipes_.Open(upper, client), ERROR_SUCCESS);
  server_.reset();
  EXPECT_EQ(pipes_.Open(name_, client), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(pipes_.Create(name_, server_), ERROR_SUCCESS);
  EXPECT_EQ(pipes_.Open(name_, client), ERROR_SUCCESS);
}

TEST_F(NamedPipesTest, BlocksGoBothWaysWhole) {
  const std::vector<char> request = Pattern(300000, 'a');  // more than the pipe's buffer
  const std::vector<char> reply = Pattern(4096, 'B');
  std::vector<char> received(request.size());
  size_t nServerRead = 0;
  uint32_t serverReadError = ERROR_GEN_FAILURE, serverWriteError = ERROR_GEN_FAILURE;
  ServeOne([&](PipeConnection& connection) {
    serverReadError = connection.Read(received.data(), received.size(), nServerRead);
    serverWriteError = connection.Write(reply.data(), reply.size());
  });
  std::unique_ptr<PipeConnection> client = OpenClient();
  ASSERT_TRUE(client);
  EXPECT_EQ(client->Write(request.data(), request.size()), ERROR_SUCCESS);
  std::vector<char> answer(reply.size());
  size_t nRead = 0;
  EXPECT_EQ(client->Read(answer.data(), answer.size(), nRead), ERROR_SUCCESS);
  FinishServing();
  EXPECT_EQ(serverReadError, ERROR_SUCCESS);
  EXPECT_EQ(serverWriteError, ERROR_SUCCESS);
  EXPECT_EQ(nServerRead, request.size());
  EXPECT_EQ(received, request);
  EXPECT_EQ(nRead, reply.size());
  EXPECT_EQ(answer, reply);
}

TEST_F(NamedPipesTest, AReadThatTimesOutKeepsWhatCameAndThePipeGoesOn) {
  std::promise<void> firstRead;
  ServeOne([&](PipeConnection& connection) {
    connection.Write("abc", 3);
    firstRead.get_future().wait();
    connection.Write("defgh", 5);
  });
  std::unique_ptr<PipeConnection> client = OpenClient();
  ASSERT_TRUE(client);
  char buffer[8] = {};
  size_t nRead = 0;
  EXPECT_EQ(client->Read(buffer, sizeof buffer, nRead, kShortWaitMs), ERROR_WAIT_TIMEOUT);
  EXPECT_EQ(nRead, 3u);
  EXPECT_EQ(std::string(buffer, nRead), "abc");
  firstRead.set_value();
  EXPECT_EQ(client->Read(buffer, 5, nRead, PIPE_WAIT_FOREVER), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buffer, nRead), "defgh");
  FinishServing();
}

TEST_F(NamedPipesTest, AClosedEndBreaksTheReadAndTheWriteOfTheOther) {
  ServeOne([](PipeConnection& connection) { connection.Write("xy", 2); });
  std::unique_ptr<PipeConnection> client = OpenClient();
  ASSERT_TRUE(client);
  FinishServing();  // the server's end is closed now
  char buffer[8];
  size_t nRead = 0;
  EXPECT_EQ(client->Read(buffer, sizeof buffer, nRead), ERROR_BROKEN_PIPE);
  EXPECT_EQ(nRead, 2u);
  EXPECT_EQ(client->Write("z", 1), ERROR_NO_DATA);
}

// A client that came and left before Accept is let go: Accept times out and serves the next one.
TEST_F(NamedPipesTest, AcceptTimesOutWithoutAClientAndStillServesTheNextOne) {
  OpenClient().reset();
  std::unique_ptr<PipeConnection> connection;
  EXPECT_EQ(server_->Accept(connection, kShortWaitMs), ERROR_WAIT_TIMEOUT);
  EXPECT_FALSE(connection);
  std::unique_ptr<PipeConnection> client = OpenClient();
  EXPECT_EQ(server_->Accept(connection, kShortWaitMs), ERROR_SUCCESS);
  ASSERT_TRUE(connection);
  EXPECT_EQ(client->Write("q", 1), ERROR_SUCCESS);
  char c = 0;
  size_t nRead = 0;
  EXPECT_EQ(connection->Read(&c, 1, nRead), ERROR_SUCCESS);
  EXPECT_EQ(c, 'q');
}

// The second client finds the only free instance taken and waits until the server, having
// accepted the first, offers the next one.
TEST_F(NamedPipesTest, ClientsAreServedOneAfterTheOther) {
  std::unique_ptr<PipeConnection> first = OpenClient();
  ASSERT_TRUE(first);
  std::unique_ptr<PipeConnection> second;
  uint32_t secondOpenError = ERROR_GEN_FAILURE;
  std::thread secondClient([&] { secondOpenError = pipes_.Open(name_, second); });
  std::vector<std::unique_ptr<PipeConnection>> accepted(2);
  for (auto& connection : accepted)
    EXPECT_EQ(server_->Accept(connection, PIPE_WAIT_FOREVER), ERROR_SUCCESS);
  secondClient.join();
  ASSERT_EQ(secondOpenError, ERROR_SUCCESS);
  ASSERT_TRUE(accepted[0] && accepted[1]);
  EXPECT_EQ(first->Write("1", 1), ERROR_SUCCESS);
  EXPECT_EQ(second->Write("2", 1), ERROR_SUCCESS);
  for (const char cExpected : {'1', '2'}) {
    char cGot = 0;
    size_t nRead = 0;
    EXPECT_EQ(accepted[cExpected - '1']->Read(&cGot, 1, nRead), ERROR_SUCCESS);
    EXPECT_EQ(cGot, cExpected);
  }
}

}  // namespace
}  // namespace platform::win32
