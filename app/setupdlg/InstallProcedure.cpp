// The work behind the browse and install buttons: choosing the folder, and the
// installation itself, from the running-AutoCAD check to the completion messages.
#include "app/setupdlg/SetupDlg.h"
#include "deploy/AcadRunning.h"
#include "deploy/PackageCopier.h"
#include "pathdialog/FolderValidation.h"
#include "pathdialog/PathDialog.h"
#include "text/AnsiText.h"
#include "text/Captions.h"

// While set, the install button refuses to install while AutoCAD runs; the
// first refusal clears it, so a second click installs regardless.
bool g_bCheckAcadRunning = true;

namespace {

constexpr const char* kProductFolder = "\\Vellmark";
constexpr const char* kCloseAcadText = "请关闭AutoCAD后再进行安装 !";
constexpr const char* kInvalidFolderText = "安装路径无效，请重新选择安装路径 !";
constexpr const char* kDoneText = "安装完成，重启CAD即可使用 !";
constexpr const char* kImportSettingsText =
    "若要导入早期版本（2024年版本及更早版本）的设置，可点击:\n\n [软件设置] -> [设置导出导入] -> [早期版本设置导入]";
constexpr const char* kPartlyFailedText =
    "部分AutoCAD注册或支持文件复制未成功，可能需要以管理员身份运行SetUp.exe后重新安装：";
constexpr const char* kBrowseText = "请选择安装目录：";
constexpr std::size_t kMaxReportedItems = 15;

constexpr int kProgressEnd = 50;

}  // namespace

std::string ComposeFailureMessage(const FailureReport& failures) {
  std::string text = kPartlyFailedText;
  for (std::size_t i = 0; i < failures.size() && i < kMaxReportedItems; ++i) {
    text += '\n';
    text += DescribeFailure(failures[i]);
  }
  if (failures.size() > kMaxReportedItems)
    text += ansi::Format("\n……（另有 %u 项）", static_cast<unsigned>(failures.size() - kMaxReportedItems));
  return text;
}

// A folder the installation can be put into: a drive-rooted path of valid
// names ("X:" stands for the root it names once its backslash is gone), or a
// network folder, \\server\share and levels below it, where offices keep the
// tools AutoCAD loads.
bool IsInstallableFolder(const std::string& folder) {
  if (folder.rfind("\\\\", 0) != 0) {
    const std::string checked = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
    return CheckFolderPath(checked) == folder::kAccepted;
  }
  std::size_t levels = 0;
  for (std::size_t start = 2; start <= folder.size(); ++levels) {
    std::size_t end = ansi::FindAtCharBoundary(folder.substr(start), "\\");
    end = end == std::string::npos ? folder.size() : start + end;
    if (IsValidFolderName(folder.substr(start, end - start)) == 0) return false;
    start = end + 1;
  }
  return levels >= 2 && ansi::CharCount(folder) < plat::kMaxPath;
}

void Dlg_Setup::Tell(const char* text, const char* caption) { m_ws->MessageBoxA(m_hWnd, text, caption, plat::kMbOk); }

void Dlg_Setup::OnBrowse() {
  UpdateData(true);
  // Owned by this dialog, which it disables: no click gets past it.
  CPathDialog picker(m_platform.windows, m_platform.files, m_platform.shell, kBrowseText, kBrowseText,
                     m_strPath.c_str(), m_hWnd);
  if (picker.DoModal() == 1) {
    m_strPath = picker.GetPathName();
    UpdateData(false);
  }
  UpdateInstallButton();
}

void Dlg_Setup::OnInstall() {
  if (g_bCheckAcadRunning && IsAcadRunning(m_platform.processes)) {
    Tell(kCloseAcadText, captions::kSetup);
    g_bCheckAcadRunning = false;
    return;
  }
  UpdateData(true);
  std::string folder = m_strPath;
  ansi::RemoveTrailingBackslash(folder);
  // Checked before anything is created: an empty or relative folder would land
  // below the working folder and in AutoCAD's loader keys as a path it cannot use.
  if (!IsInstallableFolder(folder)) {
    Tell(kInvalidFolderText, captions::kSetup);
    return;
  }
  // What would stop the copy is told now, before anything is made: no package,
  // or one that cannot be named (the dialog ends: only unpacking again helps),
  // and a folder too long for its files (another folder can be chosen).
  std::string package;
  if (!LocatePackageFolder(m_platform, package, m_hWnd)) {
    OnCancel();
    return;
  }
  if (!ProductFolderFits(m_platform, package, folder + kProductFolder, m_hWnd)) return;
  m_strPath = folder;
  m_platform.files.Mkdir(m_strPath.c_str());
  m_strPath += kProductFolder;
  m_platform.files.Mkdir(m_strPath.c_str());
  if (!RunInstall()) return;
  if (!m_installFailures.empty()) Tell(ComposeFailureMessage(m_installFailures).c_str(), captions::kSetup);
  Tell(kDoneText, captions::kToolbox);
  Tell(kImportSettingsText, captions::kToolbox);
  OnOK();
}

bool Dlg_Setup::RunInstall() {
  for (int id : {setupdlg::kPathLabel, setupdlg::kPathEdit, setupdlg::kBrowseButton})
    m_ws->ShowWindow(GetDlgItem(id), plat::kSwHide);
  m_ws->ShowWindow(GetDlgItem(setupdlg::kProgressBar), plat::kSwShow);
  m_progress.SetRange(0, kProgressEnd);
  m_progress.SetStep(1);
  m_progress.SetPos(0);

  CPackageCopier copier(m_platform, m_strPath, m_progress, m_hWnd);
  if (!copier.CopyPackage()) {
    OnCancel();
    return false;
  }
  m_progress.StepIt();
  m_acadSetup.SetTargetPath(m_strPath);
  m_installFailures = m_acadSetup.RegisterReleases(m_bAcad);
  m_progress.StepIt();
  const FailureReport support = m_acadSetup.CopySupportFiles(m_bAcad, m_hWnd);
  m_installFailures.insert(m_installFailures.end(), support.begin(), support.end());
  m_progress.StepIt();
  m_progress.SetPos(kProgressEnd);
  return true;
}
