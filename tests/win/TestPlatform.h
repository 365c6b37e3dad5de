// The Windows tests' harness: the real Win32 layer with stand-ins for the user (message boxes answered from a
// script, the real browse window acted on by one) and for failures (a chosen call fails with a chosen Win32 error).
// It tallies the handles opened and not yet closed, which must be zero after every run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "framework/Dialog.h"
#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "text/CodePage.h"
#include "tests/win/Sandbox.h"

namespace wt {

struct MessageBoxCall {
  HWND owner;
  std::string text, caption;  // code page 936
  UINT type;
};

// A call passed on to Windows, unless it is the one made to fail: that returns `failed`, the error set as the last.
// VM_PASS_ON names what the call acts on (a path, a sub key, a value name), for the faults chosen by it.
#define VM_PASS_ON(subject, failed, layer, name, ...) \
  {                                                   \
    if (Fails(#name, subject)) return failed;         \
    return layer.name(__VA_ARGS__);                   \
  }
#define VM_PASS(failed, layer, name, ...) VM_PASS_ON("", failed, layer, name, __VA_ARGS__)

class TestPlatform : public plat::IRegistry, public plat::IFileSystem, public plat::IProcessList, public plat::IShell {
 public:
  plat::Platform platform{*this, *this, *this, *this};
  // The dialogs' common controls, registered as the program does at start-up.
  TestPlatform() { fw::InitDialogControls(); }

  std::vector<MessageBoxCall> boxes;
  // Answers to the next boxes, then each box's first button; `onBox` sees each box before it is answered.
  std::deque<int> answers;
  std::function<void(const MessageBoxCall&)> onBox;
  // Acts on the browse window once it is up; what it leaves open is cancelled.
  std::function<void(HWND browse)> browseUser;
  // Sees every call that may be made to fail, with its subject, before it is made: to watch the program mid-way.
  std::function<void(const char* operation, const std::string& subject)> onCall;
  // Runs `modal` (DoModal, or start-up) with `user` acting on the dialog once it is up, inside its modal loop. The
  // user's actions must end the dialog: one still open after them fails the test (and is then ended).
  std::intptr_t RunDialog(const std::function<std::intptr_t()>& modal, const std::function<void(HWND dialog)>& user);

  // Every call of `operation` whose subject holds `subject` ("": every call) fails with `error`: as Windows answers a
  // standard user (ERROR_ACCESS_DENIED), or a file held open (ERROR_SHARING_VIOLATION). A call's subject is what it
  // acts on: a file's path (a listing's pattern, and "#n" for its n-th next entry), a key's full path from its hive
  // ("HKEY_LOCAL_MACHINE\\SOFTWARE\\..."), with "\\name" for a sub key or value and "\\#i" for the i-th entry listed.
  void FailOn(const std::string& operation, const std::string& subject = "", DWORD error = ERROR_ACCESS_DENIED) {
    m_rules.push_back({operation, subject, error});
  }
  // The sweeps' way through every call in turn: the k-th call from now (1-based) fails, and with `fromThereOn` every
  // later one as well. `calls` counts from now.
  void FailCall(std::size_t k, bool fromThereOn = false, DWORD error = ERROR_ACCESS_DENIED) {
    calls = 0, m_failAt = k, m_fromThereOn = fromThereOn, m_error = error;
  }
  void StopFailing() { m_failAt = 0, m_rules.clear(); }
  // What the program asked the shell to start (verb, file, parameters), and the answer: the elevation prompt is the
  // user's. 0 starts it for real.
  std::vector<std::string> started;
  DWORD startAnswer = 0;
  std::size_t calls = 0;
  std::vector<std::string> failed;  // the operations made to fail
  std::size_t OpenHandles() const { return m_open.size(); }

  // Opening calls are tallied; closing calls never fail (nothing the program could do).
  // clang-format off
  long RegOpenKeyA(HKEY k, const char* s, HKEY* r) override { return Opened(Fails("RegOpenKeyA", Sub(k, s)), k, s, r, m_registry.RegOpenKeyA(k, s, r)); }
  long RegOpenKeyExA(HKEY k, const char* s, std::uint32_t o, std::uint32_t a, HKEY* r) override { return Opened(Fails("RegOpenKeyExA", Sub(k, s)), k, s, r, m_registry.RegOpenKeyExA(k, s, o, a, r)); }
  long RegOpenKeyExW(HKEY k, const char16_t* s, std::uint32_t o, std::uint32_t a, HKEY* r) override { return Opened(Fails("RegOpenKeyExW", Sub(k, s)), k, s, r, m_registry.RegOpenKeyExW(k, s, o, a, r)); }
  long RegCreateKeyA(HKEY k, const char* s, HKEY* r) override { return Opened(Fails("RegCreateKeyA", Sub(k, s)), k, s, r, m_registry.RegCreateKeyA(k, s, r)); }
  long RegCreateKeyW(HKEY k, const char16_t* s, HKEY* r) override { return Opened(Fails("RegCreateKeyW", Sub(k, s)), k, s, r, m_registry.RegCreateKeyW(k, s, r)); }
  long RegCloseKey(HKEY key) override { return m_open.erase(key), m_paths.erase(key), m_registry.RegCloseKey(key); }
  HANDLE FindFirstFileA(const char* p, plat::FindData* d) override;
  bool FindNextFileA(HANDLE f, plat::FindData* d) override;
  bool FindClose(HANDLE find) override { return m_open.erase(find), m_paths.erase(find), m_entries.erase(find), m_files.FindClose(find); }
  HANDLE CreateToolhelp32Snapshot(std::uint32_t f, std::uint32_t p) override { return Fails("CreateToolhelp32Snapshot") ? INVALID_HANDLE_VALUE : Tally(m_processes.CreateToolhelp32Snapshot(f, p), INVALID_HANDLE_VALUE); }
  bool CloseHandle(HANDLE snapshot) override { return m_open.erase(snapshot), m_processes.CloseHandle(snapshot); }
  int MessageBoxA(HWND owner, const char* text, const char* caption, std::uint32_t type) override;
  void BrowseForFolderA(const plat::BrowseInfo& info) override;
  bool ShellExecuteExA(const char* verb, const char* file, const char* parameters) override;
  std::uint32_t GetLastError() override { return m_files.GetLastError(); }
  std::uint32_t GetCurrentProcessId() override { return m_processes.GetCurrentProcessId(); }
  void CoUninitialize() override { m_shell.CoUninitialize(); }
  long RegQueryInfoKeyA(HKEY k, std::uint32_t* n, std::uint32_t* m, std::uint32_t* v) override VM_PASS_ON(PathOf(k), Error(), m_registry, RegQueryInfoKeyA, k, n, m, v)
  long RegEnumKeyExA(HKEY k, std::uint32_t i, char* name, std::uint32_t* n) override VM_PASS_ON(Entry(k, i), Error(), m_registry, RegEnumKeyExA, k, i, name, n)
  long RegEnumKeyExW(HKEY k, std::uint32_t i, char16_t* name, std::uint32_t* n) override VM_PASS_ON(Entry(k, i), Error(), m_registry, RegEnumKeyExW, k, i, name, n)
  long RegQueryValueExA(HKEY k, const char* name, std::uint32_t* t, std::uint8_t* d, std::uint32_t* n) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegQueryValueExA, k, name, t, d, n)
  long RegQueryValueExW(HKEY k, const char16_t* name, std::uint32_t* t, std::uint8_t* d, std::uint32_t* n) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegQueryValueExW, k, name, t, d, n)
  long RegDeleteKeyA(HKEY k, const char* sub) override VM_PASS_ON(Sub(k, sub), Error(), m_registry, RegDeleteKeyA, k, sub)
  long RegDeleteKeyW(HKEY k, const char16_t* sub) override VM_PASS_ON(Sub(k, sub), Error(), m_registry, RegDeleteKeyW, k, sub)
  long RegDeleteValueA(HKEY k, const char* name) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegDeleteValueA, k, name)
  long RegDeleteValueW(HKEY k, const char16_t* name) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegDeleteValueW, k, name)
  long RegSetValueExA(HKEY k, const char* name, std::uint32_t r, std::uint32_t t, const std::uint8_t* d, std::uint32_t n) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegSetValueExA, k, name, r, t, d, n)
  long RegSetValueExW(HKEY k, const char16_t* name, std::uint32_t r, std::uint32_t t, const std::uint8_t* d, std::uint32_t n) override VM_PASS_ON(Sub(k, name), Error(), m_registry, RegSetValueExW, k, name, r, t, d, n)
  std::uint32_t GetModuleFileNameA(char* b, std::uint32_t n) override VM_PASS(0, m_files, GetModuleFileNameA, b, n)
  // Made to fail with ERROR_INSUFFICIENT_BUFFER, it answers as Windows does a path longer than the buffer: the path
  // cut to the buffer, terminator included, and the buffer's size.
  std::uint32_t GetModuleFileNameW(char16_t* b, std::uint32_t n) override {
    if (!Fails("GetModuleFileNameW")) return m_files.GetModuleFileNameW(b, n);
    if (m_failedWith != ERROR_INSUFFICIENT_BUFFER || n == 0) return 0;
    const std::uint32_t length = m_files.GetModuleFileNameW(b, n);
    std::fill(b + length, b + n, u'x');
    b[n - 1] = u'\0';
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return n;
  }
  bool CopyFileA(const char* from, const char* to, bool failIfExists) override;
  std::uint32_t GetFileAttributesA(const char* p) override VM_PASS_ON(Text(p), INVALID_FILE_ATTRIBUTES, m_files, GetFileAttributesA, p)
  bool SetFileAttributesA(const char* p, std::uint32_t a) override VM_PASS_ON(Text(p), false, m_files, SetFileAttributesA, p, a)
  bool DeleteFileA(const char* p) override VM_PASS_ON(Text(p), false, m_files, DeleteFileA, p)
  bool CreateDirectoryA(const char* p) override VM_PASS_ON(Text(p), false, m_files, CreateDirectoryA, p)
  bool RemoveDirectoryA(const char* p) override VM_PASS_ON(Text(p), false, m_files, RemoveDirectoryA, p)
  bool MoveFileExA(const char* from, const char* to, std::uint32_t f) override VM_PASS_ON(std::string(from) + "|" + Text(to), false, m_files, MoveFileExA, from, to, f)
  bool GetFileAttributesExA(const char* p, plat::FileInfo* i) override VM_PASS_ON(Text(p), false, m_files, GetFileAttributesExA, p, i)
  bool CreateTemporaryFileA(const char* p) override VM_PASS_ON(Text(p), false, m_files, CreateTemporaryFileA, p)
  bool ReadFileA(const char* p, std::string* b) override VM_PASS_ON(Text(p), false, m_files, ReadFileA, p, b)
  bool WriteFileA(const char* p, const std::string& b) override VM_PASS_ON(Text(p), false, m_files, WriteFileA, p, b)
  std::string GetTempPathA() override VM_PASS("", m_files, GetTempPathA)
  std::uint32_t GetCurrentDirectoryA(std::uint32_t n, char* b) override VM_PASS(0, m_files, GetCurrentDirectoryA, n, b)
  int Mkdir(const char* p) override VM_PASS_ON(Text(p), -1, m_files, Mkdir, p)
  int Access(const char* p, int mode) override VM_PASS_ON(Text(p), -1, m_files, Access, p, mode)
  bool WaitForProcessExit(std::uint32_t id, std::uint32_t ms) override VM_PASS(false, m_processes, WaitForProcessExit, id, ms)
  bool Process32First(HANDLE s, plat::ProcessEntry* e) override VM_PASS(false, m_processes, Process32First, s, e)
  bool Process32Next(HANDLE s, plat::ProcessEntry* e) override VM_PASS(false, m_processes, Process32Next, s, e)
  HRESULT CoInitializeEx(std::uint32_t c) override VM_PASS(HRESULT_FROM_WIN32(m_error), m_shell, CoInitializeEx, c)
  bool SHGetPathFromIDListA(plat::ItemList l, char* p) override VM_PASS((p[0] = '\0', false), m_shell, SHGetPathFromIDListA, l, p)
      // clang-format on

      private :
      // Counts the call; true, with the error set as the last error, when it must fail.
      bool Fails(const char* operation, const std::string& subject = "");
  long Error() const { return static_cast<long>(m_failedWith); }
  static std::string Text(const char* text) { return text ? text : ""; }
  static std::string Text(const char16_t* text) { return text ? ansi::Narrow(text) : ""; }
  // What a registry call acts on: the key's full path, and the sub key or value named below it.
  std::string PathOf(const void* key) const;
  template <class Char>
  std::string Sub(HKEY key, const Char* name) const {
    const std::string tail = Text(name);
    return tail.empty() ? PathOf(key) : PathOf(key) + "\\" + tail;
  }
  std::string Entry(HKEY key, std::uint32_t index) const { return PathOf(key) + "\\#" + std::to_string(index); }
  // A key opened, or not: tallied with its path, or `*result` cleared when the call was made to fail.
  template <class Char>
  long Opened(bool failed, HKEY key, const Char* sub, HKEY* result, long rc) {
    if (failed) return *result = 0, Error();
    // An empty sub key hands back `key` itself; a predefined key is no handle.
    const bool predefined = *result == HKEY_LOCAL_MACHINE || *result == HKEY_CURRENT_USER;
    if (rc == ERROR_SUCCESS && *result != key && !predefined) m_open.insert(*result), m_paths[*result] = Sub(key, sub);
    return rc;
  }
  template <class Handle>
  Handle Tally(Handle handle, Handle none) {
    if (handle != none) m_open.insert(handle);
    return handle;
  }

  w32::Win32Registry m_registry;
  w32::Win32FileSystem m_files;
  w32::Win32ProcessList m_processes;
  w32::Win32Shell m_shell;

  std::size_t m_failAt = 0;
  bool m_fromThereOn = false;
  DWORD m_error = ERROR_ACCESS_DENIED, m_failedWith = ERROR_ACCESS_DENIED;
  struct Rule {
    std::string operation, subject;
    DWORD error;
  };
  std::vector<Rule> m_rules;
  std::multiset<const void*> m_open;
  // The open keys' full paths; the open listings' patterns, with the entries read so far.
  std::map<const void*, std::string> m_paths;
  std::map<const void*, std::size_t> m_entries;
  HWND m_browseWindow = nullptr;
  plat::BrowseCallbackProc m_browseCallback = nullptr;
  LPARAM m_browseData = 0;
};

#undef VM_PASS

// A test on a sandboxed machine through the test platform; every handle is closed at its end.
class MachineTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(os.OpenHandles(), 0u) << "keys, searches, snapshots"; }
  Sandbox box;
  TestPlatform os;
};

// What a user does and sees. A click on a greyed or hidden control fails the test.
void Click(HWND dialog, int id);
std::string TextOf(HWND window);  // code page 936
bool IsShown(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// Pumps this thread's messages until `done` holds (true) or ten seconds pass.
bool WaitFor(const std::function<bool()>& done);
// A report as the program tells it to the user, a line per failure.
inline std::string Told(const FailureReport& report) {
  std::string told;
  for (const Failure& failure : report) told += DescribeFailure(failure) + "\n";
  return told;
}

}  // namespace wt
