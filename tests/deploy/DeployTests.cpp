// The file utilities, the running-AutoCAD check and the package copy on the real file system and process list; the
// program runs from the sandbox folder, so "Data" and the marker beside it are the test's to lay out.
// Wine 8 keeps no NTFS streams: "file:Zone.Identifier" is a file of that name beside "file", listed with the
// folder's entries. So the download mark is tested on its own; a package with marks is Windows-only ground.
#include "deploy/AcadRunning.h"
#include "deploy/FileUtils.h"
#include "deploy/PackageCopier.h"
#include "framework/Dialog.h"
#include "tests/win/TestPlatform.h"

namespace {

using FileUtilsTest = wt::MachineTest;
using AcadRunningTest = wt::MachineTest;

TEST_F(FileUtilsTest, ReadOnlyPathKindsAndTheDownloadMark) {
  const std::string file = box.Path("f.txt"), folder = box.Path("Sub");
  box.Write(file, "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  box.Write(folder + "\\inner", "y");
  ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  ClearReadOnly(os, file);
  EXPECT_EQ(::GetFileAttributesA(file.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  ClearReadOnly(os, box.Path("missing"));  // nothing to do, nothing done
  EXPECT_EQ(GetPathKind(os, file), PathKind::File);
  EXPECT_EQ(GetPathKind(os, folder), PathKind::Folder) << "only the directory bit counts";
  EXPECT_EQ(GetPathKind(os, box.Path("missing")), PathKind::Missing);
  EXPECT_EQ(GetPathKind(os, folder + "\\"), PathKind::Missing) << "a search takes no trailing backslash";
  EXPECT_EQ(GetPathKind(os, box.Path("Su*")), PathKind::Folder) << "a pattern is answered by its first match";
  box.Write(file + ":Zone.Identifier", "[ZoneTransfer]");
  EXPECT_TRUE(DeleteZoneIdentifier(os, file));
  EXPECT_FALSE(DeleteZoneIdentifier(os, file));
  EXPECT_EQ(box.Read(file), "x");
  EXPECT_EQ(DeepestExistingFolder(os, folder + "\\a\\b"), folder);
  EXPECT_EQ(DeepestExistingFolder(os, "\\\\vmserver\\share\\x"), "") << "nothing above a server";
}

// Real processes (copies of vm_sleeper) under the names a user may have.
TEST_F(AcadRunningTest, AnExecutableNameContainingAcadExeLetterCaseIgnored) {
  box.Run("acadlt.exe");
  box.Run("accoreconsole.exe");
  EXPECT_FALSE(IsAcadRunning(os));
  box.Run("myACAD.EXE");
  EXPECT_TRUE(IsAcadRunning(os));
  os.FailOn("CreateToolhelp32Snapshot");
  EXPECT_FALSE(IsAcadRunning(os)) << "no process list: not running";
  os.StopFailing();
}

class CopyTest : public wt::MachineTest {
 protected:
  void SetUp() override {
    bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr, nullptr, nullptr);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, 100000);
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    progress.Attach(bar);
    ::CreateDirectoryA(target.c_str(), nullptr);
  }
  void TearDown() override { ::DestroyWindow(bar), MachineTest::TearDown(); }
  void Package(const std::string& name, DWORD attributes = 0) {
    box.Write(box.Path("Data\\" + name), name, attributes);
  }
  // Located as the install button does, then copied.
  bool Copy(const std::string& into = "") {
    std::string package;
    if (!LocatePackageFolder(os.platform, package, nullptr)) return false;
    CPackageCopier copier(os.platform, into.empty() ? target : into, progress, bar);
    return copier.CopyPackage(package);
  }
  int Steps() const { return static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0)); }
  std::string Copied(const std::string& name) const { return box.Read(target + "\\" + name).value_or("<none>"); }

  HWND bar = nullptr;
  fw::CProgressCtrl progress;
  const std::string target = box.Path("Kavtor");
};

TEST_F(CopyTest, DataBesideTheProgramOrTheProgramsFolderWithTheMarker) {
  EXPECT_FALSE(Copy()) << "neither: nothing to copy (the install test has the message)";
  os.boxes.clear();
  box.Write(box.Path("Kavtor2010.arx"), "marker");
  box.Write(box.Path("beside.txt"), "beside");
  Package("in-data.txt");
  std::string folder;
  ASSERT_TRUE(LocatePackageFolder(os.platform, folder, 0));
  EXPECT_EQ(folder, box.Path("Data")) << "Data wins over the marker";
  ::DeleteFileA(box.Path("Data\\in-data.txt").c_str());
  ::RemoveDirectoryA(box.Path("Data").c_str());
  ASSERT_TRUE(Copy());
  EXPECT_EQ(Copied("Kavtor2010.arx"), "marker");
  EXPECT_EQ(Copied("beside.txt"), "beside");
  EXPECT_EQ(Copied("SetUp.exe"), "<none>") << "the program itself is never copied";
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(CopyTest, EveryFileFlatlyOneStepPerEntryNotTheSkippedOnes) {
  for (int i = 0; i < 147; ++i) Package("f" + std::to_string(i) + ".txt");
  Package("NOEXT");
  Package("hidden.lsp", FILE_ATTRIBUTE_HIDDEN);
  Package("ro.cuix", FILE_ATTRIBUTE_READONLY);
  Package("kavtor_hz.shx");  // skipped whatever the letter case, like the other font
  Package("Kavtor_EN.shx");
  Package("setup.exe");
  box.Write(box.Path("Data\\Sub\\inner.txt"), "not copied");
  ::SetFileAttributesA(box.Path("Data\\Sub").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  box.Write(target + "\\ro.cuix", "an earlier one", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Copy(target + "\\"));  // one trailing backslash is dropped
  // 147 + 6 files, the folder, "." and "..": 156 entries, and a step that finds the listing exhausted.
  EXPECT_EQ(Steps(), 157);
  for (const char* name : {"f0.txt", "f146.txt", "NOEXT", "hidden.lsp", "ro.cuix"}) EXPECT_EQ(Copied(name), name);
  for (const char* name : {"kavtor_hz.shx", "Kavtor_EN.shx", "setup.exe", "Sub"}) EXPECT_EQ(Copied(name), "<none>");
  EXPECT_EQ(::GetFileAttributesA((target + "\\ro.cuix").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

// A folder where a file must go fails the copy as a file in use or not writable does: the user is asked.
TEST_F(CopyTest, AbortRetryAndIgnore) {
  for (const char* name : {"a.arx", "b.arx", "c.arx", "d.arx"}) Package(name);
  ::CreateDirectoryA((target + "\\c.arx").c_str(), nullptr);
  os.answers = {IDABORT};
  EXPECT_FALSE(Copy());
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text,
            "拷贝文件 " + target +
                "\\c.arx 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统");
  EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_ABORTRETRYIGNORE));
  EXPECT_EQ(os.boxes[0].owner, bar) << "not whatever window is active (none is: the bar is no active window)";
  EXPECT_EQ(Copied("a.arx"), "a.arx");
  EXPECT_EQ(Copied("d.arx"), "<none>") << "Abort ends the copy";
  // Retry, retry once the way is clear, and the copy goes on.
  os.boxes.clear();
  os.answers = {IDRETRY, IDRETRY};
  os.onBox = [&](const wt::MessageBoxCall&) {
    if (os.boxes.size() == 2) ::RemoveDirectoryA((target + "\\c.arx").c_str());
  };
  EXPECT_TRUE(Copy());
  EXPECT_EQ(os.boxes.size(), 2u);
  EXPECT_EQ(Copied("c.arx"), "c.arx");
  // Ignore leaves the file and goes on; a box that cannot be shown stops.
  ::DeleteFileA((target + "\\c.arx").c_str());
  ::CreateDirectoryA((target + "\\c.arx").c_str(), nullptr);
  ::DeleteFileA((target + "\\d.arx").c_str());
  os.answers = {IDIGNORE};
  EXPECT_TRUE(Copy());
  EXPECT_EQ(Copied("d.arx"), "d.arx");
  os.FailOn("MessageBoxA");
  EXPECT_FALSE(Copy());
  os.StopFailing();
}

TEST_F(CopyTest, AListingThatCannotStartOrBreaksOffIsReportedNotTakenForTheEnd) {
  for (const char* name : {"a.arx", "b.arx"}) Package(name);
  // The package's listing cannot start, or breaks off after its first entry, for the length check (which leaves it
  // to the copy) and the copy alike.
  for (const char* entry : {"", "#2"}) {
    os.FailOn(*entry == '\0' ? "FindFirstFileA" : "FindNextFileA", box.Path("Data") + "\\*.*" + entry,
              ERROR_NETNAME_DELETED);
    EXPECT_FALSE(Copy()) << entry;
    os.StopFailing();
    ASSERT_EQ(os.boxes.size(), 1u) << entry;
    EXPECT_EQ(os.boxes[0].text,
              "无法读取安装文件所在的文件夹：\n\n" + box.Path("Data") + "\n\n请检查该文件夹后再执行SetUp.exe !");
    os.boxes.clear();
  }
}

// Refused before anything is made: a product folder over 248 characters (CreateDirectory's limit on Windows, which
// Wine does not enforce), a file path over 259; counted as Windows does, so a Chinese folder of more bytes fits.
TEST_F(CopyTest, AFolderTooLongForItsFilesIsRefusedCountingCharacters) {
  Package("a");
  const std::string longestFolder = box.Path(std::string(247 - box.Folder().size(), 'f'));
  EXPECT_TRUE(Copy(longestFolder)) << "248 characters";
  EXPECT_FALSE(Copy(longestFolder + "f")) << "249 characters: no folder";
  os.boxes.clear();
  Package(std::string(40, 'n') + ".txt");
  const std::string fits = box.Path(std::string(259 - 45 - box.Folder().size() - 1, 'd'));
  const std::string tooLong = fits + "e";
  EXPECT_FALSE(Copy(tooLong));
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_EQ(os.boxes[0].text, "安装路径过长：\n\n" + tooLong + "\n\n请选择较短的安装路径后重新安装 !");
  EXPECT_EQ(::GetFileAttributesA(tooLong.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing made";
  EXPECT_TRUE(Copy(fits));
  EXPECT_TRUE(box.Read(fits + "\\" + std::string(40, 'n') + ".txt"));
  std::string chinese = box.Path("");
  while (wt::Wide(chinese).size() < 200) chinese += "构";  // 200 characters, some 340 bytes
  EXPECT_TRUE(Copy(chinese));
  EXPECT_TRUE(box.Read(chinese + "\\" + std::string(40, 'n') + ".txt"));
  const std::string longest = std::string(259 - box.Path("Data\\").size(), 's');  // its path: 259 characters
  Package(longest);
  EXPECT_TRUE(Copy(box.Path("K")));
  EXPECT_TRUE(box.Read(box.Path("K\\") + longest));
  // One more: no ANSI call on Windows reads it (Wine's would), so it is a file that cannot be copied; Abort.
  Package(longest + "s");
  os.boxes.clear();
  EXPECT_FALSE(Copy(box.Path("K")));
  ASSERT_EQ(os.boxes.size(), 1u);
  EXPECT_NE(os.boxes[0].text.find(longest + "s"), std::string::npos);
  EXPECT_FALSE(box.Read(box.Path("K\\") + longest + "s"));
}

}  // namespace
