// vm_driver: the end-to-end tests' user. It finds the program's windows by
// caption, reads and uses their controls as a user would and answers its message
// boxes. Texts go in and come out as UTF-8. The waiting verbs poll until their
// condition holds or the timeout runs out; a failed verb ends the run with 1 and
// the window's state on stderr, a malformed script with 2.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
enum { kOk = 0, kFailed = 1, kUsage = 2 };
constexpr int kCaption = -1;  // the window itself, "caption" in a script
constexpr UINT kSendMs = 2000;

const wchar_t kUsageText[] =
    L"usage: vm_driver [--timeout MS] VERB ARGS... [; VERB ARGS...]   (ID: number, 0x..., caption)\n"
    L"  window CAPTION [MS]   a visible top-level window; the current one from now on\n"
    L"  dialog CAPTION [MS] | msgbox [MS]   another window | a message box (printed) of the program,\n"
    L"                        stacked on the current one;  answer ok|cancel|abort|retry|ignore|yes|no\n"
    L"  gone [MS] | exited [MS]   the current window destroyed | the program ended (prints its exit code)\n"
    L"  expect ID enabled|disabled|visible|hidden|checked|unchecked...\n"
    L"  expect-text ID TEXT | expect-contains ID TEXT | click ID | check ID | uncheck ID\n"
    L"  set-text ID TEXT | key escape|enter | close | rect | dump | sleep MS\n";

unsigned g_timeoutMs = 10000;
std::vector<HWND> g_windows;  // back(): the current one; boxes and dialogs stack on the program's window
HANDLE g_process = nullptr;   // of the window `window` found

// Pipes and files (what the scripts read) get UTF-8; a console gets UTF-16, since
// Wine would convert bytes written to it from code page 936.
void Print(const std::wstring& line, bool err = false) {
  HANDLE out = GetStdHandle(err ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const std::wstring text = line + L"\n";
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Fail(const std::wstring& message, int code = kFailed) {
  Print(L"vm_driver: " + message, true);
  return code;
}

template <typename Condition>
bool Poll(unsigned ms, Condition holds) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!holds()) {
    if (GetTickCount64() >= end) return false;
    Sleep(40);
  }
  return true;
}

bool ParseNumber(const std::wstring& word, unsigned long* value) {
  wchar_t* end = nullptr;
  *value = std::wcstoul(word.c_str(), &end, 0);
  return !word.empty() && word[0] >= L'0' && word[0] <= L'9' && *end == L'\0';
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// A visible top-level window of this class and caption (null: any), of process
// pid (0: any), not on the stack. Several windows may share a caption (a hidden
// owner and the dialog).
HWND FindTopLevel(const wchar_t* className, const wchar_t* caption, DWORD pid) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, caption)) != nullptr;)
    if (IsWindowVisible(w) && (pid == 0 || ProcessOf(w) == pid) &&
        std::find(g_windows.begin(), g_windows.end(), w) == g_windows.end())
      return w;
  return nullptr;
}

HWND ControlOf(HWND window, int id) {
  return id == kCaption ? (IsWindow(window) ? window : nullptr) : GetDlgItem(window, id);
}

struct State {
  bool exists = false, enabled = false, visible = false, checkable = false, checked = false;
  std::wstring className, text;
};

// The text through WM_GETTEXT: GetWindowTextW does not ask another process's
// controls, it only hands back what the system keeps for top-level windows.
State Read(HWND hwnd) {
  State s;
  if (hwnd == nullptr) return s;
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  s = State{true, IsWindowEnabled(hwnd) != FALSE, IsWindowVisible(hwnd) != FALSE, false, false, name, L""};
  wchar_t text[4096] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kSendMs, &got);
  s.text = text;
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  s.checkable =
      _wcsicmp(name, L"Button") == 0 && ((type >= BS_CHECKBOX && type <= BS_AUTO3STATE) || type == BS_AUTORADIOBUTTON);
  DWORD_PTR check = BST_UNCHECKED;
  if (s.checkable) SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendMs, &check);
  s.checked = check == BST_CHECKED;
  return s;
}

State ReadControl(HWND window, int id) { return Read(ControlOf(window, id)); }
std::wstring IdName(int id) { return id == kCaption ? L"caption" : std::to_wstring(id); }

// "1027 Button enabled visible checked "For AutoCAD2010"", newlines as \n.
std::wstring Describe(int id, const State& s) {
  if (!s.exists) return IdName(id) + L" missing";
  std::wstring out = IdName(id) + L" " + s.className + (s.enabled ? L" enabled" : L" disabled") +
                     (s.visible ? L" visible" : L" hidden") +
                     (!s.checkable ? L""
                      : s.checked  ? L" checked"
                                   : L" unchecked");
  out += L" \"";
  for (wchar_t c : s.text) out += c == L'\n' ? L"\\n" : std::wstring(1, c);
  return out + L"\"";
}

void Dump(HWND window, bool err) {
  Print(Describe(kCaption, ReadControl(window, kCaption)), err);
  for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    Print(L"  " + Describe(GetDlgCtrlID(c) & 0xFFFF, Read(c)), err);
}

int Mismatch(HWND window, int id, const std::wstring& wanted) {
  Fail(L"expected " + IdName(id) + L" " + wanted + L"; it is " + Describe(id, ReadControl(window, id)));
  Dump(window, true);
  return kFailed;
}

bool Holds(const State& s, const std::wstring& word) {
  if (word == L"enabled" || word == L"disabled") return s.exists && s.enabled == (word == L"enabled");
  if (word == L"visible" || word == L"hidden") return s.exists && s.visible == (word == L"visible");
  return s.checkable && s.checked == (word == L"checked");
}

// Until the window's thread has dispatched what was posted to it. A sent message
// is handled when that thread next asks for a message, before its posted ones:
// the first round trip may come back before the click was dispatched, the second
// only after it (a modal loop the click opened answers too).
void Settle(HWND window) {
  DWORD_PTR result = 0;
  for (int i = 0; i < 2; ++i) SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
}

// Posted, not sent: the click may open a modal loop (a message box, the browse
// window), and a sent message would only return when that loop ends. A user
// cannot click what is greyed out or hidden; refusing catches a wrong dialog.
int Click(HWND window, int id) {
  const State s = ReadControl(window, id);
  if (!s.exists || !s.enabled || !s.visible) return Mismatch(window, id, L"enabled visible, to be clicked");
  PostMessageW(ControlOf(window, id), BM_CLICK, 0, 0);
  Settle(window);
  return kOk;
}

int Run(const std::wstring& verb, const Args& a) {
  auto arity = [&](size_t least, size_t most) { return a.size() >= least && a.size() <= most; };
  unsigned long ms = g_timeoutMs;
  auto msAt = [&](size_t i) { return a.size() <= i || ParseNumber(a[i], &ms); };
  const HWND window = g_windows.empty() ? nullptr : g_windows.back();
  unsigned long number = 0;
  const bool hasId = !a.empty() && (a[0] == L"caption" || (ParseNumber(a[0], &number) && number <= 0xFFFF));
  const int id = a.empty() || a[0] == L"caption" ? kCaption : static_cast<int>(number);
  if (verb == L"sleep" && arity(1, 1) && msAt(0)) {
    Sleep(ms);
  } else if (verb == L"window" && arity(1, 2) && msAt(1)) {
    HWND found = nullptr;
    if (!Poll(ms, [&] { return (found = FindTopLevel(nullptr, a[0].c_str(), 0)) != nullptr; }))
      return Fail(L"no visible window \"" + a[0] + L"\"");
    g_windows.assign(1, found);
    if (g_process != nullptr) CloseHandle(g_process);
    g_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(found));
  } else if (verb == L"exited" && arity(0, 1) && msAt(0) && g_process != nullptr) {
    DWORD code = 0;
    if (WaitForSingleObject(g_process, ms) != WAIT_OBJECT_0) return Fail(L"the program still runs");
    GetExitCodeProcess(g_process, &code);
    Print(L"exit code " + std::to_wstring(code));
  } else if (window == nullptr) {
    return Fail(L"'" + verb + L"' needs the program's window first (verb 'window')", kUsage);
  } else if ((verb == L"dialog" && arity(1, 2) && msAt(1)) || (verb == L"msgbox" && arity(0, 1) && msAt(0))) {
    // A message box: a dialog of the program with the static text 0xFFFF.
    const bool box = verb == L"msgbox";
    HWND found = nullptr;
    auto search = [&] {
      found = FindTopLevel(box ? L"#32770" : nullptr, box ? nullptr : a[0].c_str(), ProcessOf(window));
      return found != nullptr && (!box || GetDlgItem(found, 0xFFFF) != nullptr);
    };
    if (!Poll(ms, search)) return Fail(box ? L"no message box" : L"no window \"" + a[0] + L"\" of the program");
    g_windows.push_back(found);
    if (box) Print(Describe(kCaption, Read(found)) + L"\n" + Describe(0xFFFF, ReadControl(found, 0xFFFF)));
  } else if (verb == L"gone" && arity(0, 1) && msAt(0)) {
    if (!Poll(ms, [&] { return !IsWindow(window); })) return Fail(L"the window is still there");
    g_windows.pop_back();
  } else if (verb == L"answer" && arity(1, 1)) {
    const Args names = {L"ok", L"cancel", L"abort", L"retry", L"ignore", L"yes", L"no"};  // IDOK..IDNO
    const auto name = std::find(names.begin(), names.end(), a[0]);
    if (name == names.end()) return Fail(L"no button '" + a[0] + L"'", kUsage);
    if (Click(window, static_cast<int>(name - names.begin()) + IDOK) != kOk) return kFailed;
    if (!Poll(g_timeoutMs, [&] { return !IsWindow(window); })) return Fail(L"the box is still there");
    g_windows.pop_back();
  } else if (verb == L"key" && arity(1, 1) && (a[0] == L"escape" || a[0] == L"enter")) {
    // To the control with the keyboard focus, as a key press goes.
    const UINT vk = a[0] == L"escape" ? VK_ESCAPE : VK_RETURN;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target =
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus ? info.hwndFocus : window;
    const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, vk, down);
    PostMessageW(target, WM_KEYUP, vk, down | 0xC0000000L);
    Settle(window);
  } else if (verb == L"close" && arity(0, 0)) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (verb == L"rect" && arity(0, 0)) {
    RECT r{};
    GetWindowRect(window, &r);
    Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
          std::to_wstring(r.bottom - r.top));
  } else if (verb == L"dump" && arity(0, 0)) {
    Dump(window, false);
  } else if (!hasId) {
    return Fail(L"'" + verb + L"' with these arguments is no verb", kUsage);
  } else if (verb == L"expect" && arity(2, 99)) {
    std::wstring wanted;
    for (size_t i = 1; i < a.size(); ++i) {
      if (std::wstring(L" enabled disabled visible hidden checked unchecked ").find(L" " + a[i] + L" ") ==
          std::wstring::npos)
        return Fail(L"no state '" + a[i] + L"'", kUsage);
      wanted += L" " + a[i];
    }
    auto all = [&] {
      const State s = ReadControl(window, id);
      return std::all_of(a.begin() + 1, a.end(), [&](const std::wstring& w) { return Holds(s, w); });
    };
    if (!Poll(g_timeoutMs, all)) return Mismatch(window, id, wanted.substr(1));
  } else if ((verb == L"expect-text" || verb == L"expect-contains") && arity(2, 2)) {
    const bool whole = verb == L"expect-text";
    auto holds = [&] {
      const State s = ReadControl(window, id);
      return s.exists && (whole ? s.text == a[1] : s.text.find(a[1]) != std::wstring::npos);
    };
    if (!Poll(g_timeoutMs, holds)) return Mismatch(window, id, (whole ? L"text \"" : L"text with \"") + a[1] + L"\"");
  } else if (verb == L"click" && arity(1, 1)) {
    return Click(window, id);
  } else if ((verb == L"check" || verb == L"uncheck") && arity(1, 1)) {
    // A click, after which the box must be ticked (check) or clear (uncheck).
    const bool wanted = verb == L"check";
    if (!ReadControl(window, id).checkable) return Mismatch(window, id, L"a check box");
    if (Click(window, id) != kOk) return kFailed;
    if (!Poll(g_timeoutMs, [&] { return ReadControl(window, id).checked == wanted; }))
      return Mismatch(window, id, wanted ? L"checked after a click" : L"unchecked after a click");
  } else if (verb == L"set-text" && arity(2, 2)) {
    DWORD_PTR result = 0;
    HWND control = ControlOf(window, id);
    if (control == nullptr || !SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()),
                                                   SMTO_ABORTIFHUNG, kSendMs, &result))
      return Mismatch(window, id, L"to take a text");
  } else {
    return Fail(L"'" + verb + L"' with these arguments is no verb", kUsage);
  }
  return kOk;
}

}  // namespace

// wmain: Wine hands the arguments over as UTF-16, converted from the UTF-8 of the
// Linux command line, so Chinese captions arrive whole.
int wmain(int argc, wchar_t** argv) {
  Args words(argv + 1, argv + argc);
  size_t i = 0;
  for (unsigned long ms = 0; i + 1 < words.size() && words[i] == L"--timeout" && ParseNumber(words[i + 1], &ms);)
    g_timeoutMs = static_cast<unsigned>(ms), i += 2;
  if (i == words.size()) return Fail(kUsageText, kUsage);
  words.emplace_back(L";");
  Args command;
  for (; i < words.size(); ++i) {
    if (words[i] != L";") {
      command.push_back(words[i]);
    } else if (!command.empty()) {
      const int result = Run(command[0], Args(command.begin() + 1, command.end()));
      if (result != kOk) return result;
      command.clear();
    }
  }
  return kOk;
}
