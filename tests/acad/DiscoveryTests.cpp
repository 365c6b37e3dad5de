// Discovery of AutoCAD installations over the in-memory registry.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"

using testing_support::AddInstallation;
using testing_support::SetStringValue;

namespace {

constexpr const char* kMain = "SOFTWARE\\Autodesk\\AutoCAD\\";
constexpr const char* kWow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";

int K(int year) { return acad::ReleaseIndex(year); }

class DiscoveryTest : public ::testing::Test {
 protected:
  void Discover() { acad.DiscoverReleases(); }
  std::size_t TotalInstallations() const {
    std::size_t n = 0;
    for (int k = 0; k < acad::kReleaseCount; ++k) n += acad.InstallFolders(k).size();
    return n;
  }

  mem::MemoryMachine m;
  CAcadSetup acad{m.platform};
};

TEST_F(DiscoveryTest, NoAutoCadKeyInEitherBranchFindsNothing) {
  SetStringValue(m.registry, plat::kHKeyLocalMachine, "SOFTWARE\\Other", "AcadLocation", "C:\\X");
  Discover();
  EXPECT_EQ(TotalInstallations(), 0u);
  for (int k = 0; k < acad::kReleaseCount; ++k) EXPECT_TRUE(acad.InstallKeys(k).empty());
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

TEST_F(DiscoveryTest, TwoProductsOfOneReleaseKeepEnumerationOrder) {
  // Created P2 first: the registry enumerates by name, so P1 still comes first.
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\P2", "F2", "AutoCAD 2010 English");
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\P1", "F1", "AutoCAD 2010 Chinese");
  Discover();
  const std::vector<std::string> keys = {std::string(kMain) + "R18.0\\P1\\", std::string(kMain) + "R18.0\\P2\\"};
  EXPECT_EQ(acad.InstallKeys(K(2010)), keys);
  EXPECT_EQ(acad.InstallFolders(K(2010)), (std::vector<std::string>{"F1", "F2"}));
  EXPECT_EQ(TotalInstallations(), 2u);
}

TEST_F(DiscoveryTest, Wow6432NodeServesOnly2007And2008AndComesFirst) {
  AddInstallation(m.registry, std::string(kWow) + "R19.0\\ACAD-B001", "C:\\Wow2013", "AutoCAD 2013");
  AddInstallation(m.registry, std::string(kWow) + "R17.1\\ACAD-6001", "C:\\Wow2008", "AutoCAD 2008");
  AddInstallation(m.registry, std::string(kMain) + "R17.1\\ACAD-6001", "C:\\Main2008", "AutoCAD 2008");
  Discover();
  EXPECT_TRUE(acad.InstallFolders(K(2013)).empty()) << "2013 below Wow6432Node is not taken";
  EXPECT_EQ(acad.InstallFolders(K(2008)), (std::vector<std::string>{"C:\\Wow2008", "C:\\Main2008"}));
  EXPECT_EQ(acad.InstallKeys(K(2008)), (std::vector<std::string>{std::string(kWow) + "R17.1\\ACAD-6001\\",
                                                                 std::string(kMain) + "R17.1\\ACAD-6001\\"}));
}

TEST_F(DiscoveryTest, YearClassification) {
  // The year at offset 0 does not count, even where it appears again.
  EXPECT_EQ(ClassifyProductName("2012 AutoCAD 2012", 2026), 0);
  EXPECT_EQ(ClassifyProductName("2012 AutoCAD 2013", 2026), 2013);
  // The lowest listed year wins, not the first in the text.
  EXPECT_EQ(ClassifyProductName("AutoCAD 2011 / 2010", 2026), 2010);
  // Chinese text before the year: the digits are single bytes at their offset.
  EXPECT_EQ(ClassifyProductName("欧特克 AutoCAD 2014 简体中文版", 2026), 2014);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2013", acad::kLastWow6432Release), 0);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2027", 2026), 0);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2006", 2026), 0);
  EXPECT_EQ(ClassifyProductName("X2026", 2026), 2026);
  EXPECT_EQ(ClassifyProductName("", 2026), 0);
}

TEST_F(DiscoveryTest, ProductNameStartingWithTheYearIsIgnored) {
  AddInstallation(m.registry, std::string(kMain) + "R18.2\\P", "C:\\A", "2012 Product");
  Discover();
  EXPECT_EQ(TotalInstallations(), 0u);
}

TEST_F(DiscoveryTest, LocationWithoutProductNameYieldsNoInstallationAndHidesItsSubtree) {
  const std::string release = std::string(kMain) + "R20.0\\";
  SetStringValue(m.registry, plat::kHKeyLocalMachine, release + "P", "AcadLocation", "C:\\Outer");
  AddInstallation(m.registry, release + "P\\Inner", "C:\\Inner", "AutoCAD 2015");
  Discover();
  EXPECT_EQ(TotalInstallations(), 0u);
}

TEST_F(DiscoveryTest, ReleaseKeyItselfAsInstallationKey) {
  AddInstallation(m.registry, std::string(kMain) + "R21.0", "C:\\Acad2017", "AutoCAD 2017");
  Discover();
  EXPECT_EQ(acad.InstallKeys(K(2017)), (std::vector<std::string>{std::string(kMain) + "R21.0\\"}));
}

TEST_F(DiscoveryTest, DeepInstallationKeyRecordsTheWayDown) {
  AddInstallation(m.registry, std::string(kMain) + "R23.0\\A\\B\\C", "C:\\Deep", "AutoCAD 2019");
  Discover();
  EXPECT_EQ(acad.InstallKeys(K(2019)), (std::vector<std::string>{std::string(kMain) + "R23.0\\A\\B\\C\\"}));
  EXPECT_EQ(acad.InstallFolders(K(2019)), (std::vector<std::string>{"C:\\Deep"}));
}

TEST_F(DiscoveryTest, TooLongLocationCountsAsAbsentAndNothingBelowJoins) {
  const std::string release = std::string(kMain) + "R18.0\\";
  AddInstallation(m.registry, release + "P", std::string(300, 'x'), "AutoCAD 2010");
  AddInstallation(m.registry, release + "P\\Child", "C:\\Child", "AutoCAD 2010");
  Discover();
  EXPECT_EQ(TotalInstallations(), 0u);
}

TEST_F(DiscoveryTest, ValueOfExactly256BytesFitsTheBuffer) {
  const std::string folder(255, 'f');  // 256 bytes with its terminator
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\P", folder, "AutoCAD 2010");
  Discover();
  EXPECT_EQ(acad.InstallFolders(K(2010)), (std::vector<std::string>{folder}));
}

TEST_F(DiscoveryTest, LocationKeptExactlyAsStored) {
  const std::string release = std::string(kMain) + "R18.0\\";
  AddInstallation(m.registry, release + "A", "C:\\Program Files\\AutoCAD 2010\\", "AutoCAD 2010");
  SetStringValue(m.registry, plat::kHKeyLocalMachine, release + "B", "AcadLocation", "%ProgramFiles%\\AutoCAD",
                 plat::kRegExpandSz);
  SetStringValue(m.registry, plat::kHKeyLocalMachine, release + "B", "ProductName", "AutoCAD 2010");
  AddInstallation(m.registry, release + "C", "", "AutoCAD 2010");
  Discover();
  EXPECT_EQ(acad.InstallFolders(K(2010)),
            (std::vector<std::string>{"C:\\Program Files\\AutoCAD 2010\\", "%ProgramFiles%\\AutoCAD", ""}));
}

TEST_F(DiscoveryTest, SubKeyNameOf255CharactersIsSearched) {
  const std::string longName(255, 'n');
  AddInstallation(m.registry, std::string(kMain) + "R19.1\\" + longName, "C:\\Long", "AutoCAD 2014");
  Discover();
  EXPECT_EQ(acad.InstallKeys(K(2014)), (std::vector<std::string>{std::string(kMain) + "R19.1\\" + longName + "\\"}));
}

TEST_F(DiscoveryTest, ChineseNamesRoundTrip) {
  AddInstallation(m.registry, std::string(kMain) + "R24.0\\欧特克", "D:\\软件\\AutoCAD",
                  "欧特克 AutoCAD 2021 简体中文版");
  Discover();
  EXPECT_EQ(acad.InstallFolders(K(2021)), (std::vector<std::string>{"D:\\软件\\AutoCAD"}));
  EXPECT_EQ(acad.InstallKeys(K(2021)), (std::vector<std::string>{std::string(kMain) + "R24.0\\欧特克\\"}));
}

TEST_F(DiscoveryTest, FoldersAndKeysStayIndexParallelAcrossReleases) {
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\A", "F2010", "AutoCAD 2010");
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\B", "F2011", "AutoCAD 2011");
  AddInstallation(m.registry, std::string(kMain) + "R18.0\\C", "F2010b", "AutoCAD 2010 b");
  Discover();
  EXPECT_EQ(acad.InstallFolders(K(2010)), (std::vector<std::string>{"F2010", "F2010b"}));
  EXPECT_EQ(acad.InstallKeys(K(2010)).size(), 2u);
  EXPECT_EQ(acad.InstallKeys(K(2011)), (std::vector<std::string>{std::string(kMain) + "R18.0\\B\\"}));
}

TEST(ListSubKeysTest, AppendsReadableNamesInOrderAfterExistingOnes) {
  mem::MemoryMachine m;
  testing_support::CreateKey(m.registry, plat::kHKeyCurrentUser, "Root\\b");
  testing_support::CreateKey(m.registry, plat::kHKeyCurrentUser, "Root\\A");
  testing_support::CreateKey(m.registry, plat::kHKeyCurrentUser, "Root\\c");
  plat::HKey root = 0;
  ASSERT_EQ(m.registry.RegOpenKeyExA(plat::kHKeyCurrentUser, "Root", 0, plat::kKeyRead, &root), 0);
  std::vector<std::string> names = {"kept"};
  m.faults.FailOperation("RegOpenKeyExA", 2);  // the subkey "b" does not open
  ListSubKeys(m.registry, root, names);
  m.faults.Clear();
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "A", "c"}));
  m.registry.RegCloseKey(root);
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

TEST(ListSubKeysTest, UnreadableNameComesOutEmpty) {
  mem::MemoryMachine m;
  testing_support::CreateKey(m.registry, plat::kHKeyCurrentUser, "Root\\x");
  plat::HKey root = 0;
  ASSERT_EQ(m.registry.RegOpenKeyExA(plat::kHKeyCurrentUser, "Root", 0, plat::kKeyRead, &root), 0);
  std::vector<std::string> names;
  m.faults.FailOperation("RegEnumKeyExA", 1);
  ListSubKeys(m.registry, root, names);
  m.faults.Clear();
  EXPECT_EQ(names, (std::vector<std::string>{""})) << "the empty name opens the key itself";
  m.registry.RegCloseKey(root);
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

}  // namespace
