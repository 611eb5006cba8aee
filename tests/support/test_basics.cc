#include "test_basics.h"

#include <glib.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
  char pattern[] = "/tmp/halvane-test-XXXXXX";
  char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = made;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

ScopedMainContext::ScopedMainContext() : ctx_(g_main_context_new()) {
  g_main_context_push_thread_default(ctx_);
}

ScopedMainContext::~ScopedMainContext() {
  g_main_context_pop_thread_default(ctx_);
  g_main_context_unref(ctx_);
}

void ScopedMainContext::RunFor(int ms) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(ms) * 1000;
  while (g_get_monotonic_time() < end) {
    // Wake at least every few milliseconds so the loop ends on time.
    g_main_context_iteration(ctx_, FALSE);
    g_usleep(1000);
  }
}

bool ScopedMainContext::RunUntil(const std::function<bool()>& done, int64_t* elapsedMs) {
  const gint64 start = g_get_monotonic_time();
  bool held = false;
  while (!(held = done()) && g_get_monotonic_time() - start < 20'000'000) {
    g_main_context_iteration(ctx_, FALSE);
    g_usleep(1000);
  }
  if (elapsedMs != nullptr) *elapsedMs = (g_get_monotonic_time() - start) / 1000;
  return held;
}

void ScopedMainContext::Pump() {
  while (g_main_context_iteration(ctx_, FALSE)) {
  }
}

}  // namespace testing_support
