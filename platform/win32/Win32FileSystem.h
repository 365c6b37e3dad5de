// The file-system operations as thin calls of the ANSI Win32 functions and the
// runtime's _mkdir and _access. No behaviour of its own: what the machine's
// volumes do is what the program sees.
#pragma once

#include "platform/FileSystem.h"

namespace w32 {

class Win32FileSystem : public plat::IFileSystem {
 public:
  std::uint32_t GetModuleFileNameA(char* buffer, std::uint32_t size) override;
  std::uint32_t GetModuleFileNameW(char16_t* buffer, std::uint32_t size) override;
  HANDLE FindFirstFileA(const char* pattern, plat::FindData* data) override;
  bool FindNextFileA(HANDLE find, plat::FindData* data) override;
  bool FindClose(HANDLE find) override;
  bool CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
  std::uint32_t GetFileAttributesA(const char* path) override;
  bool SetFileAttributesA(const char* path, std::uint32_t attributes) override;
  bool DeleteFileA(const char* path) override;
  bool CreateDirectoryA(const char* path) override;
  bool RemoveDirectoryA(const char* path) override;
  bool MoveFileExA(const char* existingFile, const char* newFile, std::uint32_t flags) override;
  bool GetFileAttributesExA(const char* path, plat::FileInfo* info) override;
  bool CreateTemporaryFileA(const char* path) override;
  bool ReadFileA(const char* path, std::string* bytes) override;
  bool WriteFileA(const char* path, const std::string& bytes) override;
  std::string GetTempPathA() override;
  std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) override;
  std::uint32_t GetLastError() override;
  int Mkdir(const char* path) override;
  int Access(const char* path, int mode) override;
};

}  // namespace w32
