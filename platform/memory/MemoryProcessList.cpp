#include "platform/memory/MemoryProcessList.h"

#include <algorithm>

namespace mem {
namespace {

constexpr std::uint32_t kErrorNoMoreFiles = 18;

}  // namespace

MemoryProcessList::MemoryProcessList(FaultInjector& faults) : m_faults(faults) {}

plat::HSnapshot MemoryProcessList::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t /*processId*/) {
  if (m_faults.ShouldFail("CreateToolhelp32Snapshot")) {
    m_lastError = plat::kErrorNotEnoughMemory;
    return plat::kInvalidSnapshot;
  }
  Snapshot snapshot;
  if (flags & plat::kTh32csSnapProcess) snapshot.entries = Running();
  const plat::HSnapshot handle = m_nextHandle;
  m_nextHandle += 4;
  m_snapshots[handle] = std::move(snapshot);
  return handle;
}

bool MemoryProcessList::Walk(plat::HSnapshot handle, bool first, plat::ProcessEntry* entry) {
  const auto it = m_snapshots.find(handle);
  if (it == m_snapshots.end() || !entry) {
    m_lastError = it == m_snapshots.end() ? plat::kErrorInvalidHandle : plat::kErrorInvalidParameter;
    return false;
  }
  Snapshot& snapshot = it->second;
  if (first) snapshot.next = 0;
  if (snapshot.next >= snapshot.entries.size()) {
    m_lastError = kErrorNoMoreFiles;
    return false;
  }
  *entry = snapshot.entries[snapshot.next++];
  return true;
}

bool MemoryProcessList::Process32First(plat::HSnapshot snapshot, plat::ProcessEntry* entry) {
  if (m_faults.ShouldFail("Process32First")) {
    m_lastError = plat::kErrorAccessDenied;
    return false;
  }
  return Walk(snapshot, true, entry);
}

bool MemoryProcessList::Process32Next(plat::HSnapshot snapshot, plat::ProcessEntry* entry) {
  if (m_faults.ShouldFail("Process32Next")) {
    m_lastError = plat::kErrorAccessDenied;
    return false;
  }
  return Walk(snapshot, false, entry);
}

bool MemoryProcessList::CloseHandle(plat::HSnapshot snapshot) {
  const bool fail = m_faults.ShouldFail("CloseHandle");
  if (m_snapshots.erase(snapshot) == 0 || fail) {
    m_lastError = plat::kErrorInvalidHandle;
    return false;
  }
  return true;
}

std::size_t MemoryProcessList::OpenHandles() const { return m_snapshots.size(); }

std::uint32_t MemoryProcessList::Start(const std::string& exeFile) {
  plat::ProcessEntry entry;
  entry.processId = m_nextProcessId;
  entry.exeFile = exeFile;
  m_nextProcessId += 4;
  m_started.push_back(entry);
  return entry.processId;
}

bool MemoryProcessList::End(std::uint32_t processId) {
  const auto it = std::find_if(m_started.begin(), m_started.end(),
                               [&](const plat::ProcessEntry& e) { return e.processId == processId; });
  if (it == m_started.end()) return false;
  m_started.erase(it);
  return true;
}

void MemoryProcessList::SetRunning(const std::vector<std::string>& exeFiles) {
  m_started.clear();
  for (const std::string& name : exeFiles) Start(name);
}

std::vector<plat::ProcessEntry> MemoryProcessList::Running() const {
  std::vector<plat::ProcessEntry> entries;
  plat::ProcessEntry idle;
  idle.exeFile = "[System Process]";
  entries.push_back(idle);
  plat::ProcessEntry system;
  system.processId = 4;
  system.exeFile = "System";
  entries.push_back(system);
  entries.insert(entries.end(), m_started.begin(), m_started.end());
  return entries;
}

}  // namespace mem
