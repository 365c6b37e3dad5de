#include "platform/win32/Win32ProcessList.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstring>

namespace w32 {
namespace {

// The program builds without UNICODE, so PROCESSENTRY32 and Process32First are
// the ANSI ones: szExeFile comes in the process's code page. Toolhelp refuses an
// entry whose dwSize is not the size it knows, and the bytes after dwSize start
// zeroed so that nothing of an earlier call leaks into the next.
static_assert(sizeof(PROCESSENTRY32::szExeFile) == MAX_PATH, "the ANSI entry: one byte per character unit");

template <typename Walk>
bool WalkOne(HANDLE snapshot, plat::ProcessEntry* entry, Walk walk) {
  PROCESSENTRY32 native;
  std::memset(&native, 0, sizeof native);
  native.dwSize = sizeof(PROCESSENTRY32);
  if (!walk(snapshot, &native)) return false;
  if (entry) {
    entry->processId = native.th32ProcessID;
    entry->exeFile = native.szExeFile;
  }
  return true;
}

}  // namespace

HANDLE Win32ProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
  return ::CreateToolhelp32Snapshot(flags, processId);
}

bool Win32ProcessList::Process32First(HANDLE snapshot, plat::ProcessEntry* entry) {
  return WalkOne(snapshot, entry, [](HANDLE h, PROCESSENTRY32* e) { return ::Process32First(h, e) != FALSE; });
}

bool Win32ProcessList::Process32Next(HANDLE snapshot, plat::ProcessEntry* entry) {
  return WalkOne(snapshot, entry, [](HANDLE h, PROCESSENTRY32* e) { return ::Process32Next(h, e) != FALSE; });
}

bool Win32ProcessList::CloseHandle(HANDLE snapshot) { return ::CloseHandle(snapshot) != FALSE; }

std::uint32_t Win32ProcessList::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

bool Win32ProcessList::WaitForProcessExit(std::uint32_t processId, std::uint32_t milliseconds) {
  const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return true;  // gone already
  const bool ended = ::WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
  ::CloseHandle(process);
  return ended;
}

bool Win32ProcessList::ShellExecuteExA(const char* verb, const char* file, const char* parameters) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = verb;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = SW_SHOWNORMAL;
  return ::ShellExecuteExA(&info) != FALSE;
}

}  // namespace w32
