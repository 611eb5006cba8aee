#include <gtest/gtest.h>
#include <stdlib.h>

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
  void SetUp() override { setenv("HALVANE_CLASS_REGISTRY", (dir / "classes.reg").c_str(), 1); }
  void TearDown() override { unsetenv("HALVANE_CLASS_REGISTRY"); }
  TempDir dir;
  testing_support::ScopedMainContext context;
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
  EXPECT_NE(ReadFile(dir / "classes.reg").find("Halvane.DMRadio="), std::string::npos);
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

}  // namespace
