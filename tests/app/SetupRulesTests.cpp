// The setup dialog's rules that need no window: title and edition, the folders it installs to, what failed.
#include <gtest/gtest.h>

#include <algorithm>

#include "acad/FailureReport.h"
#include "app/Product.h"
#include "app/setupdlg/SetupRules.h"

namespace {

TEST(SetupTextTest, VersionWithLeadingZerosAndTheEdition) {
  EXPECT_EQ(ComposeSetupTitle(20251009), "结构工具箱软件 V2025.10.09");
  EXPECT_EQ(ComposeSetupTitle(20250100), "结构工具箱软件 V2025.01.00");
  EXPECT_EQ(ComposeSetupTitle(20250010), "结构工具箱软件 V2025.00.10");
  EXPECT_EQ(ComposeEditionText(32), "( 32位 AutoCAD版 )");
  EXPECT_EQ(ComposeEditionText(64), "( 64位 AutoCAD版 )");
}

// A drive-rooted folder of valid names ("D:": the root without its backslash), or a server, share and valid names.
TEST(InstallableFolderTest, DriveRootedOrNetworkFoldersOfValidNames) {
  for (const char* folder :
       {"C:\\Kavtor", "D:", "d:\\工具\\Vellmark", "E:\\a b\\c.d", "\\\\server\\share", "\\\\srv\\工具\\Vellmark"})
    EXPECT_TRUE(IsInstallableFolder(folder)) << folder;
  for (const char* folder : {"", "Tools", "\\Tools", "D:Tools", "D:\\a|b", "D:\\a\\ b", "D:\\a\\", "\\\\server",
                             "\\\\server\\", "\\\\\\share", "\\\\srv\\s|h", "\\\\srv\\share\\\\x", "\\\\srv\\share\\"})
    EXPECT_FALSE(IsInstallableFolder(folder)) << folder;
  EXPECT_TRUE(IsInstallableFolder("\\\\s\\" + std::string(255, 'x')));
  EXPECT_FALSE(IsInstallableFolder("\\\\s\\" + std::string(256, 'x'))) << "260 characters";
}

TEST(FailureMessageTest, AtMostFifteenItemsThenHowManyMoreThenTheAdvice) {
  FailureReport report;
  for (int i = 0; i < 20; ++i) report.push_back({Failure::kKeyNotCreated, "KEY" + std::to_string(i), 5});
  const std::string text = ComposeFailureMessage("未完成：", report, "请重试。");
  EXPECT_EQ(text.rfind("未完成：\n无法创建注册表项 KEY0（错误 5）\n", 0), 0u);
  EXPECT_NE(text.find("\n无法创建注册表项 KEY14（错误 5）\n"), std::string::npos);
  EXPECT_EQ(text.find("KEY15"), std::string::npos);
  EXPECT_EQ(text.substr(text.find("……")), "……（另有 5 项）\n\n请重试。");
  report.resize(15);
  const std::string fifteen = ComposeFailureMessage("", report, "");
  EXPECT_EQ(fifteen.find("另有"), std::string::npos);
  EXPECT_EQ(std::count(fifteen.begin(), fifteen.end(), '\n'), 17);
}

}  // namespace
