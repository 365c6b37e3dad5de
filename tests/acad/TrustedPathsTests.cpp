// The product folder trusted in every AutoCAD profile of the current user, in the real registry (HKCU redirected).
#include "acad/AcadSetup.h"
#include "tests/win/TestPlatform.h"

namespace {

std::wstring Variables(const std::wstring& release, const std::wstring& product, const std::wstring& profile) {
  return L"SOFTWARE\\Autodesk\\AutoCAD\\" + release + L"\\" + product + L"\\Profiles\\" + profile + L"\\Variables";
}

class TrustedPathsTest : public wt::MachineTest {
 protected:
  void SetUp() override { acad.SetTargetPath("D:\\Tools\\Vellmark"); }
  void Trust(const std::wstring& key, const std::wstring& list, DWORD type = REG_SZ) {
    box.Set(HKEY_CURRENT_USER, key, L"TRUSTEDPATHS", list, type);
  }
  std::optional<std::wstring> Trusted(const std::wstring& key, DWORD* type = nullptr) {
    return box.Get(HKEY_CURRENT_USER, key, L"TRUSTEDPATHS", type);
  }

  CAcadSetup acad{os.platform};
};

TEST_F(TrustedPathsTest, EveryProfileOfEveryReleaseAndProduct) {
  const auto a = Variables(L"R18.0", L"ACAD-8001:804", L"<<Unnamed Profile>>");
  const auto b = Variables(L"R18.0", L"ACAD-8001:804", L"结构");
  const auto c = Variables(L"R24.0", L"ACAD-4101:409", L"Default");
  Trust(a, L"C:\\Lib;D:\\Blocks");
  Trust(b, L"c:\\x", REG_EXPAND_SZ);
  box.AddKey(HKEY_CURRENT_USER, c.substr(0, c.size() - 10));  // a profile without "Variables"
  box.AddKey(HKEY_CURRENT_USER, L"Software\\Autodesk\\AutoCAD\\R19.0\\NoProfiles");
  EXPECT_TRUE(acad.UpdateTrustedPaths().empty());
  EXPECT_EQ(Trusted(a), L"C:\\LIB;D:\\BLOCKS;D:\\TOOLS\\VELLMARK");
  DWORD type = 0;
  EXPECT_EQ(Trusted(b, &type), L"C:\\X;D:\\TOOLS\\VELLMARK");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << "an expandable string comes back as REG_SZ";
  EXPECT_EQ(Trusted(c), L"D:\\Tools\\Vellmark");
  EXPECT_EQ(box.Dump(HKEY_CURRENT_USER, L"Software\\Autodesk\\AutoCAD\\R19.0\\NoProfiles\\Profiles"), "");
}

// Names and lists outside the ANSI code page: every such profile gets the folder, every character of every other
// entry survives, surrogate pairs included; only ASCII letters change case.
TEST_F(TrustedPathsTest, TextOutsideTheCodePageSurvivesAndSuchProfilesAreServed) {
  const auto jorg = Variables(L"R24.0", L"Prodüct", L"Jörg"), hangul = Variables(L"R24.0", L"Prodüct", L"스케치");
  Trust(jorg, L"D:\\Jörg\\Lisp;E:\\\U0001F3D7\\Blöcke;F:\\𠀀");
  Trust(hangul, L"d:\\tools\\vellmark");
  // A list of an odd number of bytes (seven: "C:\" and half an "A"): half a character is none.
  const auto odd = Variables(L"R24.0", L"Prodüct", L"Odd");
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, odd.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  ::RegSetValueExW(key, L"TRUSTEDPATHS", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\A"), 7);
  ::RegCloseKey(key);
  EXPECT_TRUE(acad.UpdateTrustedPaths().empty());
  EXPECT_EQ(Trusted(odd), L"C:\\;D:\\TOOLS\\VELLMARK");
  const std::wstring kept = L"D:\\JöRG\\LISP;E:\\\U0001F3D7\\BLöCKE;F:\\𠀀;D:\\TOOLS\\VELLMARK";
  EXPECT_EQ(Trusted(jorg), kept);
  EXPECT_EQ(Trusted(hangul), L"D:\\TOOLS\\VELLMARK") << "already trusted: nothing appended";
}

TEST_F(TrustedPathsTest, NoAutoCadKeyWritesNothing) {
  box.Set(HKEY_CURRENT_USER, L"Software\\Other", L"TRUSTEDPATHS", L"C:\\X");
  const std::string before = box.DumpRegistry();
  EXPECT_TRUE(acad.UpdateTrustedPaths().empty());
  EXPECT_EQ(box.DumpRegistry(), before);
}

// A value that is no string, or cannot be read, is left alone; the latter and an unlistable profile list reported.
TEST_F(TrustedPathsTest, WhatCannotBeReadIsLeftAloneAndReported) {
  const auto binary = Variables(L"R18.0", L"P", L"A"), denied = Variables(L"R18.0", L"P", L"B");
  Trust(binary, L"C:\\Bin", REG_BINARY);
  Trust(denied, L"C:\\Mine");
  os.FailOn("RegQueryValueExW", wt::Ansi(denied) + "\\TRUSTEDPATHS");
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()), "无法读取注册表值 HKEY_CURRENT_USER\\" + wt::Ansi(binary) +
                                                     "\\TRUSTEDPATHS（错误 0）\n无法读取注册表值 HKEY_CURRENT_USER\\" +
                                                     wt::Ansi(denied) + "\\TRUSTEDPATHS（错误 5）\n");
  DWORD type = 0;
  EXPECT_EQ(Trusted(binary, &type), L"C:\\Bin");
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(Trusted(denied), L"C:\\Mine");
  // A key that cannot be made: reported once, nothing written.
  os.StopFailing();
  os.FailOn("RegCreateKeyW", wt::Ansi(denied));
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()), "无法读取注册表值 HKEY_CURRENT_USER\\" + wt::Ansi(binary) +
                                                     "\\TRUSTEDPATHS（错误 0）\n无法创建注册表项 HKEY_CURRENT_USER\\" +
                                                     wt::Ansi(denied) + "（错误 5）\n");
  EXPECT_EQ(Trusted(denied), L"C:\\Mine");
  // A value that grows at every read (ERROR_MORE_DATA each time) is given up after a few tries.
  os.StopFailing();
  os.FailOn("RegQueryValueExW", wt::Ansi(denied) + "\\TRUSTEDPATHS", ERROR_MORE_DATA);
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()), "无法读取注册表值 HKEY_CURRENT_USER\\" + wt::Ansi(binary) +
                                                     "\\TRUSTEDPATHS（错误 0）\n无法读取注册表值 HKEY_CURRENT_USER\\" +
                                                     wt::Ansi(denied) + "\\TRUSTEDPATHS（错误 234）\n");
  EXPECT_EQ(Trusted(denied), L"C:\\Mine");
  // A profile deleted between its listing and its opening (ERROR_FILE_NOT_FOUND) is no failure.
  os.StopFailing();
  os.FailOn("RegOpenKeyExW", "R18.0\\P\\Profiles\\B", ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()),
            "无法读取注册表值 HKEY_CURRENT_USER\\" + wt::Ansi(binary) + "\\TRUSTEDPATHS（错误 0）\n");
  // A profile list whose first entry cannot be read: the name is passed over, not taken for the empty one (the folder
  // trusted in Profiles\\Variables (a doubled separator) would make Profiles\Variables, a profile AutoCAD lists).
  os.StopFailing();
  os.FailOn("RegEnumKeyExW", "R18.0\\P\\Profiles\\#0");
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()),
            "无法列出注册表项的子项 HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\P\\Profiles（错误 5）\n");
  EXPECT_EQ(box.Dump(HKEY_CURRENT_USER, L"SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\P\\Profiles\\Variables"), "")
      << "an unread name is no profile";
  os.StopFailing();
}

// The hive or a release key that will not open is reported; the releases after it are served.
TEST_F(TrustedPathsTest, AKeyThatWillNotOpenIsReportedAndTheRestServed) {
  const auto later = Variables(L"R24.0", L"P", L"A");
  Trust(Variables(L"R18.0", L"P", L"A"), L"C:\\Early");
  Trust(later, L"C:\\Late");
  os.FailOn("RegOpenKeyA", "HKEY_CURRENT_USER");
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()), "无法打开注册表项 HKEY_CURRENT_USER（错误 5）\n");
  os.StopFailing();
  os.FailOn("RegOpenKeyExW", "AutoCAD\\R18.0");
  EXPECT_EQ(wt::Told(acad.UpdateTrustedPaths()),
            "无法打开注册表项 HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R18.0（错误 5）\n");
  os.StopFailing();
  EXPECT_EQ(Trusted(later), L"C:\\LATE;D:\\TOOLS\\VELLMARK");
}

TEST_F(TrustedPathsTest, AMebibyteListIsReadAndWrittenWhole) {
  const auto v = Variables(L"R18.0", L"P", L"A");
  std::wstring list;
  while (list.size() < (1u << 20)) list += L"C:\\FOLDER" + std::to_wstring(list.size()) + L";";
  list += L"C:\\LAST";
  Trust(v, list);
  EXPECT_TRUE(acad.UpdateTrustedPaths().empty());
  EXPECT_EQ(Trusted(v), list + L";D:\\TOOLS\\VELLMARK");
}

}  // namespace
