#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <direct.h>
#include <io.h>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "DWORD results are passed straight through");

namespace w32 {
namespace {

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

HANDLE Win32FileSystem::FindFirstFileA(const char* pattern, plat::FindData* data) {
  WIN32_FIND_DATAA found;
  const HANDLE find = ::FindFirstFileA(pattern, &found);
  if (find != INVALID_HANDLE_VALUE && data) Copy(found, data);
  return find;
}

bool Win32FileSystem::FindNextFileA(HANDLE find, plat::FindData* data) {
  WIN32_FIND_DATAA found;
  if (!::FindNextFileA(find, &found)) return false;
  if (data) Copy(found, data);
  return true;
}

bool Win32FileSystem::FindClose(HANDLE find) { return ::FindClose(find) != FALSE; }

bool Win32FileSystem::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) {
  return ::CopyFileA(existingFile, newFile, failIfExists ? TRUE : FALSE) != FALSE;
}

std::uint32_t Win32FileSystem::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

bool Win32FileSystem::SetFileAttributesA(const char* path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path, attributes) != FALSE;
}

bool Win32FileSystem::DeleteFileA(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool Win32FileSystem::CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr) != FALSE; }

bool Win32FileSystem::RemoveDirectoryA(const char* path) { return ::RemoveDirectoryA(path) != FALSE; }

bool Win32FileSystem::MoveFileExA(const char* existingFile, const char* newFile, std::uint32_t flags) {
  return ::MoveFileExA(existingFile, newFile, flags) != FALSE;
}

bool Win32FileSystem::GetFileAttributesExA(const char* path, plat::FileInfo* info) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  info->attributes = data.dwFileAttributes;
  info->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info->lastWrite =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool Win32FileSystem::CreateTemporaryFileA(const char* path) {
  const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

bool Win32FileSystem::ReadFileA(const char* path, std::string* bytes) {
  const HANDLE file =
      ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[65536];
  DWORD got = 0;
  bool read = true;
  while ((read = ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0) bytes->append(chunk, got);
  const DWORD error = ::GetLastError();
  ::CloseHandle(file);
  ::SetLastError(error);
  return read;
}

bool Win32FileSystem::WriteFileA(const char* path, const std::string& bytes) {
  const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
                     written == bytes.size();
  const DWORD error =
      whole ? ERROR_SUCCESS : (::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_WRITE_FAULT);
  const bool closed = ::CloseHandle(file) != FALSE;
  if (whole && closed) return true;
  ::DeleteFileA(path);
  ::SetLastError(error);
  return false;
}

std::string Win32FileSystem::GetTempPathA() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathA(sizeof path, path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

std::uint32_t Win32FileSystem::GetCurrentDirectoryA(std::uint32_t size, char* buffer) {
  return ::GetCurrentDirectoryA(size, buffer);
}

std::uint32_t Win32FileSystem::GetLastError() { return ::GetLastError(); }

int Win32FileSystem::Mkdir(const char* path) { return ::_mkdir(path); }

int Win32FileSystem::Access(const char* path, int mode) { return ::_access(path, mode); }

}  // namespace w32
