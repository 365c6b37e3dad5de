// The process list of the in-memory machine, as the Toolhelp calls show it.
//
// Like Windows, the list always starts with "[System Process]" (id 0) and
// "System" (id 4); the processes a test starts follow in the order started, with
// ids that are multiples of 4. A snapshot is a copy of the list taken by
// CreateToolhelp32Snapshot: starting or ending a process afterwards does not
// change it. A snapshot taken without TH32CS_SNAPPROCESS holds no processes
// (Process32First fails with ERROR_NO_MORE_FILES). At the end of a snapshot, and
// for a handle that is no snapshot, the calls fail (ERROR_NO_MORE_FILES,
// ERROR_INVALID_HANDLE) and leave the entry alone.
//
// Every call first asks the FaultInjector ("CreateToolhelp32Snapshot",
// "Process32First", "Process32Next", "CloseHandle"). A snapshot made to fail is
// kInvalidSnapshot with ERROR_NOT_ENOUGH_MEMORY; a walk made to fail reports
// ERROR_ACCESS_DENIED and leaves the entry alone; CloseHandle made to fail still
// closes the handle (see MemoryRegistry's RegCloseKey) and reports
// ERROR_INVALID_HANDLE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/ProcessList.h"
#include "platform/memory/FaultInjector.h"

namespace mem {

class MemoryProcessList : public plat::IProcessList {
 public:
  explicit MemoryProcessList(FaultInjector& faults);
  MemoryProcessList(const MemoryProcessList&) = delete;
  MemoryProcessList& operator=(const MemoryProcessList&) = delete;

  plat::HSnapshot CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Process32First(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool Process32Next(plat::HSnapshot snapshot, plat::ProcessEntry* entry) override;
  bool CloseHandle(plat::HSnapshot snapshot) override;

  // Snapshot handles open now.
  std::size_t OpenHandles() const;
  // What GetLastError would give after the last failed call.
  std::uint32_t LastError() const { return m_lastError; }

  // --- Test side -----------------------------------------------------------
  // Starts a process of that executable name ("acad.exe"); returns its id.
  std::uint32_t Start(const std::string& exeFile);
  // False when no such process runs.
  bool End(std::uint32_t processId);
  // Ends every started process and starts these, in this order.
  void SetRunning(const std::vector<std::string>& exeFiles);
  // The list as a snapshot would show it now, system entries included.
  std::vector<plat::ProcessEntry> Running() const;

 private:
  struct Snapshot {
    std::vector<plat::ProcessEntry> entries;
    std::size_t next = 0;
  };

  bool Walk(plat::HSnapshot snapshot, bool first, plat::ProcessEntry* entry);

  FaultInjector& m_faults;
  std::vector<plat::ProcessEntry> m_started;
  std::map<plat::HSnapshot, Snapshot> m_snapshots;
  std::uint32_t m_nextProcessId = 1000;
  plat::HSnapshot m_nextHandle = 0x3000;
  std::uint32_t m_lastError = 0;
};

}  // namespace mem
