#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <direct.h>
#include <io.h>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "DWORD results are passed straight through");

namespace w32 {
namespace {

HANDLE ToWin(plat::HFind find) { return reinterpret_cast<HANDLE>(find); }

plat::HFind FromWin(HANDLE find) { return reinterpret_cast<plat::HFind>(find); }

void Copy(const WIN32_FIND_DATAA& from, plat::FindData* to) {
  to->attributes = from.dwFileAttributes;
  to->size = (static_cast<std::uint64_t>(from.nFileSizeHigh) << 32) | from.nFileSizeLow;
  to->fileName = from.cFileName;
}

}  // namespace

std::uint32_t Win32FileSystem::GetModuleFileNameA(char* buffer, std::uint32_t size) {
  return ::GetModuleFileNameA(nullptr, buffer, size);
}

std::uint32_t Win32FileSystem::GetModuleFileNameW(char16_t* buffer, std::uint32_t size) {
  static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 texts are passed straight through");
  return ::GetModuleFileNameW(nullptr, reinterpret_cast<WCHAR*>(buffer), size);
}

plat::HFind Win32FileSystem::FindFirstFileA(const char* pattern, plat::FindData* data) {
  WIN32_FIND_DATAA found;
  const HANDLE find = ::FindFirstFileA(pattern, &found);
  if (find != INVALID_HANDLE_VALUE && data) Copy(found, data);
  return FromWin(find);
}

bool Win32FileSystem::FindNextFileA(plat::HFind find, plat::FindData* data) {
  WIN32_FIND_DATAA found;
  if (!::FindNextFileA(ToWin(find), &found)) return false;
  if (data) Copy(found, data);
  return true;
}

bool Win32FileSystem::FindClose(plat::HFind find) { return ::FindClose(ToWin(find)) != FALSE; }

bool Win32FileSystem::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) {
  return ::CopyFileA(existingFile, newFile, failIfExists ? TRUE : FALSE) != FALSE;
}

std::uint32_t Win32FileSystem::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

bool Win32FileSystem::SetFileAttributesA(const char* path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path, attributes) != FALSE;
}

bool Win32FileSystem::DeleteFileA(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool Win32FileSystem::CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr) != FALSE; }

std::uint32_t Win32FileSystem::GetCurrentDirectoryA(std::uint32_t size, char* buffer) {
  return ::GetCurrentDirectoryA(size, buffer);
}

std::uint32_t Win32FileSystem::GetLastError() { return ::GetLastError(); }

int Win32FileSystem::Mkdir(const char* path) { return ::_mkdir(path); }

int Win32FileSystem::Access(const char* path, int mode) { return ::_access(path, mode); }

}  // namespace w32
