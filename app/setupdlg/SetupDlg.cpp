#include "app/setupdlg/SetupDlg.h"

#include "text/AnsiText.h"

namespace {

constexpr int kFirstHiddenIn32BitEdition = 2017;

}  // namespace

Dlg_Setup::Dlg_Setup(plat::Platform& platform, CAcadSetup& acadSetup, HWND parent, int editionBits, int version)
    : fw::CDialog(IDD_SETUP, parent),
      m_platform(platform),
      m_acadSetup(acadSetup),
      m_editionBits(editionBits),
      m_version(version) {
  m_bAcad.fill(1);
}

const fw::MessageTable* Dlg_Setup::GetMessageTable() const {
  // The check boxes in release order (2010 and 2011 swap ids), then the browse
  // and install buttons.
  static const fw::MessageEntry entries[] = {
      fw::OnCtlColorEntry(),
#define VM_RELEASE_BOX(k) fw::OnCommand(BN_CLICKED, setupdlg::kReleaseBoxes[k], &Dlg_Setup::UpdateInstallButton)
      VM_RELEASE_BOX(0),
      VM_RELEASE_BOX(1),
      VM_RELEASE_BOX(2),
      VM_RELEASE_BOX(3),
      VM_RELEASE_BOX(4),
      VM_RELEASE_BOX(5),
      VM_RELEASE_BOX(6),
      VM_RELEASE_BOX(7),
      VM_RELEASE_BOX(8),
      VM_RELEASE_BOX(9),
      VM_RELEASE_BOX(10),
      VM_RELEASE_BOX(11),
      VM_RELEASE_BOX(12),
      VM_RELEASE_BOX(13),
      VM_RELEASE_BOX(14),
      VM_RELEASE_BOX(15),
      VM_RELEASE_BOX(16),
      VM_RELEASE_BOX(17),
      VM_RELEASE_BOX(18),
      VM_RELEASE_BOX(19),
#undef VM_RELEASE_BOX
      fw::OnCommand(BN_CLICKED, IDC_BROWSE, &Dlg_Setup::OnBrowse),
      fw::OnCommand(BN_CLICKED, IDC_INSTALL, &Dlg_Setup::OnInstall),
  };
  static const fw::MessageTable table{nullptr, entries, sizeof entries / sizeof entries[0]};
  return &table;
}

void Dlg_Setup::DoDataExchange(fw::CDataExchange* pDX) {
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    fw::DDX_Control(pDX, setupdlg::kReleaseBoxes[k], m_chkAcad[k]);
    fw::DDX_Check(pDX, setupdlg::kReleaseBoxes[k], m_bAcad[k]);
  }
  fw::DDX_Text(pDX, IDC_TITLE, m_strTitle);
  fw::DDX_Text(pDX, IDC_EDITION, m_strBits);
  fw::DDX_Control(pDX, IDC_PROGRESS, m_progress);
  fw::DDX_Text(pDX, IDC_PATH, m_strPath);
}

bool Dlg_Setup::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  m_brushBack.CreateSolidBrush(setupdlg::kBackColor);
  m_strTitle = ComposeSetupTitle(m_version);
  m_strBits = ComposeEditionText(m_editionBits);
  if (const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP)))
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  DisableUnfoundReleases();
  if (m_editionBits == 32) HideUnservedReleases();
  UpdateData(false);
  UpdateInstallButton();
  return true;
}

void Dlg_Setup::DisableUnfoundReleases() {
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    if (!m_acadSetup.InstallFolders(k).empty()) continue;
    ::EnableWindow(GetDlgItem(setupdlg::kReleaseBoxes[k]), FALSE);
    m_bAcad[k] = 0;
  }
}

// The 32-bit edition serves no release from 2017 on: those have no 32-bit AutoCAD.
void Dlg_Setup::HideUnservedReleases() {
  for (int k = acad::ReleaseIndex(kFirstHiddenIn32BitEdition); k < acad::kReleaseCount; ++k) {
    ::ShowWindow(GetDlgItem(setupdlg::kReleaseBoxes[k]), SW_HIDE);
    m_bAcad[k] = 0;
  }
}

void Dlg_Setup::UpdateInstallButton() {
  UpdateData(true);
  bool anyTicked = false;
  for (int state : m_bAcad) anyTicked = anyTicked || state != 0;
  ::EnableWindow(GetDlgItem(IDC_INSTALL), anyTicked ? TRUE : FALSE);
}

HBRUSH Dlg_Setup::OnCtlColor(HDC dc, HWND window, unsigned ctlColor) {
  fw::CDialog::OnCtlColor(dc, window, ctlColor);  // the default brush is not used
  ::SetTextColor(dc, RGB(0, 0, 0));
  const int id = ::GetDlgCtrlID(window);
  if (id != IDC_PATH) ::SetBkMode(dc, TRANSPARENT);
  if (id == IDC_TITLE || id == IDC_EDITION) {
    const bool title = id == IDC_TITLE;
    fw::CFont& font = title ? m_fontTitle : m_fontBits;
    if (font.GetSafeHandle() == nullptr) font.CreateFont(title ? 14 : 13, title ? 600 : 400, "宋体");
    if (font.GetSafeHandle() != nullptr) ::SelectObject(dc, font.GetSafeHandle());
    ::SetTextColor(dc, setupdlg::kTitleColor);
  }
  return static_cast<HBRUSH>(m_brushBack.GetSafeHandle());
}
