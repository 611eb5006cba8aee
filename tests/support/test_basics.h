// What tests of every kind share, with no plug-in code in it: scratch folders, whole files, and a
// private GLib context. Test programs that link the shared plug-in library, as a host does, use
// this alone.
#ifndef HALVANE_TESTS_TEST_BASICS_H
#define HALVANE_TESTS_TEST_BASICS_H

#include <cstdint>
#include <functional>
#include <string>

typedef struct _GMainContext GMainContext;

namespace testing_support {

// A fresh folder under /tmp, removed at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// A private GLib context pushed as the thread default for the test's lifetime.
class ScopedMainContext {
 public:
  ScopedMainContext();
  ~ScopedMainContext();
  GMainContext* get() const { return ctx_; }
  // Runs the context for `ms` milliseconds of real time, dispatching what falls due.
  void RunFor(int ms);
  // Runs the context until `done` holds, however long a busy machine makes that (up to a give-up
  // bound of 20 s). Returns whether it held, and the milliseconds the context's clock moved.
  bool RunUntil(const std::function<bool()>& done, int64_t* elapsedMs = nullptr);
  // Dispatches whatever is due now, without blocking.
  void Pump();

 private:
  GMainContext* ctx_;
};

}  // namespace testing_support

#endif
