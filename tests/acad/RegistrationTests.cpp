// AutoCAD's demand-load keys written into the real registry, below the installation keys discovery found.
#include "acad/AcadSetup.h"
#include "tests/win/TestPlatform.h"

namespace {

const std::wstring kR2016 = L"SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804";

CAcadSetup::ReleaseFlags Ticked(std::initializer_list<int> years) {
  CAcadSetup::ReleaseFlags flags{};
  for (int year : years) flags[year - 2007] = 1;
  return flags;
}

class RegistrationTest : public wt::MachineTest {
 protected:
  void Install(const std::wstring& key, const std::string& folder, int year) {
    box.AddAcad(key, box.Path(folder), L"AutoCAD " + std::to_wstring(year));
  }
  FailureReport Register(std::initializer_list<int> years, int editionBits = 32) {
    acad = std::make_unique<CAcadSetup>(os.platform, editionBits);
    acad->DiscoverReleases();
    acad->SetTargetPath("D:\\Tools\\Vellmark");
    return acad->RegisterReleases(Ticked(years));
  }
  // The values of one application key below an installation key, one line each.
  std::string App(const std::wstring& key, const std::wstring& app) {
    return box.Dump(HKEY_LOCAL_MACHINE, key + L"\\Applications\\" + app);
  }
  std::string Loader(const std::string& file) { return "sz:" + box.Path(file); }

  std::unique_ptr<CAcadSetup> acad;
};

TEST_F(RegistrationTest, AModuleKeyAndAnAssemblyKeyPerInstallationWithExactlyTheirValues) {
  Install(kR2016, "AutoCAD 2016", 2016);
  // Release 2007 names its keys 2007 but loads module 2008 and assembly 2007.
  Install(L"SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P", "A2007", 2007);
  // Two of 2010: each assembly from its own folder, one stored with a trailing backslash and written as it comes.
  Install(L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A", "Chs", 2010);
  Install(L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "Enu\\", 2010);
  EXPECT_TRUE(Register({2007, 2010, 2016}).empty());
  const std::string module = "\"LOADCTRLS\"=dword:2\n \"LOADER\"=sz:D:\\Tools\\Vellmark\\";
  const auto assembly = [&](const std::string& file) {
    return "\"LOADCTRLS\"=dword:2\n \"LOADER\"=" + Loader(file) + "\n \"MANAGED\"=dword:1\n";
  };
  EXPECT_EQ(App(kR2016, L"Kavtor2016"), "\n " + module + "Kavtor2015.ARX\n");
  EXPECT_EQ(App(kR2016, L"Kavtor2016DLL"), "\n " + assembly("AutoCAD 2016\\ACAD2013.dll"));
  const std::wstring r18 = L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\";
  EXPECT_EQ(App(r18 + L"A", L"Kavtor2010") + App(r18 + L"B", L"Kavtor2010"),
            "\n " + module + "Kavtor2010.ARX\n\n " + module + "Kavtor2010.ARX\n");
  EXPECT_EQ(App(r18 + L"A", L"Kavtor2010DLL"), "\n " + assembly("Chs\\ACAD2010.dll"));
  EXPECT_EQ(App(r18 + L"B", L"Kavtor2010DLL"), "\n " + assembly("Enu\\\\ACAD2010.dll"));
  const std::wstring r17 = L"SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\P";
  EXPECT_EQ(App(r17, L"Kavtor2007"), "\n " + module + "Kavtor2008.ARX\n");
  EXPECT_EQ(App(r17, L"Kavtor2007DLL"), "\n " + assembly("A2007\\ACAD2007.dll"));
}

TEST_F(RegistrationTest, UntickedReleasesGetNothingButTheTrustedPathsAreUpdated) {
  Install(kR2016, "AutoCAD 2016", 2016);
  const std::wstring profile = L"Software\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Profiles\\P\\Variables";
  box.Set(HKEY_CURRENT_USER, profile, L"TRUSTEDPATHS", L"C:\\Lib");
  EXPECT_TRUE(Register({2010}).empty());  // 2010 is ticked but not installed
  EXPECT_EQ(box.Dump(HKEY_LOCAL_MACHINE, kR2016 + L"\\Applications"), "");
  EXPECT_EQ(box.Get(HKEY_CURRENT_USER, profile, L"TRUSTEDPATHS"), L"C:\\LIB;D:\\TOOLS\\VELLMARK");
}

// The 2008 module key for release 2009 in the 64-bit edition only; loader texts longer than any buffer written whole.
TEST_F(RegistrationTest, Release2009GetsThe2008ModuleKeyInThe64BitEditionOnly) {
  const std::wstring key = L"SOFTWARE\\Autodesk\\AutoCAD\\R17.2\\P";
  Install(key, "A2009", 2009);
  Register({2009}, 32);
  EXPECT_EQ(App(key, L"Kavtor2008"), "");
  EXPECT_NE(App(key, L"Kavtor2009").find("D:\\Tools\\Vellmark\\Kavtor2009.ARX"), std::string::npos);
  EXPECT_NE(App(key, L"Kavtor2009DLL").find(Loader("A2009\\ACAD2009.dll")), std::string::npos);
  const std::string folder = "D:\\" + std::string(280, 'f');
  acad->SetTargetPath(folder);
  EXPECT_TRUE(acad->RegisterReleases(Ticked({2009})).empty());
  EXPECT_EQ(box.Get(HKEY_LOCAL_MACHINE, key + L"\\Applications\\Kavtor2009", L"LOADER"),
            wt::Wide(folder + "\\Kavtor2009.ARX"));
  Register({2009}, 64);
  EXPECT_EQ(App(key, L"Kavtor2008"), "\n \"LOADCTRLS\"=dword:2\n \"LOADER\"=sz:D:\\Tools\\Vellmark\\Kavtor2008.ARX\n");
  // Taken back, the 2008 module key goes, and it alone: an assembly key of that year there is none of ours.
  box.Set(HKEY_LOCAL_MACHINE, key + L"\\Applications\\Kavtor2008DLL", L"LOADER", L"C:\\Other\\Other.dll");
  RemovalReport removal;
  acad->UnregisterFrom("D:\\Tools\\Vellmark", removal);
  EXPECT_EQ(App(key, L"Kavtor2008"), "");
  EXPECT_EQ(App(key, L"Kavtor2008DLL"), "\n \"LOADER\"=sz:C:\\Other\\Other.dll\n");
}

TEST_F(RegistrationTest, EarlierKeysAreReplacedUnlessTheyHaveSubkeys) {
  const std::wstring key = L"SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\P", apps = key + L"\\Applications\\";
  Install(key, "A2021", 2021);
  box.Set(HKEY_LOCAL_MACHINE, apps + L"Kavtor2021", L"OldValue", L"x");
  box.Set(HKEY_LOCAL_MACHINE, apps + L"Kavtor2021DLL", L"OldValue", L"z");
  box.Set(HKEY_LOCAL_MACHINE, apps + L"Kavtor2021DLL\\Child", L"Keep", L"y");
  Register({2021}, 64);
  EXPECT_EQ(App(key, L"Kavtor2021").find("OldValue"), std::string::npos);
  // A key with subkeys is not deleted (RegDeleteKey refuses): it is overwritten.
  EXPECT_EQ(box.Get(HKEY_LOCAL_MACHINE, apps + L"Kavtor2021DLL", L"OldValue"), L"z");
  EXPECT_EQ(box.Get(HKEY_LOCAL_MACHINE, apps + L"Kavtor2021DLL", L"LOADER"), wt::Wide(box.Path("A2021\\ACAD2013.dll")));
}

TEST_F(RegistrationTest, FailuresAreReportedAndTheRestStillRuns) {
  Install(L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A", "A", 2010);
  Install(L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", "B", 2010);
  Install(kR2016, "AutoCAD 2016", 2016);
  acad = std::make_unique<CAcadSetup>(os.platform, 32);
  acad->DiscoverReleases();
  acad->SetTargetPath("D:\\Tools\\Vellmark");
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A");  // gone since discovery
  os.FailOn("RegCreateKeyA", "Applications\\Kavtor2016DLL");                       // 2016's assembly key
  EXPECT_EQ(wt::Told(acad->RegisterReleases(Ticked({2010, 2016}))),
            "无法打开注册表项 HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\A\\（错误 2）\n"
            "无法创建注册表项 HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Applications\\"
            "Kavtor2016DLL（错误 5）\n");
  os.StopFailing();
  EXPECT_NE(App(L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\B", L"Kavtor2010").find("Kavtor2010.ARX"), std::string::npos);
  EXPECT_NE(App(kR2016, L"Kavtor2016").find("Kavtor2015.ARX"), std::string::npos);
}

}  // namespace
