#include "app/WizardApp.h"

#include "app/setupdlg/SetupDlg.h"

bool CWizardApp::InitInstance() {
  fw::InitDialogControls();
  // Once, for the browse window: without COM, its tree can lack the folders of
  // namespace extensions. Without COM at all, it still shows the drives.
  const bool com = SUCCEEDED(m_platform.shell.CoInitializeEx(COINIT_APARTMENTTHREADED));
  m_acadSetup.DiscoverReleases();
  {
    Dlg_Setup dlg(m_platform, m_acadSetup);
    dlg.DoModal();  // installed, aborted or cancelled: the program ends all the same
  }
  if (com) m_platform.shell.CoUninitialize();
  return false;
}
