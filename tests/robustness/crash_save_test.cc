// A preset list saved by a process that is killed at any moment: the list file afterwards loads
// as the complete old list or the complete new one, never as a part of either.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "robustness_fixture.h"
#include "runtime/text_file.h"

namespace {

using namespace halvane;

constexpr int kKills = 200;

// A full store, every line and the header different from the other list's, and a file of it
// elsewhere that the store imports it from.
struct List {
  PresetTable table;
  int32_t freq = 0;
  int32_t value2 = 0;
  int32_t value3 = 0;
  std::string source;
};

List MakeList(bool second, const std::string& folder) {
  List list;
  list.freq = second ? 10790 : 8750;
  list.value2 = second ? 22 : 11;
  list.value3 = second ? -22 : -11;
  list.source = folder + (second ? "/new.ini" : "/old.ini");
  std::string bytes = "0|" + std::to_string(list.value2) + "|" + std::to_string(list.value3);
  list.table.Reset();
  for (int i = 1; i <= kMaxPresets; ++i) {
    list.table.Append(std::to_string((second ? 10790 : 8750) - (i % 100) * 20),
                      second ? "New station number " + std::to_string(i) + " (longer)"
                             : "Old " + std::to_string(i));
    bytes += "\r\n" + std::string(list.table.Freq(i)) + "," + std::string(list.table.Name(i));
  }
  testing_support::WriteFile(list.source, bytes + "\r\n");
  return list;
}

bool SameTexts(const PresetTable& a, const PresetTable& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 1; i < a.size(); ++i)
    if (a.Freq(i) != b.Freq(i) || a.Name(i) != b.Name(i)) return false;
  return true;
}

// The saves go to the local list, the one a list file elsewhere is imported into.
class CrashSave : public robustness::RobustnessTest {
 protected:
  void SetUp() override {
    RobustnessTest::SetUp();
    radio_->LocalMode(true);
    Start();
  }
  List Make(bool second) const { return MakeList(second, dir_->path()); }

  // Imports the list into the store and tunes to its frequency.
  void Put(const List& list) {
    component_->presets().LoadPresets(list.source);
    component_->radio().TuneTo(list.freq);
  }

  bool Holds(const List& list, int16_t start) const {
    const ModPresets& p = component_->presets();
    return start == list.freq && p.headerValue2() == list.value2 &&
           p.headerValue3() == list.value3 && SameTexts(p.table(), list.table);
  }

  // Saves the two lists in turn, without end, in a child process; answers its id.
  pid_t StartSaver(const List& current, const List& next) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the test
    for (bool toNext = true;; toNext = !toNext) {
      Put(toNext ? next : current);  // the new list, then the old one again, and so on
      component_->presets().SavePresets();
    }
  }

  // The files beside the list other than the list itself: what killed saves left behind.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(CacheDir()))
      if (entry.path().filename() != kLocalListFile) names.push_back(entry.path().filename());
    return names;
  }
};

TEST_F(CrashSave, AKilledSaveLeavesTheCompleteOldOrNewList) {
  const List a = Make(false), b = Make(true);
  const std::string path = CacheDir() + kLocalListFile;
  // The two complete files, and that each loads as its list.
  Put(b);
  component_->presets().SavePresets();
  const std::string bytesB = testing_support::ReadFile(path);
  ASSERT_TRUE(Holds(b, component_->presets().LoadPresets("")));
  Put(a);
  const auto begin = std::chrono::steady_clock::now();
  component_->presets().SavePresets();
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - begin)
                          .count();
  const std::string bytesA = testing_support::ReadFile(path);
  ASSERT_TRUE(Holds(a, component_->presets().LoadPresets("")));

  // Kills land anywhere in the child's first saves: before it starts, while it writes, while it
  // flushes, as it renames, and in the saves after. (A child's save takes longer than the
  // parent's: it starts by touching pages it shares with the parent.)
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> delayUs(0, 3 * saveUs);
  List zero;
  zero.source = dir_->path() + "/zero.ini";
  testing_support::WriteFile(zero.source, "0|0|0\r\n");
  int old = 0, fresh = 0, partial = 0, leftovers = 0;
  bool holdsB = false;  // which list the file holds before the next child starts
  for (int kill = 0; kill < kKills; ++kill) {
    const List& current = holdsB ? b : a;
    const List& next = holdsB ? a : b;
    const pid_t saver = StartSaver(current, next);
    ASSERT_GT(saver, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    ASSERT_EQ(::kill(saver, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(saver, &status, 0), saver);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    // A file equal to a complete one loads as that list; every tenth is loaded all the same.
    const std::string bytes = testing_support::ReadFile(path);
    const bool isB = bytes == bytesB;
    if (bytes != bytesA && !isB) {
      ++partial;
      ADD_FAILURE() << "kill " << kill << " left a file of " << bytes.size()
                    << " bytes that is neither list";
    } else {
      if (kill % 10 == 0) {
        Put(zero);  // header values that the load must replace
        EXPECT_TRUE(Holds(isB ? b : a, component_->presets().LoadPresets("")));
      }
      if (isB == holdsB) {
        ++old;
      } else {
        ++fresh;
        holdsB = isB;
      }
    }
    // A killed save may leave its temporary file; the next save removes it.
    leftovers += Leftovers().empty() ? 0 : 1;
  }
  EXPECT_EQ(partial, 0);
  component_->presets().SavePresets();
  EXPECT_TRUE(Leftovers().empty()) << Leftovers().front();
  robustness::Report("crash", "kills=" + std::to_string(kKills) + " old=" + std::to_string(old) +
                                  " new=" + std::to_string(fresh) +
                                  " partial=" + std::to_string(partial) +
                                  " kills-leaving-a-temporary=" + std::to_string(leftovers) +
                                  " save-us=" + std::to_string(saveUs));
}

TEST_F(CrashSave, ASaveRemovesOnlyTheTemporariesOfItsFileWhoseWriterIsGone) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const std::string dead = std::to_string(gone), alive = std::to_string(getppid());
  const std::string mine = TemporaryNamePrefix(kLocalListFile);
  const std::vector<std::string> kept = {
      mine + alive + "-17",                              // a writer that still runs
      TemporaryNamePrefix(kMainListFile) + dead + "-1",  // another file's
      mine + "notes",                                    // not a temporary of ours
      "RadioLocal.ini.bak"};
  for (const auto& name : kept) WriteCacheFile(name, "x");
  WriteCacheFile(mine + dead + "-123456", "half a list");
  WriteCacheFile(mine + dead + "-9", "");
  Put(Make(false));
  component_->presets().SavePresets();
  auto left = Leftovers();
  std::sort(left.begin(), left.end());
  auto want = kept;
  std::sort(want.begin(), want.end());
  EXPECT_EQ(left, want);
}

}  // namespace
