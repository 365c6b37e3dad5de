// Support files placed into the AutoCAD folders: fonts, assemblies and the 2008
// plot driver, over the in-memory registry and file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "acad/AcadSetup.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/Releases.h"
#include "tests/support/RegistryBuilder.h"

namespace {

constexpr const char* kPackage = "C:\\Dist\\Data";
constexpr const char* kA2008 = "C:\\Program Files\\AutoCAD 2008";
constexpr const char* kA2016 = "D:\\AutoCAD 2016";

using testing_support::Ticked;

class SupportFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.files.AddDrive('D');
    m.files.SetModulePath("C:\\Dist\\SetUp.exe");
    m.files.AddFile("C:\\Dist\\SetUp.exe", "program");
    for (const char* name : {"Kavtor_EN.shx", "Kavtor_HZ.shx", "ACAD2007.dll", "ACAD2013.dll", "ACAD2050.dll",
                             "ACAD2051.dll", "ACAD2006.dll", "Kavtor.prt5", "Kavtor2015.ARX"})
      m.files.AddFile(std::string(kPackage) + "\\" + name, std::string("new ") + name);
    AddAcad(2008, "R17.1\\ACAD-6001:804", kA2008);
    AddAcad(2016, "R20.1\\ACAD-F001:804", kA2016);
  }

  void AddAcad(int year, const std::string& key, const std::string& folder) {
    testing_support::AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\" + key, folder,
                                     "AutoCAD " + std::to_string(year));
    m.files.AddFolder(folder + "\\Fonts");
    m.files.AddFolder(folder + "\\Drv");
  }

  FailureReport Copy(std::initializer_list<int> years) {
    acad.DiscoverReleases();
    FailureReport report = acad.CopySupportFiles(Ticked(years));
    EXPECT_EQ(m.files.OpenHandles(), 0u);
    EXPECT_EQ(m.registry.OpenHandles(), 0u);
    return report;
  }

  std::string Read(const std::string& path) { return m.files.ReadFile(path).value_or("<missing>"); }

  mem::MemoryMachine m;
  CAcadSetup acad{m.platform};
};

TEST_F(SupportFilesTest, FontsAssembliesAndThePlotDriverOnlyFor2008) {
  EXPECT_TRUE(Copy({2008, 2016}).empty());
  for (const std::string folder : {kA2008, kA2016}) {
    EXPECT_EQ(Read(folder + "\\Fonts\\Kavtor_EN.shx"), "new Kavtor_EN.shx") << folder;
    EXPECT_EQ(Read(folder + "\\Fonts\\Kavtor_HZ.shx"), "new Kavtor_HZ.shx") << folder;
    EXPECT_EQ(Read(folder + "\\ACAD2007.dll"), "new ACAD2007.dll") << folder;
    EXPECT_EQ(Read(folder + "\\ACAD2013.dll"), "new ACAD2013.dll") << folder;
    EXPECT_EQ(Read(folder + "\\ACAD2050.dll"), "new ACAD2050.dll") << folder;
    // Outside 2007..2050, and not a support file at all.
    EXPECT_FALSE(m.files.Exists(folder + "\\ACAD2051.dll")) << folder;
    EXPECT_FALSE(m.files.Exists(folder + "\\ACAD2006.dll")) << folder;
    EXPECT_FALSE(m.files.Exists(folder + "\\Kavtor2015.ARX")) << folder;
    EXPECT_FALSE(m.files.Exists(folder + "\\Kavtor.prt5")) << folder;
  }
  EXPECT_EQ(Read(std::string(kA2008) + "\\Drv\\pdfplot9.hdi"), "new Kavtor.prt5");
  EXPECT_FALSE(m.files.Exists(std::string(kA2016) + "\\Drv\\pdfplot9.hdi"));
}

TEST_F(SupportFilesTest, OnlyTickedReleasesAndEveryInstallationOfThem) {
  AddAcad(2016, "R20.1\\ACAD-F001:409", "D:\\AutoCAD 2016 EN");
  EXPECT_TRUE(Copy({2016}).empty());
  EXPECT_TRUE(m.files.Exists("D:\\AutoCAD 2016\\ACAD2013.dll"));
  EXPECT_TRUE(m.files.Exists("D:\\AutoCAD 2016 EN\\ACAD2013.dll"));
  EXPECT_TRUE(m.files.Exists("D:\\AutoCAD 2016 EN\\Fonts\\Kavtor_HZ.shx"));
  EXPECT_FALSE(m.files.Exists(std::string(kA2008) + "\\ACAD2013.dll"));
  EXPECT_FALSE(m.files.Exists(std::string(kA2008) + "\\Drv\\pdfplot9.hdi"));
}

TEST_F(SupportFilesTest, OverwritesWhatIsThere) {
  m.files.AddFile(std::string(kA2016) + "\\Fonts\\Kavtor_EN.shx", "old");
  m.files.AddFile(std::string(kA2008) + "\\Drv\\pdfplot9.hdi", "Autodesk's driver");
  EXPECT_TRUE(Copy({2008, 2016}).empty());
  EXPECT_EQ(Read(std::string(kA2016) + "\\Fonts\\Kavtor_EN.shx"), "new Kavtor_EN.shx");
  EXPECT_EQ(Read(std::string(kA2008) + "\\Drv\\pdfplot9.hdi"), "new Kavtor.prt5");
}

TEST_F(SupportFilesTest, FilesThePackageLacksAreNoFailure) {
  mem::MemoryMachine bare;
  bare.files.SetModulePath("C:\\Dist\\SetUp.exe");
  bare.files.AddFile("C:\\Dist\\Data\\Kavtor2015.ARX", "module");
  testing_support::AddInstallation(bare.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", kA2008,
                                   "AutoCAD 2008");
  bare.files.AddFolder(std::string(kA2008) + "\\Fonts");
  const std::string before = bare.files.ListAll();
  CAcadSetup setup(bare.platform);
  setup.DiscoverReleases();
  EXPECT_TRUE(setup.CopySupportFiles(Ticked({2008})).empty());
  EXPECT_EQ(bare.files.ListAll(), before);
  EXPECT_TRUE(bare.windows.MessageBoxes().empty());
}

TEST_F(SupportFilesTest, MissingFoldersAreNotCreatedAndAreReported) {
  mem::MemoryMachine other;
  other.files.AddDrive('D');
  other.files.SetModulePath("C:\\Dist\\SetUp.exe");
  other.files.AddFile("C:\\Dist\\Data\\Kavtor_EN.shx", "font");
  other.files.AddFile("C:\\Dist\\Data\\Kavtor.prt5", "driver");
  other.files.AddFile("C:\\Dist\\Data\\ACAD2013.dll", "assembly");
  testing_support::AddInstallation(other.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", kA2008,
                                   "AutoCAD 2008");
  other.files.AddFolder(kA2008);  // no Fonts, no Drv
  CAcadSetup setup(other.platform);
  setup.DiscoverReleases();
  const FailureReport report = setup.CopySupportFiles(Ticked({2008}));
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report[0].kind, Failure::kFileNotCopied);
  EXPECT_EQ(report[0].item, std::string(kA2008) + "\\Fonts\\Kavtor_EN.shx");
  EXPECT_EQ(report[1].item, std::string(kA2008) + "\\Drv\\pdfplot9.hdi");
  EXPECT_FALSE(other.files.Exists(std::string(kA2008) + "\\Fonts"));
  EXPECT_FALSE(other.files.Exists(std::string(kA2008) + "\\Drv"));
  EXPECT_EQ(other.files.ReadFile(std::string(kA2008) + "\\ACAD2013.dll"), "assembly");
}

TEST_F(SupportFilesTest, ADeniedFolderIsReportedAndTheNextInstallationStillServed) {
  m.files.DenyWrite(kA2008);
  const FailureReport report = Copy({2008, 2016});
  // Two fonts, three assemblies and the driver for the denied 2008 folder.
  ASSERT_EQ(report.size(), 6u);
  for (const Failure& f : report) {
    EXPECT_EQ(f.kind, Failure::kFileNotCopied);
    EXPECT_EQ(f.item.rfind(kA2008, 0), 0u) << f.item;
    EXPECT_EQ(f.error, 5u) << f.item;  // ERROR_ACCESS_DENIED
  }
  EXPECT_EQ(Read(std::string(kA2016) + "\\ACAD2050.dll"), "new ACAD2050.dll");
  EXPECT_FALSE(m.files.Exists(std::string(kA2008) + "\\ACAD2013.dll"));
}

TEST_F(SupportFilesTest, ALongAutoCadFolderIsReportedNotCut) {
  const std::string deep = "D:\\" + std::string(240, 'x');
  AddAcad(2016, "R20.1\\ACAD-F001:409", deep);
  const FailureReport report = Copy({2016});
  // "\\ACAD2013.dll" fits below 260, "\\Fonts\\Kavtor_HZ.shx" does not.
  bool fontReported = false;
  for (const Failure& f : report) {
    EXPECT_EQ(f.item.rfind(deep, 0), 0u) << f.item;
    if (f.item == deep + "\\Fonts\\Kavtor_HZ.shx") fontReported = true;
  }
  EXPECT_TRUE(fontReported);
  EXPECT_FALSE(m.files.Exists(deep + "\\Fonts\\Kavtor_HZ.shx"));
  EXPECT_TRUE(m.files.Exists(std::string(kA2016) + "\\Fonts\\Kavtor_HZ.shx"));
}

// Every file-system call failing in turn: never a crash, never an open handle, and
// what the copy could not do is either reported or left as it was.
TEST(SupportFilesFaultTest, EveryFailingCallEndsCleanly) {
  std::size_t runs = 0;
  for (bool repeat : {false, true}) {
    for (std::size_t k = 1;; ++k) {
      mem::MemoryMachine m;
      m.files.SetModulePath("C:\\Dist\\SetUp.exe");
      for (const char* name : {"Kavtor_EN.shx", "Kavtor_HZ.shx", "ACAD2013.dll", "Kavtor.prt5"})
        m.files.AddFile(std::string(kPackage) + "\\" + name, name);
      testing_support::AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", kA2008,
                                       "AutoCAD 2008");
      m.files.AddFolder(std::string(kA2008) + "\\Fonts");
      m.files.AddFolder(std::string(kA2008) + "\\Drv");
      CAcadSetup setup(m.platform);
      setup.DiscoverReleases();
      m.faults.ResetCount();
      m.faults.FailCall(k, repeat);
      const FailureReport report = setup.CopySupportFiles(Ticked({2008}));
      EXPECT_EQ(m.files.OpenHandles(), 0u) << k;
      ++runs;
      if (m.faults.Failures().empty()) break;
      // Each of the four placed or reported, unless the package itself could not
      // be found (the user has been told, or the message itself failed too).
      const auto& failed = m.faults.Failures();
      const bool told =
          !m.windows.MessageBoxes().empty() || std::find(failed.begin(), failed.end(), "MessageBoxA") != failed.end();
      for (const char* path :
           {"\\Fonts\\Kavtor_EN.shx", "\\Fonts\\Kavtor_HZ.shx", "\\ACAD2013.dll", "\\Drv\\pdfplot9.hdi"}) {
        const std::string target = std::string(kA2008) + path;
        bool reported = false;
        for (const Failure& f : report) reported = reported || f.item == target;
        EXPECT_TRUE(m.files.Exists(target) || reported || told) << k << " " << target;
      }
    }
  }
  EXPECT_GT(runs, 10u);
}

}  // namespace
