// The browse and install buttons over the whole in-memory machine: what a user
// sees and what ends up in the file system and the registry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "acad/AcadSetup.h"
#include "app/setupdlg/SetupDlg.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"
#include "tests/support/SetupTemplate.h"
#include "text/AnsiText.h"
#include "text/Captions.h"

namespace {

constexpr const char* kA2008 = "C:\\AutoCAD 2008";
constexpr const char* kA2016 = "C:\\AutoCAD 2016";
constexpr const char* k2008Key = "SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
constexpr const char* k2016Key = "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804";
constexpr const char* kProfile2016 =
    "HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables";
constexpr const char* kDone = "安装完成，重启CAD即可使用 !";
constexpr const char* kInvalid = "安装路径无效，请重新选择安装路径 !";
constexpr const char* kCloseAcad = "请关闭AutoCAD后再进行安装 !";
constexpr const char* kPartly = "部分AutoCAD注册或支持文件复制未成功，可能需要以管理员身份运行SetUp.exe后重新安装：";
const std::vector<std::string> kPackage = {"Kavtor2015.ARX", "Kavtor2008.ARX", "Kavtor2010.arx", "ACAD2013.dll",
                                           "ACAD2007.dll",   "Kavtor.prt5",    "readme.txt"};

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bCheckAcadRunning = true;
    std::string error;
    ASSERT_TRUE(testing_support::LoadSetupDialogTemplate(m.windows, error)) << error;
    m.files.AddDrive('D');
    m.files.SetModulePath("C:\\Dist\\SetUp.exe");
    m.files.AddFile("C:\\Dist\\SetUp.exe", "program");
    for (const std::string& name : kPackage) m.files.AddFile("C:\\Dist\\Data\\" + name, "new " + name);
    for (const char* font : {"Kavtor_EN.shx", "Kavtor_HZ.shx"})
      m.files.AddFile(std::string("C:\\Dist\\Data\\") + font, font);
    AddAcad(k2008Key, kA2008, "AutoCAD 2008");
    AddAcad(k2016Key, kA2016, "AutoCAD 2016");
    m.registry.SetString(kProfile2016, "TRUSTEDPATHS", "D:\\Mine\\...");
  }

  void AddAcad(const std::string& key, const std::string& folder, const std::string& product) {
    testing_support::AddInstallation(m.registry, key, folder, product);
    m.files.AddFolder(folder + "\\Fonts");
    m.files.AddFolder(folder + "\\Drv");
  }

  // Runs the dialog with `user` in front of it; returns the modal result.
  std::intptr_t Run(std::function<void(mem::DialogUser&)> user) {
    m.windows.InitDialogControls();
    acad.DiscoverReleases();
    m.windows.QueueUser([&, user](mem::DialogUser& u) {
      user(u);
      const mem::Window& bar = u.Control(setupdlg::kProgressBar);
      barShown = bar.visible;
      barLow = bar.rangeLow;
      barHigh = bar.rangeHigh;
      barPos = bar.pos;
      barSteps = bar.stepsTaken;
      rowHidden = !u.Control(setupdlg::kPathEdit).visible && !u.Control(setupdlg::kBrowseButton).visible &&
                  !u.Control(setupdlg::kPathLabel).visible;
      installEnabled = u.Control(setupdlg::kInstallButton).enabled;
      ended = u.Ended();
      if (!ended) u.Click(2);
    });
    std::intptr_t result = 0;
    {
      Dlg_Setup dlg(m.platform, acad, 0, 32, kSetupVersion);
      result = dlg.DoModal();
    }
    EXPECT_EQ(m.files.OpenHandles(), 0u);
    EXPECT_EQ(m.registry.OpenHandles(), 0u);
    EXPECT_EQ(m.processes.OpenHandles(), 0u);
    EXPECT_EQ(m.windows.LiveGdiObjects(), 0u);
    return result;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : m.windows.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  std::optional<std::string> Loader(const std::string& key, const std::string& app) {
    return m.registry.GetString("HKEY_LOCAL_MACHINE\\" + key + "\\Applications\\" + app, "LOADER");
  }

  void ExpectInstalledInto(const std::string& product) {
    for (const std::string& name : kPackage)
      EXPECT_EQ(m.files.ReadFile(product + "\\" + name), "new " + name) << product << "\\" << name;
    EXPECT_FALSE(m.files.Exists(product + "\\SetUp.exe"));
    EXPECT_FALSE(m.files.Exists(product + "\\Kavtor_EN.shx"));
    EXPECT_EQ(Loader(k2016Key, "Kavtor2016"), product + "\\Kavtor2015.ARX");
    EXPECT_EQ(Loader(k2008Key, "Kavtor2008"), product + "\\Kavtor2008.ARX");
    EXPECT_EQ(m.registry.GetString(kProfile2016, "TRUSTEDPATHS"), "D:\\MINE\\...;" + ansi::UpperAscii(product));
    EXPECT_TRUE(m.files.Exists(std::string(kA2016) + "\\Fonts\\Kavtor_HZ.shx"));
    EXPECT_TRUE(m.files.Exists(std::string(kA2016) + "\\ACAD2013.dll"));
    EXPECT_TRUE(m.files.Exists(std::string(kA2008) + "\\Drv\\pdfplot9.hdi"));
    EXPECT_FALSE(m.files.Exists(std::string(kA2016) + "\\Drv\\pdfplot9.hdi"));
  }

  mem::MemoryMachine m;
  CAcadSetup acad{m.platform};
  bool barShown = false, rowHidden = false, installEnabled = false, ended = false;
  int barLow = -1, barHigh = -1, barPos = -1, barSteps = -1;
};

TEST_F(InstallTest, DefaultFolderInstallsEverythingAndEndsWithOk) {
  EXPECT_EQ(Run([](mem::DialogUser& u) { u.Click(setupdlg::kInstallButton); }), plat::kIdOk);
  ExpectInstalledInto("C:\\Kavtor\\Vellmark");
  ASSERT_EQ(m.windows.MessageBoxes().size(), 2u);
  EXPECT_EQ(m.windows.MessageBoxes()[0].text, kDone);
  EXPECT_EQ(m.windows.MessageBoxes()[0].caption, captions::kToolbox);
  EXPECT_EQ(m.windows.MessageBoxes()[1].text.rfind("若要导入早期版本", 0), 0u);
  EXPECT_EQ(m.windows.MessageBoxes()[1].caption, captions::kToolbox);
  // 9 package entries ("." and ".." included) + 1 pass with no entry + the three
  // installation steps, on a bar of 0..50 that ends full.
  EXPECT_TRUE(barShown);
  EXPECT_TRUE(rowHidden);
  EXPECT_EQ(barLow, 0);
  EXPECT_EQ(barHigh, 50);
  EXPECT_EQ(barPos, 50);
  EXPECT_EQ(barSteps, static_cast<int>(kPackage.size()) + 2 + 2 + 1 + 3);
}

TEST_F(InstallTest, RunningAutoCadIsRefusedOnceThenInstalled) {
  m.processes.SetRunning({"explorer.exe", "ACAD.EXE"});
  const std::string before = m.files.ListAll();
  const auto result = Run([&](mem::DialogUser& u) {
    u.Click(setupdlg::kInstallButton);
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(m.files.ListAll(), before);  // nothing created by the refusal
    u.Click(setupdlg::kInstallButton);
  });
  EXPECT_EQ(result, plat::kIdOk);
  ASSERT_EQ(m.windows.MessageBoxes().size(), 3u);
  EXPECT_EQ(m.windows.MessageBoxes()[0].text, kCloseAcad);
  EXPECT_EQ(m.windows.MessageBoxes()[0].caption, captions::kSetup);
  ExpectInstalledInto("C:\\Kavtor\\Vellmark");
}

TEST_F(InstallTest, TypedFolderWithTrailingBackslashAndADriveRoot) {
  EXPECT_EQ(Run([](mem::DialogUser& u) {
              u.Type(setupdlg::kPathEdit, "D:\\工具\\");
              u.Click(setupdlg::kInstallButton);
            }),
            plat::kIdOk);
  ExpectInstalledInto("D:\\工具\\Vellmark");
}

TEST_F(InstallTest, DriveRootGetsTheProductFolderDirectlyBelowIt) {
  EXPECT_EQ(Run([](mem::DialogUser& u) {
              u.Type(setupdlg::kPathEdit, "D:\\");
              u.Click(setupdlg::kInstallButton);
            }),
            plat::kIdOk);
  ExpectInstalledInto("D:\\Vellmark");
}

// Empty, relative and invalid folders are refused before anything is created;
// the dialog stays in the choosing state and a valid folder then installs.
TEST_F(InstallTest, InvalidFoldersAreRefusedAndNothingIsCreated) {
  const std::string files = m.files.ListAll();
  const std::string registry = m.registry.Export();
  const auto result = Run([&](mem::DialogUser& u) {
    for (const char* bad : {"", "Tools", "\\Tools", "D:Tools", "D:\\a|b", "D:\\a\\ b", "\\\\server\\share"}) {
      u.Type(setupdlg::kPathEdit, bad);
      u.Click(setupdlg::kInstallButton);
      EXPECT_FALSE(u.Ended()) << bad;
      EXPECT_TRUE(u.Control(setupdlg::kInstallButton).enabled) << bad;
      EXPECT_TRUE(u.Control(setupdlg::kPathEdit).visible) << bad;
      EXPECT_EQ(m.files.ListAll(), files) << bad;
    }
    EXPECT_EQ(m.registry.Export(), registry);
    u.Type(setupdlg::kPathEdit, "D:\\Tools");
    u.Click(setupdlg::kInstallButton);
  });
  EXPECT_EQ(result, plat::kIdOk);
  const auto texts = Texts();
  ASSERT_GE(texts.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(texts[i], kInvalid) << i;
    EXPECT_EQ(m.windows.MessageBoxes()[i].caption, captions::kSetup) << i;
  }
  ExpectInstalledInto("D:\\Tools\\Vellmark");
}

// The folder's parent is missing: neither folder can be made, the copy asks
// about the first file, and Abort ends the dialog with nothing registered.
TEST_F(InstallTest, MissingParentFailsTheCopyAndAbortRegistersNothing) {
  const std::string registry = m.registry.Export();
  m.windows.QueueMessageBoxAnswer(plat::kIdAbort);
  const auto result = Run([](mem::DialogUser& u) {
    u.Type(setupdlg::kPathEdit, "D:\\Missing\\Deep");
    u.Click(setupdlg::kInstallButton);
  });
  EXPECT_EQ(result, plat::kIdCancel);
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  EXPECT_NE(m.windows.MessageBoxes()[0].text.find("D:\\Missing\\Deep\\Vellmark\\"), std::string::npos);
  EXPECT_EQ(m.windows.MessageBoxes()[0].type & 0xF, plat::kMbAbortRetryIgnore);
  EXPECT_EQ(m.registry.Export(), registry);
  EXPECT_FALSE(m.files.Exists("D:\\Missing"));
  EXPECT_EQ(m.windows.UnscriptedMessageBoxes(), 0u);
}

TEST_F(InstallTest, NoPackageTellsTheUserAndRegistersNothing) {
  mem::MemoryMachine& mm = m;
  mm.files.SetModulePath("C:\\Elsewhere\\SetUp.exe");
  mm.files.AddFile("C:\\Elsewhere\\SetUp.exe", "program");
  const std::string registry = m.registry.Export();
  EXPECT_EQ(Run([](mem::DialogUser& u) { u.Click(setupdlg::kInstallButton); }), plat::kIdCancel);
  ASSERT_EQ(m.windows.MessageBoxes().size(), 1u);
  EXPECT_EQ(m.windows.MessageBoxes()[0].text.rfind("未找到安装所需的Data文件夹 !", 0), 0u);
  EXPECT_EQ(m.registry.Export(), registry);
}

TEST_F(InstallTest, FailedSupportFilesAreListedBeforeTheCompletionMessages) {
  m.files.DenyWrite(kA2008);
  EXPECT_EQ(Run([](mem::DialogUser& u) { u.Click(setupdlg::kInstallButton); }), plat::kIdOk);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].rfind(kPartly, 0), 0u);
  EXPECT_EQ(m.windows.MessageBoxes()[0].caption, captions::kSetup);
  EXPECT_NE(texts[0].find("\n无法复制文件 C:\\AutoCAD 2008\\Fonts\\Kavtor_EN.shx"), std::string::npos);
  EXPECT_NE(texts[0].find("C:\\AutoCAD 2008\\Drv\\pdfplot9.hdi"), std::string::npos);
  EXPECT_EQ(texts[0].find("AutoCAD 2016"), std::string::npos);
  EXPECT_EQ(texts[1], kDone);
  // The 2016 installation was served all the same.
  EXPECT_TRUE(m.files.Exists(std::string(kA2016) + "\\ACAD2013.dll"));
}

TEST(FailureMessageTest, AtMostFifteenItemsThenHowManyMore) {
  FailureReport report;
  for (int i = 0; i < 20; ++i) report.push_back({Failure::kKeyNotCreated, "KEY" + std::to_string(i), 5});
  const std::string text = ComposeFailureMessage(report);
  EXPECT_EQ(text.rfind(kPartly, 0), 0u);
  EXPECT_NE(text.find("\n无法创建注册表项 KEY14（错误 5）"), std::string::npos);
  EXPECT_EQ(text.find("KEY15"), std::string::npos);
  EXPECT_EQ(text.substr(text.rfind('\n') + 1), "……（另有 5 项）");
  report.resize(15);
  const std::string fifteen = ComposeFailureMessage(report);
  EXPECT_EQ(fifteen.find("另有"), std::string::npos);
  EXPECT_EQ(std::count(fifteen.begin(), fifteen.end(), '\n'), 15);
}

TEST_F(InstallTest, BrowseTakesTheAcceptedFolderAndCancelKeepsTheOld) {
  m.files.AddFolder("D:\\Picked");
  m.files.AddFolder("C:\\Kavtor");  // the picker starts at the folder in the edit box
  m.shell.QueueUser([](mem::BrowseUser& b) {
    EXPECT_EQ(b.EditText(), "C:\\Kavtor");
    b.TypeInEditBox("D:\\Picked");
    b.ClickOk();
  });
  m.shell.QueueUser([](mem::BrowseUser& b) { b.ClickCancel(); });
  const auto result = Run([](mem::DialogUser& u) {
    u.Click(setupdlg::kBrowseButton);
    EXPECT_EQ(u.Control(setupdlg::kPathEdit).text, "D:\\Picked");
    u.Click(setupdlg::kBrowseButton);
    EXPECT_EQ(u.Control(setupdlg::kPathEdit).text, "D:\\Picked");
    u.Click(setupdlg::kInstallButton);
  });
  EXPECT_EQ(result, plat::kIdOk);
  EXPECT_EQ(m.shell.BrowseWindowsShown(), 2u);
  EXPECT_EQ(m.shell.LiveItemLists(), 0u);
  ExpectInstalledInto("D:\\Picked\\Vellmark");
}

}  // namespace
