#include "log_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "host_process.h"

namespace host {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every line carries its time; a file that would pass the limit moves aside once, so the log
// never holds more than two files' worth.
TEST(LogFile, StampsEachLineAndRotatesOnceAtTheLimit) {
  e2e::ScratchDir dir;
  const std::string path = dir.path() + "/halvane.log";
  const std::string line(40, 'x');  // 65 bytes with its stamp and line end
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(AppendLogLine(path, line, 200));
  const std::regex stamped("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} x{40}\n)+");
  EXPECT_TRUE(std::regex_match(Read(path), stamped)) << Read(path);
  EXPECT_EQ(Read(path).size(), 2 * 65u);
  EXPECT_EQ(Read(path + ".1").size(), 3 * 65u);
  EXPECT_EQ(LogTimestamp(0, 7).size(), 24u);
}

}  // namespace
}  // namespace host
