// Discovery with every registry call failing in turn: it must never crash, never
// leave a key open, and only ever find less than it finds on a sound registry.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "acad/AcadSetup.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"

namespace {

using Lists = std::array<std::vector<std::string>, acad::kReleaseCount>;

void Seed(mem::MemoryMachine& m) {
  using testing_support::AddInstallation;
  AddInstallation(m.registry, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", "C:\\A2008w",
                  "AutoCAD 2008 - 简体中文");
  AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", "C:\\A2008", "AutoCAD 2008");
  AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804", "C:\\A2010", "AutoCAD 2010");
  AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:409", "C:\\A2010e", "AutoCAD 2010");
  AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Deep", "C:\\A2016", "AutoCAD 2016");
  testing_support::CreateKey(m.registry, plat::kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\Empty");
}

struct Outcome {
  Lists folders, keys;
  std::size_t calls = 0;
};

Outcome Discover(std::size_t failAt, bool repeat) {
  mem::MemoryMachine m;
  Seed(m);
  m.faults.ResetCount();
  if (failAt != 0) m.faults.FailCall(failAt, repeat);
  CAcadSetup acad(m.platform);
  acad.DiscoverReleases();
  m.faults.Clear();
  EXPECT_EQ(m.registry.OpenHandles(), 0u) << "failing call " << failAt << (repeat ? " onwards" : "");
  Outcome run;
  run.calls = m.faults.Calls();
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    run.folders[k] = acad.InstallFolders(k);
    run.keys[k] = acad.InstallKeys(k);
  }
  return run;
}

// `part` is `whole` with some entries left out, the rest in the same order.
bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  std::size_t j = 0;
  for (const auto& s : whole)
    if (j < part.size() && part[j] == s) ++j;
  return j == part.size();
}

TEST(DiscoveryFaultTest, EveryFailingRegistryCallOnlyLosesInstallations) {
  const Outcome sound = Discover(0, false);
  ASSERT_GT(sound.calls, 20u);
  ASSERT_EQ(sound.folders[acad::ReleaseIndex(2010)].size(), 2u);
  for (bool repeat : {false, true}) {
    for (std::size_t k = 1; k <= sound.calls; ++k) {
      const Outcome faulty = Discover(k, repeat);
      for (int r = 0; r < acad::kReleaseCount; ++r) {
        ASSERT_EQ(faulty.folders[r].size(), faulty.keys[r].size()) << "call " << k;
        EXPECT_TRUE(IsSubsequence(faulty.keys[r], sound.keys[r])) << "call " << k << " release " << 2007 + r;
        EXPECT_TRUE(IsSubsequence(faulty.folders[r], sound.folders[r])) << "call " << k;
      }
    }
  }
}

}  // namespace
