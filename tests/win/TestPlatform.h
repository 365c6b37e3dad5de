// The real Win32 layer with two stand-ins in front of it, the only things the
// Windows tests do not take from Windows itself:
// - the user: message boxes are answered from a script instead of being shown,
//   and the browse window is acted on by a script once it is up;
// - failures: any call can be made to fail with a chosen Win32 error, the k-th
//   call or every call from the k-th on, or the n-th call of one operation.
// It also keeps the tally of handles opened and not yet closed (registry keys,
// listings, snapshots, GDI objects), which must be zero after every run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32WindowSystem.h"

namespace wt {

struct MessageBoxCall {
  HWND owner;
  std::string text, caption;  // code page 936, as the program passed them
  UINT type;
};

class TestPlatform : public plat::IRegistry,
                     public plat::IFileSystem,
                     public plat::IProcessList,
                     public plat::IShell,
                     public plat::IWindowSystem {
 public:
  plat::Platform platform{*this, *this, *this, *this, *this};

  // ---- the user ----
  std::vector<MessageBoxCall> boxes;
  // Answers to the next message boxes; without one, a box is answered with its
  // first button (OK, Abort, Yes).
  std::deque<int> answers;
  // Called as each box comes up, before it is answered (the user doing
  // something about what the box says).
  std::function<void(const MessageBoxCall&)> onBox;
  // Acts on the real browse window once it is up; whatever it leaves open is
  // cancelled afterwards.
  std::function<void(HWND browse)> browseUser;
  // Runs `modal` (a dialog's DoModal, or start-up), with `user` acting on the
  // dialog once it is up (from a timer of this thread, inside the dialog's
  // modal loop). A dialog the user leaves open is cancelled, and ended outright
  // should that fail. Returns what `modal` returned.
  std::intptr_t RunDialog(const std::function<std::intptr_t()>& modal, const std::function<void(HWND dialog)>& user);

  // ---- failures ----
  // Call number `k` (1-based, over every call) fails with `error`; with
  // `fromThereOn`, every later call too. Counting starts now.
  void FailCall(std::size_t k, bool fromThereOn = false, DWORD error = ERROR_ACCESS_DENIED);
  // The n-th call of `operation` fails (every one from the n-th with `fromThereOn`).
  void FailOperation(const std::string& operation, std::size_t n = 1, DWORD error = ERROR_ACCESS_DENIED,
                     bool fromThereOn = false);
  void StopFailing() { m_failAt = 0; }
  std::size_t calls = 0;
  std::vector<std::string> failed;  // the operations made to fail, in order

  // Registry keys, listings, snapshots and GDI objects open now.
  std::size_t OpenHandles() const { return m_open.size(); }

  // IRegistry
  long RegOpenKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegOpenKeyExA(plat::HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                     plat::HKey* result) override;
  long RegQueryInfoKeyA(plat::HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                        std::uint32_t* values) override;
  long RegEnumKeyExA(plat::HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) override;
  long RegQueryValueExA(plat::HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCloseKey(plat::HKey key) override;
  long RegCreateKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegDeleteKeyA(plat::HKey key, const char* subKey) override;
  long RegSetValueExA(plat::HKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;

  // IFileSystem
  std::uint32_t GetModuleFileNameA(char* buffer, std::uint32_t size) override;
  plat::HFind FindFirstFileA(const char* pattern, plat::FindData* data) override;
  bool FindNextFileA(plat::HFind find, plat::FindData* data) override;
  bool FindClose(plat::HFind find) override;
  bool CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
  std::uint32_t GetFileAttributesA(const char* path) override;
  bool SetFileAttributesA(const char* path, std::uint32_t attributes) override;
  bool DeleteFileA(const char* path) override;
  bool CreateDirectoryA(const char* path) override;
  std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) override;
  std::uint32_t GetLastError() override { return m_files.GetLastError(); }
  int Mkdir(const char* path) override;
  int Access(const char* path, int mode) override;

  // IProcessList
  plat::HSnapshot CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Process32First(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool Process32Next(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool CloseHandle(plat::HSnapshot snapshot) override;

  // IShell
  plat::HResult SHGetMalloc(plat::IMalloc** malloc) override;
  plat::ItemList SHBrowseForFolderA(plat::BrowseInfo* info) override;
  bool SHGetPathFromIDListA(plat::ItemList list, char* path) override;

  // IWindowSystem
  void InitDialogControls() override { m_windows.InitDialogControls(); }
  std::intptr_t DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) override;
  bool EndDialog(plat::HWnd dialog, std::intptr_t result) override;
  plat::HWnd GetDlgItem(plat::HWnd dialog, int id) override;
  int GetDlgCtrlID(plat::HWnd window) override;
  plat::HWnd GetActiveWindow() override;
  bool EnableWindow(plat::HWnd window, bool enable) override;
  bool ShowWindow(plat::HWnd window, int command) override;
  std::string GetWindowTextA(plat::HWnd window, int maxChars) override;
  bool SetWindowTextA(plat::HWnd window, const char* text) override;
  plat::LResult SendMessageA(plat::HWnd window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam) override;
  plat::HWnd SetFocus(plat::HWnd window) override;
  int MessageBoxA(plat::HWnd owner, const char* text, const char* caption, std::uint32_t type) override;
  bool GetWindowRect(plat::HWnd window, plat::Rect* rect) override;
  bool ScreenToClient(plat::HWnd window, plat::Point* point) override;
  plat::HWnd CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName, std::uint32_t style,
                             int x, int y, int width, int height, plat::HWnd parent, std::uintptr_t menu,
                             std::uintptr_t instance, void* param) override;
  long SetWindowLongA(plat::HWnd window, int index, long value) override;
  bool SubclassWindow(plat::HWnd window, plat::IWindowHook* hook) override;
  bool UnsubclassWindow(plat::HWnd window) override;
  plat::HGdi LoadIconA(int resourceId) override;
  plat::HGdi CreateSolidBrush(std::uint32_t color) override;
  plat::HGdi CreateFontA(int height, int width, int escapement, int orientation, int weight, std::uint32_t italic,
                         std::uint32_t underline, std::uint32_t strikeOut, std::uint32_t charSet,
                         std::uint32_t outPrecision, std::uint32_t clipPrecision, std::uint32_t quality,
                         std::uint32_t pitchAndFamily, const char* faceName) override;
  bool DeleteObject(plat::HGdi object) override;
  plat::HGdi SelectObject(plat::HDc dc, plat::HGdi object) override;
  std::uint32_t SetTextColor(plat::HDc dc, std::uint32_t color) override;
  int SetBkMode(plat::HDc dc, int mode) override;

 private:
  // Counts the call; true (with the error set as the last error) when it must fail.
  bool Fails(const char* operation);
  void Opened(std::uintptr_t handle) { m_open.insert(handle); }
  void Closed(std::uintptr_t handle) { m_open.erase(handle); }

  w32::Win32Registry m_registry;
  w32::Win32FileSystem m_files;
  w32::Win32ProcessList m_processes;
  w32::Win32Shell m_shell;
  w32::Win32WindowSystem m_windows;

  std::size_t m_failAt = 0;
  bool m_fromThereOn = false;
  DWORD m_error = ERROR_ACCESS_DENIED;
  std::string m_operation;  // empty: every call counts
  std::size_t m_operationCalls = 0;
  std::multiset<std::uintptr_t> m_open;
  HWND m_browseWindow = nullptr;
  plat::BrowseCallbackProc m_browseCallback = nullptr;
  plat::LParam m_browseData = 0;
};

// What a user does and sees, on a window of this thread. A click on a greyed or
// hidden control is a test failure: no user could make it.
void Click(HWND dialog, int id);
std::string TextOf(HWND window);  // code page 936
bool IsShown(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// Lets this thread's windows handle their messages until `done` holds or ten
// seconds pass; false then. For what Wine's own windows finish later.
bool WaitFor(const std::function<bool()>& done);

}  // namespace wt
