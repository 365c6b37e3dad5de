// Vellmark installed through the real dialog and taken back by the uninstaller, in the scratch registry and folders:
// the machine as it was but for the fonts, whatever happened in between.
#include "app/uninstall/UninstallEntry.h"
#include "tests/app/SetupCase.h"
#include "text/AnsiText.h"

namespace {

const std::wstring kAcad = L"SOFTWARE\\Autodesk\\AutoCAD\\";
const std::wstring k2008 = kAcad + L"R17.1\\ACAD-6001:804", k2016 = kAcad + L"R20.1\\ACAD-F001:804";
const std::wstring kProfiles = L"Software\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Profiles\\";
const char* const kPackage[] = {"Kavtor2008.ARX", "Kavtor2015.ARX", "ACAD2007.dll",  "ACAD2013.dll",
                                "Kavtor.prt5",    "说明.txt",       "Kavtor_EN.shx", "Kavtor_HZ.shx"};

// The files less the shape fonts, which stay in AutoCAD's folders.
std::string WithoutFonts(const std::string& dump) {
  return wt::Without(dump, [](const std::string& line) { return line.find("\\Fonts\\Kavtor_") != std::string::npos; });
}

class RemovalTest : public wt::MachineTest {
 protected:
  void SetUp() override {
    for (const char* name : kPackage) box.Write(box.Path("Data\\") + name, std::string("new ") + name);
    box.AddAcad(k2008, a2008, L"AutoCAD 2008");
    box.AddAcad(k2016, a2016, L"AutoCAD 2016");
    box.Write(a2008 + "\\Drv\\pdfplot9.hdi", "Autodesk's driver");
    box.Set(HKEY_LOCAL_MACHINE, k2016 + L"\\Applications\\Other", L"LOADER", L"C:\\Other\\other.arx");
    box.Set(HKEY_CURRENT_USER, kProfiles + L"Jörg\\Variables", L"TRUSTEDPATHS", L"D:\\Jörg\\Lisp;e:\\Blocks\\...");
    box.Set(HKEY_CURRENT_USER, kProfiles + L"Empty\\Variables", L"Other", L"x");  // no TRUSTEDPATHS
    box.AddKey(HKEY_CURRENT_USER, kProfiles + L"New");                            // no Variables
    box.AddKey(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::kUninstallKey));           // as every Windows has it
    registry = wt::TrustedListsUpper(box.DumpRegistry());
    files = box.DumpFiles();
    snapshot = wt::Snapshot(box);
  }

  // The default installation into `folder`, both releases ticked.
  void Install(const std::string& folder) {
    CAcadSetup acad(os.platform);
    os.boxes.clear();
    ASSERT_EQ(wt::RunSetup(os, acad, 32, wt::InstallInto(folder)), IDOK);
    ASSERT_EQ(os.boxes.size(), 2u) << os.boxes[0].text;
  }
  RemovalReport Remove(const std::string& product) { return wt::RunRemoval(os, 32, product); }
  // What the removal of x changed since the seed, and what it told, as the case's data says.
  void ExpectCase(const std::string& name, const RemovalReport& report) {
    wt::ExpectCase(name, wt::Changes(snapshot, wt::Snapshot(box), x) + wt::Reported(report, 32, x));
  }
  void ExpectAsBefore() {
    EXPECT_EQ(wt::TrustedListsUpper(box.DumpRegistry()), registry);
    EXPECT_EQ(WithoutFonts(box.DumpFiles()), files);
  }
  std::string Entry() {
    return wt::Ansi(box.Get(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::EntryKey(32)), L"InstallLocation").value_or(L""));
  }

  const std::string a2008 = box.Path("AutoCAD 2008"), a2016 = box.Path("AutoCAD 2016");
  const std::string x = box.Path("X\\Vellmark"), y = box.Path("结构\\Vellmark");
  std::string registry, files, snapshot;
};

// Installed twice into the same folder (a repeated installation is complete, its uninstaller overwritten): every
// key, value, trusted folder and file the installation made goes, AutoCAD 2008's driver comes back, the fonts stay
// and are named as staying; run again, it finds nothing left and says so without a failure.
TEST_F(RemovalTest, TheMachineIsAsItWasButTheFontsAndASecondRunFindsNothing) {
  Install(box.Path("X"));
  Install(box.Path("X"));
  ASSERT_EQ(Entry(), x);
  ExpectCase("remove", Remove(x));
  const RemovalReport again = Remove(x);
  EXPECT_TRUE(again.removed.empty() && again.kept.empty() && again.failures.empty());
  ExpectAsBefore();
}

// AutoCAD 2016 removed before Vellmark, 2008's assembly key and files of the product folder deleted by hand: the rest
// goes all the same.
TEST_F(RemovalTest, AutoCadRemovedFirstAndAPartlyDeletedProductFolder) {
  box.AddKey(HKEY_CURRENT_USER, kProfiles + L"Zed");  // its Variables made by the installation, as New's
  Install(box.Path("X"));
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (k2008 + L"\\Applications\\Kavtor2008DLL").c_str());
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, k2016.c_str());
  wt::RemoveAll(a2016);
  ::DeleteFileA((x + "\\Kavtor2015.ARX").c_str());
  // A profile deleted, and one whose Variables AutoCAD has written to since: the profiles after them are served.
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (kProfiles + L"Empty").c_str());
  box.Set(HKEY_CURRENT_USER, kProfiles + L"New\\Variables", L"Other", L"AutoCAD's");
  ExpectCase("remove-after-autocad", Remove(x));  // Zed kept, its Variables gone
}

// A file changed since the installation is the user's now, even one whose size stayed: kept and named, and with it
// its folder; the removal has finished, so the entry goes. The user deletes the rest by hand, and a second run
// takes the folder above, which the installation made.
TEST_F(RemovalTest, AChangedFileIsKeptAndNamed) {
  Install(box.Path("X"));
  box.Write(x + "\\说明.txt", "my notes");
  const std::string assembly = a2016 + "\\ACAD2013.dll";
  box.Write(assembly, "NEW ACAD2013.dll");  // the size it had
  const HANDLE file = ::CreateFileA(assembly.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const FILETIME old{0, 30000000};  // 1606
  ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &old));
  ::CloseHandle(file);
  ExpectCase("remove-changed-files", Remove(x));
  wt::RemoveAll(x);
  ::DeleteFileA(assembly.c_str());
  EXPECT_EQ(wt::Told(Remove(x).failures), "");
  ExpectAsBefore();
}

// Installed into X, then again into Y: AutoCAD loads from Y, and Apps & Features names Y. X's uninstaller takes back
// only X's files and trust; the keys, assemblies and driver Y's installation uses stay. Y's then takes back the rest,
// but for what Y found made (by X): an empty Applications key, empty trusted lists, harmless to AutoCAD.
TEST_F(RemovalTest, EachFolderTakesBackOnlyItsOwn) {
  Install(box.Path("X"));
  Install(box.Path("结构"));
  ExpectCase("remove-first-of-two", Remove(x));
  const RemovalReport second = Remove(y);
  wt::ExpectCase("remove-two-folders", wt::Changes(snapshot, wt::Snapshot(box), y) + wt::Reported(second, 32, y));
}

// What will not go is reported, and the rest goes (each refused with ERROR_ACCESS_DENIED by the failure stand-in, as
// Windows refuses a standard user): a profile's list that cannot be written back (profiles are listed in name order,
// Empty first, so the others come after it), a Variables key the installation made, an assembly in AutoCAD's folder,
// AutoCAD 2016's installation key (its loader keys stay), a profile's Variables key.
// A second run then finds the Apps & Features entry's folder unreadable: not knowing whose the entry is, it keeps
// the uninstaller and its record. A third finishes the job.
TEST_F(RemovalTest, WhatWillNotGoIsReportedTheRestGoesAndALaterRunFinishes) {
  Install(box.Path("X"));
  os.FailOn("RegDeleteValueW", "Profiles\\Empty\\Variables");
  os.FailOn("RegDeleteKeyW", "Profiles\\New\\Variables");
  os.FailOn("DeleteFileA", a2008 + "\\ACAD2013.dll");
  os.FailOn("RegOpenKeyA", wt::Ansi(k2016));
  os.FailOn("RegOpenKeyExW", "Profiles\\J");  // Jörg's Variables; the narrowed subject reads J?rg
  ExpectCase("remove-refused", Remove(x));
  os.StopFailing();
  os.FailOn("RegQueryValueExA", uninstall::EntryKey(32) + "\\InstallLocation");
  EXPECT_EQ(wt::Told(Remove(x).failures),
            "无法读取注册表值 HKEY_LOCAL_MACHINE\\" + uninstall::EntryKey(32) + "（错误 5）\n");
  os.StopFailing();
  EXPECT_TRUE(box.Read(x + "\\Uninstall.exe") && box.Read(x + "\\Uninstall.dat"));
  EXPECT_EQ(Entry(), x);
  EXPECT_EQ(wt::Told(Remove(x).failures), "");
  ExpectAsBefore();
}

// The elevated copy, a process of its own, finds the AutoCAD installations itself, removes, and tells the outcome in
// one message. Its own deletion at the next restart is refused by the failure stand-in: the test program stays.
TEST_F(RemovalTest, TheElevatedCopyFindsAutoCadItselfAndTellsTheOutcome) {
  Install(box.Path("X"));
  CAcadSetup undiscovered(os.platform);
  os.boxes.clear();
  os.FailOn("MoveFileExA", "SetUp.exe|");
  uninstall::CUninstaller(os.platform, undiscovered, 32).RunRemoval(0, x);
  os.StopFailing();
  EXPECT_EQ(os.failed, std::vector<std::string>{"MoveFileExA"});
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text.rfind("Vellmark 结构工具箱 ( 32位 AutoCAD版 ) 已卸载。", 0), 0u) << os.boxes[0].text;
  EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  ExpectAsBefore();
}

// A file held open (as a running AutoCAD holds its modules; ERROR_SHARING_VIOLATION, as Windows and Wine answer the
// deletion) is reported; the entry, the uninstaller and the record stay, and a second run finishes the job.
TEST_F(RemovalTest, ALockedFileIsReportedTheEntryStaysAndASecondRunFinishes) {
  Install(box.Path("X"));
  const HANDLE held =
      ::CreateFileA((x + "\\Kavtor2015.ARX").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // The Applications key the installation made, in either view (the i686 program names 2008's below Wow6432Node).
  const std::string applications = "AutoCAD\\R17.1\\ACAD-6001:804\\Applications";
  os.FailOn("RegDeleteKeyA", applications);
  const RemovalReport first = Remove(x);
  os.StopFailing();
  ::CloseHandle(held);
  const std::string told = wt::Told(first.failures);
  EXPECT_EQ(told.rfind("无法删除注册表项 HKEY_LOCAL_MACHINE\\SOFTWARE\\", 0), 0u) << told;
  EXPECT_EQ(told.substr(std::min(told.find(applications), told.size())),
            applications + "（错误 5）\n无法删除文件 " + x + "\\Kavtor2015.ARX（错误 32）\n");
  EXPECT_EQ(Entry(), x);
  EXPECT_TRUE(box.Read(x + "\\Uninstall.exe") && box.Read(x + "\\Uninstall.dat"));
  const std::string message = uninstall::ComposeClosingMessage(32, first);
  EXPECT_EQ(message.rfind("卸载未完成！以下项目未能删除：\n无法删除注册表项 ", 0), 0u) << message;
  EXPECT_NE(message.find("然后在“应用和功能”中再次卸载 Vellmark 结构工具箱 ( 32位 AutoCAD版 )，即可完成卸载。"),
            std::string::npos);
  EXPECT_EQ(wt::Told(Remove(x).failures), "");
  ExpectAsBefore();
}

// Started from its folder: the question names what goes; No changes nothing; AutoCAD running is refused with Retry
// and Cancel; a declined elevation prompt (the user's answer: ERROR_CANCELLED) is told, and its copy does not stay.
// The test program stands in for the uninstaller in its own folder: Vellmark is installed into the folder above it.
TEST_F(RemovalTest, TheUninstallerAsksWaitsForAutoCadAndNeedsAnAdministrator) {
  const std::string product = box.Folder();
  Install(product.substr(0, product.rfind('\\')));
  // An AutoCAD that loads Vellmark from another folder is not named.
  const std::wstring k2010 = kAcad + L"R18.0\\ACAD-8001:804";
  box.AddAcad(k2010, box.Path("AutoCAD 2010"), L"AutoCAD 2010");
  box.Set(HKEY_LOCAL_MACHINE, k2010 + L"\\Applications\\Kavtor2010", L"LOADER", L"C:\\Other\\Kavtor2010.ARX");
  const std::string registryNow = box.DumpRegistry(), filesNow = box.DumpFiles();
  CAcadSetup acad(os.platform);
  uninstall::CUninstaller uninstaller(os.platform, acad, 32);
  os.boxes.clear();
  // Its own path unknown, or longer than the program reads: nothing to remove.
  for (const DWORD error : {ERROR_ACCESS_DENIED, ERROR_INSUFFICIENT_BUFFER}) {
    os.FailOn("GetModuleFileNameW", "", error);
    uninstaller.RunFromProductFolder();
    os.StopFailing();
  }
  os.answers = {IDNO};
  uninstaller.RunFromProductFolder();
  os.answers = {IDYES};
  os.startAnswer = ERROR_CANCELLED;
  // A copy left from an earlier run (it goes only at the next restart) is overwritten.
  const std::string copy = os.GetTempPathA() + "Vellmark-Uninstall-" + std::to_string(::GetCurrentProcessId()) + ".exe";
  box.Write(copy, "stale");
  uninstaller.RunFromProductFolder();
  EXPECT_EQ(os.started, (std::vector<std::string>{"runas " + copy + " /remove " +
                                                  std::to_string(::GetCurrentProcessId()) + " \"" + product + "\""}));
  EXPECT_EQ(::GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES) << "the copy does not stay";
  EXPECT_EQ(box.DumpFiles(), filesNow);
  os.FailOn("GetTempPathA", "");  // no temporary folder: no copy anywhere else
  os.answers = {IDYES};
  uninstaller.RunFromProductFolder();
  os.StopFailing();
  EXPECT_EQ(box.DumpFiles(), filesNow);
  box.Run("acad.exe");
  os.answers = {IDYES, IDRETRY, IDCANCEL};
  uninstaller.RunFromProductFolder();
  EXPECT_EQ(os.started.size(), 1u);
  EXPECT_EQ(box.DumpRegistry(), registryNow);
  wt::ExpectCase("uninstaller-asks", wt::Shown(os, product));
  ASSERT_EQ(os.boxes.size(), 10u);
  EXPECT_EQ(os.boxes[2].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(os.boxes[9].type, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
}

}  // namespace
