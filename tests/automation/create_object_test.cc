#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "error_of.h"
#include "halvane/dm_radio.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "test_basics.h"

namespace {

using namespace halvane;
using testing_support::ReadFile;
using testing_support::TempDir;

using testing_support::ErrorOf;

// Each test gets its own class registry file.
class CreateObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("HALVANE_CLASS_REGISTRY", (dir_ / "classes.reg").c_str(), 1); }
  void TearDown() override { unsetenv("HALVANE_CLASS_REGISTRY"); }
  TempDir dir_;
  testing_support::ScopedMainContext context_;
};

TEST_F(CreateObjectTest, InProcessClassComesFirst) {
  auto made = std::make_shared<MemberTable>();
  RegisterClassObject("Dalmoth.SDK", [made] { return made; });
  EXPECT_EQ(CreateObject("dalmoth.sdk"), made);
  RevokeClassObject("Dalmoth.SDK");
  EXPECT_EQ(ErrorOf([] { CreateObject("Dalmoth.SDK"); }), kCantCreateObject);
}

TEST_F(CreateObjectTest, UnknownClassIs429) {
  EXPECT_EQ(ErrorOf([] { CreateObject("No.Such"); }), kCantCreateObject);
}

TEST_F(CreateObjectTest, RegisteredLibraryMakesTheRadio) {
  ASSERT_EQ(DllRegisterServer(), HALVANE_S_OK);
  EXPECT_NE(ReadFile(dir_ / "classes.reg").find("Halvane.DMRadio="), std::string::npos);
  EXPECT_EQ(DllCanUnloadNow(), HALVANE_S_OK);
  {
    auto object = CreateObject("Halvane.DMRadio");
    auto radio = std::dynamic_pointer_cast<IDMRadio>(object);
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->GetName(), "Halvane 600");
    EXPECT_EQ(GetProperty(object, "TunerType").ToInt32(), 3);
    EXPECT_EQ(DllCanUnloadNow(), HALVANE_S_FALSE);
  }
  EXPECT_EQ(DllCanUnloadNow(), HALVANE_S_OK);
  ASSERT_EQ(DllUnregisterServer(), HALVANE_S_OK);
  EXPECT_EQ(RegisteredLibrary("Halvane.DMRadio"), "");
  EXPECT_EQ(ErrorOf([] { CreateObject("Halvane.DMRadio"); }), kCantCreateObject);
}

TEST_F(CreateObjectTest, StaleRegistryEntryIs429) {
  RegisterLibraryClass("Halvane.DMRadio", "/nonexistent/libHalvane.so");
  EXPECT_EQ(ErrorOf([] { CreateObject("Halvane.DMRadio"); }), kCantCreateObject);
  void* factory = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject("Other.Class", &factory), HALVANE_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
}

// Where the registry lies, and what it holds: the library's own absolute path as bytes, and only
// in a folder the user keeps data in.
TEST_F(CreateObjectTest, TheRegistryNamesCodeExactlyAndOnlyWhereTheUserKeepsData) {
  // Loaded by a relative path through a linked folder: the canonical absolute path is recorded.
  std::filesystem::create_directory_symlink(std::filesystem::path(PLUGIN_LIBRARY).parent_path(),
                                            dir_ / "linked");
  const std::string name = std::filesystem::path(PLUGIN_LIBRARY).filename();
  const std::string command = std::string("HALVANE_CLASS_REGISTRY=") + (dir_ / "classes.reg") +
                              " " + REGISTER_FROM + " " + dir_.path() + " linked/" + name;
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(RegisteredLibrary("Halvane.DMRadio"),
            std::filesystem::canonical(PLUGIN_LIBRARY).string());
  // A path is bytes: a Latin-1 "é" comes back as it went in. A relative one loads nothing.
  RegisterLibraryClass("Other.Class", "/opt/caf\xe9/libOther.so");
  EXPECT_EQ(RegisteredLibrary("Other.Class"), "/opt/caf\xe9/libOther.so");
  RegisterLibraryClass("Other.Class", "bin/" + name);
  EXPECT_EQ(ErrorOf([] { CreateObject("Other.Class"); }), kCantCreateObject);
  // A registry named without a folder lies in the current one.
  char* before = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  setenv("HALVANE_CLASS_REGISTRY", "bare.reg", 1);
  EXPECT_EQ(DllRegisterServer(), HALVANE_S_OK);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "bare.reg"));
  EXPECT_EQ(::chdir(before), 0);
  std::free(before);
  // Without a home or a data folder there is no registry at all, never one in a shared folder.
  unsetenv("HALVANE_CLASS_REGISTRY");
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  const char* xdg = getenv("XDG_DATA_HOME");
  const std::string data = xdg ? xdg : "";
  unsetenv("HOME");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(ClassRegistryPath(), "");
  EXPECT_EQ(DllRegisterServer(), HALVANE_E_REGISTRY);
  EXPECT_EQ(ErrorOf([] { CreateObject("Halvane.DMRadio"); }), kCantCreateObject);
  setenv("HOME", "relative/home", 1);
  EXPECT_EQ(ClassRegistryPath(), "");
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
  if (xdg) setenv("XDG_DATA_HOME", data.c_str(), 1);
}

}  // namespace
