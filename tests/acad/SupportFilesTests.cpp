// Fonts, assemblies and the 2008 plot driver placed into the AutoCAD folders from the package, on the real disk.
#include "acad/AcadSetup.h"
#include "tests/win/TestPlatform.h"

namespace {

class SupportFilesTest : public wt::MachineTest {
 protected:
  void SetUp() override {
    for (const char* name : {"Kavtor_EN.shx", "Kavtor_HZ.shx", "ACAD2007.dll", "ACAD2013.dll", "ACAD2050.dll",
                             "ACAD2051.dll", "ACAD2006.dll", "Kavtor.prt5", "Kavtor2015.ARX"})
      box.Write(box.Path("Data\\") + name, std::string("new ") + name);
    Acad(2008, L"R17.1\\ACAD-6001:804", a2008);
    Acad(2016, L"R20.1\\ACAD-F001:804", a2016);
  }
  void Acad(int year, const std::wstring& key, const std::string& folder) {
    box.AddAcad(L"SOFTWARE\\Autodesk\\AutoCAD\\" + key, folder, L"AutoCAD " + std::to_wstring(year));
  }
  // Each time as one installation does it, discovery first.
  FailureReport Copy(std::initializer_list<int> years) {
    CAcadSetup::ReleaseFlags ticked{};
    for (int year : years) ticked[year - 2007] = 1;
    CAcadSetup acad(os.platform);
    acad.DiscoverReleases();
    FailureReport report = acad.CopySupportFiles(ticked, box.Path("Data"));
    EXPECT_TRUE(os.boxes.empty());
    return report;
  }
  static std::string Read(const std::string& path) { return wt::Sandbox::Read(path).value_or("<missing>"); }

  const std::string a2008 = box.Path("AutoCAD 2008"), a2016 = box.Path("AutoCAD 2016");
};

TEST_F(SupportFilesTest, FontsAssembliesAndThePlotDriverOnlyFor2008) {
  box.Write(a2016 + "\\Fonts\\Kavtor_EN.shx", "old");
  box.Write(a2008 + "\\Drv\\pdfplot9.hdi", "Autodesk's driver");
  EXPECT_TRUE(Copy({2008, 2016}).empty());
  for (const std::string& folder : {a2008, a2016}) {
    for (const char* file : {"Fonts\\Kavtor_EN.shx", "Fonts\\Kavtor_HZ.shx"})
      EXPECT_EQ(Read(folder + "\\" + file), std::string("new ") + (file + 6)) << folder;
    for (const char* file : {"ACAD2007.dll", "ACAD2013.dll", "ACAD2050.dll"})
      EXPECT_EQ(Read(folder + "\\" + file), std::string("new ") + file) << folder;
    // Outside 2007..2050, or no support file at all.
    for (const char* file : {"ACAD2051.dll", "ACAD2006.dll", "Kavtor2015.ARX", "Kavtor.prt5"})
      EXPECT_FALSE(box.Read(folder + "\\" + file)) << folder << "\\" << file;
  }
  EXPECT_EQ(Read(a2008 + "\\Drv\\pdfplot9.hdi"), "new Kavtor.prt5");
  EXPECT_FALSE(box.Read(a2016 + "\\Drv\\pdfplot9.hdi"));
}

// An AutoCAD 2008 without a driver of its own, served twice (a repeated installation; the i686 program under WOW64
// finds it through both scans): the driver there the second time is ours, and is not kept as AutoCAD's.
TEST_F(SupportFilesTest, OurOwnDriverIsNotKeptAsAutoCadsOriginal) {
  const std::string driver = a2008 + "\\Drv\\pdfplot9.hdi";
  for (int run = 0; run < 2; ++run) EXPECT_TRUE(Copy({2008}).empty());
  EXPECT_EQ(Read(driver), "new Kavtor.prt5");
  EXPECT_FALSE(box.Read(driver + ".vellmark-original"));
  box.Write(driver, "Autodesk driver");  // AutoCAD's, of our size but its own time
  EXPECT_TRUE(Copy({2008}).empty());
  EXPECT_EQ(Read(driver + ".vellmark-original"), "Autodesk driver");
}

// Before anything is made, the folders a standard user may not write (ERROR_ACCESS_DENIED from the failure stand-in,
// Wine running everything as an administrator): an AutoCAD 2008 without its Fonts folder still has its Drv looked at.
TEST_F(SupportFilesTest, TheRightsCheckLooksAtEachFolderThatIsThere) {
  wt::RemoveAll(a2008 + "\\Fonts");
  os.FailOn("CreateTemporaryFileA", a2008 + "\\Drv\\");
  CAcadSetup acad(os.platform);
  acad.DiscoverReleases();
  CAcadSetup::ReleaseFlags ticked{};
  ticked[acad::ReleaseIndex(2008)] = 1;
  EXPECT_EQ(wt::Told(acad.FindMissingRights(ticked)), "无权写入 " + a2008 + "\\Drv（错误 5）\n");
}

TEST_F(SupportFilesTest, OnlyTickedReleasesAndEveryInstallationOfThem) {
  Acad(2016, L"R20.1\\ACAD-F001:409", box.Path("AutoCAD 2016 EN"));
  EXPECT_TRUE(Copy({2016}).empty());
  EXPECT_TRUE(box.Read(a2016 + "\\ACAD2013.dll"));
  EXPECT_TRUE(box.Read(box.Path("AutoCAD 2016 EN\\Fonts\\Kavtor_HZ.shx")));
  EXPECT_FALSE(box.Read(a2008 + "\\ACAD2013.dll"));
}

TEST_F(SupportFilesTest, FilesThePackageLacksAreNoFailure) {
  for (const char* name :
       {"Kavtor_EN.shx", "Kavtor_HZ.shx", "ACAD2007.dll", "ACAD2013.dll", "ACAD2050.dll", "Kavtor.prt5"})
    ::DeleteFileA(box.Path(std::string("Data\\") + name).c_str());
  const std::string before = box.DumpFiles();
  EXPECT_TRUE(Copy({2008, 2016}).empty());
  EXPECT_EQ(box.DumpFiles(), before);
}

// A package file whose presence cannot be told (its lookup refused: ERROR_ACCESS_DENIED from the failure stand-in)
// is reported, not taken for one the package lacks.
TEST_F(SupportFilesTest, APackageFileThatCannotBeLookedUpIsReported) {
  os.FailOn("FindFirstFileA", box.Path("Data\\ACAD2013.dll"));
  const FailureReport report = Copy({2016});
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].item + " " + std::to_string(report[0].error), a2016 + "\\ACAD2013.dll 5");
  EXPECT_FALSE(box.Read(a2016 + "\\ACAD2013.dll"));
  EXPECT_TRUE(box.Read(a2016 + "\\ACAD2007.dll"));
}

// AutoCAD 2008's own driver is replaced only once a copy of it is kept: not when the copy cannot be made, nor when
// whether one is there cannot be told (both refused with ERROR_ACCESS_DENIED by the failure stand-in).
TEST_F(SupportFilesTest, TheDriverStaysWhenItsOriginalCannotBeKept) {
  const std::string driver = a2008 + "\\Drv\\pdfplot9.hdi", kept = driver + ".vellmark-original";
  box.Write(driver, "Autodesk's driver");
  for (const char* call : {"CopyFileA", "GetFileAttributesExA"}) {
    os.StopFailing();
    os.FailOn(call, kept);
    std::string told;
    for (const Failure& f : Copy({2008})) told += f.item + " " + std::to_string(f.error) + "\n";
    EXPECT_EQ(told, kept + " 5\n" + (wt::kWow64 ? kept + " 5\n" : "")) << call;
    EXPECT_EQ(Read(driver), "Autodesk's driver") << call;
    EXPECT_TRUE(box.Read(a2008 + "\\ACAD2013.dll")) << "the rest is served";
  }
  os.StopFailing();
}

// Missing Fonts and Drv folders are not made; a folder where a file must go refuses the copy (ERROR_ACCESS_DENIED,
// as for a user without write access: Wine run as root ignores permissions); a folder too long for the file name
// is reported, never cut. The other installation is served.
TEST_F(SupportFilesTest, WhatCannotBePlacedIsReportedAndTheRestIsServed) {
  ::RemoveDirectoryA((a2008 + "\\Fonts").c_str());
  ::RemoveDirectoryA((a2008 + "\\Drv").c_str());
  ::CreateDirectoryA((a2016 + "\\ACAD2013.dll").c_str(), nullptr);
  // 246 characters: with "\ACAD2013.dll" the longest path Windows takes, 259; with "\Fonts\Kavtor_HZ.shx" too long.
  const std::string deep = box.Path(std::string(246 - box.Folder().size() - 1, 'x'));
  Acad(2016, L"R20.1\\ACAD-F001:409", deep);
  const FailureReport report = Copy({2008, 2016});
  std::string items;
  for (const Failure& f : report) items += f.item + " " + std::to_string(f.error) + "\n";
  // A 32-bit program finds the 32-bit 2008 through both scans and serves it twice. 2016 in key order: :409 first.
  const std::string in2008 =
      a2008 + "\\Fonts\\Kavtor_EN.shx 3\n" + a2008 + "\\Fonts\\Kavtor_HZ.shx 3\n" + a2008 + "\\Drv\\pdfplot9.hdi 3\n";
  EXPECT_EQ(items, in2008 + (wt::kWow64 ? in2008 : "") + deep + "\\Fonts\\Kavtor_EN.shx 3\n" + deep +
                       "\\Fonts\\Kavtor_HZ.shx 3\n" + a2016 + "\\ACAD2013.dll 5\n");
  EXPECT_FALSE(box.Read(a2008 + "\\Fonts\\Kavtor_EN.shx"));
  EXPECT_EQ(::GetFileAttributesA((a2008 + "\\Fonts").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Read(a2008 + "\\ACAD2013.dll"), "new ACAD2013.dll");
  EXPECT_EQ(Read(a2016 + "\\Fonts\\Kavtor_HZ.shx"), "new Kavtor_HZ.shx");
  EXPECT_EQ(Read(deep + "\\ACAD2013.dll"), "new ACAD2013.dll");
}

}  // namespace
