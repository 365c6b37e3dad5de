// Passes every call on to a file system and writes down the calls that create or
// probe folders, so a test can see which levels were made and in which order.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

class RecordingFileSystem : public plat::IFileSystem {
 public:
  explicit RecordingFileSystem(plat::IFileSystem& inner) : m_inner(inner) {}

  // "mkdir <path>" for CreateDirectoryA and _mkdir, "access <path>" for _access.
  const std::vector<std::string>& Calls() const { return m_calls; }
  std::vector<std::string> Created() const {
    std::vector<std::string> created;
    for (const std::string& call : m_calls)
      if (call.rfind("mkdir ", 0) == 0) created.push_back(call.substr(6));
    return created;
  }
  void Clear() { m_calls.clear(); }

  std::uint32_t GetModuleFileNameA(char* buffer, std::uint32_t size) override {
    return m_inner.GetModuleFileNameA(buffer, size);
  }
  plat::HFind FindFirstFileA(const char* pattern, plat::FindData* data) override {
    return m_inner.FindFirstFileA(pattern, data);
  }
  bool FindNextFileA(plat::HFind find, plat::FindData* data) override { return m_inner.FindNextFileA(find, data); }
  bool FindClose(plat::HFind find) override { return m_inner.FindClose(find); }
  bool CopyFileA(const char* from, const char* to, bool failIfExists) override {
    return m_inner.CopyFileA(from, to, failIfExists);
  }
  std::uint32_t GetFileAttributesA(const char* path) override { return m_inner.GetFileAttributesA(path); }
  bool SetFileAttributesA(const char* path, std::uint32_t attributes) override {
    return m_inner.SetFileAttributesA(path, attributes);
  }
  bool DeleteFileA(const char* path) override { return m_inner.DeleteFileA(path); }
  bool CreateDirectoryA(const char* path) override {
    m_calls.push_back(std::string("mkdir ") + path);
    return m_inner.CreateDirectoryA(path);
  }
  std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) override {
    return m_inner.GetCurrentDirectoryA(size, buffer);
  }
  std::uint32_t GetLastError() override { return m_inner.GetLastError(); }
  int Mkdir(const char* path) override {
    m_calls.push_back(std::string("mkdir ") + path);
    return m_inner.Mkdir(path);
  }
  int Access(const char* path, int mode) override {
    m_calls.push_back(std::string("access ") + path);
    return m_inner.Access(path, mode);
  }

 private:
  plat::IFileSystem& m_inner;
  std::vector<std::string> m_calls;
};
