// What a user can see of one control, and the words the scripts use for it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace drv {

enum class Check { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

struct ControlState {
  bool exists = false;
  bool enabled = false;
  bool visible = false;
  bool checkable = false;  // a check box or radio button, not a push button
  Check check = Check::kUnchecked;
  std::wstring className;
  std::wstring text;
};

// What `expect` asks for; an unset part is not looked at.
struct Expectation {
  bool missing = false;
  std::optional<bool> enabled;
  std::optional<bool> visible;
  std::optional<Check> check;
};

// Unknown or contradictory words ("enabled disabled") give false and a message.
bool ParseExpectation(const std::vector<std::wstring>& words, Expectation* out, std::wstring* error);
bool Matches(const Expectation& wanted, const ControlState& state);

// "enabled visible checked" / "missing"; the check word only for checkable buttons.
std::wstring DescribeFlags(const ControlState& state);
// One line: id, class, flags and the quoted text, newlines shown as \n.
std::wstring DescribeControl(int id, const ControlState& state);

}  // namespace drv
