#include "tests/e2e/driver/Verbs.h"

#include "tests/e2e/driver/Console.h"

namespace drv {
namespace {

struct VerbEntry {
  const wchar_t* name;
  int (*run)(Session&, const Command&);
};

constexpr VerbEntry kTable[] = {
    {L"window", VerbWindow},
    {L"dialog", VerbDialog},
    {L"gone", VerbGone},
    {L"exited", VerbExited},
    {L"msgbox", VerbMsgBox},
    {L"answer", VerbAnswer},
    {L"text", VerbText},
    {L"state", VerbState},
    {L"expect", VerbExpect},
    {L"expect-text", VerbExpectText},
    {L"expect-contains", VerbExpectText},
    {L"click", VerbClick},
    {L"check", VerbCheck},
    {L"uncheck", VerbCheck},
    {L"set-text", VerbSetText},
    {L"key", VerbKey},
    {L"close", VerbClose},
    {L"rect", VerbRect},
    {L"dump", VerbDump},
    {L"list", VerbList},
};

}  // namespace

int RunCommand(Session& session, const Command& command) {
  for (const VerbEntry& e : kTable)
    if (command.verb == e.name) return e.run(session, command);
  return Fail(L"unknown verb '" + command.verb + L"'");
}

int Fail(const std::wstring& message) {
  PrintErr(L"vm_driver: " + message);
  return kFailed;
}

HWND RequireWindow(const Session& s, const Command& c) {
  HWND window = s.current();
  if (window == nullptr) PrintErr(L"vm_driver: '" + c.verb + L"' needs a window first (verb 'window')");
  return window;
}

bool TimeoutArg(const Session& s, const Command& c, size_t index, unsigned* ms) {
  *ms = s.timeoutMs;
  if (c.args.size() <= index) return true;
  if (ParseMs(c.args[index], ms)) return true;
  PrintErr(L"vm_driver: '" + c.args[index] + L"' is not a number of milliseconds");
  return false;
}

}  // namespace drv
