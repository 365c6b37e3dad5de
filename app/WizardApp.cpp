#include "app/WizardApp.h"

#include "app/setupdlg/SetupDlg.h"

bool CWizardApp::InitInstance() {
  m_platform.windows.InitDialogControls();
  m_acadSetup.DiscoverReleases();
  {
    Dlg_Setup dlg(m_platform, m_acadSetup);
    dlg.DoModal();  // installed, aborted or cancelled: the program ends all the same
  }
  return false;
}
