#include "widgets/cCDECL.h"
#include "support/WidgetErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quillon::widgets {
namespace {

void ExpectError(const std::function<void()>& fn, uint32_t number, const std::string& description) {
  testing::ExpectWidgetError(fn, static_cast<int>(number), "cCDECL", description);
}

TEST(cCDECL, CallsByNameWithUpToFiveArguments) {
  cCDECL lib;
  ASSERT_TRUE(lib.DllLoad(QUILLON_CDECL_FIXTURE));
  EXPECT_EQ(lib.CallFunc("fixture_zero", {}), 42);
  EXPECT_EQ(lib.CallFunc("fixture_negate", {7}), -7);
  EXPECT_EQ(lib.CallFunc("fixture_negate", {-9}), 9);  // the remembered address again
  EXPECT_EQ(lib.CallFunc("fixture_weighted5", {1, 2, 3, 4, 5}), 54321);
  EXPECT_EQ(lib.CallFunc("fixture_fail", {33}), -1);
  EXPECT_EQ(lib.LastError(), 33);
  EXPECT_TRUE(lib.HasFunction("fixture_zero"));
  EXPECT_FALSE(lib.HasFunction("fixture_none"));
}

TEST(cCDECL, Errors) {
  cCDECL lib;
  ExpectError([&] { lib.CallFunc("fixture_zero", {}); }, 0x80040000u, "DLL not loaded");
  EXPECT_FALSE(lib.DllLoad("libquillon-no-such-library.so"));
  ExpectError([&] { lib.CallFunc("fixture_zero", {}); }, 0x80040000u, "DLL not loaded");
  ASSERT_TRUE(lib.DllLoad(QUILLON_CDECL_FIXTURE));
  ExpectError([&] { lib.CallFunc("fixture_missing", {1}); }, 0x80040001u,
              "Failed to locate function: fixture_missing");
  const auto sixArguments = [&] { lib.CallFunc("fixture_weighted5", {1, 2, 3, 4, 5, 6}); };
  ExpectError(sixArguments, 0x80040002u, "Too many parameters");
  lib.DllUnload();
  EXPECT_FALSE(lib.IsLoaded());
  ExpectError([&] { lib.CallFunc("fixture_zero", {}); }, 0x80040000u, "DLL not loaded");
}

}  // namespace
}  // namespace quillon::widgets
