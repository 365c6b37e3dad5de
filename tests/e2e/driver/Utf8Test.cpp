#include "tests/e2e/driver/Utf8.h"

#include <gtest/gtest.h>

namespace drv {
namespace {

TEST(DriverUtf8, ChineseTextKeepsItsBytesBothWays) {
  // 结 U+7ED3, 构 U+6784: what the Linux side writes and reads.
  const std::string bytes = "\xE7\xBB\x93\xE6\x9E\x84 V2025";
  EXPECT_EQ(ToUtf8(L"\u7ED3\u6784 V2025"), bytes);
  EXPECT_EQ(FromUtf8(bytes), L"\u7ED3\u6784 V2025");
  EXPECT_EQ(ToUtf8(L""), "");
  EXPECT_EQ(FromUtf8(""), L"");
}

TEST(DriverUtf8, CharactersOutsideTheBasicPlaneSurvive) {
  const std::wstring wide = L"\U00020BB7-\u00e9";
  EXPECT_EQ(ToUtf8(wide), "\xF0\xA0\xAE\xB7-\xC3\xA9");
  EXPECT_EQ(FromUtf8(ToUtf8(wide)), wide);
}

}  // namespace
}  // namespace drv
