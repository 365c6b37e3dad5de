#include "tests/e2e/driver/Script.h"

#include <cwchar>

namespace drv {
namespace {

struct VerbShape {
  const wchar_t* name;
  size_t minArgs;
  size_t maxArgs;  // SIZE_MAX: any number
};

constexpr size_t kAny = static_cast<size_t>(-1);

constexpr VerbShape kVerbs[] = {
    {L"window", 1, 2},    {L"dialog", 1, 2},      {L"gone", 0, 1},
    {L"exited", 0, 1},    {L"text", 1, 1},        {L"state", 1, 1},
    {L"expect", 2, kAny}, {L"expect-text", 2, 2}, {L"expect-contains", 2, 2},
    {L"click", 1, 1},     {L"check", 1, 1},       {L"uncheck", 1, 1},
    {L"set-text", 2, 2},  {L"key", 1, 1},         {L"close", 0, 0},
    {L"msgbox", 0, 1},    {L"answer", 1, 1},      {L"rect", 0, 0},
    {L"dump", 0, 0},      {L"list", 0, 0},
};

const VerbShape* FindVerb(const std::wstring& name) {
  for (const VerbShape& v : kVerbs)
    if (name == v.name) return &v;
  return nullptr;
}

std::wstring CheckShape(const Command& c) {
  const VerbShape* shape = FindVerb(c.verb);
  if (shape == nullptr) return L"unknown verb '" + c.verb + L"'";
  if (c.args.size() < shape->minArgs || c.args.size() > shape->maxArgs)
    return L"wrong number of arguments for '" + c.verb + L"'";
  return {};
}

// Settings come before the first verb; returns the index of the first verb word.
size_t ParseSettings(const std::vector<std::wstring>& args, Script* script) {
  size_t i = 0;
  while (i < args.size() && args[i] == L"--timeout") {
    if (i + 1 >= args.size() || !ParseMs(args[i + 1], &script->timeoutMs)) {
      script->error = L"--timeout needs a number of milliseconds";
      return args.size();
    }
    i += 2;
  }
  return i;
}

}  // namespace

Script ParseScript(const std::vector<std::wstring>& args) {
  Script script;
  size_t i = ParseSettings(args, &script);
  if (!script.error.empty()) return script;
  Command current;
  for (; i <= args.size(); ++i) {
    if (i < args.size() && args[i] != L";") {
      if (current.verb.empty())
        current.verb = args[i];
      else
        current.args.push_back(args[i]);
      continue;
    }
    if (current.verb.empty()) continue;  // ";;" or a trailing ";"
    script.error = CheckShape(current);
    if (!script.error.empty()) return script;
    script.commands.push_back(std::move(current));
    current = Command{};
  }
  if (script.commands.empty()) script.error = L"no verb given";
  return script;
}

bool ParseId(const std::wstring& word, int* id) {
  if (word == L"caption") {
    *id = kCaptionId;
    return true;
  }
  if (word.empty() || word[0] == L'-' || word[0] == L'+') return false;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(word.c_str(), &end, 0);
  if (end == word.c_str() || *end != L'\0' || value > 0xFFFF) return false;
  *id = static_cast<int>(value);
  return true;
}

bool ParseMs(const std::wstring& word, unsigned* ms) {
  if (word.empty() || word[0] < L'0' || word[0] > L'9') return false;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(word.c_str(), &end, 10);
  if (*end != L'\0' || value > 3600000UL) return false;
  *ms = static_cast<unsigned>(value);
  return true;
}

const wchar_t* UsageText() {
  return L"usage: vm_driver [--timeout MS] VERB ARGS... [; VERB ARGS...]...\n"
         L"  window CAPTION [MS]     wait for a visible top-level window; it becomes the current one\n"
         L"  dialog CAPTION [MS]     wait for another visible top-level window of the same program\n"
         L"                          (a browse window, say); it stacks on the current one like a message box\n"
         L"  gone [MS]               wait until the current window is destroyed\n"
         L"  exited [MS]             wait until the current window's process ended; prints its exit code\n"
         L"  text ID                 print a control's text (ID: number, 0x..., or caption)\n"
         L"  state ID                print a control's state line\n"
         L"  expect ID WORD...       wait until the control is: enabled disabled visible hidden\n"
         L"                          checked unchecked indeterminate missing\n"
         L"  expect-text ID TEXT     wait until the control's text is TEXT\n"
         L"  expect-contains ID TEXT wait until the control's text contains TEXT\n"
         L"  click ID                click an enabled, visible button (posted BM_CLICK)\n"
         L"  check ID | uncheck ID   click a check box unless it already is so, and wait for it\n"
         L"  set-text ID TEXT        replace a control's text (WM_SETTEXT)\n"
         L"  key escape|enter|tab|space   press a key in the focused control\n"
         L"  close                   the caption's close box (WM_SYSCOMMAND SC_CLOSE)\n"
         L"  msgbox [MS]             wait for a message box of the current window's process; prints it\n"
         L"  answer ok|cancel|abort|retry|ignore|yes|no|ID   click a message box button, back to its owner\n"
         L"  rect                    print the current window's screen rectangle: X Y W H\n"
         L"  dump                    print the current window and all its controls\n"
         L"  list                    print the visible top-level windows\n";
}

}  // namespace drv
