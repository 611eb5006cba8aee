// Loads the plug-in library by the path given, from the folder given, and registers it: how a
// host started in some folder with a relative library path does.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>

int main(int argc, char** argv) {
  if (argc != 3 || ::chdir(argv[1]) != 0) return 2;
  void* library = ::dlopen(argv[2], RTLD_NOW);
  if (library == nullptr) return 3;
  auto registerServer = reinterpret_cast<int32_t (*)()>(::dlsym(library, "DllRegisterServer"));
  if (registerServer == nullptr) return 4;
  return registerServer() == 0 ? 0 : 1;
}
