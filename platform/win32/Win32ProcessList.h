// The process list as thin calls of the Toolhelp functions (ANSI entries).
#pragma once

#include "platform/ProcessList.h"

namespace w32 {

class Win32ProcessList : public plat::IProcessList {
 public:
  plat::HSnapshot CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Process32First(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool Process32Next(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool CloseHandle(plat::HSnapshot snapshot) override;
};

}  // namespace w32
