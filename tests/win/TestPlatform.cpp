#include "tests/win/TestPlatform.h"

namespace wt {
namespace {

// The browse window and the dialog a test has open, for the timers that hand them to the test's user.
TestPlatform* g_browsing = nullptr;
const std::function<void(HWND)>* g_dialogUser = nullptr;

// The shown dialog of this thread: the one a user sees.
BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
  char cls[16] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  if (!::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
  return *reinterpret_cast<HWND*>(found) = window, FALSE;
}

// A window a user can act on: shown, and its modal loop found its queue empty `wanted` times since (timer messages
// come only then). Wine's browse window may still be filling its tree for a few more.
bool Settled(HWND window, int& ticks, int wanted) {
  return window != nullptr && ::IsWindowVisible(window) && ++ticks >= wanted;
}
int g_dialogTicks = 0, g_browseTicks = 0;

}  // namespace

std::string TestPlatform::PathOf(const void* key) const {
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  const auto known = m_paths.find(key);
  return known != m_paths.end() ? known->second : "";
}

bool TestPlatform::Fails(const char* operation, const std::string& subject) {
  ++calls;
  if (onCall) onCall(operation, subject);
  for (const Rule& rule : m_rules) {
    if (rule.operation != operation || subject.find(rule.subject) == std::string::npos) continue;
    failed.emplace_back(operation);
    ::SetLastError(m_failedWith = rule.error);
    return true;
  }
  if (m_failAt == 0 || calls < m_failAt || (calls > m_failAt && !m_fromThereOn)) return false;
  failed.emplace_back(operation);
  ::SetLastError(m_failedWith = m_error);
  return true;
}

HANDLE TestPlatform::FindFirstFileA(const char* pattern, plat::FindData* data) {
  if (Fails("FindFirstFileA", pattern)) return INVALID_HANDLE_VALUE;
  const HANDLE find = Tally(m_files.FindFirstFileA(pattern, data), INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) m_paths[find] = pattern, m_entries[find] = 0;
  return find;
}

bool TestPlatform::FindNextFileA(HANDLE find, plat::FindData* data) {
  if (Fails("FindNextFileA", PathOf(find) + "#" + std::to_string(++m_entries[find]))) return false;
  return m_files.FindNextFileA(find, data);
}

// Windows refuses to overwrite a read-only file (ERROR_ACCESS_DENIED); Wine run as root, as the tests are, ignores
// the permissions it keeps the attribute in and overwrites it.
bool TestPlatform::CopyFileA(const char* from, const char* to, bool failIfExists) {
  if (Fails("CopyFileA", Text(to))) return false;
  const DWORD attributes = ::GetFileAttributesA(to);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return ::SetLastError(ERROR_ACCESS_DENIED), false;
  return m_files.CopyFileA(from, to, failIfExists);
}

bool TestPlatform::ShellExecuteExA(const char* verb, const char* file, const char* parameters) {
  if (Fails("ShellExecuteExA", file)) return false;
  started.push_back(std::string(verb ? verb : "") + " " + file + " " + (parameters ? parameters : ""));
  if (startAnswer != 0) return ::SetLastError(startAnswer), false;
  return m_processes.ShellExecuteExA(verb, file, parameters);
}

std::intptr_t TestPlatform::RunDialog(const std::function<std::intptr_t()>& modal,
                                      const std::function<void(HWND)>& user) {
  struct Act {
    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD) {
      HWND window = nullptr;
      ::EnumThreadWindows(::GetCurrentThreadId(), &FindShownDialog, reinterpret_cast<LPARAM>(&window));
      if (!Settled(window, g_dialogTicks, 1)) return;
      ::KillTimer(nullptr, id);
      (*g_dialogUser)(window);
      // EndDialog hides the dialog at once; it is destroyed when its loop ends.
      if (!::IsWindowVisible(window)) return;
      ADD_FAILURE() << "the dialog is still open after the user's actions";
      ::EndDialog(window, -2);
    }
  };
  g_dialogUser = &user;
  g_dialogTicks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &Act::Timer);
  const std::intptr_t result = modal();
  ::KillTimer(nullptr, timer);  // a dialog that never came up
  g_dialogUser = nullptr;
  return result;
}

void Click(HWND dialog, int id) {
  const HWND control = ::GetDlgItem(dialog, id);
  if (control == nullptr || !::IsWindowVisible(control) || !::IsWindowEnabled(control)) {
    ADD_FAILURE() << "control " << id << " cannot be clicked: " << (control ? "greyed or hidden" : "missing");
    return;
  }
  ::SendMessageA(control, BM_CLICK, 0, 0);
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

bool IsShown(HWND dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE; }
bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
bool IsChecked(HWND dialog, int id) { return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool WaitFor(const std::function<bool()>& done) {
  for (const DWORD start = ::GetTickCount(); !done(); ::Sleep(10)) {
    if (::GetTickCount() - start > 10000) return false;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      // As a dialog's own loop does: keys to the dialog manager first.
      const HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
      if (top != nullptr && ::IsDialogMessageA(top, &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  return true;
}

int TestPlatform::MessageBoxA(HWND owner, const char* text, const char* caption, std::uint32_t type) {
  if (Fails("MessageBoxA")) return 0;  // the box could not be shown
  boxes.push_back({owner, text, caption, type});
  if (onBox) onBox(boxes.back());
  const int answer = answers.empty() ? 0 : answers.front();
  if (answer != 0) return answers.pop_front(), answer;
  const UINT buttons = type & MB_TYPEMASK;
  return buttons == MB_ABORTRETRYIGNORE ? IDABORT : buttons == MB_YESNO ? IDYES : IDOK;
}

// The real browse window; the user acts on it from a timer inside its modal loop.
void TestPlatform::BrowseForFolderA(const plat::BrowseInfo& info) {
  if (Fails("BrowseForFolderA")) return;
  struct Capture {
    static int Callback(HWND window, std::uint32_t message, LPARAM lParam, LPARAM) {
      TestPlatform& self = *g_browsing;
      if (message == BFFM_INITIALIZED) self.m_browseWindow = window;
      return self.m_browseCallback(window, message, lParam, self.m_browseData);
    }
    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD) {
      TestPlatform& self = *g_browsing;
      const HWND browse = self.m_browseWindow;
      if (!Settled(browse, g_browseTicks, 3)) return;
      ::KillTimer(nullptr, id);
      if (self.browseUser) self.browseUser(browse);
      if (::IsWindowVisible(browse)) ::SendMessageA(browse, WM_COMMAND, IDCANCEL, 0);
    }
  };
  g_browsing = this;
  g_browseTicks = 0;
  m_browseWindow = nullptr;
  m_browseCallback = info.callback;
  m_browseData = info.callbackData;
  plat::BrowseInfo captured = info;
  captured.callback = &Capture::Callback;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &Capture::Timer);
  m_shell.BrowseForFolderA(captured);
  ::KillTimer(nullptr, timer);  // a window that never came up
  g_browsing = nullptr;
}

}  // namespace wt
