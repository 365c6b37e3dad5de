#include "tests/e2e/driver/Remote.h"

#include <vector>

namespace drv {
namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct MessageBoxSearch {
  DWORD pid;
  const HWND* exclude;
  size_t excludeCount;
  HWND found;
};

bool IsExcluded(const MessageBoxSearch& s, HWND hwnd) {
  for (size_t i = 0; i < s.excludeCount; ++i)
    if (s.exclude[i] == hwnd) return true;
  return false;
}

BOOL CALLBACK CheckMessageBox(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<MessageBoxSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd) || IsExcluded(*s, hwnd)) return TRUE;
  if (ClassOf(hwnd) != L"#32770" || GetDlgItem(hwnd, kMessageBoxTextId) == nullptr) return TRUE;
  s->found = hwnd;
  return FALSE;
}

// A top-level window's caption is kept by the system, so GetWindowTextW reads it
// without waiting on the program.
std::wstring CaptionOf(HWND window) {
  wchar_t caption[512] = {};
  GetWindowTextW(window, caption, 512);
  return caption;
}

bool IsCheckable(HWND control, const std::wstring& className) {
  if (_wcsicmp(className.c_str(), L"Button") != 0) return false;
  switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

}  // namespace

HWND FindVisibleTopLevel(const std::wstring& caption) {
  HWND hwnd = nullptr;
  // Several windows may share a caption (a hidden owner window and the dialog).
  while ((hwnd = FindWindowExW(nullptr, hwnd, nullptr, caption.c_str())) != nullptr)
    if (IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

HWND FindVisibleTopLevelOf(DWORD pid, const std::wstring& caption) {
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExW(nullptr, hwnd, nullptr, caption.c_str())) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

HWND FindMessageBox(DWORD pid, const HWND* exclude, size_t excludeCount) {
  MessageBoxSearch search{pid, exclude, excludeCount, nullptr};
  EnumWindows(CheckMessageBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ControlOf(HWND window, int id) {
  if (id < 0) return IsWindow(window) ? window : nullptr;
  HWND first = nullptr;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetDlgCtrlID(child) & 0xFFFF) != id) continue;
    if (IsWindowVisible(child)) return child;
    if (first == nullptr) first = child;
  }
  return first;
}

std::wstring ClassOf(HWND control) {
  wchar_t name[256] = {};
  GetClassNameW(control, name, 256);
  return name;
}

std::wstring ReadText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
  std::vector<wchar_t> buffer(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  return std::wstring(buffer.data(), copied < length ? copied : length);
}

ControlState ReadControl(HWND window, int id) {
  HWND control = ControlOf(window, id);
  if (control == nullptr) return ControlState{};
  return ReadWindow(control, id < 0);
}

ControlState ReadWindow(HWND control, bool topLevel) {
  ControlState state;
  state.exists = true;
  state.enabled = IsWindowEnabled(control) != FALSE;
  state.visible = IsWindowVisible(control) != FALSE;
  state.className = ClassOf(control);
  state.text = topLevel ? CaptionOf(control) : ReadText(control);
  state.checkable = IsCheckable(control, state.className);
  DWORD_PTR check = BST_UNCHECKED;
  if (state.checkable) SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &check);
  state.check = check == BST_CHECKED         ? Check::kChecked
                : check == BST_INDETERMINATE ? Check::kIndeterminate
                                             : Check::kUnchecked;
  return state;
}

bool PostClick(HWND control) { return PostMessageW(control, BM_CLICK, 0, 0) != FALSE; }

bool PostClose(HWND window) { return PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE; }

bool PostKey(HWND window, UINT virtualKey) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus != nullptr)
    target = info.hwndFocus;
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (1L << 30) | (1L << 31);
  return PostMessageW(target, WM_KEYDOWN, virtualKey, down) && PostMessageW(target, WM_KEYUP, virtualKey, up);
}

bool SendText(HWND control, const std::wstring& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result) != 0;
}

void Settle(HWND window) {
  DWORD_PTR result = 0;
  for (int i = 0; i < 2; ++i) SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
}

}  // namespace drv
