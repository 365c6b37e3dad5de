// Loader keys and trusted paths written over the in-memory registry.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadSetup.h"
#include "acad/TrustedPaths.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/Releases.h"

namespace {

constexpr const char* kHklm = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kProfiles = "HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\";
constexpr const char* k2016Key = "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804";

using testing_support::Ticked;

std::string Dword(std::uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

class RegistrationTest : public ::testing::Test {
 protected:
  void AddInstallation(const std::string& key, const std::string& folder, int year) {
    m.registry.SetString(kHklm + key, "AcadLocation", folder);
    m.registry.SetString(kHklm + key, "ProductName", "AutoCAD " + std::to_string(year));
  }
  void Discover(int bits = 32) {
    acad = std::make_unique<CAcadSetup>(m.platform, bits);
    acad->DiscoverReleases();
    acad->SetTargetPath("D:\\Tools\\Vellmark");
  }
  std::optional<std::string> Loader(const std::string& key, const std::string& app) {
    return m.registry.GetString(kHklm + key + "\\Applications\\" + app, "LOADER");
  }

  mem::MemoryMachine m;
  std::unique_ptr<CAcadSetup> acad;
};

TEST_F(RegistrationTest, Release2016WritesBothKeysWithTheirExactValues) {
  AddInstallation(k2016Key, "C:\\Program Files\\Autodesk\\AutoCAD 2016", 2016);
  Discover();
  EXPECT_TRUE(acad->RegisterReleases(Ticked({2016})).empty());
  const std::string module = std::string(kHklm) + k2016Key + "\\Applications\\Kavtor2016";
  EXPECT_EQ(m.registry.ValueNames(module), (std::vector<std::string>{"LOADCTRLS", "LOADER"}));
  EXPECT_EQ(m.registry.GetValue(module, "LOADCTRLS"), (mem::MemoryRegistry::Value{plat::kRegDword, Dword(2)}));
  EXPECT_EQ(m.registry.GetValue(module, "LOADER"),
            (mem::MemoryRegistry::Value{plat::kRegSz, std::string("D:\\Tools\\Vellmark\\Kavtor2015.ARX") + '\0'}));
  const std::string assembly = module + "DLL";
  EXPECT_EQ(m.registry.ValueNames(assembly), (std::vector<std::string>{"LOADCTRLS", "LOADER", "MANAGED"}));
  EXPECT_EQ(m.registry.GetString(assembly, "LOADER"), "C:\\Program Files\\Autodesk\\AutoCAD 2016\\ACAD2013.dll");
  EXPECT_EQ(m.registry.GetValue(assembly, "MANAGED"), (mem::MemoryRegistry::Value{plat::kRegDword, Dword(1)}));
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

TEST_F(RegistrationTest, Release2007UsesModule2008AndAssembly2007) {
  AddInstallation("SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P", "C:\\A2007", 2007);
  Discover();
  acad->RegisterReleases(Ticked({2007}));
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P", "Kavtor2007"), "D:\\Tools\\Vellmark\\Kavtor2008.ARX");
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P", "Kavtor2007DLL"), "C:\\A2007\\ACAD2007.dll");
}

TEST_F(RegistrationTest, TwoInstallationsEachPointIntoTheirOwnFolder) {
  AddInstallation("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A", "C:\\Chs", 2010);
  AddInstallation("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "C:\\Enu\\", 2010);
  Discover();
  acad->RegisterReleases(Ticked({2010}));
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A", "Kavtor2010DLL"), "C:\\Chs\\ACAD2010.dll");
  // A folder stored with its backslash gives two of them: written as it comes.
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "Kavtor2010DLL"), "C:\\Enu\\\\ACAD2010.dll");
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "Kavtor2010"), "D:\\Tools\\Vellmark\\Kavtor2010.ARX");
}

TEST_F(RegistrationTest, UntickedOrUnfoundReleasesGetNothingButTrustedPathsStillUpdate) {
  AddInstallation(k2016Key, "C:\\A2016", 2016);
  m.registry.SetString(std::string(kProfiles) + "R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables",
                       "TRUSTEDPATHS", "C:\\Lib");
  Discover();
  const std::string before = m.registry.Export();
  EXPECT_TRUE(acad->RegisterReleases(Ticked({2010})).empty());
  EXPECT_FALSE(m.registry.KeyExists(std::string(kHklm) + k2016Key + "\\Applications"));
  EXPECT_EQ(
      m.registry.GetString(std::string(kProfiles) + "R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables",
                           "TRUSTEDPATHS"),
      "C:\\LIB;D:\\TOOLS\\VELLMARK");
  acad->RegisterReleases(Ticked({}));
  EXPECT_FALSE(m.registry.KeyExists(std::string(kHklm) + k2016Key + "\\Applications"));
  EXPECT_NE(before, m.registry.Export());
}

TEST_F(RegistrationTest, Release2009GetsThe2008KeyOnlyInThe64BitEdition) {
  const std::string key = "SOFTWARE\\Autodesk\\AutoCAD\\R17.2\\P";
  AddInstallation(key, "C:\\A2009", 2009);
  Discover(32);
  acad->RegisterReleases(Ticked({2009}));
  EXPECT_FALSE(m.registry.KeyExists(std::string(kHklm) + key + "\\Applications\\Kavtor2008"));
  EXPECT_EQ(Loader(key, "Kavtor2009"), "D:\\Tools\\Vellmark\\Kavtor2009.ARX");
  EXPECT_EQ(Loader(key, "Kavtor2009DLL"), "C:\\A2009\\ACAD2009.dll");
  Discover(64);
  acad->RegisterReleases(Ticked({2009}));
  EXPECT_EQ(Loader(key, "Kavtor2008"), "D:\\Tools\\Vellmark\\Kavtor2008.ARX");
  EXPECT_EQ(m.registry.ValueNames(std::string(kHklm) + key + "\\Applications\\Kavtor2008"),
            (std::vector<std::string>{"LOADCTRLS", "LOADER"}));
}

TEST_F(RegistrationTest, EarlierKeysAreReplacedUnlessTheyHaveSubkeys) {
  const std::string key = "SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\P";
  AddInstallation(key, "C:\\A2021", 2021);
  const std::string module = std::string(kHklm) + key + "\\Applications\\Kavtor2021";
  m.registry.SetString(module, "OldValue", "x");
  m.registry.SetString(module + "DLL\\Child", "Keep", "y");
  m.registry.SetString(module + "DLL", "OldValue", "z");
  Discover(64);
  acad->RegisterReleases(Ticked({2021}));
  EXPECT_EQ(m.registry.ValueNames(module), (std::vector<std::string>{"LOADCTRLS", "LOADER"}));
  // A key with subkeys does not delete: it is overwritten, its other values stay.
  EXPECT_EQ(m.registry.GetString(module + "DLL", "OldValue"), "z");
  EXPECT_EQ(m.registry.GetString(module + "DLL", "LOADER"), "C:\\A2021\\ACAD2013.dll");
}

TEST_F(RegistrationTest, LongLoaderTextsAreWrittenWhole) {
  const std::string folder = "C:\\" + std::string(280, 'f');
  AddInstallation(k2016Key, folder.substr(0, 250), 2016);
  Discover();
  acad->SetTargetPath(folder);
  EXPECT_TRUE(acad->RegisterReleases(Ticked({2016})).empty());
  EXPECT_EQ(Loader(k2016Key, "Kavtor2016"), folder + "\\Kavtor2015.ARX");
  EXPECT_EQ(Loader(k2016Key, "Kavtor2016DLL"), folder.substr(0, 250) + "\\ACAD2013.dll");
}

TEST_F(RegistrationTest, FailuresAreReportedAndTheRestStillRuns) {
  AddInstallation("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A", "C:\\A", 2010);
  AddInstallation("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "C:\\B", 2010);
  AddInstallation(k2016Key, "C:\\A2016", 2016);
  Discover();
  m.registry.DeleteTree(std::string(kHklm) + "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A");  // gone since discovery
  m.registry.DenyAccess(std::string(kHklm) + k2016Key, false, true);                    // no right to write
  const FailureReport report = acad->RegisterReleases(Ticked({2010, 2016}));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0].kind, Failure::kKeyNotOpened);
  EXPECT_EQ(report[0].item, std::string(kHklm) + "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A\\");
  EXPECT_EQ(report[1].kind, Failure::kKeyNotCreated);
  EXPECT_EQ(report[1].item, std::string(kHklm) + k2016Key + "\\Applications\\Kavtor2016");
  EXPECT_EQ(report[1].error, static_cast<std::uint32_t>(plat::kErrorAccessDenied));
  EXPECT_EQ(report[2].item, std::string(kHklm) + k2016Key + "\\Applications\\Kavtor2016DLL");
  EXPECT_EQ(Loader("SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "Kavtor2010"), "D:\\Tools\\Vellmark\\Kavtor2010.ARX");
  EXPECT_NE(DescribeFailure(report[1]).find("Kavtor2016"), std::string::npos);
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

// ---- trusted paths over the profiles of the current user ----

class TrustedPathsUpdateTest : public RegistrationTest {
 protected:
  std::string Variables(const std::string& release, const std::string& product, const std::string& profile) {
    return std::string(kProfiles) + release + "\\" + product + "\\Profiles\\" + profile + "\\Variables";
  }
  std::optional<std::string> Trusted(const std::string& variables) {
    return m.registry.GetString(variables, "TRUSTEDPATHS");
  }
};

TEST_F(TrustedPathsUpdateTest, EveryProfileOfEveryReleaseAndProduct) {
  const auto a = Variables("R18.0", "ACAD-8001:804", "<<Unnamed Profile>>");
  const auto b = Variables("R18.0", "ACAD-8001:804", "结构");
  const auto c = Variables("R24.0", "ACAD-4101:409", "Default");
  m.registry.SetString(a, "TRUSTEDPATHS", "C:\\Lib;D:\\Blocks");
  m.registry.SetString(b, "TRUSTEDPATHS", "c:\\x", plat::kRegExpandSz);
  m.registry.CreateKey(c.substr(0, c.size() - 10));  // a profile without "Variables"
  m.registry.CreateKey(std::string(kProfiles) + "R19.0\\NoProfiles");
  Discover();
  EXPECT_TRUE(acad->UpdateTrustedPaths().empty());
  EXPECT_EQ(Trusted(a), "C:\\LIB;D:\\BLOCKS;D:\\TOOLS\\VELLMARK");
  EXPECT_EQ(m.registry.GetValue(b, "TRUSTEDPATHS"),
            (mem::MemoryRegistry::Value{plat::kRegSz, std::string("C:\\X;D:\\TOOLS\\VELLMARK") + '\0'}))
      << "an expandable string comes back as REG_SZ";
  EXPECT_EQ(Trusted(c), "D:\\Tools\\Vellmark");
  EXPECT_FALSE(m.registry.KeyExists(std::string(kProfiles) + "R19.0\\NoProfiles\\Profiles"));
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
}

TEST_F(TrustedPathsUpdateTest, NoAutoCadKeyWritesNothing) {
  m.registry.SetString("HKEY_CURRENT_USER\\SOFTWARE\\Other", "TRUSTEDPATHS", "C:\\X");
  const std::string before = m.registry.Export();
  Discover();
  EXPECT_TRUE(acad->UpdateTrustedPaths().empty());
  EXPECT_EQ(m.registry.Export(), before);
}

TEST_F(TrustedPathsUpdateTest, AValueThatIsNoStringOrCannotBeReadIsLeftAlone) {
  const auto binary = Variables("R18.0", "P", "A");
  const auto denied = Variables("R18.0", "P", "B");
  m.registry.SetValue(binary, "TRUSTEDPATHS", plat::kRegBinary, std::string("\x01\x02\x03", 3));
  m.registry.SetString(denied, "TRUSTEDPATHS", "C:\\Mine");
  m.registry.DenyAccess(denied, true, false);
  Discover();
  const FailureReport report = acad->UpdateTrustedPaths();
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report[0].kind, Failure::kValueNotRead);
  // Opened with what the key allows (writing), the read is then refused.
  EXPECT_EQ(report[1].kind, Failure::kValueNotRead);
  EXPECT_EQ(report[1].error, static_cast<std::uint32_t>(plat::kErrorAccessDenied));
  EXPECT_EQ(m.registry.GetValue(binary, "TRUSTEDPATHS")->data, std::string("\x01\x02\x03", 3));
  EXPECT_EQ(Trusted(denied), "C:\\Mine");
}

TEST_F(TrustedPathsUpdateTest, AProfileListThatCannotBeReadIsReported) {
  const auto a = Variables("R18.0", "P", "A");
  m.registry.SetString(a, "TRUSTEDPATHS", "C:\\Lib");
  Discover();
  // Listing order: the releases, the products of R18.0, then its profiles.
  m.faults.FailOperation("RegEnumKeyExA", 3);
  const FailureReport report = acad->UpdateTrustedPaths();
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].kind, Failure::kKeyNotListed);
  EXPECT_EQ(report[0].item, std::string(kProfiles) + "R18.0\\P\\Profiles");
  EXPECT_EQ(DescribeFailure(report[0]).rfind("无法列出注册表项的子项 ", 0), 0u);
  EXPECT_EQ(Trusted(a), "C:\\Lib");
}

TEST_F(TrustedPathsUpdateTest, AMebibyteValueIsReadAndWrittenWhole) {
  const auto v = Variables("R18.0", "P", "A");
  std::string value;
  while (value.size() < (1u << 20)) value += "C:\\FOLDER" + std::to_string(value.size()) + ";";
  value += "C:\\LAST";
  m.registry.SetString(v, "TRUSTEDPATHS", value);
  Discover();
  EXPECT_TRUE(acad->UpdateTrustedPaths().empty());
  EXPECT_EQ(Trusted(v), value + ";D:\\TOOLS\\VELLMARK");
}

TEST_F(TrustedPathsUpdateTest, AFailingCallNeverLosesATrustedFolderAndIsReported) {
  const auto a = Variables("R18.0", "P", "A");
  const auto b = Variables("R20.1", "Q", "B");
  auto seed = [&] {
    m.registry.SetString(a, "TRUSTEDPATHS", "C:\\Lib;d:\\blocks");
    m.registry.SetString(b, "TRUSTEDPATHS", "E:\\Std\\...");
  };
  seed();
  Discover();
  m.faults.ResetCount();
  acad->UpdateTrustedPaths();
  const std::size_t calls = m.faults.Calls();
  ASSERT_GT(calls, 10u);
  for (bool repeat : {false, true}) {
    for (std::size_t k = 1; k <= calls; ++k) {
      m.registry.DeleteTree("HKEY_CURRENT_USER\\SOFTWARE");
      seed();
      m.faults.ResetCount();
      m.faults.FailCall(k, repeat);
      const FailureReport report = acad->UpdateTrustedPaths();
      m.faults.Clear();
      EXPECT_EQ(m.registry.OpenHandles(), 0u) << k;
      for (const char* old : {"C:\\Lib", "D:\\Blocks"}) EXPECT_TRUE(ListsTrustedFolder(*Trusted(a), old)) << k;
      EXPECT_TRUE(ListsTrustedFolder(*Trusted(b), "E:\\Std")) << k;
      const bool complete = ListsTrustedFolder(*Trusted(a), "D:\\Tools\\Vellmark") &&
                            ListsTrustedFolder(*Trusted(b), "D:\\Tools\\Vellmark");
      // A profile left out is always reported: a failed key count, name read or
      // opening of a listed subkey as much as a failed read or write.
      if (!complete) {
        EXPECT_FALSE(report.empty()) << k << " " << m.faults.Failures().front();
      }
    }
  }
}

}  // namespace
