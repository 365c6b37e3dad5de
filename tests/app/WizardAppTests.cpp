// Start-up: discovery before the dialog, the dialog run modally, false returned.
#include <gtest/gtest.h>

#include "app/WizardApp.h"
#include "app/setupdlg/SetupDlg.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"
#include "tests/support/SetupTemplate.h"

namespace {

TEST(WizardAppTest, DiscoversThenRunsTheDialogAndReturnsFalse) {
  mem::MemoryMachine m;
  std::string error;
  ASSERT_TRUE(testing_support::LoadSetupDialogTemplate(m.windows, error)) << error;
  testing_support::AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\P", "C:\\A", "AutoCAD 2010");
  CAcadSetup acad(m.platform);
  CWizardApp app(m.platform, acad);
  bool sawDialog = false;
  m.windows.QueueUser([&](mem::DialogUser& u) {
    sawDialog = true;
    EXPECT_TRUE(u.Control(1027).enabled) << "discovery ran before the dialog";
    u.PressEscape();
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(sawDialog);
  EXPECT_TRUE(m.windows.ControlsInitialised());
  EXPECT_EQ(acad.InstallFolders(acad::ReleaseIndex(2010)).size(), 1u);
  EXPECT_EQ(m.registry.OpenHandles(), 0u);
  EXPECT_EQ(m.windows.LiveGdiObjects(), 0u);
}

TEST(WizardAppTest, DialogThatCannotBeCreatedStillEndsStartUp) {
  mem::MemoryMachine m;  // no template: the dialog does not open
  CAcadSetup acad(m.platform);
  CWizardApp app(m.platform, acad);
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(m.windows.LastDialog(), 0u);
}

}  // namespace
