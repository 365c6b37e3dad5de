// Verbs about one control: reading it, checking it, using it.
#include <string>

#include "tests/e2e/driver/Console.h"
#include "tests/e2e/driver/Poll.h"
#include "tests/e2e/driver/Remote.h"
#include "tests/e2e/driver/Verbs.h"

namespace drv {
namespace {

struct KeyName {
  const wchar_t* word;
  UINT vk;
};

constexpr KeyName kKeys[] = {{L"escape", VK_ESCAPE}, {L"enter", VK_RETURN}, {L"tab", VK_TAB}, {L"space", VK_SPACE}};

// The window and control id a verb works on; false (message printed) if unusable.
bool Target(const Session& s, const Command& c, HWND* window, int* id) {
  *window = RequireWindow(s, c);
  if (*window == nullptr) return false;
  if (ParseId(c.args[0], id)) return true;
  Fail(L"'" + c.args[0] + L"' is no control id");
  return false;
}

int Mismatch(HWND window, int id, const std::wstring& wanted) {
  Fail(L"expected " + std::wstring(id < 0 ? L"caption" : std::to_wstring(id)) + L" " + wanted + L"; it is " +
       DescribeControl(id, ReadControl(window, id)));
  DumpWindow(window, true);
  return kFailed;
}

}  // namespace

int VerbText(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  const ControlState state = ReadControl(window, id);
  if (!state.exists) return Fail(L"no control " + c.args[0]);
  PrintOut(state.text);
  return kOk;
}

int VerbState(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  PrintOut(DescribeControl(id, ReadControl(window, id)));
  return kOk;
}

int VerbExpect(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  Expectation wanted;
  std::wstring error;
  const std::vector<std::wstring> words(c.args.begin() + 1, c.args.end());
  if (!ParseExpectation(words, &wanted, &error)) {
    Fail(error);
    return kUsage;
  }
  if (PollUntil(s.timeoutMs, [&] { return Matches(wanted, ReadControl(window, id)); })) return kOk;
  std::wstring joined;
  for (const std::wstring& w : words) joined += (joined.empty() ? L"" : L" ") + w;
  return Mismatch(window, id, joined);
}

int VerbExpectText(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  const bool whole = c.verb == L"expect-text";
  const std::wstring& text = c.args[1];
  auto holds = [&] {
    const ControlState state = ReadControl(window, id);
    return state.exists && (whole ? state.text == text : state.text.find(text) != std::wstring::npos);
  };
  if (PollUntil(s.timeoutMs, holds)) return kOk;
  return Mismatch(window, id, (whole ? L"text \"" : L"text containing \"") + text + L"\"");
}

int VerbClick(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  const ControlState state = ReadControl(window, id);
  // A user cannot click what is greyed out or not shown; saying so catches a
  // dialog that left a button in the wrong state.
  if (!state.exists || !state.enabled || !state.visible) return Mismatch(window, id, L"enabled visible, to be clicked");
  if (!PostClick(ControlOf(window, id))) return Fail(L"could not post the click");
  Settle(window);
  return kOk;
}

int VerbCheck(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  const Check wanted = c.verb == L"check" ? Check::kChecked : Check::kUnchecked;
  const ControlState before = ReadControl(window, id);
  if (!before.checkable) return Mismatch(window, id, L"a check box");
  if (before.check == wanted) return kOk;
  const int clicked = VerbClick(s, Command{L"click", {c.args[0]}});
  if (clicked != kOk) return clicked;
  if (PollUntil(s.timeoutMs, [&] { return ReadControl(window, id).check == wanted; })) return kOk;
  return Mismatch(window, id, wanted == Check::kChecked ? L"checked after a click" : L"unchecked after a click");
}

int VerbSetText(Session& s, const Command& c) {
  HWND window = nullptr;
  int id = 0;
  if (!Target(s, c, &window, &id)) return kUsage;
  HWND control = ControlOf(window, id);
  if (control == nullptr) return Fail(L"no control " + c.args[0]);
  if (!SendText(control, c.args[1])) return Fail(L"the program did not take the text");
  return kOk;
}

int VerbKey(Session& s, const Command& c) {
  HWND window = RequireWindow(s, c);
  if (window == nullptr) return kUsage;
  for (const KeyName& k : kKeys)
    if (c.args[0] == k.word) {
      if (!PostKey(window, k.vk)) return Fail(L"could not post the key");
      Settle(window);
      return kOk;
    }
  return Fail(L"unknown key '" + c.args[0] + L"'");
}

int VerbClose(Session& s, const Command& c) {
  HWND window = RequireWindow(s, c);
  if (window == nullptr) return kUsage;
  if (!PostClose(window)) return Fail(L"could not post the close command");
  return kOk;
}

}  // namespace drv
