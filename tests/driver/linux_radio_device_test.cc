// The Linux device node wrapper against real descriptors: a socket pair standing in for a radio
// node whose poll() says readable while a blocking read() would wait (the virtual receiver's and
// si470x's way), and a FIFO for opening by path.
#include "v4l2/linux_radio_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

namespace halvane::driver::v4l2 {
namespace {

using namespace std::chrono_literals;

class LinuxRadioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets_.data()), 0);
    // A blocking read waits for this many bytes; poll() says readable from the first one.
    const int lowWater = 4096;
    ASSERT_EQ(setsockopt(sockets_[0], SOL_SOCKET, SO_RCVLOWAT, &lowWater, sizeof lowWater), 0);
    ASSERT_EQ(device_.Adopt(sockets_[0]), 0);
  }
  void TearDown() override {
    if (sockets_[1] >= 0) close(sockets_[1]);
  }

  // Sends one block record and reads it back on another thread. A read still waiting after a
  // generous deadline is a failure; enough bytes for the low-water mark then bring it back.
  void SendAndRead() {
    const uint8_t record[3] = {0x07, 0x6E, 0x00};
    ASSERT_EQ(write(sockets_[1], record, sizeof record), 3);
    auto reading = std::async(std::launch::async, [this] {
      std::array<uint8_t, 384> buffer{};
      size_t read = 0;
      const int error = device_.ReadRds(buffer, read);
      return std::pair(error, read);
    });
    if (reading.wait_for(30s) != std::future_status::ready) {
      const std::vector<uint8_t> release(4096);
      EXPECT_EQ(write(sockets_[1], release.data(), release.size()), 4096);
      reading.wait();
      FAIL() << "read() waited for more blocks";
    }
    EXPECT_EQ(reading.get(), (std::pair<int, size_t>(0, 3)));
  }

  std::array<int, 2> sockets_{-1, -1};
  LinuxRadioDevice device_{0ms};  // owns sockets_[0]
};

TEST_F(LinuxRadioDeviceTest, ReadsTakeWhatIsWaitingAndNeverWait) {
  std::array<uint8_t, 384> buffer{};
  size_t read = 1;
  EXPECT_EQ(device_.ReadRds(buffer, read), EAGAIN);
  EXPECT_EQ(read, 0u);
  SendAndRead();

  // A hardware seek needs a blocking handle for its one call; reads never wait afterwards.
  v4l2_hw_freq_seek seek{};
  EXPECT_NE(device_.SeekHardware(seek), 0);  // a socket is no tuner
  SendAndRead();
  EXPECT_EQ(device_.ReadRds(buffer, read), EAGAIN);
}

TEST(LinuxRadioDeviceOpenTest, OpensByPathAndPassesTheSystemsErrors) {
  std::string folder = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  folder += "/halvane-radio-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  const std::string node = folder + "/radio0";
  ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);

  LinuxRadioDevice device(std::chrono::milliseconds(0));
  EXPECT_EQ(device.Open(folder + "/radio9"), ENOENT);
  v4l2_capability capabilities{};
  EXPECT_EQ(device.QueryCapabilities(capabilities), EBADF);
  ASSERT_EQ(device.Open(node), 0);  // a FIFO opens for reading and writing without a peer
  EXPECT_EQ(device.QueryCapabilities(capabilities), ENOTTY);
  std::array<uint8_t, 3> buffer{};
  size_t read = 0;
  EXPECT_EQ(device.ReadRds(buffer, read), EAGAIN);
  device.Close();
  unlink(node.c_str());
  rmdir(folder.c_str());
}

}  // namespace
}  // namespace halvane::driver::v4l2
