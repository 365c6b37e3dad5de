// The file-system operations the installer uses: the ANSI Win32 calls and the two
// runtime-library ones (_mkdir, _access), with their arguments and results.
// Paths are bytes of the ANSI code page (936), backslash-separated.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

namespace plat {

// What GetFileAttributesExA tells of a file: enough to see whether it changed.
struct FileInfo {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;  // FILETIME, 100 ns since 1601
};

// What WIN32_FIND_DATAA tells about one entry of a listing.
struct FindData {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::string fileName;  // cFileName: the name only, no folder
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // GetModuleFileNameA(NULL, buffer, size): the running program's full path.
  // Returns the length copied; `size` when the path was cut (then not terminated
  // on XP, terminated on later Windows).
  virtual std::uint32_t GetModuleFileNameA(char* buffer, std::uint32_t size) = 0;
  // The same in UTF-16: every character of the path, whatever the code page holds.
  virtual std::uint32_t GetModuleFileNameW(char16_t* buffer, std::uint32_t size) = 0;

  // INVALID_HANDLE_VALUE when nothing matches or the pattern is not a valid one.
  virtual HANDLE FindFirstFileA(const char* pattern, FindData* data) = 0;
  // False at the end of the listing (GetLastError: ERROR_NO_MORE_FILES).
  virtual bool FindNextFileA(HANDLE find, FindData* data) = 0;
  virtual bool FindClose(HANDLE find) = 0;

  virtual bool CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) = 0;
  virtual std::uint32_t GetFileAttributesA(const char* path) = 0;
  virtual bool SetFileAttributesA(const char* path, std::uint32_t attributes) = 0;
  // Also deletes an alternate data stream named "file:stream".
  virtual bool DeleteFileA(const char* path) = 0;
  virtual bool CreateDirectoryA(const char* path) = 0;
  // Fails on a folder that is not empty (ERROR_DIR_NOT_EMPTY).
  virtual bool RemoveDirectoryA(const char* path) = 0;
  virtual bool MoveFileExA(const char* existingFile, const char* newFile, std::uint32_t flags) = 0;
  virtual bool GetFileAttributesExA(const char* path, FileInfo* info) = 0;
  // Creates `path` as a new file that is gone again when the call returns
  // (CREATE_NEW with FILE_FLAG_DELETE_ON_CLOSE): whether this user may create a
  // file there, found out without leaving anything behind.
  virtual bool CreateTemporaryFileA(const char* path) = 0;
  // A whole file read, or written anew (a file that could not be written whole
  // is deleted again).
  virtual bool ReadFileA(const char* path, std::string* bytes) = 0;
  virtual bool WriteFileA(const char* path, const std::string& bytes) = 0;
  // The user's temporary folder, ending with a backslash; empty when unknown.
  virtual std::string GetTempPathA() = 0;
  // Returns the length without terminator, or the size needed when it does not fit.
  virtual std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) = 0;
  virtual std::uint32_t GetLastError() = 0;

  // The runtime library's _mkdir (0 on success, -1 on failure) and _access.
  virtual int Mkdir(const char* path) = 0;
  virtual int Access(const char* path, int mode) = 0;
};

// Owns a listing handle; closes it on every way out.
class ScopedFind {
 public:
  ScopedFind(IFileSystem& fs, HANDLE find) : m_fs(fs), m_find(find) {}
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  ~ScopedFind() {
    if (valid()) m_fs.FindClose(m_find);
  }
  bool valid() const { return m_find != INVALID_HANDLE_VALUE && m_find != nullptr; }
  HANDLE get() const { return m_find; }

 private:
  IFileSystem& m_fs;
  HANDLE m_find;
};

}  // namespace plat
