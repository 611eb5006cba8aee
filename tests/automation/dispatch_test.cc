#include "halvane/dispatch.h"

#include <gtest/gtest.h>

#include <functional>

#include "error_of.h"
#include "halvane/errors.h"

namespace {

using namespace halvane;

using testing_support::ErrorOf;

TEST(Dispatch, MembersAreFoundWithoutRegardToCase) {
  auto obj = std::make_shared<MemberTable>();
  int calls = 0;
  obj->Define("GetInfo", [&](CallKind, std::span<Variant> a) {
    ++calls;
    return Variant(a[0].ToString() + "!");
  });
  Variant args[1] = {Variant("x")};
  EXPECT_EQ(Invoke(obj, "getinfo", CallKind::Method, args).ToString(), "x!");
  EXPECT_EQ(Invoke(obj, "GETINFO", CallKind::Method, args).ToString(), "x!");
  EXPECT_EQ(calls, 2);
}

TEST(Dispatch, UnknownMemberIs438AndNoObjectIs91) {
  auto obj = std::make_shared<MemberTable>();
  EXPECT_EQ(ErrorOf([&] { GetProperty(obj, "Tag"); }), kNoMember);
  EXPECT_EQ(ErrorOf([] { GetProperty(nullptr, "Tag"); }), kNoObject);
  EXPECT_EQ(ErrorOf([] { PutProperty(nullptr, "Value", Variant(int32_t{1})); }), kNoObject);
}

TEST(Dispatch, ByReferenceArgumentsCanBeWrittenBack) {
  auto obj = std::make_shared<MemberTable>();
  obj->Define("Empty", [](CallKind, std::span<Variant> a) {
    a[0] = Variant(std::string());
    return Variant();
  });
  Variant args[1] = {Variant("status")};
  Invoke(obj, "Empty", CallKind::Method, args);
  EXPECT_EQ(args[0].ToString(), "");
}

}  // namespace

namespace {

TEST(Dispatch, NamesFoldOnlyAsciiLetters) {
  using halvane::MemberNameEquals;
  EXPECT_TRUE(MemberNameEquals("ReturnLabel", "RETURNLABEL"));
  EXPECT_FALSE(MemberNameEquals("Tag", "Tags"));
  // Latin-1 letters are never folded, whatever locale the host has set.
  EXPECT_FALSE(MemberNameEquals("\xC4", "\xE4"));
  EXPECT_FALSE(MemberNameEquals("I", "\xFD"));
}

}  // namespace
