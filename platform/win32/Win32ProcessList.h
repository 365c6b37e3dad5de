// The process list as thin calls of the Toolhelp functions (ANSI entries), and
// starting and awaiting processes.
#pragma once

#include "platform/ProcessList.h"

namespace w32 {

class Win32ProcessList : public plat::IProcessList {
 public:
  HANDLE CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Process32First(HANDLE snapshot, plat::ProcessEntry* entry) override;
  bool Process32Next(HANDLE snapshot, plat::ProcessEntry* entry) override;
  bool CloseHandle(HANDLE snapshot) override;
  std::uint32_t GetCurrentProcessId() override;
  bool WaitForProcessExit(std::uint32_t processId, std::uint32_t milliseconds) override;
  bool ShellExecuteExA(const char* verb, const char* file, const char* parameters) override;
};

}  // namespace w32
