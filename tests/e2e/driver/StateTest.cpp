#include "tests/e2e/driver/State.h"

#include <gtest/gtest.h>

namespace drv {
namespace {

ControlState Box(bool enabled, bool visible, Check check) {
  ControlState s;
  s.exists = true;
  s.enabled = enabled;
  s.visible = visible;
  s.check = check;
  s.checkable = true;
  s.className = L"Button";
  s.text = L"2010";
  return s;
}

Expectation Parse(std::vector<std::wstring> words) {
  Expectation e;
  std::wstring error;
  EXPECT_TRUE(ParseExpectation(words, &e, &error)) << std::string(error.begin(), error.end());
  return e;
}

TEST(DriverState, OnlyTheNamedPartsAreCompared) {
  const Expectation ticked = Parse({L"enabled", L"checked"});
  EXPECT_TRUE(Matches(ticked, Box(true, true, Check::kChecked)));
  EXPECT_TRUE(Matches(ticked, Box(true, false, Check::kChecked)));  // visibility not asked
  EXPECT_FALSE(Matches(ticked, Box(false, true, Check::kChecked)));
  EXPECT_FALSE(Matches(ticked, Box(true, true, Check::kUnchecked)));
  EXPECT_FALSE(Matches(ticked, Box(true, true, Check::kIndeterminate)));

  const Expectation hidden = Parse({L"hidden", L"unchecked"});
  EXPECT_TRUE(Matches(hidden, Box(false, false, Check::kUnchecked)));
  EXPECT_FALSE(Matches(hidden, Box(false, true, Check::kUnchecked)));
  EXPECT_FALSE(Matches(hidden, Box(false, false, Check::kChecked)));
}

TEST(DriverState, MissingControlsMatchOnlyMissing) {
  const ControlState none;
  EXPECT_TRUE(Matches(Parse({L"missing"}), none));
  EXPECT_FALSE(Matches(Parse({L"missing"}), Box(true, true, Check::kUnchecked)));
  // Even a lone "disabled" must not hold for a control that is not there.
  EXPECT_FALSE(Matches(Parse({L"disabled"}), none));
  EXPECT_FALSE(Matches(Parse({L"hidden"}), none));
}

TEST(DriverState, RejectsUnknownAndContradictoryWords) {
  Expectation e;
  std::wstring error;
  EXPECT_FALSE(ParseExpectation({L"enabled", L"disabled"}, &e, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ParseExpectation({L"checked", L"indeterminate"}, &e, &error));
  EXPECT_FALSE(ParseExpectation({L"visible", L"hidden"}, &e, &error));
  EXPECT_FALSE(ParseExpectation({L"ticked"}, &e, &error));
  EXPECT_FALSE(ParseExpectation({L"missing", L"disabled"}, &e, &error));
  EXPECT_TRUE(ParseExpectation({L"checked", L"checked"}, &e, &error));  // repeating is fine
}

TEST(DriverState, DescriptionsNameEveryFlagAndQuoteTheText) {
  EXPECT_EQ(DescribeControl(1018, Box(false, true, Check::kUnchecked)),
            L"1018 Button disabled visible unchecked \"2010\"");
  ControlState label;
  label.exists = true;
  label.enabled = true;
  label.className = L"Static";
  label.text = L"第一行\r\n\"引号\" C:\\Kavtor";
  // No check word for a static; line breaks and quotes stay on one line.
  EXPECT_EQ(DescribeControl(0xFFFF, label), L"65535 Static enabled hidden \"第一行\\r\\n\\\"引号\\\" C:\\\\Kavtor\"");
  EXPECT_EQ(DescribeControl(-1, label).rfind(L"caption Static", 0), 0u);
  EXPECT_EQ(DescribeControl(7, ControlState{}), L"7 missing");
  ControlState push = Box(true, true, Check::kUnchecked);
  push.checkable = false;
  EXPECT_EQ(DescribeControl(2, push), L"2 Button enabled visible \"2010\"");
}

}  // namespace
}  // namespace drv
