#include "tests/e2e/driver/Script.h"

#include <gtest/gtest.h>

namespace drv {
namespace {

TEST(DriverScript, SplitsVerbsAtSemicolonWordsAndKeepsArgumentsWhole) {
  const Script s =
      ParseScript({L"window", L"探针 - 自测", L"500", L";", L"expect-text", L"1013", L"a ; b", L";", L"click", L"2"});
  ASSERT_TRUE(s.error.empty()) << std::string(s.error.begin(), s.error.end());
  ASSERT_EQ(s.commands.size(), 3u);
  EXPECT_EQ(s.commands[0].verb, L"window");
  EXPECT_EQ(s.commands[0].args, (std::vector<std::wstring>{L"探针 - 自测", L"500"}));
  // A ";" inside an argument is text, only a word of its own separates.
  EXPECT_EQ(s.commands[1].args, (std::vector<std::wstring>{L"1013", L"a ; b"}));
  EXPECT_EQ(s.commands[2].verb, L"click");
  EXPECT_EQ(s.timeoutMs, 10000u);
}

TEST(DriverScript, EmptySegmentsAreSkippedAndTimeoutComesFirst) {
  const Script s = ParseScript({L"--timeout", L"2500", L";", L"close", L";", L";", L"gone", L";"});
  ASSERT_TRUE(s.error.empty());
  ASSERT_EQ(s.commands.size(), 2u);
  EXPECT_EQ(s.commands[0].verb, L"close");
  EXPECT_EQ(s.commands[1].verb, L"gone");
  EXPECT_EQ(s.timeoutMs, 2500u);
}

TEST(DriverScript, RejectsWhatWouldMisleadARun) {
  EXPECT_FALSE(ParseScript({}).error.empty());
  EXPECT_FALSE(ParseScript({L";"}).error.empty());
  EXPECT_FALSE(ParseScript({L"clik", L"2"}).error.empty());
  EXPECT_FALSE(ParseScript({L"click"}).error.empty());
  EXPECT_FALSE(ParseScript({L"click", L"2", L"3"}).error.empty());
  EXPECT_FALSE(ParseScript({L"window", L"a", L"1", L"2"}).error.empty());
  EXPECT_FALSE(ParseScript({L"dialog"}).error.empty());
  EXPECT_TRUE(ParseScript({L"dialog", L"请选择安装目录：", L"500"}).error.empty());
  EXPECT_FALSE(ParseScript({L"expect", L"1018"}).error.empty());
  EXPECT_FALSE(ParseScript({L"--timeout", L"soon", L"close"}).error.empty());
  EXPECT_FALSE(ParseScript({L"close", L"--timeout", L"5"}).error.empty());
  // One bad command spoils the whole script: nothing half-run.
  const Script s = ParseScript({L"close", L";", L"bogus"});
  EXPECT_FALSE(s.error.empty());
}

TEST(DriverScript, ControlIdsInDecimalHexOrCaption) {
  int id = 0;
  EXPECT_TRUE(ParseId(L"1018", &id));
  EXPECT_EQ(id, 1018);
  EXPECT_TRUE(ParseId(L"0xFFFF", &id));
  EXPECT_EQ(id, 0xFFFF);
  EXPECT_TRUE(ParseId(L"caption", &id));
  EXPECT_EQ(id, kCaptionId);
  for (const wchar_t* bad : {L"", L"-1", L"+2", L"12x", L"0x10000", L"Caption", L"1 "}) {
    id = 7;
    EXPECT_FALSE(ParseId(bad, &id)) << bad;
    EXPECT_EQ(id, 7) << bad;
  }
}

TEST(DriverScript, MillisecondsArePlainDecimalNumbers) {
  unsigned ms = 0;
  EXPECT_TRUE(ParseMs(L"0", &ms));
  EXPECT_EQ(ms, 0u);
  EXPECT_TRUE(ParseMs(L"30000", &ms));
  EXPECT_EQ(ms, 30000u);
  for (const wchar_t* bad : {L"", L"-5", L" 5", L"5s", L"0x10", L"99999999999"}) EXPECT_FALSE(ParseMs(bad, &ms)) << bad;
}

}  // namespace
}  // namespace drv
