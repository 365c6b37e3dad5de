// Discovery of AutoCAD installations in the real registry (HKEY_LOCAL_MACHINE
// redirected into scratch keys).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "tests/win/Sandbox.h"
#include "tests/win/TestPlatform.h"

namespace {

using List = std::vector<std::string>;
const std::wstring kMain = L"SOFTWARE\\Autodesk\\AutoCAD\\";
const std::wstring kWow = L"SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\";
using wt::kWow64;

class DiscoveryTest : public ::testing::Test {
 protected:
  void Acad(const std::wstring& key, const std::wstring& folder, const std::wstring& product,
            REGSAM view = KEY_WOW64_64KEY) {
    box.Set(HKEY_LOCAL_MACHINE, key, L"AcadLocation", folder, REG_SZ, view);
    box.Set(HKEY_LOCAL_MACHINE, key, L"ProductName", product, REG_SZ, view);
  }
  const List& Keys(int year) const { return acad.InstallKeys(year - 2007); }
  const List& Folders(int year) const { return acad.InstallFolders(year - 2007); }
  std::size_t Found() const {
    std::size_t n = 0;
    for (int k = 0; k < acad::kReleaseCount; ++k) n += acad.InstallFolders(k).size();
    return n;
  }
  void TearDown() override { EXPECT_EQ(os.OpenHandles(), 0u); }

  wt::Sandbox box;
  wt::TestPlatform os;
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
  // Not installations: the year at the very start; a location without a product
  // name hides the installation below it; a location of 300 characters counts
  // as absent, and the name search stopped at that key, so its child cannot join.
  Acad(kMain + L"R20.0\\Y", L"C:\\Y", L"2015 AutoCAD", 0);
  box.Set(HKEY_LOCAL_MACHINE, kMain + L"R20.0\\P", L"AcadLocation", L"C:\\Outer");
  Acad(kMain + L"R20.0\\P\\Inner", L"C:\\Inner", L"AutoCAD 2015", 0);
  Acad(kMain + L"R20.1\\Long", std::wstring(300, L'x'), L"AutoCAD 2016", 0);
  Acad(kMain + L"R20.1\\Long\\Child", L"C:\\Child", L"AutoCAD 2016", 0);

  acad.DiscoverReleases();
  EXPECT_EQ(Keys(2010), (List{m + "R18.0\\P1\\", m + "R18.0\\P2\\"}));
  EXPECT_EQ(Folders(2010), (List{"F1", "F2"}));
  EXPECT_EQ(Keys(2011), (List{m + "R18.0\\Q\\"}));
  EXPECT_EQ(Folders(2011), (List{"F2011"}));
  EXPECT_EQ(Keys(2017), (List{m + "R21.0\\"}));
  EXPECT_EQ(Keys(2019), (List{m + "R23.0\\A\\B\\C\\"}));
  EXPECT_EQ(Keys(2021), (List{m + "R24.0\\欧特克\\"}));
  EXPECT_EQ(Folders(2021), (List{"D:\\软件\\AutoCAD"}));
  EXPECT_EQ(Keys(2014), (List{m + "R19.1\\" + std::string(255, 'n') + "\\"})) << "a name of 255 characters";
  EXPECT_EQ(Folders(2014), (List{std::string(255, 'f')})) << "256 bytes with the terminator fit";
  EXPECT_EQ(Folders(2012), (List{"C:\\Program Files\\AutoCAD 2012\\", "%ProgramFiles%\\AutoCAD", ""}));
  EXPECT_TRUE(Folders(2015).empty());
  EXPECT_TRUE(Folders(2016).empty());
  EXPECT_EQ(Found(), 10u);
}

// What each edition sees of a 64-bit machine with a 32-bit and a 64-bit AutoCAD
// 2008 and a 32-bit AutoCAD 2013. The 64-bit program sees both branches as
// they are: the Wow6432Node scan serves 2007 and 2008 only. A 32-bit program is
// redirected: its "SOFTWARE\Autodesk\AutoCAD" is the Wow6432Node branch, so it
// finds the 32-bit 2008 through both scans, the 32-bit 2013 through the main
// one, and never the 64-bit AutoCAD.
TEST_F(DiscoveryTest, EachEditionSeesItsOwnRegistryView) {
  Acad(kWow + L"R17.1\\ACAD-6001", L"C:\\Wow2008", L"AutoCAD 2008");
  Acad(kWow + L"R19.0\\ACAD-B001", L"C:\\Wow2013", L"AutoCAD 2013");
  Acad(kMain + L"R17.1\\ACAD-6001", L"C:\\Main2008", L"AutoCAD 2008");
  acad.DiscoverReleases();
  const std::string wow = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001\\";
  const std::string main = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001\\";
  if (kWow64) {
    EXPECT_EQ(Folders(2008), (List{"C:\\Wow2008", "C:\\Wow2008"}));
    EXPECT_EQ(Keys(2008), (List{wow, main}));
    EXPECT_EQ(Folders(2013), (List{"C:\\Wow2013"}));
  } else {
    EXPECT_EQ(Folders(2008), (List{"C:\\Wow2008", "C:\\Main2008"}));
    EXPECT_EQ(Keys(2008), (List{wow, main}));
    EXPECT_TRUE(Folders(2013).empty());
  }
}

TEST_F(DiscoveryTest, NoAutoCadFindsNothing) {
  box.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Other", L"AcadLocation", L"C:\\X");
  acad.DiscoverReleases();
  EXPECT_EQ(Found(), 0u);
}

// Every registry call failing in turn, once: discovery only ever loses
// installations, never invents one, and closes what it opened.
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
    os.FailCall(k, false, ERROR_ACCESS_DENIED);
    again.DiscoverReleases();
    ASSERT_EQ(os.failed.size(), 1u);
    for (int year = 2007; year <= 2026; ++year) {
      const List& keys = again.InstallKeys(year - 2007);
      const List& folders = again.InstallFolders(year - 2007);
      ASSERT_EQ(keys.size(), folders.size());
      for (std::size_t i = 0, j = 0; i < keys.size(); ++i, ++j) {
        while (j < Keys(year).size() && Keys(year)[j] != keys[i]) ++j;
        ASSERT_LT(j, Keys(year).size()) << "call " << k << " (" << os.failed[0] << ") invented " << keys[i];
        EXPECT_EQ(folders[i], Folders(year)[j]);
      }
    }
    EXPECT_EQ(os.OpenHandles(), 0u) << "call " << k << " (" << os.failed[0] << ")";
    os.failed.clear();
  }
  os.StopFailing();
}

TEST(ListSubKeysTest, AppendsTheReadableNamesAfterWhatIsThereAndReportsTheRest) {
  wt::Sandbox box;
  wt::TestPlatform os;
  for (const wchar_t* name : {L"Root\\b", L"Root\\A", L"Root\\Jörg", L"Root\\d"}) box.AddKey(HKEY_CURRENT_USER, name);
  plat::HKey root = 0;
  ASSERT_EQ(os.RegOpenKeyExA(plat::kHKeyCurrentUser, "Root", 0, plat::kKeyRead, &root), 0);
  std::vector<std::u16string> names = {u"kept"};
  FailureReport report;
  os.FailOperation("RegOpenKeyExW", 2);  // "b" does not open
  ListSubKeys(os.platform, root, names, "K", report);
  const std::vector<std::u16string> listed = {u"kept", u"A", u"d", u"Jörg"};  // every character of a name
  EXPECT_EQ(names, listed);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0].item, "K\\b");
  // A name that cannot be read comes out empty: the empty name opens the key itself.
  names.clear();
  os.FailOperation("RegEnumKeyExW", 1);
  ListSubKeys(os.platform, root, names, "K", report);
  const std::vector<std::u16string> again = {u"", u"b", u"d", u"Jörg"};
  EXPECT_EQ(names, again);
  EXPECT_EQ(report.back().kind, Failure::kKeyNotListed);
  os.StopFailing();
  os.RegCloseKey(root);
  EXPECT_EQ(os.OpenHandles(), 0u);
}

}  // namespace
