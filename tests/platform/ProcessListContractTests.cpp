// What the program relies on from the process list (it looks for a running
// AutoCAD by executable name), asserted against the model natively and against
// Wine's Toolhelp in the Windows build.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/platform/ProcessListContract.h"

namespace {

constexpr std::uint32_t kSentinelId = 0xdeadbeef;

class ProcessListContract : public ::testing::Test {
 protected:
  void SetUp() override {
    m_under = contract::MakeProcessesUnderTest();
    ASSERT_EQ(m_under->SetupError(), "") << "programs cannot be started; stopping";
  }

  void TearDown() override {
    if (m_under && m_under->OpenHandles() >= 0) {
      EXPECT_EQ(m_under->OpenHandles(), 0) << "a test left a snapshot open";
    }
    m_under.reset();
  }

  plat::IProcessList& list() { return m_under->List(); }

  // Every entry of the snapshot, from Process32First to the end.
  std::vector<plat::ProcessEntry> Walk(plat::HSnapshot snapshot) {
    std::vector<plat::ProcessEntry> entries;
    plat::ProcessEntry entry;
    entry.processId = kSentinelId;
    for (bool more = list().Process32First(snapshot, &entry); more && entries.size() < 100000;
         more = list().Process32Next(snapshot, &entry))
      entries.push_back(entry);
    return entries;
  }

  std::vector<plat::ProcessEntry> Running() {
    plat::ScopedSnapshot snapshot(list(), list().CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0));
    EXPECT_TRUE(snapshot.valid()) << "CreateToolhelp32Snapshot failed";
    return snapshot.valid() ? Walk(snapshot.get()) : std::vector<plat::ProcessEntry>{};
  }

  static std::string NameOf(const std::vector<plat::ProcessEntry>& entries, std::uint32_t processId) {
    for (const plat::ProcessEntry& entry : entries)
      if (entry.processId == processId) return entry.exeFile;
    return "<not running>";
  }

  std::unique_ptr<contract::ProcessesUnderTest> m_under;
};

TEST_F(ProcessListContract, StartedProgramsAppearByName) {
  const std::uint32_t acad = m_under->Start("acad.exe");
  const std::uint32_t lt = m_under->Start("acadlt.exe");
  ASSERT_NE(acad, 0u);
  ASSERT_NE(lt, 0u);

  const std::vector<plat::ProcessEntry> entries = Running();
  // szExeFile: the file name only, in the letter case it was started with
  EXPECT_EQ(NameOf(entries, acad), "acad.exe");
  EXPECT_EQ(NameOf(entries, lt), "acadlt.exe");
  // every entry a name without a folder, every id once. Wine lists a process of
  // its own that is still starting (winedevice, explorer) with an empty name, so
  // only the programs started here must have one (checked above).
  std::set<std::uint32_t> ids;
  for (const plat::ProcessEntry& entry : entries) {
    EXPECT_EQ(entry.exeFile.find('\\'), std::string::npos) << entry.exeFile;
    EXPECT_TRUE(ids.insert(entry.processId).second) << "id " << entry.processId << " twice";
  }
  EXPECT_EQ(ids.count(kSentinelId), 0u) << "an entry kept the sentinel id";

  // ended: gone from a new snapshot
  ASSERT_TRUE(m_under->End(acad));
  ASSERT_TRUE(m_under->End(lt));
  const std::vector<plat::ProcessEntry> after = Running();
  EXPECT_EQ(NameOf(after, acad), "<not running>");
  EXPECT_EQ(NameOf(after, lt), "<not running>");
}

TEST_F(ProcessListContract, SnapshotIsTakenAtCreation) {
  const std::uint32_t acad = m_under->Start("acad.exe");
  ASSERT_NE(acad, 0u);
  plat::ScopedSnapshot snapshot(list(), list().CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0));
  ASSERT_TRUE(snapshot.valid());
  const std::uint32_t later = m_under->Start("acadlt.exe");
  ASSERT_NE(later, 0u);
  ASSERT_TRUE(m_under->End(acad));

  // the snapshot still shows what ran when it was taken, and nothing started since
  const std::vector<plat::ProcessEntry> entries = Walk(snapshot.get());
  EXPECT_EQ(NameOf(entries, acad), "acad.exe");
  EXPECT_EQ(NameOf(entries, later), "<not running>");
  // Process32First starts the walk over
  EXPECT_EQ(Walk(snapshot.get()).size(), entries.size());
  ASSERT_TRUE(m_under->End(later));
}

TEST_F(ProcessListContract, WalkEnds) {
  plat::ScopedSnapshot snapshot(list(), list().CreateToolhelp32Snapshot(plat::kTh32csSnapProcess, 0));
  ASSERT_TRUE(snapshot.valid());
  const std::size_t count = Walk(snapshot.get()).size();
  EXPECT_GT(count, 0u);
  // past the end: false again, the entry left alone
  plat::ProcessEntry entry;
  entry.processId = kSentinelId;
  entry.exeFile = "<sentinel>";
  EXPECT_FALSE(list().Process32Next(snapshot.get(), &entry));
  EXPECT_EQ(entry.processId, kSentinelId);
  EXPECT_EQ(entry.exeFile, "<sentinel>");
}

}  // namespace
