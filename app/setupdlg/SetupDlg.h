// Dlg_Setup: the program's one window. It shows the product title and edition,
// one check box per AutoCAD release (only the releases that discovery found can
// be ticked), the install folder, and the install and cancel buttons.
#pragma once

#include <array>
#include <string>

#include "acad/AcadSetup.h"
#include "acad/ReleaseTable.h"
#include "app/BuildConstants.h"
#include "app/Product.h"
#include "app/setupdlg/SetupRules.h"
#include "app/setupdlg/res/resource.h"
#include "framework/Dialog.h"
#include "platform/Platform.h"

namespace setupdlg {
// The release check boxes of IDD_SETUP by release index, 2007 first.
constexpr std::array<int, acad::kReleaseCount> kReleaseBoxes = {
    IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011, IDC_ACAD2012, IDC_ACAD2013,
    IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016, IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020,
    IDC_ACAD2021, IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026};
static_assert(kReleaseBoxes.back() == IDC_ACAD2026, "one box per release, the last one last");

constexpr COLORREF kBackColor = RGB(160, 180, 220);
constexpr COLORREF kTitleColor = RGB(10, 70, 40);
}  // namespace setupdlg

// While set, the install button refuses once to install while AutoCAD runs.
extern bool g_bCheckAcadRunning;

class Dlg_Setup : public fw::CDialog {
 public:
  Dlg_Setup(plat::Platform& platform, CAcadSetup& acadSetup, HWND parent = nullptr, int editionBits = kEditionBits,
            int version = kSetupVersion);

  // Enables the install button exactly while at least one release is ticked.
  void UpdateInstallButton();
  // The browse button: the folder picker, starting at the folder in the edit box.
  void OnBrowse();
  // The install button: checks, creates the product folder, installs, reports.
  void OnInstall();

  fw::CBrush m_brushBack;
  std::array<fw::CButton, acad::kReleaseCount> m_chkAcad;  // by release index, 2007 first
  std::array<int, acad::kReleaseCount> m_bAcad;            // 1 = ticked
  std::string m_strTitle;
  std::string m_strBits;
  fw::CProgressCtrl m_progress;
  std::string m_strPath = "C:\\Kavtor";

 protected:
  const fw::MessageTable* GetMessageTable() const override;
  void DoDataExchange(fw::CDataExchange* pDX) override;
  bool OnInitDialog() override;
  HBRUSH OnCtlColor(HDC dc, HWND window, unsigned ctlColor) override;

 private:
  void DisableUnfoundReleases();
  void HideUnservedReleases();
  // Copy, registration and support files with the progress bar; false when the
  // copy did not complete (the dialog has then ended with IDCANCEL).
  bool RunInstall();
  FailureReport FindMissingRights(const std::string& product);
  void MakeRemovable(InstallRecord record);
  void Tell(const char* text, const char* caption);

  plat::Platform& m_platform;
  CAcadSetup& m_acadSetup;
  FailureReport m_installFailures;
  std::string m_strPackage;  // located once, when the install button is clicked
  int m_editionBits;
  int m_version;
  // The title and edition fonts live as long as the dialog: a font deleted while
  // still selected into the control's drawing context is not one to draw with.
  fw::CFont m_fontTitle;
  fw::CFont m_fontBits;
};
