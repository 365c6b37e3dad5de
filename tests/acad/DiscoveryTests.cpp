// Discovery of AutoCAD installations in the real registry (HKEY_LOCAL_MACHINE redirected into scratch keys).
#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "tests/win/TestPlatform.h"

namespace {

using List = std::vector<std::string>;
const std::wstring kMain = L"SOFTWARE\\Autodesk\\AutoCAD\\";
const std::wstring kWow = L"SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";
using wt::kWow64;

class DiscoveryTest : public wt::MachineTest {
 protected:
  void Acad(const std::wstring& key, const std::wstring& folder, const std::wstring& product,
            REGSAM view = KEY_WOW64_64KEY) {
    box.Set(HKEY_LOCAL_MACHINE, key, L"AcadLocation", folder, REG_SZ, view);
    box.Set(HKEY_LOCAL_MACHINE, key, L"ProductName", product, REG_SZ, view);
  }
  // Every installation found, as "year key => folder", in the program's order.
  static List Seen(const CAcadSetup& found) {
    List seen;
    for (int k = 0; k < acad::kReleaseCount; ++k)
      for (std::size_t i = 0; i < found.InstallKeys(k).size(); ++i)
        seen.push_back(std::to_string(2007 + k) + " " + found.InstallKeys(k)[i] + " => " +
                       found.InstallFolders(k).at(i));
    return seen;
  }

  CAcadSetup acad{os.platform};
};

// One machine as the program's own view shows it, seeded in that view.
TEST_F(DiscoveryTest, InstallationsAndWhatIsNoInstallation) {
  const std::string m = "SOFTWARE\\Autodesk\\AutoCAD\\";
  // Created P2 first: the registry lists subkeys by name, so P1 comes first.
  Acad(kMain + L"R18.0\\P2", L"F2", L"AutoCAD 2010 English", 0);
  Acad(kMain + L"R18.0\\P1", L"F1", L"AutoCAD 2010 简体中文", 0);
  Acad(kMain + L"R18.0\\Q", L"F2011", L"AutoCAD 2011", 0);
  Acad(kMain + L"R21.0", L"C:\\Acad2017", L"AutoCAD 2017", 0);  // the release key itself
  Acad(kMain + L"R23.0\\A\\B\\C", L"C:\\Deep", L"AutoCAD 2019", 0);
  Acad(kMain + L"R24.0\\欧特克", L"D:\\软件\\AutoCAD", L"欧特克 AutoCAD 2021 简体中文版", 0);
  Acad(kMain + L"R19.1\\" + std::wstring(255, L'n'), std::wstring(255, L'f'), L"AutoCAD 2014", 0);
  // Folders exactly as stored: a trailing backslash, a variable, nothing.
  Acad(kMain + L"R18.2\\A", L"C:\\Program Files\\AutoCAD 2012\\", L"AutoCAD 2012", 0);
  box.Set(HKEY_LOCAL_MACHINE, kMain + L"R18.2\\B", L"AcadLocation", L"%ProgramFiles%\\AutoCAD", REG_EXPAND_SZ);
  box.Set(HKEY_LOCAL_MACHINE, kMain + L"R18.2\\B", L"ProductName", L"AutoCAD 2012");
  Acad(kMain + L"R18.2\\C", L"", L"AutoCAD 2012", 0);
  // Not installations: the year at the very start; a location without a product name hides the installation
  // below it; a location of 300 characters counts as absent, and the search stopped there, so its child cannot join.
  Acad(kMain + L"R20.0\\Y", L"C:\\Y", L"2015 AutoCAD", 0);
  box.Set(HKEY_LOCAL_MACHINE, kMain + L"R20.0\\P", L"AcadLocation", L"C:\\Outer");
  Acad(kMain + L"R20.0\\P\\Inner", L"C:\\Inner", L"AutoCAD 2015", 0);
  Acad(kMain + L"R20.1\\Long", std::wstring(300, L'x'), L"AutoCAD 2016", 0);
  Acad(kMain + L"R20.1\\Long\\Child", L"C:\\Child", L"AutoCAD 2016", 0);

  acad.DiscoverReleases();
  EXPECT_EQ(Seen(acad),
            (List{"2010 " + m + "R18.0\\P1\\ => F1", "2010 " + m + "R18.0\\P2\\ => F2",
                  "2011 " + m + "R18.0\\Q\\ => F2011", "2012 " + m + "R18.2\\A\\ => C:\\Program Files\\AutoCAD 2012\\",
                  "2012 " + m + "R18.2\\B\\ => %ProgramFiles%\\AutoCAD", "2012 " + m + "R18.2\\C\\ => ",
                  "2014 " + m + "R19.1\\" + std::string(255, 'n') + "\\ => " + std::string(255, 'f'),
                  "2017 " + m + "R21.0\\ => C:\\Acad2017", "2019 " + m + "R23.0\\A\\B\\C\\ => C:\\Deep",
                  "2021 " + m + "R24.0\\欧特克\\ => D:\\软件\\AutoCAD"}))
      << "a name of 255 characters, and a folder of 256 bytes with the terminator, fit";
}

// A 64-bit machine with a 32-bit and a 64-bit AutoCAD 2008 and a 32-bit AutoCAD 2013. The 64-bit program sees
// both branches as they are; the Wow6432Node scan serves 2007 and 2008 only. A 32-bit program's
// "SOFTWARE\Autodesk\AutoCAD" is the Wow6432Node branch: it finds the 32-bit 2008 through both scans, the
// 32-bit 2013 through the main one, and never the 64-bit AutoCAD.
TEST_F(DiscoveryTest, EachEditionSeesItsOwnRegistryView) {
  Acad(kWow + L"R17.1\\ACAD-6001", L"C:\\Wow2008", L"AutoCAD 2008");
  Acad(kWow + L"R19.0\\ACAD-B001", L"C:\\Wow2013", L"AutoCAD 2013");
  Acad(kMain + L"R17.1\\ACAD-6001", L"C:\\Main2008", L"AutoCAD 2008");
  acad.DiscoverReleases();
  const std::string wow = "2008 SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001\\ => C:\\";
  const std::string main = "2008 SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001\\ => C:\\";
  if (kWow64)
    EXPECT_EQ(Seen(acad), (List{wow + "Wow2008", main + "Wow2008",
                                "2013 SOFTWARE\\Autodesk\\AutoCAD\\R19.0\\ACAD-B001\\ => C:\\Wow2013"}));
  else
    EXPECT_EQ(Seen(acad), (List{wow + "Wow2008", main + "Main2008"}));
}

// Every registry call failing in turn: discovery only loses installations, never invents one, closes what it opened.
TEST_F(DiscoveryTest, AFailingCallOnlyLosesInstallations) {
  Acad(kWow + L"R17.1\\ACAD-6001", L"C:\\2008", L"AutoCAD 2008");
  Acad(kMain + L"R18.0\\A", L"C:\\2010a", L"AutoCAD 2010");
  Acad(kMain + L"R18.0\\B\\C", L"C:\\2010b", L"AutoCAD 2010");
  Acad(kMain + L"R20.1\\ACAD-F001", L"C:\\2016", L"AutoCAD 2016");
  acad.DiscoverReleases();
  const std::size_t calls = os.calls;
  ASSERT_GT(calls, 20u);
  for (std::size_t k = 1; k <= calls; ++k) {
    CAcadSetup again(os.platform);
    os.FailCall(k);
    again.DiscoverReleases();
    ASSERT_EQ(os.failed.size(), 1u);
    const List all = Seen(acad), left = Seen(again);
    auto next = all.begin();  // what is left must be found in the same order
    for (const std::string& found : left) {
      next = std::find(next, all.end(), found);
      ASSERT_NE(next, all.end()) << "call " << k << " (" << os.failed[0] << ") invented " << found;
    }
    EXPECT_EQ(os.OpenHandles(), 0u) << "call " << k << " (" << os.failed[0] << ")";
    os.failed.clear();
  }
  os.StopFailing();
}

// A key whose name cannot be read is passed over, not taken for the end.
TEST_F(DiscoveryTest, AKeyThatCannotBeListedIsPassedOver) {
  Acad(kMain + L"R17.1\\A", L"FA", L"AutoCAD 2008", 0);
  Acad(kMain + L"R17.1\\B", L"FB", L"AutoCAD 2008", 0);
  // A, the release's first key, cannot be listed; the i686 program finds 2008 through both scans.
  os.FailOn("RegEnumKeyExA", "R17.1\\#0");
  acad.DiscoverReleases();
  os.StopFailing();
  const List seen = Seen(acad);
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(seen.front().find("R17.1\\B\\ => FB"), std::string::npos) << seen.front();
  // Told to the uninstaller, which must not call a removal finished that may have missed an installation; by each
  // of the release's two searches (its folders, its names).
  const std::string listing = "无法列出注册表项的子项 HKEY_LOCAL_MACHINE\\SOFTWARE\\";
  const std::string main = listing + "Autodesk\\AutoCAD\\R17.1\\（错误 5）\n";
  const std::string wow = listing + "Wow6432Node\\" + main.substr(listing.size());
  EXPECT_EQ(wt::Told(acad.DiscoveryFailures()), (kWow64 ? wow + wow : "") + main + main);
}

// A folder value that cannot be read (ERROR_ACCESS_DENIED from the failure stand-in) loses the installation, and is
// told; one too long for a folder (ERROR_MORE_DATA) is no installation's, and is not.
TEST_F(DiscoveryTest, AFolderThatCannotBeReadIsTold) {
  Acad(kMain + L"R20.1\\A", L"F", L"AutoCAD 2016", 0);
  Acad(kMain + L"R20.1\\B", std::wstring(300, L'f'), L"AutoCAD 2016", 0);
  os.FailOn("RegQueryValueExA", "R20.1\\A\\AcadLocation");
  acad.DiscoverReleases();
  os.StopFailing();
  EXPECT_TRUE(Seen(acad).empty());
  // The i686 program reads the key through both scans.
  const std::string told = "无法打开注册表项 HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\A\\（错误 5）\n";
  const std::string wow = told.substr(0, told.find("Autodesk")) + "Wow6432Node\\" + told.substr(told.find("Autodesk"));
  EXPECT_EQ(wt::Told(acad.DiscoveryFailures()), (kWow64 ? wow : "") + told);
}

using ListSubKeysTest = wt::MachineTest;

TEST_F(ListSubKeysTest, AppendsTheReadableNamesAfterWhatIsThereAndReportsTheRest) {
  for (const wchar_t* name : {L"Root\\b", L"Root\\A", L"Root\\Jörg", L"Root\\d"}) box.AddKey(HKEY_CURRENT_USER, name);
  HKEY root = 0;
  ASSERT_EQ(os.RegOpenKeyExA(HKEY_CURRENT_USER, "Root", 0, KEY_READ, &root), 0);
  std::vector<std::u16string> names = {u"kept"};
  FailureReport report;
  os.FailOn("RegOpenKeyExW", "Root\\b");
  ListSubKeys(os.platform, root, names, "K", report);
  const std::vector<std::u16string> listed = {u"kept", u"A", u"d", u"Jörg"};  // every character of a name
  EXPECT_EQ(names, listed);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].item, "K\\b");
  // A name that cannot be read is passed over, and the names after it are listed.
  names.clear();
  os.StopFailing();
  os.FailOn("RegEnumKeyExW", "Root\\#0");
  ListSubKeys(os.platform, root, names, "K", report);
  const std::vector<std::u16string> again = {u"b", u"d", u"Jörg"};
  EXPECT_EQ(names, again);
  EXPECT_EQ(report.back().kind, Failure::kKeyNotListed);
  os.StopFailing();
  os.RegCloseKey(root);
}

}  // namespace
