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

// A full store, every line and the header different from the other list's.
struct List {
  PresetTable table;
  int32_t freq = 0;
  int32_t value2 = 0;
  int32_t value3 = 0;
};

List MakeList(bool second) {
  List list;
  list.freq = second ? 10790 : 8750;
  list.value2 = second ? 22 : 11;
  list.value3 = second ? -22 : -11;
  list.table.Reset();
  for (int i = 1; i <= kMaxPresets; ++i) {
    list.table.Append(std::to_string((second ? 10790 : 8750) - (i % 100) * 20),
                      second ? "New station number " + std::to_string(i) + " (longer)"
                             : "Old " + std::to_string(i));
  }
  return list;
}

bool SameTexts(const PresetTable& a, const PresetTable& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 1; i < a.size(); ++i)
    if (a.Freq(i) != b.Freq(i) || a.Name(i) != b.Name(i)) return false;
  return true;
}

class CrashSave : public robustness::RobustnessTest {
 protected:
  // Puts a copy of the list into the store.
  void Put(const List& list) {
    component->presets.ResetPresets();
    component->presets.table = list.table;
    component->presets.headerValue2 = list.value2;
    component->presets.headerValue3 = list.value3;
    component->radio.currentFreq = list.freq;
  }

  bool Holds(const List& list, int16_t start) const {
    const ModPresets& p = component->presets;
    return start == list.freq && p.headerValue2 == list.value2 && p.headerValue3 == list.value3 &&
           SameTexts(p.table, list.table);
  }

  // Puts the list into the store by swapping, leaving the store's old contents in its place.
  void SwapIn(List& list) {
    ModPresets& p = component->presets;
    std::swap(p.table, list.table);
    std::swap(p.headerValue2, list.value2);
    std::swap(p.headerValue3, list.value3);
    std::swap(component->radio.currentFreq, list.freq);
  }

  // Saves the two lists in turn, without end, in a child process; answers its id. The child
  // changes lists by swapping its own copies in and out, so it spends its time saving.
  pid_t StartSaver(const List& current, const List& next) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);    // never outlive the test
    SwapIn(const_cast<List&>(current));  // the child's own copies, whatever the parent keeps
    for (;;) {
      SwapIn(const_cast<List&>(next));  // the new list, then the old one again, and so on
      component->presets.SavePresets();
    }
  }

  // The files beside the list other than the list itself: what killed saves left behind.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(CacheDir()))
      if (entry.path().filename() != kMainListFile) names.push_back(entry.path().filename());
    return names;
  }
};

TEST_F(CrashSave, AKilledSaveLeavesTheCompleteOldOrNewList) {
  const List a = MakeList(false), b = MakeList(true);
  const std::string path = CacheDir() + kMainListFile;
  // The two complete files, and that each loads as its list.
  Put(b);
  component->presets.SavePresets();
  const std::string bytesB = testing_support::ReadFile(path);
  ASSERT_TRUE(Holds(b, component->presets.LoadPresets("")));
  Put(a);
  const auto begin = std::chrono::steady_clock::now();
  component->presets.SavePresets();
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - begin)
                          .count();
  const std::string bytesA = testing_support::ReadFile(path);
  ASSERT_TRUE(Holds(a, component->presets.LoadPresets("")));

  // Kills land anywhere in the child's first saves: before it starts, while it writes, while it
  // flushes, as it renames, and in the saves after. (A child's save takes longer than the
  // parent's: it starts by touching pages it shares with the parent.)
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> delayUs(0, 3 * saveUs);
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
        component->presets.headerValue2 = component->presets.headerValue3 = 0;
        EXPECT_TRUE(Holds(isB ? b : a, component->presets.LoadPresets("")));
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
  component->presets.SavePresets();
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
  const std::string mine = TemporaryNamePrefix(kMainListFile);
  const std::vector<std::string> kept = {
      mine + alive + "-17",                               // a writer that still runs
      TemporaryNamePrefix(kLocalListFile) + dead + "-1",  // another file's
      mine + "notes",                                     // not a temporary of ours
      "Radio.ini.bak"};
  for (const auto& name : kept) WriteCacheFile(name, "x");
  WriteCacheFile(mine + dead + "-123456", "half a list");
  WriteCacheFile(mine + dead + "-9", "");
  Put(MakeList(false));
  component->presets.SavePresets();
  auto left = Leftovers();
  std::sort(left.begin(), left.end());
  auto want = kept;
  std::sort(want.begin(), want.end());
  EXPECT_EQ(left, want);
}

}  // namespace
