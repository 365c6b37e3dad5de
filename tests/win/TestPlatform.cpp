#include "tests/win/TestPlatform.h"

#include <gtest/gtest.h>

namespace wt {
namespace {

bool IsPredefined(plat::HKey key) { return key >= 0x80000000u && key <= 0x8000000Fu; }

// The one browse window and the one dialog a test may have open at a time,
// for the timers that hand them to the test's user.
TestPlatform* g_browsing = nullptr;
const std::function<void(HWND)>* g_dialogUser = nullptr;

// The shown dialog of this thread: the one a user sees.
HWND ShownDialog() {
  struct Find {
    static BOOL CALLBACK Window(HWND window, LPARAM found) {
      char cls[16] = {};
      ::GetClassNameA(window, cls, sizeof cls);
      if (!::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
  };
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &Find::Window, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A window a user can act on: shown, and its modal loop found its queue empty
// `wanted` times since (timer messages come only then). A modal loop shows its
// dialog at the first empty queue, which may come after a first timer message;
// Wine's browse window may still be filling its tree for a few more.
bool Settled(HWND window, int& ticks, int wanted) {
  return window != nullptr && ::IsWindowVisible(window) && ++ticks >= wanted;
}
int g_dialogTicks = 0, g_browseTicks = 0;

}  // namespace

void TestPlatform::FailCall(std::size_t k, bool fromThereOn, DWORD error) {
  calls = 0;
  m_operation.clear();
  m_failAt = k;
  m_fromThereOn = fromThereOn;
  m_error = error;
}

void TestPlatform::FailOperation(const std::string& operation, std::size_t n, DWORD error, bool fromThereOn) {
  FailCall(n, fromThereOn, error);
  m_operation = operation;
  m_operationCalls = 0;
}

bool TestPlatform::Fails(const char* operation) {
  ++calls;
  std::size_t n = calls;
  if (!m_operation.empty()) {
    if (m_operation != operation) return false;
    n = ++m_operationCalls;
  }
  if (m_failAt == 0 || n < m_failAt || (n > m_failAt && !m_fromThereOn)) return false;
  failed.emplace_back(operation);
  ::SetLastError(m_error);
  return true;
}

// Closing calls are never made to fail: the program cannot act on a failed
// close, and a handle that Windows did not close is Windows' leak, not ours.

std::intptr_t TestPlatform::RunDialog(const std::function<std::intptr_t()>& modal,
                                     const std::function<void(HWND)>& user) {
  struct Act {
    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD) {
      const HWND window = ShownDialog();
      if (!Settled(window, g_dialogTicks, 1)) return;
      ::KillTimer(nullptr, id);
      (*g_dialogUser)(window);
      // EndDialog hides the dialog at once; it is destroyed when its loop ends.
      if (!::IsWindowVisible(window)) return;
      ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
      ::EndDialog(window, IDCANCEL);  // when the dialog's own EndDialog was made to fail
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

// ---- registry ----

long TestPlatform::RegOpenKeyA(plat::HKey key, const char* subKey, plat::HKey* result) {
  if (Fails("RegOpenKeyA")) return *result = 0, static_cast<long>(m_error);
  const long rc = m_registry.RegOpenKeyA(key, subKey, result);
  if (rc == ERROR_SUCCESS && *result != key && !IsPredefined(*result)) Opened(*result);
  return rc;
}

long TestPlatform::RegOpenKeyExA(plat::HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                 plat::HKey* result) {
  if (Fails("RegOpenKeyExA")) return *result = 0, static_cast<long>(m_error);
  const long rc = m_registry.RegOpenKeyExA(key, subKey, options, access, result);
  if (rc == ERROR_SUCCESS) Opened(*result);
  return rc;
}

long TestPlatform::RegQueryInfoKeyA(plat::HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                    std::uint32_t* values) {
  if (Fails("RegQueryInfoKeyA")) return static_cast<long>(m_error);
  return m_registry.RegQueryInfoKeyA(key, subKeys, maxSubKeyLen, values);
}

long TestPlatform::RegEnumKeyExA(plat::HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  if (Fails("RegEnumKeyExA")) return static_cast<long>(m_error);
  return m_registry.RegEnumKeyExA(key, index, name, nameLen);
}

long TestPlatform::RegQueryValueExA(plat::HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* dataSize) {
  if (Fails("RegQueryValueExA")) return static_cast<long>(m_error);
  return m_registry.RegQueryValueExA(key, valueName, type, data, dataSize);
}

long TestPlatform::RegCloseKey(plat::HKey key) {
  Closed(key);
  return m_registry.RegCloseKey(key);
}

long TestPlatform::RegCreateKeyA(plat::HKey key, const char* subKey, plat::HKey* result) {
  if (Fails("RegCreateKeyA")) return *result = 0, static_cast<long>(m_error);
  const long rc = m_registry.RegCreateKeyA(key, subKey, result);
  if (rc == ERROR_SUCCESS && *result != key && !IsPredefined(*result)) Opened(*result);
  return rc;
}

long TestPlatform::RegDeleteKeyA(plat::HKey key, const char* subKey) {
  if (Fails("RegDeleteKeyA")) return static_cast<long>(m_error);
  return m_registry.RegDeleteKeyA(key, subKey);
}

long TestPlatform::RegSetValueExA(plat::HKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
  if (Fails("RegSetValueExA")) return static_cast<long>(m_error);
  return m_registry.RegSetValueExA(key, valueName, reserved, type, data, size);
}

// ---- files ----

std::uint32_t TestPlatform::GetModuleFileNameA(char* buffer, std::uint32_t size) {
  if (Fails("GetModuleFileNameA")) return 0;
  return m_files.GetModuleFileNameA(buffer, size);
}

plat::HFind TestPlatform::FindFirstFileA(const char* pattern, plat::FindData* data) {
  if (Fails("FindFirstFileA")) return plat::kInvalidFindHandle;
  const plat::HFind find = m_files.FindFirstFileA(pattern, data);
  if (find != plat::kInvalidFindHandle) Opened(find);
  return find;
}

bool TestPlatform::FindNextFileA(plat::HFind find, plat::FindData* data) {
  return !Fails("FindNextFileA") && m_files.FindNextFileA(find, data);
}

bool TestPlatform::FindClose(plat::HFind find) {
  Closed(find);
  return m_files.FindClose(find);
}

bool TestPlatform::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) {
  return !Fails("CopyFileA") && m_files.CopyFileA(existingFile, newFile, failIfExists);
}

std::uint32_t TestPlatform::GetFileAttributesA(const char* path) {
  if (Fails("GetFileAttributesA")) return plat::kInvalidFileAttributes;
  return m_files.GetFileAttributesA(path);
}

bool TestPlatform::SetFileAttributesA(const char* path, std::uint32_t attributes) {
  return !Fails("SetFileAttributesA") && m_files.SetFileAttributesA(path, attributes);
}

bool TestPlatform::DeleteFileA(const char* path) { return !Fails("DeleteFileA") && m_files.DeleteFileA(path); }

bool TestPlatform::CreateDirectoryA(const char* path) {
  return !Fails("CreateDirectoryA") && m_files.CreateDirectoryA(path);
}

std::uint32_t TestPlatform::GetCurrentDirectoryA(std::uint32_t size, char* buffer) {
  if (Fails("GetCurrentDirectoryA")) return 0;
  return m_files.GetCurrentDirectoryA(size, buffer);
}

int TestPlatform::Mkdir(const char* path) { return Fails("_mkdir") ? -1 : m_files.Mkdir(path); }

int TestPlatform::Access(const char* path, int mode) { return Fails("_access") ? -1 : m_files.Access(path, mode); }

// ---- processes ----

plat::HSnapshot TestPlatform::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
  if (Fails("CreateToolhelp32Snapshot")) return plat::kInvalidSnapshot;
  const plat::HSnapshot snapshot = m_processes.CreateToolhelp32Snapshot(flags, processId);
  if (snapshot != plat::kInvalidSnapshot) Opened(snapshot);
  return snapshot;
}

bool TestPlatform::Process32First(plat::HSnapshot snapshot, plat::ProcessEntry* entry) {
  return !Fails("Process32First") && m_processes.Process32First(snapshot, entry);
}

bool TestPlatform::Process32Next(plat::HSnapshot snapshot, plat::ProcessEntry* entry) {
  return !Fails("Process32Next") && m_processes.Process32Next(snapshot, entry);
}

bool TestPlatform::CloseHandle(plat::HSnapshot snapshot) {
  Closed(snapshot);
  return m_processes.CloseHandle(snapshot);
}

// ---- shell ----

plat::HResult TestPlatform::SHGetMalloc(plat::IMalloc** malloc) {
  if (Fails("SHGetMalloc")) return *malloc = nullptr, HRESULT_FROM_WIN32(m_error);
  return m_shell.SHGetMalloc(malloc);
}

// The real browse window; the test's user acts on it from a timer of this
// thread, which fires inside the window's modal loop once it is up.
plat::ItemList TestPlatform::SHBrowseForFolderA(plat::BrowseInfo* info) {
  if (Fails("SHBrowseForFolderA")) return 0;
  struct Capture {
    static int Callback(plat::HWnd window, std::uint32_t message, plat::LParam lParam, plat::LParam) {
      TestPlatform& self = *g_browsing;
      if (message == plat::kBffmInitialized) self.m_browseWindow = reinterpret_cast<HWND>(window);
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
  m_browseCallback = info->callback;
  m_browseData = info->callbackData;
  info->callback = &Capture::Callback;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &Capture::Timer);
  const plat::ItemList chosen = m_shell.SHBrowseForFolderA(info);
  ::KillTimer(nullptr, timer);  // a window that never came up
  info->callback = m_browseCallback;
  info->callbackData = m_browseData;
  g_browsing = nullptr;
  return chosen;
}

bool TestPlatform::SHGetPathFromIDListA(plat::ItemList list, char* path) {
  if (Fails("SHGetPathFromIDListA")) return path[0] = '\0', false;
  return m_shell.SHGetPathFromIDListA(list, path);
}

// ---- windows ----

std::intptr_t TestPlatform::DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) {
  if (Fails("DialogBoxParamA")) return -1;
  return m_windows.DialogBoxParamA(templateId, owner, host);
}

bool TestPlatform::EndDialog(plat::HWnd dialog, std::intptr_t result) {
  return !Fails("EndDialog") && m_windows.EndDialog(dialog, result);
}

plat::HWnd TestPlatform::GetDlgItem(plat::HWnd dialog, int id) {
  return Fails("GetDlgItem") ? 0 : m_windows.GetDlgItem(dialog, id);
}

int TestPlatform::GetDlgCtrlID(plat::HWnd window) { return Fails("GetDlgCtrlID") ? 0 : m_windows.GetDlgCtrlID(window); }

plat::HWnd TestPlatform::GetActiveWindow() { return Fails("GetActiveWindow") ? 0 : m_windows.GetActiveWindow(); }

bool TestPlatform::EnableWindow(plat::HWnd window, bool enable) {
  return !Fails("EnableWindow") && m_windows.EnableWindow(window, enable);
}

bool TestPlatform::ShowWindow(plat::HWnd window, int command) {
  return !Fails("ShowWindow") && m_windows.ShowWindow(window, command);
}

std::string TestPlatform::GetWindowTextA(plat::HWnd window, int maxChars) {
  return Fails("GetWindowTextA") ? std::string() : m_windows.GetWindowTextA(window, maxChars);
}

bool TestPlatform::SetWindowTextA(plat::HWnd window, const char* text) {
  return !Fails("SetWindowTextA") && m_windows.SetWindowTextA(window, text);
}

// Never made to fail: a message sent to a window of this thread is a call of
// that window's procedure, with no way to fail; its answer is the window's.
plat::LResult TestPlatform::SendMessageA(plat::HWnd window, std::uint32_t message, plat::WParam wParam,
                                         plat::LParam lParam) {
  return m_windows.SendMessageA(window, message, wParam, lParam);
}

plat::HWnd TestPlatform::SetFocus(plat::HWnd window) { return Fails("SetFocus") ? 0 : m_windows.SetFocus(window); }

int TestPlatform::MessageBoxA(plat::HWnd owner, const char* text, const char* caption, std::uint32_t type) {
  if (Fails("MessageBoxA")) return 0;  // the box could not be shown
  boxes.push_back({reinterpret_cast<HWND>(owner), text, caption, type});
  if (onBox) onBox(boxes.back());
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNO:
      return IDYES;
    default:
      return IDOK;
  }
}

bool TestPlatform::GetWindowRect(plat::HWnd window, plat::Rect* rect) {
  return !Fails("GetWindowRect") && m_windows.GetWindowRect(window, rect);
}

bool TestPlatform::ScreenToClient(plat::HWnd window, plat::Point* point) {
  return !Fails("ScreenToClient") && m_windows.ScreenToClient(window, point);
}

plat::HWnd TestPlatform::CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName,
                                         std::uint32_t style, int x, int y, int width, int height, plat::HWnd parent,
                                         std::uintptr_t menu, std::uintptr_t instance, void* param) {
  if (Fails("CreateWindowExA")) return 0;
  return m_windows.CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance,
                                   param);
}

long TestPlatform::SetWindowLongA(plat::HWnd window, int index, long value) {
  return Fails("SetWindowLongA") ? 0 : m_windows.SetWindowLongA(window, index, value);
}

bool TestPlatform::SubclassWindow(plat::HWnd window, plat::IWindowHook* hook) {
  return !Fails("SubclassWindow") && m_windows.SubclassWindow(window, hook);
}

bool TestPlatform::UnsubclassWindow(plat::HWnd window) { return m_windows.UnsubclassWindow(window); }

plat::HGdi TestPlatform::LoadIconA(int resourceId) { return Fails("LoadIconA") ? 0 : m_windows.LoadIconA(resourceId); }

plat::HGdi TestPlatform::CreateSolidBrush(std::uint32_t color) {
  if (Fails("CreateSolidBrush")) return 0;
  const plat::HGdi brush = m_windows.CreateSolidBrush(color);
  if (brush != 0) Opened(brush);
  return brush;
}

plat::HGdi TestPlatform::CreateFontA(int height, int width, int escapement, int orientation, int weight,
                                     std::uint32_t italic, std::uint32_t underline, std::uint32_t strikeOut,
                                     std::uint32_t charSet, std::uint32_t outPrecision, std::uint32_t clipPrecision,
                                     std::uint32_t quality, std::uint32_t pitchAndFamily, const char* faceName) {
  if (Fails("CreateFontA")) return 0;
  const plat::HGdi font = m_windows.CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                                pitchAndFamily, faceName);
  if (font != 0) Opened(font);
  return font;
}

bool TestPlatform::DeleteObject(plat::HGdi object) {
  Closed(object);
  return m_windows.DeleteObject(object);
}

plat::HGdi TestPlatform::SelectObject(plat::HDc dc, plat::HGdi object) {
  return Fails("SelectObject") ? 0 : m_windows.SelectObject(dc, object);
}

std::uint32_t TestPlatform::SetTextColor(plat::HDc dc, std::uint32_t color) {
  return Fails("SetTextColor") ? CLR_INVALID : m_windows.SetTextColor(dc, color);
}

int TestPlatform::SetBkMode(plat::HDc dc, int mode) { return Fails("SetBkMode") ? 0 : m_windows.SetBkMode(dc, mode); }

}  // namespace wt
