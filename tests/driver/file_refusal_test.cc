// Files named by the environment (tuner.ini, the band file, capture files) are read only when
// they are regular files of a sane size, and never wait; a call that fails inside the driver,
// out of memory included, answers with a result code rather than an exception.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "result_codes.h"
#include "sim_driver_fixture.h"
#include "test_hooks.h"
#include "under_asan.h"

extern "C" int32_t radioLastReason(char* buffer, int32_t size);

namespace halvane::driver::testing_support {
namespace {

std::string Reason() {
  char buffer[512] = {};
  radioLastReason(buffer, sizeof buffer);
  return buffer;
}

// A file of `size` bytes that takes no room on disk.
std::string SparseFile(const std::string& path, off_t size) {
  std::ofstream{path};
  EXPECT_EQ(::truncate(path.c_str(), size), 0);
  return path;
}

class FileRefusal : public SimDriverTest {};

TEST_F(FileRefusal, OnlyRegularFilesOfASaneSizeAndNothingThatWaits) {
  const std::string fifo = WriteFile("unused", "") + ".fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // without a writer: a plain open would wait
  const std::string huge = SparseFile(WriteFile("huge.ini", ""), (16 << 20) + 1);
  struct Case {
    const char* variable;
    std::string path;
    int32_t result;
    std::string why;
  };
  const Case cases[] = {
      {"HALVANE_TUNER_CONFIG", "/dev/zero", kConfigUnreadable, "not a regular file"},
      {"HALVANE_TUNER_CONFIG", fifo, kConfigUnreadable, "not a regular file"},
      {"HALVANE_TUNER_CONFIG", huge, kConfigUnreadable, "larger than 1048576 bytes"},
      {"HALVANE_STATIONS", "/dev/zero", kBandFileUnreadable, "not a regular file"},
      {"HALVANE_STATIONS", fifo, kBandFileUnreadable, "not a regular file"},
      {"HALVANE_STATIONS", huge, kBandFileUnreadable, "larger than 16777216 bytes"},
      {"HALVANE_STATIONS",
       WriteFile("capture.ini", "[station Jazz]\nfrequency = 90.0 MHz\ncapture = " + fifo + "\n"),
       kBandFileUnreadable, fifo + ": not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    setenv(c.variable, c.path.c_str(), 1);
    HalvaneSimReset();
    EXPECT_EQ(radioInitialize(), c.result);
    EXPECT_NE(Reason().find(c.why), std::string::npos) << Reason();
    unsetenv("HALVANE_TUNER_CONFIG");
    UseBand(kTestBand);
  }
}

// A byte-order mark before the text is no part of it; the reason quoting a file's bytes that are
// not UTF-8 comes out as UTF-8 all the same.
TEST_F(FileRefusal, AByteOrderMarkIsSkippedAndReasonsAreAlwaysUtf8) {
  setenv("HALVANE_STATIONS",
         WriteFile("bom.ini", "\xEF\xBB\xBF[station Jazz]\nfrequency = 90.0 MHz\n").c_str(), 1);
  HalvaneSimReset();
  EXPECT_EQ(radioInitialize(), 0) << Reason();
  EXPECT_EQ(radioUninitialize(), 0);
  setenv("HALVANE_TUNER_CONFIG",
         WriteFile("tuner\xE9\xFF.ini",
                   "\xEF\xBB\xBF"
                   "backend = none\n")
             .c_str(),
         1);
  HalvaneSimReset();
  EXPECT_EQ(radioInitialize(), kConfigInvalid);
  const std::string reason = Reason();
  EXPECT_NE(reason.find("tuner\xEF\xBF\xBD\xEF\xBF\xBD.ini:1: backend must be"), std::string::npos)
      << reason;
  unsetenv("HALVANE_TUNER_CONFIG");
  UseBand(kTestBand);
}

// A child whose address space leaves no room for the band file's bytes: radioInitialize answers
// with a result and a reason instead of throwing through its C caller (which would end it).
TEST_F(FileRefusal, AnAllocationFailureInsideIsAResult) {
#ifdef HALVANE_UNDER_ASAN
  GTEST_SKIP() << "the sanitizer's shadow memory does not live within an address-space limit";
#else
  setenv("HALVANE_STATIONS", SparseFile(WriteFile("big.ini", ""), 15 << 20).c_str(), 1);
  HalvaneSimReset();
  const pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (4 << 20);
    const rlimit limit{room, room};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    const int32_t result = radioInitialize();
    _exit(result == kInternalFailure && Reason() == "the driver ran out of memory" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

}  // namespace
}  // namespace halvane::driver::testing_support
