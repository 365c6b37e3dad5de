// Locating the package and copying it flatly into the product folder, with the
// progress steps and the Abort/Retry/Ignore question.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "deploy/PackageCopier.h"
#include "framework/Dialog.h"
#include "platform/memory/MemoryMachine.h"
#include "text/Captions.h"

namespace {

constexpr int kHostTemplate = 900;
constexpr int kBar = 1014;
const std::string kTarget = "C:\\Kavtor\\Vellmark";

// A dialog with a progress bar, standing in for the setup dialog that owns the
// copier's messages.
class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mem::DialogTemplate host;
    host.controls.push_back({"", kBar, "msctls_progress32", mem::kWsChild | mem::kWsVisible, 0, 0, 10, 10});
    m.windows.AddDialogTemplate(kHostTemplate, host);
    m.windows.InitDialogControls();
    m.files.SetModulePath("C:\\Dist\\SetUp.exe");
    m.files.AddFile("C:\\Dist\\SetUp.exe", "program");
    m.files.AddFolder(kTarget);
  }

  void AddPackageFile(const std::string& name, const std::string& content = "data",
                      std::uint32_t attributes = plat::kFileAttributeArchive) {
    m.files.AddFile("C:\\Dist\\Data\\" + name, content, attributes);
  }

  // Runs one copy inside the host dialog; returns its result.
  bool Copy(const std::string& target = kTarget) {
    bool result = false;
    m.windows.QueueUser([&](mem::DialogUser& u) {
      fw::CProgressCtrl bar;
      bar.Attach(m.windows, m.windows.GetDlgItem(u.Dialog(), kBar));
      CPackageCopier copier(m.platform, target, bar);
      result = copier.CopyPackage();
      steps = m.windows.Find(bar.GetSafeHwnd())->stepsTaken;
    });
    fw::CDialog host(m.windows, kHostTemplate);
    host.DoModal();
    EXPECT_EQ(m.files.OpenHandles(), 0u);
    return result;
  }

  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& box : m.windows.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  mem::MemoryMachine m;
  int steps = 0;
};

TEST_F(CopyTest, DataBesideTheProgramWinsOverTheMarker) {
  m.files.AddFile("C:\\Dist\\Kavtor2010.arx", "beside");
  AddPackageFile("Kavtor2010.arx", "inside");
  std::string folder;
  EXPECT_TRUE(LocatePackageFolder(m.platform, folder));
  EXPECT_EQ(folder, "C:\\Dist\\Data");
  EXPECT_TRUE(Copy());
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\Kavtor2010.arx"), "inside");
}

TEST_F(CopyTest, MarkerFileMakesTheProgramFolderThePackage) {
  m.files.AddFile("C:\\Dist\\Kavtor2010.arx", "marker");
  m.files.AddFile("C:\\Dist\\SETUP.exe", "program");  // the same file, as a user may have renamed it
  m.files.AddFile("C:\\Dist\\Kavtor2016.ARX", "module");
  EXPECT_TRUE(Copy());
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\Kavtor2010.arx"), "marker");
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\Kavtor2016.ARX"), "module");
  EXPECT_FALSE(m.files.Exists(kTarget + "\\SetUp.exe"));
}

TEST_F(CopyTest, NoPackageTellsTheUserAndTouchesNothing) {
  m.files.AddFile("C:\\Dist\\Data", "a file, not a folder");
  const std::string before = m.files.ListAll();
  EXPECT_FALSE(Copy("C:\\Kavtor\\New\\Vellmark"));
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(m.files.ListAll(), before);
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  const auto& box = m.windows.MessageBoxes()[0];
  EXPECT_EQ(box.text, "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !");
  EXPECT_EQ(box.caption, captions::kSetup);
  EXPECT_EQ(box.type, plat::kMbOk);
  EXPECT_EQ(box.owner, m.windows.LastDialog());
}

TEST_F(CopyTest, CopiesFilesFlatlySkippingFoldersAndTheSkipNames) {
  AddPackageFile("Kavtor2016.ARX");
  AddPackageFile("README", "no extension");
  AddPackageFile("hidden.cfg", "h", plat::kFileAttributeHidden);
  AddPackageFile("kavtor_hz.shx");
  AddPackageFile("KAVTOR_EN.SHX");
  AddPackageFile("Setup.Exe");
  m.files.AddFolder("C:\\Dist\\Data\\Sub");
  AddPackageFile("Sub\\inner.txt");
  m.files.SetFileAttributesA("C:\\Dist\\Data\\Sub", plat::kFileAttributeDirectory | plat::kFileAttributeHidden |
                                                        plat::kFileAttributeReadOnly | plat::kFileAttributeArchive);
  EXPECT_TRUE(Copy());
  EXPECT_TRUE(m.files.Exists(kTarget + "\\Kavtor2016.ARX"));
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\README"), "no extension");
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\hidden.cfg"), "h");
  for (const char* skipped : {"kavtor_hz.shx", "KAVTOR_EN.SHX", "Setup.Exe", "Sub", "inner.txt"})
    EXPECT_FALSE(m.files.Exists(kTarget + "\\" + skipped)) << skipped;
  EXPECT_TRUE(m.windows.MessageBoxes().empty());
  // ".", "..", six files and the subfolder, plus the pass that finds the end.
  EXPECT_EQ(steps, 10);
}

TEST_F(CopyTest, TenFilesGiveThirteenSteps) {
  for (int i = 0; i < 10; ++i) AddPackageFile("f" + std::to_string(i));
  EXPECT_TRUE(Copy());
  EXPECT_EQ(steps, 13);
}

TEST_F(CopyTest, AHundredAndFiftyEntriesAreAllCopied) {
  for (int i = 0; i < 148; ++i) AddPackageFile("file" + std::to_string(i) + ".dat", std::to_string(i));
  EXPECT_TRUE(Copy());
  EXPECT_EQ(steps, 151);
  for (int i = 0; i < 148; ++i)
    ASSERT_EQ(m.files.ReadFile(kTarget + "\\file" + std::to_string(i) + ".dat"), std::to_string(i)) << i;
}

TEST_F(CopyTest, ReadOnlyFilesAndDownloadMarks) {
  AddPackageFile("Kavtor2016.ARX", "new", plat::kFileAttributeReadOnly);
  m.files.AddFile("C:\\Dist\\Data\\Kavtor2016.ARX:Zone.Identifier", "ZoneId=3");
  m.files.AddFile(kTarget + "\\Kavtor2016.ARX", "old", plat::kFileAttributeReadOnly);
  EXPECT_TRUE(Copy());
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\Kavtor2016.ARX"), "new");
  EXPECT_EQ(m.files.Attributes(kTarget + "\\Kavtor2016.ARX") & plat::kFileAttributeReadOnly, 0u);
  EXPECT_TRUE(m.files.Streams(kTarget + "\\Kavtor2016.ARX").empty()) << "the mark went before the copy";
  EXPECT_TRUE(m.files.Streams("C:\\Dist\\Data\\Kavtor2016.ARX").empty());
}

TEST_F(CopyTest, TrailingBackslashOfTheTargetIsDropped) {
  AddPackageFile("a.txt");
  EXPECT_TRUE(Copy(kTarget + "\\"));
  EXPECT_TRUE(m.files.Exists(kTarget + "\\a.txt"));
}

TEST_F(CopyTest, AbortAtTheThirdFileKeepsTheFirstTwo) {
  for (const char* name : {"a", "b", "c", "d"}) AddPackageFile(name);
  m.files.AddFile(kTarget + "\\c", "in use");
  m.files.LockFile(kTarget + "\\c");
  m.windows.QueueMessageBoxAnswer(plat::kIdAbort);
  EXPECT_FALSE(Copy());
  EXPECT_TRUE(m.files.Exists(kTarget + "\\a"));
  EXPECT_TRUE(m.files.Exists(kTarget + "\\b"));
  EXPECT_FALSE(m.files.Exists(kTarget + "\\d"));
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  const auto& box = m.windows.MessageBoxes()[0];
  EXPECT_EQ(box.text, "拷贝文件 " + kTarget +
                          "\\c 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统");
  EXPECT_EQ(box.type, plat::kMbAbortRetryIgnore);
  EXPECT_EQ(box.caption, captions::kSetup);
}

TEST_F(CopyTest, RetryCopiesOnceTheDestinationIsFreeAndIgnoreGoesOn) {
  for (const char* name : {"a", "b", "c"}) AddPackageFile(name);
  m.files.AddFile(kTarget + "\\b", "in use");
  m.files.LockFile(kTarget + "\\b");
  // Retry twice while it is held, then Ignore.
  for (int answer : {plat::kIdRetry, plat::kIdRetry, plat::kIdIgnore}) m.windows.QueueMessageBoxAnswer(answer);
  EXPECT_TRUE(Copy());
  EXPECT_EQ(m.windows.MessageBoxes().size(), 3u);
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\b"), "in use");
  EXPECT_TRUE(m.files.Exists(kTarget + "\\c"));

  // The destination released between the question and the answer.
  m.faults.FailOperation("CopyFileA", 1);
  m.windows.QueueMessageBoxAnswer(plat::kIdRetry);
  m.files.LockFile(kTarget + "\\b", false);
  EXPECT_TRUE(Copy());
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\a"), "data");
  EXPECT_EQ(m.files.ReadFile(kTarget + "\\b"), "data");
}

TEST_F(CopyTest, AQuestionThatCannotBeShownStopsTheCopy) {
  AddPackageFile("a");
  m.files.AddFile(kTarget + "\\a", "in use");
  m.files.LockFile(kTarget + "\\a");
  m.faults.FailOperation("MessageBoxA", 1, true);
  EXPECT_FALSE(Copy());
}

TEST_F(CopyTest, UnreadableListingIsReportedAndCopiesNothing) {
  AddPackageFile("a");
  m.faults.FailOperation("FindFirstFileA", 2);  // the first one found the Data folder
  EXPECT_FALSE(Copy());
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  EXPECT_NE(m.windows.MessageBoxes()[0].text.find("C:\\Dist\\Data"), std::string::npos);
  EXPECT_FALSE(m.files.Exists(kTarget + "\\a"));
}

TEST_F(CopyTest, PathsTooLongForTheFileCallsAreNeverCut) {
  const std::string longName(259 - kTarget.size() - 1 + 1, 'n');  // destination of exactly 260 characters
  AddPackageFile("short");
  m.files.AddFile("C:\\Dist\\Data\\" + longName, "long");
  m.windows.QueueMessageBoxAnswer(plat::kIdIgnore);
  EXPECT_TRUE(Copy());
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  EXPECT_NE(m.windows.MessageBoxes()[0].text.find(longName), std::string::npos) << "the question names the file";
  EXPECT_TRUE(m.files.Exists(kTarget + "\\short"));

  const std::string tooLong = "C:\\" + std::string(255, 't');
  const std::string before = m.files.ListAll();
  EXPECT_FALSE(Copy(tooLong));
  EXPECT_EQ(m.files.ListAll(), before) << "refused before anything is created";
  EXPECT_NE(m.windows.MessageBoxes().back().text.find("安装路径过长"), std::string::npos);
}

TEST_F(CopyTest, EveryFailingCallEndsCleanly) {
  for (const char* name : {"a", "b", "c"}) AddPackageFile(name);
  m.faults.ResetCount();
  ASSERT_TRUE(Copy());
  const std::size_t calls = m.faults.Calls();
  for (bool repeat : {false, true}) {
    for (std::size_t k = 1; k <= calls; ++k) {
      m.faults.ResetCount();
      m.faults.FailCall(k, repeat);
      for (int i = 0; i < 3; ++i) m.windows.QueueMessageBoxAnswer(plat::kIdAbort);
      const bool copied = Copy();
      m.faults.Clear();
      if (copied) {
        // A copy that reports success either holds every file or asked about the
        // one it left out... and was told to go on, which Abort never says.
        for (const char* name : {"a", "b", "c"}) EXPECT_TRUE(m.files.Exists(kTarget + "\\" + name)) << k;
      }
      m.files.DeleteFileA((kTarget + "\\a").c_str());
      m.files.DeleteFileA((kTarget + "\\b").c_str());
      m.files.DeleteFileA((kTarget + "\\c").c_str());
    }
  }
}

}  // namespace
