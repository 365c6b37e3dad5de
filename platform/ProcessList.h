// The process list, as the Toolhelp snapshot calls give it.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

#include <tlhelp32.h>

namespace plat {

// What PROCESSENTRY32 tells about one process.
struct ProcessEntry {
  std::uint32_t processId = 0;
  std::string exeFile;  // szExeFile: the executable's file name, no folder
};

class IProcessList {
 public:
  virtual ~IProcessList() = default;
  virtual HANDLE CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
  virtual bool Process32First(HANDLE snapshot, ProcessEntry* entry) = 0;
  virtual bool Process32Next(HANDLE snapshot, ProcessEntry* entry) = 0;
  virtual bool CloseHandle(HANDLE snapshot) = 0;

  virtual std::uint32_t GetCurrentProcessId() = 0;
  // Waits until process `processId` has ended, at most `milliseconds`. True when
  // it has, or there is no such process.
  virtual bool WaitForProcessExit(std::uint32_t processId, std::uint32_t milliseconds) = 0;
  // ShellExecuteExA of `file` with `parameters`; the verb "runas" asks Windows
  // to start it elevated (the user's consent or an administrator's password).
  // False with the last error set (ERROR_CANCELLED: the user declined).
  virtual bool ShellExecuteExA(const char* verb, const char* file, const char* parameters) = 0;
};

// Owns a snapshot; closes it on every way out.
class ScopedSnapshot {
 public:
  ScopedSnapshot(IProcessList& list, HANDLE snapshot) : m_list(list), m_snapshot(snapshot) {}
  ScopedSnapshot(const ScopedSnapshot&) = delete;
  ScopedSnapshot& operator=(const ScopedSnapshot&) = delete;
  ~ScopedSnapshot() {
    if (valid()) m_list.CloseHandle(m_snapshot);
  }
  bool valid() const { return m_snapshot != INVALID_HANDLE_VALUE && m_snapshot != nullptr; }
  HANDLE get() const { return m_snapshot; }

 private:
  IProcessList& m_list;
  HANDLE m_snapshot;
};

}  // namespace plat
