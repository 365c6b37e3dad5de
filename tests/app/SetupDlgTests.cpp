// The setup dialog over the in-memory window system: what the user sees for a
// given discovery result, the install button, colours, fonts and the end.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "acad/AcadSetup.h"
#include "app/setupdlg/SetupDlg.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"
#include "tests/support/SetupTemplate.h"

namespace {

int BoxId(int year) { return acad::kReleases[acad::ReleaseIndex(year)].checkBoxId; }

class SetupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(testing_support::LoadSetupDialogTemplate(m.windows, error)) << error;
    m.windows.InitDialogControls();
  }

  void Install(int year, const std::string& folder) {
    testing_support::AddInstallation(m.registry,
                                     "SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_string(year) + "\\P" + folder, folder,
                                     "AutoCAD " + std::to_string(year));
  }

  // Runs the dialog with `user` in front of it; returns the modal result.
  std::intptr_t Run(std::function<void(mem::DialogUser&)> user, int bits = 32, int version = kSetupVersion) {
    acad.DiscoverReleases();
    m.windows.QueueUser(std::move(user));
    Dlg_Setup dlg(m.platform, acad, 0, bits, version);
    const std::intptr_t result = dlg.DoModal();
    lastPath = dlg.m_strPath;
    return result;
  }

  mem::MemoryMachine m;
  CAcadSetup acad{m.platform};
  std::string lastPath;
};

TEST(SetupTitleTest, VersionNumberWithLeadingZeros) {
  EXPECT_EQ(ComposeSetupTitle(20250302), "结构工具箱软件 V2025.03.02");
  EXPECT_EQ(ComposeSetupTitle(20251205), "结构工具箱软件 V2025.12.05");
  EXPECT_EQ(ComposeSetupTitle(20250100), "结构工具箱软件 V2025.01.00");
  EXPECT_EQ(ComposeSetupTitle(20261031), "结构工具箱软件 V2026.10.31");
  EXPECT_EQ(ComposeSetupTitle(20250010), "结构工具箱软件 V2025.00.10");
  EXPECT_EQ(ComposeEditionText(32), "( 32位 AutoCAD版 )");
  EXPECT_EQ(ComposeEditionText(64), "( 64位 AutoCAD版 )");
}

TEST_F(SetupDialogTest, NothingFoundDisablesEveryBoxAndTheInstallButton) {
  const auto result = Run([](mem::DialogUser& u) {
    for (const auto& r : acad::kReleases) {
      EXPECT_FALSE(u.Control(r.checkBoxId).enabled) << r.year;
      EXPECT_EQ(u.Control(r.checkBoxId).check, 0) << r.year;
    }
    EXPECT_FALSE(u.Control(setupdlg::kInstallButton).enabled);
    EXPECT_TRUE(u.Control(2).enabled);
    u.Click(2);
  });
  EXPECT_EQ(result, plat::kIdCancel);
}

TEST_F(SetupDialogTest, FirstScreenShowsTitleEditionFolderAndFoundReleases) {
  Install(2008, "C:\\A2008");
  Install(2016, "C:\\A2016");
  Run([](mem::DialogUser& u) {
    EXPECT_EQ(u.Control(setupdlg::kTitleStatic).text, "结构工具箱软件 V2025.03.02");
    EXPECT_EQ(u.Control(setupdlg::kEditionStatic).text, "( 32位 AutoCAD版 )");
    EXPECT_EQ(u.Control(setupdlg::kPathEdit).text, "C:\\Kavtor");
    for (const auto& r : acad::kReleases) {
      const bool found = r.year == 2008 || r.year == 2016;
      const auto& box = u.Control(r.checkBoxId);
      EXPECT_EQ(box.enabled, found) << r.year;
      EXPECT_EQ(box.check, found ? 1 : 0) << r.year;
      EXPECT_EQ(box.visible, r.year < 2017) << r.year;
    }
    EXPECT_TRUE(u.Control(setupdlg::kInstallButton).enabled);
    EXPECT_FALSE(u.Control(setupdlg::kProgressBar).visible);
    EXPECT_FALSE(u.Control(plat::kIdOk).visible);
  });
}

TEST_F(SetupDialogTest, ThirtyTwoBitEditionHidesAndUnticksLaterReleasesEvenWhenFound) {
  Install(2020, "C:\\A2020");
  Install(2026, "C:\\A2026");
  Run([](mem::DialogUser& u) {
    for (int year = 2017; year <= 2026; ++year) {
      EXPECT_FALSE(u.Control(BoxId(year)).visible) << year;
      EXPECT_EQ(u.Control(BoxId(year)).check, 0) << year;
    }
    EXPECT_TRUE(u.Control(BoxId(2020)).enabled) << "hidden, not disabled";
    EXPECT_FALSE(u.Control(setupdlg::kInstallButton).enabled);
  });
}

TEST_F(SetupDialogTest, SixtyFourBitEditionHidesNoBox) {
  Install(2020, "C:\\A2020");
  Run(
      [](mem::DialogUser& u) {
        EXPECT_EQ(u.Control(setupdlg::kEditionStatic).text, "( 64位 AutoCAD版 )");
        for (const auto& r : acad::kReleases) EXPECT_TRUE(u.Control(r.checkBoxId).visible) << r.year;
        EXPECT_TRUE(u.Control(BoxId(2020)).enabled);
        EXPECT_EQ(u.Control(BoxId(2020)).check, 1);
        EXPECT_TRUE(u.Control(setupdlg::kInstallButton).enabled);
      },
      64);
}

TEST_F(SetupDialogTest, Only2010FoundKeepsItsSwappedBoxEnabled) {
  Install(2010, "C:\\A2010");
  Run([](mem::DialogUser& u) {
    EXPECT_TRUE(u.Control(1027).enabled);
    EXPECT_EQ(u.Control(1027).check, 1);
    EXPECT_EQ(u.Control(1027).text, "For AutoCAD2010");
    EXPECT_FALSE(u.Control(1026).enabled);
    EXPECT_EQ(u.Control(1026).check, 0);
  });
}

TEST_F(SetupDialogTest, InstallButtonFollowsTheBoxes) {
  Install(2008, "C:\\A2008");
  Install(2010, "C:\\A2010");
  Run([](mem::DialogUser& u) {
    u.Click(BoxId(2008));
    EXPECT_TRUE(u.Control(setupdlg::kInstallButton).enabled) << "2010 still ticked";
    u.Click(BoxId(2010));
    EXPECT_FALSE(u.Control(setupdlg::kInstallButton).enabled) << "last box unticked";
    u.Click(BoxId(2009));  // disabled: a click does nothing
    EXPECT_FALSE(u.Control(setupdlg::kInstallButton).enabled);
    u.Click(BoxId(2010));
    EXPECT_TRUE(u.Control(setupdlg::kInstallButton).enabled);
  });
}

TEST_F(SetupDialogTest, TypingAloneDoesNotReevaluateTheInstallButton) {
  Install(2008, "C:\\A2008");
  Run([](mem::DialogUser& u) {
    u.Click(BoxId(2008));
    u.Type(setupdlg::kPathEdit, "D:\\Tools");
    EXPECT_FALSE(u.Control(setupdlg::kInstallButton).enabled);
  });
}

TEST_F(SetupDialogTest, EnterEndsWithOkAndReadsTheFields) {
  Install(2008, "C:\\A2008");
  const auto result = Run([](mem::DialogUser& u) {
    u.Type(setupdlg::kPathEdit, "D:\\Tools");
    u.PressEnter();
  });
  EXPECT_EQ(result, plat::kIdOk);
  EXPECT_EQ(lastPath, "D:\\Tools");
}

TEST_F(SetupDialogTest, EscapeAndCloseBoxEndWithCancel) {
  EXPECT_EQ(Run([](mem::DialogUser& u) { u.PressEscape(); }), plat::kIdCancel);
  EXPECT_EQ(Run([](mem::DialogUser& u) { u.CloseBox(); }), plat::kIdCancel);
}

TEST_F(SetupDialogTest, SmallIconIsSetWhenItLoads) {
  Run([](mem::DialogUser&) {});
  EXPECT_EQ(m.windows.Find(m.windows.LastDialog())->smallIcon, m.windows.TheIcon());
}

TEST_F(SetupDialogTest, NoIconLeavesTheDialogWithout) {
  m.windows.SetIconAvailable(false);
  Run([](mem::DialogUser&) {});
  EXPECT_EQ(m.windows.Find(m.windows.LastDialog())->smallIcon, 0u);
}

TEST_F(SetupDialogTest, ColoursAndFonts) {
  Run([this](mem::DialogUser& u) {
    mem::DcState dc;
    const plat::HGdi brush = u.Paint(0, dc);
    ASSERT_NE(brush, 0u);
    ASSERT_NE(m.windows.Gdi(brush), nullptr);
    EXPECT_EQ(m.windows.Gdi(brush)->color, plat::Rgb(160, 180, 220));
    EXPECT_EQ(dc.bkMode, plat::kBkTransparent);

    EXPECT_EQ(u.Paint(setupdlg::kTitleStatic, dc), brush);
    ASSERT_NE(m.windows.Gdi(dc.font), nullptr);
    EXPECT_EQ(m.windows.Gdi(dc.font)->height, 14);
    EXPECT_EQ(m.windows.Gdi(dc.font)->weight, 600);
    EXPECT_EQ(m.windows.Gdi(dc.font)->face, "宋体");
    EXPECT_EQ(m.windows.Gdi(dc.font)->charSet, 0u);
    EXPECT_EQ(dc.textColor, plat::Rgb(10, 70, 40));
    EXPECT_EQ(dc.bkMode, plat::kBkTransparent);

    EXPECT_EQ(u.Paint(setupdlg::kEditionStatic, dc), brush);
    ASSERT_NE(m.windows.Gdi(dc.font), nullptr);
    EXPECT_EQ(m.windows.Gdi(dc.font)->height, 13);
    EXPECT_EQ(m.windows.Gdi(dc.font)->weight, 400);
    EXPECT_EQ(dc.textColor, plat::Rgb(10, 70, 40));

    EXPECT_EQ(u.Paint(setupdlg::kPathEdit, dc), brush);
    EXPECT_EQ(dc.bkMode, plat::kBkOpaque) << "the edit box keeps its opaque background";
    EXPECT_EQ(dc.textColor, 0u);
    EXPECT_EQ(dc.font, 0u);

    EXPECT_EQ(u.Paint(1016, dc), brush);
    EXPECT_EQ(dc.bkMode, plat::kBkTransparent);
    EXPECT_EQ(dc.textColor, 0u);
    EXPECT_EQ(dc.font, 0u);
  });
}

TEST_F(SetupDialogTest, RepaintingCreatesNoNewObjectsAndClosingReleasesThemAll) {
  Run([this](mem::DialogUser& u) {
    mem::DcState dc;
    u.Paint(setupdlg::kTitleStatic, dc);
    u.Paint(setupdlg::kEditionStatic, dc);
    const std::size_t live = m.windows.LiveGdiObjects();
    EXPECT_EQ(live, 3u) << "brush and two fonts";
    for (int i = 0; i < 10; ++i) {
      u.Paint(setupdlg::kTitleStatic, dc);
      u.Paint(setupdlg::kEditionStatic, dc);
    }
    EXPECT_EQ(m.windows.LiveGdiObjects(), live);
  });
  EXPECT_EQ(m.windows.LiveGdiObjects(), 0u);
}

TEST_F(SetupDialogTest, BrushOrFontThatCannotBeCreatedLeavesDefaults) {
  m.faults.FailOperation("CreateSolidBrush", 1, true);
  Run([this](mem::DialogUser& u) {
    mem::DcState dc;
    EXPECT_EQ(u.Paint(0, dc), 0u) << "no brush: the dialog manager's colours";
    m.faults.FailOperation("CreateFontA", 1, true);
    u.Paint(setupdlg::kTitleStatic, dc);
    EXPECT_EQ(dc.font, 0u);
    EXPECT_EQ(dc.textColor, plat::Rgb(10, 70, 40));
  });
  m.faults.Clear();
  EXPECT_EQ(m.windows.LiveGdiObjects(), 0u);
}

}  // namespace
