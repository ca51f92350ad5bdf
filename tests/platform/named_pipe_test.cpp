// The emulated named pipes: sockets in the machine's pipe folder, reached by their Windows pipe
// names, with the error codes Windows gives for missing, busy and broken pipes.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/emulated/pipes/socket_pipes.h"
#include "platform/named_pipe.h"
#include "platform/win_error.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform {
namespace {

TEST(NamedPipes, NamesAndServersAsWindowsHasThem) {
  tarvium::test::TestMachine machine;
  NamedPipes& pipes = machine.Machine().Pipes();
  std::unique_ptr<PipeConnection> client;
  std::unique_ptr<PipeServer> server;
  for (const char* pszName : {"\\\\.\\pipe\\", "C:\\pipe\\X", "\\\\.\\pipe\\a\\b", "X"}) {
    EXPECT_EQ(pipes.Open(pszName, client), ERROR_INVALID_NAME) << pszName;
    EXPECT_EQ(pipes.Create(pszName, server), ERROR_INVALID_NAME) << pszName;
  }
  EXPECT_EQ(pipes.Open("\\\\.\\pipe\\Nobody", client), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(pipes.Create("\\\\.\\PIPE\\Busy", server), ERROR_SUCCESS);
  std::unique_ptr<PipeServer> second;
  EXPECT_EQ(pipes.Create("\\\\.\\pipe\\Busy", second), ERROR_PIPE_BUSY);
  std::unique_ptr<PipeConnection> accepted;
  EXPECT_EQ(server->Accept(accepted, 10), ERROR_WAIT_TIMEOUT);
  server.reset();  // the name goes with its server
  EXPECT_EQ(pipes.Open("\\\\.\\pipe\\Busy", client), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(pipes.Create("\\\\.\\pipe\\Busy", second), ERROR_SUCCESS);
}

TEST(NamedPipes, BlocksTravelWholeUntilTheOtherEndCloses) {
  // a machine folder beyond the length of a socket address is reached all the same
  tarvium::test::TempDir dir;
  const std::string machineDir = dir.Path() + "/" + std::string(110, 'm');
  std::filesystem::create_directory(machineDir);
  emulated::SocketPipes pipes(machineDir + "/pipe");
  const std::string name = "\\\\.\\pipe\\SetupSendPipe";
  std::unique_ptr<PipeServer> server;
  ASSERT_EQ(pipes.Create(name, server), ERROR_SUCCESS);
  std::unique_ptr<PipeConnection> client;
  ASSERT_EQ(pipes.Open(name, client), ERROR_SUCCESS);
  std::unique_ptr<PipeConnection> peer;
  ASSERT_EQ(server->Accept(peer, 5000), ERROR_SUCCESS);

  const std::string block(16384, 'b');
  std::thread writer([&] { EXPECT_EQ(client->Write(block.data(), block.size()), ERROR_SUCCESS); });
  std::string received(block.size(), '\0');
  size_t nRead = 0;
  EXPECT_EQ(peer->Read(received.data(), received.size(), nRead, 5000), ERROR_SUCCESS);
  writer.join();
  EXPECT_EQ(nRead, block.size());
  EXPECT_EQ(received, block);

  EXPECT_EQ(peer->Read(received.data(), 4, nRead, 10), ERROR_WAIT_TIMEOUT);
  ASSERT_EQ(client->Write("abc", 3), ERROR_SUCCESS);
  client.reset();  // three bytes of four, then the end
  EXPECT_EQ(peer->Read(received.data(), 4, nRead, 5000), ERROR_BROKEN_PIPE);
  EXPECT_EQ(nRead, 3u);
  EXPECT_EQ(peer->Write("x", 1), ERROR_NO_DATA);
}

}  // namespace
}  // namespace platform
