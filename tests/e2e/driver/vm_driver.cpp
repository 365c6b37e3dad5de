// vm_driver: the end-to-end tests' user, who reads and uses the program's windows (tests/e2e/README.md).
// A failed verb ends the run with 1 and the window's state on stderr; bad usage, 2.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
constexpr int kOk = 0, kFailed = 1, kUsage = 2;
constexpr int kCaption = -1;  // the window itself, "caption" in a script

unsigned long g_timeoutMs = 10000;
std::vector<HWND> g_windows;  // back(): the current one; message boxes stack on the program's window

// UTF-8 everywhere; wmain sets a console's code page to match (Wine's default is 936).
void Print(const std::wstring& line, bool err = false) {
  std::string bytes(line.size() * 3 + 1, '\n');  // the newline stays behind the text
  const int n = static_cast<int>(line.size()),
            size = WideCharToMultiByte(CP_UTF8, 0, line.data(), n, bytes.data(), n * 3, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(err ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), bytes.data(), size + 1, &written, nullptr);
}

int Fail(const std::wstring& message, int code = kFailed) {
  Print(L"vm_driver: " + message, true);
  return code;
}

template <typename Condition>
bool Poll(unsigned long ms, Condition holds) {
  for (const ULONGLONG end = GetTickCount64() + ms; !holds(); Sleep(40))
    if (GetTickCount64() >= end) return false;
  return true;
}

bool ParseNumber(const std::wstring& word, unsigned long* value) {
  wchar_t* end = nullptr;
  *value = wcstoul(word.c_str(), &end, 0);
  return !word.empty() && iswdigit(word[0]) && *end == L'\0';
}

HWND ControlOf(int id) { return id == kCaption ? g_windows.back() : GetDlgItem(g_windows.back(), id); }

std::wstring OneLine(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) out += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
  return out;
}

// A control on one line, its text by WM_GETTEXT (GetWindowTextW does not ask another process's controls).
std::wstring Describe(HWND hwnd, int id) {
  const std::wstring number = id == kCaption ? L"caption" : std::to_wstring(id);
  wchar_t name[256] = {}, text[4096] = {};
  if (GetClassNameW(hwnd, name, 256) == 0) return number + L" missing";
  DWORD_PTR got = 0, check = BST_UNCHECKED;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
  std::wstring line = number + L" " + name + (IsWindowEnabled(hwnd) ? L" enabled" : L" disabled") +
                      (IsWindowVisible(hwnd) ? L" visible" : L" hidden");
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  if (_wcsicmp(name, L"Button") == 0 && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)) {
    SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check);
    line += check == BST_CHECKED ? L" checked" : L" unchecked";
  }
  return line + L" \"" + OneLine(text) + L"\"";
}

void Dump(HWND window, bool err) {
  Print(Describe(window, kCaption), err);
  for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    Print(L"  " + Describe(c, GetDlgCtrlID(c) & 0xFFFF), err);
}

// Until the control's line holds `part`: as whole words (a whole text with its quotes), or anywhere.
int Expect(int id, const std::wstring& part, bool words, unsigned long ms) {
  const std::wstring wanted = words ? L" " + OneLine(part) + L" " : OneLine(part);
  if (Poll(ms, [&] { return (Describe(ControlOf(id), id) + L" ").find(wanted) != std::wstring::npos; })) return kOk;
  Fail(L"expected \"" + wanted + L"\" in: " + Describe(ControlOf(id), id));
  Dump(g_windows.back(), true);
  return kFailed;
}

// What a user cannot click is refused. Posted, as a sent click returns only when the modal loop it opens ends; of
// the round trips after it only the second surely follows the click (sent messages go first).
int Click(int id) {
  if (Expect(id, L"enabled visible", true, 0) != kOk) return kFailed;
  PostMessageW(ControlOf(id), BM_CLICK, 0, 0);
  DWORD_PTR result = 0;
  for (int i = 0; i < 2; ++i) SendMessageTimeoutW(g_windows.back(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
  return kOk;
}

// A visible top-level window not on the stack (a hidden owner may share a caption), or a message box.
int Find(const std::wstring& verb, const wchar_t* caption, unsigned long ms) {
  const bool box = verb == L"msgbox";
  if (verb == L"window") g_windows.clear();
  DWORD pid = 0, owner = 0;
  if (!g_windows.empty()) GetWindowThreadProcessId(g_windows.back(), &pid);
  HWND found = nullptr;
  auto search = [&] {
    for (found = nullptr; (found = FindWindowExW(nullptr, found, box ? L"#32770" : nullptr, caption)) != nullptr;)
      if (IsWindowVisible(found) && GetWindowThreadProcessId(found, &owner) && (pid == 0 || owner == pid) &&
          (!box || (GetDlgItem(found, 0xFFFF) && IsWindowEnabled(found))) &&
          std::count(g_windows.begin(), g_windows.end(), found) == 0)
        return true;
    return false;
  };
  if (!Poll(ms, search)) return Fail(L"no " + verb + L" \"" + (caption ? caption : L"") + L"\" to be seen");
  g_windows.push_back(found);
  if (box) Print(Describe(found, kCaption) + L"\n" + Describe(GetDlgItem(found, 0xFFFF), 0xFFFF));
  return kOk;
}

// The button clicked, then the box gone.
int Answer(const std::wstring& button) {
  const Args names = {L"ok", L"cancel", L"abort", L"retry", L"ignore", L"yes", L"no"};  // IDOK..IDNO
  const int id = static_cast<int>(std::find(names.begin(), names.end(), button) - names.begin()) + IDOK;
  if (id > IDNO) return Fail(L"no button '" + button + L"'", kUsage);
  if (Click(id) != kOk) return kFailed;
  if (!Poll(g_timeoutMs, [] { return !IsWindow(g_windows.back()); })) return Fail(L"the box is still there");
  g_windows.pop_back();
  return kOk;
}

int Rect() {
  RECT r{};
  GetWindowRect(g_windows.back(), &r);
  Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
        std::to_wstring(r.bottom - r.top));
  return kOk;
}

// One verb and its words: an ID first where it takes one, a wait in ms where it waits.
int Run(const std::wstring& verb, const Args& a) {
  const size_t n = a.size();
  unsigned long ms = g_timeoutMs, number = 0;
  auto waitAt = [&](size_t i) { return n <= i || ParseNumber(a[i], &ms); };
  if (verb == L"window" && (n == 1 || n == 2) && waitAt(1)) return Find(verb, a[0].c_str(), ms);
  if (g_windows.empty()) return Fail(L"'" + verb + L"' needs the program's window first (verb 'window')", kUsage);
  if (verb == L"msgbox" && n <= 1 && waitAt(0)) return Find(verb, nullptr, ms);
  if (verb == L"answer" && n == 1) return Answer(a[0]);
  if (verb == L"rect" && n == 0) return Rect();
  if (verb == L"dump" && n == 0) return Dump(g_windows.back(), false), kOk;
  if (n == 0 || (a[0] != L"caption" && (!ParseNumber(a[0], &number) || number > 0xFFFF)))
    return Fail(L"'" + verb + L"' with these arguments is no verb", kUsage);
  const int id = a[0] == L"caption" ? kCaption : static_cast<int>(number);
  DWORD_PTR result = 0;
  if ((verb == L"expect" || verb == L"expect-contains") && n == 2) return Expect(id, a[1], verb == L"expect", ms);
  if (verb == L"click" && n == 1) return Click(id);
  if (verb == L"set-text" && n == 2) {
    const LPARAM text = reinterpret_cast<LPARAM>(a[1].c_str());
    if (SendMessageTimeoutW(ControlOf(id), WM_SETTEXT, 0, text, SMTO_ABORTIFHUNG, 2000, &result)) return kOk;
    return Fail(L"control " + a[0] + L" took no text");
  }
  return Fail(L"'" + verb + L"' with these arguments is no verb", kUsage);
}

}  // namespace

// wmain: Wine hands the UTF-8 of the Linux command line over as UTF-16, Chinese whole.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  Args words(argv + 1, argv + argc);
  size_t i = 0;
  while (i + 1 < words.size() && words[i] == L"--timeout" && ParseNumber(words[i + 1], &g_timeoutMs)) i += 2;
  if (i == words.size()) return Fail(L"usage: vm_driver [--timeout MS] VERB ARGS... [; VERB ARGS...]", kUsage);
  words.emplace_back(L";");
  for (size_t start = i; i < words.size(); ++i) {
    if (words[i] != L";") continue;
    const int result = i == start ? kOk : Run(words[start], Args(words.begin() + start + 1, words.begin() + i));
    if (result != kOk) return result;
    start = i + 1;
  }
  return kOk;
}
