// CWizardApp: the application object. Start-up finds the AutoCAD installations,
// runs the setup dialog modally and ends the program when the dialog closes.
#pragma once

#include "acad/AcadSetup.h"
#include "framework/WinApp.h"
#include "platform/Platform.h"

class CWizardApp : public fw::CWinApp {
 public:
  CWizardApp(plat::Platform& platform, CAcadSetup& acadSetup) : m_platform(platform), m_acadSetup(acadSetup) {}

  // Always false: everything happens inside the dialog's own modal loop, so there
  // is nothing left to run once it returns.
  bool InitInstance() override;

 private:
  plat::Platform& m_platform;
  CAcadSetup& m_acadSetup;
};
