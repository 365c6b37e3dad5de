// The work behind the browse and install buttons: choosing the folder, and the
// installation itself, from the running-AutoCAD check to the completion messages.
#include "app/setupdlg/SetupDlg.h"
#include "app/uninstall/UninstallEntry.h"
#include "deploy/AcadRunning.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "deploy/PackageCopier.h"
#include "pathdialog/FolderValidation.h"
#include "pathdialog/PathDialog.h"
#include "text/AnsiText.h"
#include "text/Captions.h"

// While set, the install button refuses to install while AutoCAD runs; the
// first refusal clears it, so a second click installs regardless.
bool g_bCheckAcadRunning = true;

namespace {

constexpr const char* kCloseAcadText = "请关闭AutoCAD后再进行安装 !";
constexpr const char* kInvalidFolderText = "安装路径无效，请重新选择安装路径 !";
constexpr const char* kDoneText = "安装完成，重启CAD即可使用 !";
constexpr const char* kImportSettingsText =
    "若要导入早期版本（2024年版本及更早版本）的设置，可点击:\n\n [软件设置] -> [设置导出导入] -> [早期版本设置导入]";
// What the installation could not do, told instead of its completion: running it
// again is safe (everything is written anew), and finishes it.
constexpr const char* kIncompleteHeading = "安装未完成！以下项目未成功：";
constexpr const char* kIncompleteAdvice =
    "请关闭AutoCAD，右键单击SetUp.exe，选择“以管理员身份运行”，再安装一次即可完成安装（重复安装是安全的）。";
// What this user may not write, told before anything is made.
constexpr const char* kNoRightsHeading = "当前用户没有写入以下位置的权限，安装尚未开始，未作任何更改：";
constexpr const char* kNoRightsAdvice =
    "请右键单击SetUp.exe，选择“以管理员身份运行”后再安装；或取消勾选以上AutoCAD版本、选择其他安装路径。";
constexpr const char* kBrowseText = "请选择安装目录：";

constexpr int kProgressEnd = 50;

}  // namespace

void Dlg_Setup::Tell(const char* text, const char* caption) {
  m_platform.shell.MessageBoxA(m_hWnd, text, caption, MB_OK);
}

void Dlg_Setup::OnBrowse() {
  UpdateData(true);
  // Owned by this dialog, which it disables: no click gets past it.
  CPathDialog picker(m_platform.files, m_platform.shell, kBrowseText, kBrowseText, m_strPath.c_str(), m_hWnd);
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
  std::string& package = m_strPackage;
  if (!LocatePackageFolder(m_platform, package, m_hWnd)) {
    OnCancel();
    return;
  }
  const std::string product = folder + "\\" + layout::kProductFolderName;
  if (!ProductFolderFits(m_platform, package, product, m_hWnd)) return;
  // A standard user would be left with half an installation: told now, while
  // running as administrator or unticking a release still helps.
  const FailureReport refused = FindMissingRights(product);
  if (!refused.empty()) {
    Tell(ComposeFailureMessage(kNoRightsHeading, refused, kNoRightsAdvice).c_str(), captions::kSetup);
    return;
  }
  m_strPath = folder;
  m_platform.files.Mkdir(m_strPath.c_str());
  m_strPath = product;
  m_platform.files.Mkdir(m_strPath.c_str());
  if (!RunInstall()) return;
  // Only an installation of which nothing failed is called complete.
  if (!m_installFailures.empty()) {
    Tell(ComposeFailureMessage(kIncompleteHeading, m_installFailures, kIncompleteAdvice).c_str(), captions::kSetup);
  } else {
    Tell(kDoneText, captions::kToolbox);
    Tell(kImportSettingsText, captions::kToolbox);
  }
  OnOK();
}

// The install folder's missing levels (a folder of ours made and removed in the
// deepest one there is; Windows lets a standard user make folders in C:\ but not
// files), or the product folder's files when it is there; the Apps & Features
// entry; what goes into the ticked AutoCAD installations.
FailureReport Dlg_Setup::FindMissingRights(const std::string& product) {
  FailureReport refused;
  const std::string existing = DeepestExistingFolder(m_platform.files, product);
  if (!existing.empty()) {
    const std::uint32_t error = ProbeCreation(m_platform.files, existing, existing != product);
    if (IsLackOfRights(error)) Report(refused, Failure::kNotWritable, existing, static_cast<long>(error));
  }
  uninstall::CheckEntryRights(m_platform.registry, refused);
  const FailureReport acad = m_acadSetup.FindMissingRights(m_bAcad);
  refused.insert(refused.end(), acad.begin(), acad.end());
  return refused;
}

bool Dlg_Setup::RunInstall() {
  for (int id : {IDC_PATH_LABEL, IDC_PATH, IDC_BROWSE}) ::ShowWindow(GetDlgItem(id), SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_PROGRESS), SW_SHOW);
  m_progress.SetRange(0, kProgressEnd);
  m_progress.SetStep(1);
  m_progress.SetPos(0);

  CPackageCopier copier(m_platform, m_strPath, m_progress, m_hWnd);
  if (!copier.CopyPackage(m_strPackage)) {
    OnCancel();
    return false;
  }
  // A file the user chose to leave out is missing from the installation.
  m_installFailures = copier.Failures();
  InstallRecord record = copier.Record();
  m_progress.StepIt();
  m_acadSetup.SetTargetPath(m_strPath);
  m_acadSetup.RecordInto(&record);
  const FailureReport registration = m_acadSetup.RegisterReleases(m_bAcad);
  m_installFailures.insert(m_installFailures.end(), registration.begin(), registration.end());
  m_progress.StepIt();
  const FailureReport support = m_acadSetup.CopySupportFiles(m_bAcad, m_strPackage);
  m_installFailures.insert(m_installFailures.end(), support.begin(), support.end());
  m_acadSetup.RecordInto(nullptr);
  m_progress.StepIt();
  MakeRemovable(record);
  m_progress.SetPos(kProgressEnd);
  return true;
}

// The uninstaller (this very program, so that it always comes from the same
// build), the record beside it, added to what an earlier installation into the
// folder recorded, and the Apps & Features entry that starts it. Also after a
// failure: what was made can be taken back.
void Dlg_Setup::MakeRemovable(InstallRecord record) {
  const std::string program = ProgramPath(m_platform);
  const std::string uninstaller = m_strPath + "\\" + layout::kUninstallerName;
  if (!m_platform.files.CopyFileA(program.c_str(), uninstaller.c_str(), false))
    Report(m_installFailures, Failure::kFileNotCopied, uninstaller, static_cast<long>(m_platform.files.GetLastError()));
  const std::string recordFile = m_strPath + "\\" + layout::kRecordName;
  InstallRecord earlier;
  if (LoadRecord(m_platform.files, recordFile, earlier) == RecordRead::kRead) {
    earlier.Merge(record);
    record = earlier;
  }
  if (const std::uint32_t error = SaveRecord(m_platform.files, recordFile, record))
    Report(m_installFailures, Failure::kFileNotWritten, recordFile, static_cast<long>(error));
  std::uint64_t bytes = 0;
  plat::FileInfo info;
  if (m_platform.files.GetFileAttributesExA(uninstaller.c_str(), &info)) bytes = info.size;
  for (const RecordEntry& entry : record.Entries()) bytes += entry.size;
  uninstall::WriteEntry(m_platform.registry, m_editionBits, m_strPath,
                        static_cast<std::uint32_t>((bytes + 1023) / 1024), m_installFailures);
}
