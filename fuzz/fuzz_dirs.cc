#include "fuzz_dirs.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzzing {
namespace fs = std::filesystem;

const std::string& ScratchRoot() {
  // Never destroyed: the exit handler that removes the folder runs after static destructors may
  // have run.
  static const std::string* root = [] {
    const std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = base + "/halvane-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fail("can't make a scratch folder under " + base);
    auto* made = new std::string(pattern + "/");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(ScratchRoot(), ec);
    });
    setenv("HALVANE_CLASS_REGISTRY", (*made + "classes.reg").c_str(), 1);
    return made;
  }();
  return *root;
}

std::string FreshFolder(const std::string& name) {
  const std::string path = ScratchRoot() + name;
  std::error_code ec;
  fs::remove_all(path, ec);
  fs::create_directories(path, ec);
  if (ec) Fail("can't make " + path + ": " + ec.message());
  return path + "/";
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("can't write " + path);
}

}  // namespace fuzzing
