// Verbs about whole windows: finding them, waiting for them to go, message boxes.
#include <string>

#include "tests/e2e/driver/Console.h"
#include "tests/e2e/driver/Poll.h"
#include "tests/e2e/driver/Remote.h"
#include "tests/e2e/driver/Verbs.h"

namespace drv {
namespace {

struct ButtonName {
  const wchar_t* word;
  int id;
};

constexpr ButtonName kButtons[] = {
    {L"ok", IDOK},         {L"cancel", IDCANCEL}, {L"abort", IDABORT}, {L"retry", IDRETRY},
    {L"ignore", IDIGNORE}, {L"yes", IDYES},       {L"no", IDNO},
};

bool ButtonId(const std::wstring& word, int* id) {
  for (const ButtonName& b : kButtons)
    if (word == b.word) {
      *id = b.id;
      return true;
    }
  return ParseId(word, id) && *id >= 0;
}

DWORD ProcessOf(const Session& s) {
  if (s.current() != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(s.current(), &pid);
    return pid;
  }
  return s.process.get() != nullptr ? GetProcessId(s.process.get()) : 0;
}

}  // namespace

int VerbWindow(Session& s, const Command& c) {
  unsigned ms = 0;
  if (!TimeoutArg(s, c, 1, &ms)) return kUsage;
  HWND found = nullptr;
  const std::wstring& caption = c.args[0];
  if (!PollUntil(ms, [&] { return (found = FindVisibleTopLevel(caption)) != nullptr; }))
    return Fail(L"no visible window \"" + caption + L"\" after " + std::to_wstring(ms) + L" ms");
  s.windows.assign(1, found);
  DWORD pid = 0;
  GetWindowThreadProcessId(found, &pid);
  s.process = UniqueHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  return kOk;
}

int VerbDialog(Session& s, const Command& c) {
  unsigned ms = 0;
  if (!TimeoutArg(s, c, 1, &ms)) return kUsage;
  const DWORD pid = ProcessOf(s);
  if (pid == 0) return Fail(L"'dialog' needs the program's window first (verb 'window')");
  HWND found = nullptr;
  const std::wstring& caption = c.args[0];
  if (!PollUntil(ms, [&] { return (found = FindVisibleTopLevelOf(pid, caption)) != nullptr; }))
    return Fail(L"no visible window \"" + caption + L"\" of the program after " + std::to_wstring(ms) + L" ms");
  s.windows.push_back(found);
  return kOk;
}

int VerbGone(Session& s, const Command& c) {
  unsigned ms = 0;
  HWND window = RequireWindow(s, c);
  if (window == nullptr) return kUsage;
  if (!TimeoutArg(s, c, 0, &ms)) return kUsage;
  if (!PollUntil(ms, [&] { return !IsWindow(window); }))
    return Fail(L"the window is still there after " + std::to_wstring(ms) + L" ms");
  s.windows.pop_back();
  return kOk;
}

int VerbExited(Session& s, const Command& c) {
  unsigned ms = 0;
  if (!TimeoutArg(s, c, 0, &ms)) return kUsage;
  if (s.process.get() == nullptr) return Fail(L"'exited' needs the process of a window found before");
  if (WaitForSingleObject(s.process.get(), ms) != WAIT_OBJECT_0)
    return Fail(L"the process still runs after " + std::to_wstring(ms) + L" ms");
  DWORD code = 0;
  GetExitCodeProcess(s.process.get(), &code);
  PrintOut(L"exit code " + std::to_wstring(code));
  return kOk;
}

int VerbMsgBox(Session& s, const Command& c) {
  unsigned ms = 0;
  if (!TimeoutArg(s, c, 0, &ms)) return kUsage;
  const DWORD pid = ProcessOf(s);
  if (pid == 0) return Fail(L"'msgbox' needs the program's window first (verb 'window')");
  HWND box = nullptr;
  if (!PollUntil(ms, [&] { return (box = FindMessageBox(pid, s.windows.data(), s.windows.size())) != nullptr; }))
    return Fail(L"no message box after " + std::to_wstring(ms) + L" ms");
  s.windows.push_back(box);
  PrintOut(DescribeControl(kCaptionId, ReadControl(box, kCaptionId)));
  PrintOut(DescribeControl(0xFFFF, ReadControl(box, 0xFFFF)));
  return kOk;
}

int VerbAnswer(Session& s, const Command& c) {
  HWND box = RequireWindow(s, c);
  int id = 0;
  if (box == nullptr) return kUsage;
  if (!ButtonId(c.args[0], &id)) return Fail(L"'" + c.args[0] + L"' names no message box button");
  const int clicked = VerbClick(s, Command{L"click", {std::to_wstring(id)}});
  if (clicked != kOk) return clicked;
  if (!PollUntil(s.timeoutMs, [&] { return !IsWindow(box); }))
    return Fail(L"the message box is still there after its button was clicked");
  s.windows.pop_back();
  return kOk;
}

}  // namespace drv
