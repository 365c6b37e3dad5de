// The contract suite's fixture for the in-memory process list, and what the
// model does beyond the contract: the fault plan, handle counting, the system
// entries, snapshots without processes.
#include <gtest/gtest.h>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryProcessList.h"
#include "tests/platform/ProcessListContract.h"

namespace contract {
namespace {

class MemoryProcessesUnderTest : public ProcessesUnderTest {
 public:
  plat::IProcessList& List() override { return m_list; }
  std::string SetupError() const override { return {}; }
  std::uint32_t Start(const std::string& exeName) override { return m_list.Start(exeName); }
  bool End(std::uint32_t processId) override { return m_list.End(processId); }
  long OpenHandles() const override { return static_cast<long>(m_list.OpenHandles()); }

 private:
  mem::FaultInjector m_faults;
  mem::MemoryProcessList m_list{m_faults};
};

}  // namespace

std::unique_ptr<ProcessesUnderTest> MakeProcessesUnderTest() { return std::make_unique<MemoryProcessesUnderTest>(); }

}  // namespace contract

namespace {

constexpr std::uint32_t kErrorNoMoreFiles = 18;

class MemoryProcessListTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names(plat::HSnapshot snapshot) {
    std::vector<std::string> names;
    plat::ProcessEntry entry;
    for (bool more = list.Process32First(snapshot, &entry); more; more = list.Process32Next(snapshot, &entry))
      names.push_back(entry.exeFile);
    return names;
  }

  mem::FaultInjector faults;
  mem::MemoryProcessList list{faults};
};

TEST_F(MemoryProcessListTest, SystemEntriesComeFirst) {
  list.SetRunning({"explorer.exe", "ACAD.EXE"});
  plat::ScopedSnapshot snapshot(list, list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0));
  EXPECT_EQ(Names(snapshot.get()),
            (std::vector<std::string>{"[System Process]", "System", "explorer.exe", "ACAD.EXE"}));
  EXPECT_EQ(list.LastError(), kErrorNoMoreFiles) << "the walk ends with ERROR_NO_MORE_FILES";
  const std::vector<plat::ProcessEntry> running = list.Running();
  EXPECT_EQ(running[0].processId, 0u);
  EXPECT_EQ(running[1].processId, 4u);
  EXPECT_EQ(running[2].processId % 4, 0u);
  EXPECT_NE(running[2].processId, running[3].processId);

  // SetRunning replaces the started processes, not the system ones
  list.SetRunning({"acadlt.exe"});
  EXPECT_EQ(list.Running().size(), 3u);
  EXPECT_FALSE(list.End(running[2].processId)) << "explorer.exe no longer runs";
}

TEST_F(MemoryProcessListTest, SnapshotWithoutProcesses) {
  list.Start("acad.exe");
  // TH32CS_SNAPTHREAD only (4): a valid snapshot with no process in it
  plat::ScopedSnapshot snapshot(list, list.CreateToolhelp32Snapshot(0x4, 0));
  ASSERT_TRUE(snapshot.valid());
  plat::ProcessEntry entry;
  EXPECT_FALSE(list.Process32First(snapshot.get(), &entry));
  EXPECT_EQ(list.LastError(), kErrorNoMoreFiles);
}

TEST_F(MemoryProcessListTest, HandlesAndInvalidSnapshots) {
  const plat::HSnapshot first = list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
  const plat::HSnapshot second = list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(list.OpenHandles(), 2u);
  EXPECT_TRUE(list.CloseHandle(first));
  EXPECT_EQ(list.OpenHandles(), 1u);

  // a closed handle: every call fails with ERROR_INVALID_HANDLE
  plat::ProcessEntry entry;
  EXPECT_FALSE(list.Process32First(first, &entry));
  EXPECT_EQ(list.LastError(), static_cast<std::uint32_t>(plat::kErrorInvalidHandle));
  EXPECT_FALSE(list.CloseHandle(first));
  { plat::ScopedSnapshot owner(list, second); }
  EXPECT_EQ(list.OpenHandles(), 0u) << "ScopedSnapshot closes on the way out";
}

TEST_F(MemoryProcessListTest, InjectedFaults) {
  list.Start("acad.exe");
  // CreateToolhelp32Snapshot: INVALID_HANDLE_VALUE, no handle made
  faults.FailOperation("CreateToolhelp32Snapshot");
  EXPECT_EQ(list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0), plat::kInvalidSnapshot);
  EXPECT_EQ(list.LastError(), static_cast<std::uint32_t>(plat::kErrorNotEnoughMemory));
  EXPECT_EQ(list.OpenHandles(), 0u);

  // Process32First and the second Process32Next fail; the entry is left alone
  faults.Clear();
  plat::ScopedSnapshot snapshot(list, list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0));
  plat::ProcessEntry entry;
  entry.exeFile = "<sentinel>";
  faults.FailOperation("Process32First");
  EXPECT_FALSE(list.Process32First(snapshot.get(), &entry));
  EXPECT_EQ(entry.exeFile, "<sentinel>");
  faults.FailOperation("Process32Next", 2);
  EXPECT_TRUE(list.Process32First(snapshot.get(), &entry));
  EXPECT_TRUE(list.Process32Next(snapshot.get(), &entry));
  EXPECT_FALSE(list.Process32Next(snapshot.get(), &entry));
  EXPECT_EQ(entry.exeFile, "System");
  EXPECT_EQ(list.LastError(), static_cast<std::uint32_t>(plat::kErrorAccessDenied));

  // CloseHandle made to fail still closes
  faults.FailOperation("CloseHandle");
  const plat::HSnapshot other = list.CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0);
  EXPECT_FALSE(list.CloseHandle(other));
  EXPECT_EQ(list.OpenHandles(), 1u);
  EXPECT_EQ(faults.Failures(),
            (std::vector<std::string>{"CreateToolhelp32Snapshot", "Process32First", "Process32Next", "CloseHandle"}));
}

}  // namespace
