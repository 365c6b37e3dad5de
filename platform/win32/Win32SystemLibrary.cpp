#include "platform/win32/Win32SystemLibrary.h"

#include <cstring>
#include <string>

namespace w32 {
namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32 came with SetDefaultDllDirectories (Windows 8,
// KB2533623 before it); where kernel32 lacks the one, LoadLibraryExA refuses the
// other with ERROR_INVALID_PARAMETER.
bool HasSearchFlags() {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  return kernel32 != nullptr && GetProcAddress(kernel32, "SetDefaultDllDirectories") != nullptr;
}

HMODULE LoadFromSystemFolder(const char* name) {
  if (HasSearchFlags()) return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path(folder, length);
  path += '\\';
  path += name;
  // A full path loads that very file; the altered search path makes the
  // library's own imports searched from the system folder, not from ours.
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemLibrary::SystemLibrary(const char* name)
    : m_module(std::strpbrk(name, "\\/:") == nullptr ? LoadFromSystemFolder(name) : nullptr) {}

SystemLibrary::~SystemLibrary() {
  if (m_module != nullptr) FreeLibrary(m_module);
}

FARPROC SystemLibrary::FindProc(const char* procName) const {
  return m_module != nullptr ? GetProcAddress(m_module, procName) : nullptr;
}

}  // namespace w32
