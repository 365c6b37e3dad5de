#include "app/uninstall/Uninstaller.h"

#include "app/Product.h"
#include "app/uninstall/UninstallEntry.h"
#include "deploy/AcadRunning.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "deploy/PackageCopier.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"
#include "text/Captions.h"

namespace uninstall {
namespace {

constexpr const char* kQuestionFormat =
    "将从本机卸载 %s：\n\n·安装文件夹 %s 中安装的文件\n·各 AutoCAD 配置中对该文件夹的信任\n%s"
    "\n字体文件将保留，用本工具箱绘制的图纸仍能正常显示文字。\n\n是否继续？";
constexpr const char* kRegisteredWith = "·以下 AutoCAD 中的加载项注册和程序集（AutoCAD 2008 的打印驱动恢复为原文件）：";
constexpr const char* kCloseAcadText = "请先关闭 AutoCAD 再卸载：AutoCAD 运行时会占用本工具箱的文件。";
constexpr const char* kDeclinedText = "卸载已取消：删除 Vellmark 写入的注册表项和文件需要管理员权限。";
constexpr const char* kNotStartedFormat = "无法启动卸载程序（错误 %u），未作任何更改。";
constexpr const char* kUnusableFolderText = "卸载程序所在的文件夹路径中含有系统无法处理的字符，无法卸载。";
constexpr const char* kDoneFormat = "%s 已卸载。";
constexpr const char* kFailedHeading = "卸载未完成！以下项目未能删除：";
constexpr const char* kFailedAdvice =
    "请关闭 AutoCAD 和可能占用这些文件的程序，然后在“应用和功能”中再次卸载 %s，即可完成卸载。";
constexpr std::uint32_t kStarterWaitMs = 30000;

}  // namespace

bool IsUninstaller(plat::Platform& platform) {
  return ansi::EqualsNoCase(ansi::NameOf(ProgramPath(platform)), layout::kUninstallerName);
}

std::string ComposeUninstallQuestion(int editionBits, const std::string& productFolder,
                                     const std::vector<std::string>& acadFolders) {
  const std::string registered = acadFolders.empty() ? "" : kRegisteredWith + ComposeList(acadFolders) + "\n";
  return ansi::Format(kQuestionFormat, ComposeDisplayName(editionBits).c_str(), productFolder.c_str(),
                      registered.c_str());
}

// The keys, trusted lists and AutoCAD's files counted, every other line as it is.
std::vector<std::string> Summarise(const std::vector<std::string>& removed) {
  const char* const kinds[] = {removed::kKey, removed::kTrusted, removed::kFile};
  const char* const counted[] = {"·AutoCAD 的加载项注册：%u 个注册表项", "·受信任路径：%u 个 AutoCAD 配置",
                                 "·AutoCAD 文件夹中的程序集：%u 个文件"};
  unsigned counts[3] = {};
  std::vector<std::string> lines, others;
  for (const std::string& line : removed) {
    std::size_t kind = 0;
    while (kind < 3 && line.rfind(kinds[kind], 0) != 0) ++kind;
    if (kind < 3)
      ++counts[kind];
    else
      others.push_back("·" + line);
  }
  for (int kind = 0; kind < 3; ++kind)
    if (counts[kind] != 0) lines.push_back(ansi::Format(counted[kind], counts[kind]));
  lines.insert(lines.end(), others.begin(), others.end());
  return lines;
}

std::string ComposeClosingMessage(int editionBits, const RemovalReport& report) {
  const std::string name = ComposeDisplayName(editionBits);
  std::string text =
      report.failures.empty()
          ? ansi::Format(kDoneFormat, name.c_str()) + "\n\n已删除：" + ComposeList(Summarise(report.removed))
          : ComposeFailureMessage(kFailedHeading, report.failures, ansi::Format(kFailedAdvice, name.c_str()).c_str());
  std::vector<std::string> kept;
  for (const std::string& line : report.kept) kept.push_back("·" + line);
  if (!kept.empty()) text += "\n\n已保留：" + ComposeList(kept);
  return text;
}

CUninstaller::CUninstaller(plat::Platform& platform, CAcadSetup& acadSetup, int editionBits)
    : m_platform(platform), m_acadSetup(acadSetup), m_editionBits(editionBits) {}

// True when the folder is gone (or was not there). One that still holds files is the user's: named when it is the
// product folder.
bool CUninstaller::RemoveFolder(const std::string& folder, bool product, RemovalReport& report) {
  if (m_platform.files.RemoveDirectoryA(folder.c_str())) return report.removed.push_back("文件夹 " + folder), true;
  const std::uint32_t error = m_platform.files.GetLastError();
  if (IsMissing(error)) return true;
  if (error != static_cast<std::uint32_t>(ERROR_DIR_NOT_EMPTY))
    report.kept.push_back(ansi::Format("文件夹 %s（无法删除，错误 %u）", folder.c_str(), error));
  else if (product)
    report.kept.push_back("文件夹 " + folder + "（其中还有其他文件）");
  return false;
}

int CUninstaller::Tell(const std::string& text, std::uint32_t type) {
  return m_platform.shell.MessageBoxA(0, text.c_str(), captions::kUninstall, type);
}

void CUninstaller::RunFromProductFolder() {
  bool lossy = false;
  const std::string program = ProgramPath(m_platform, &lossy);
  const std::string product = ansi::FolderOf(program);
  if (lossy || product.empty()) return (void)Tell(kUnusableFolderText, MB_OK | MB_ICONEXCLAMATION);
  m_acadSetup.DiscoverReleases();
  const std::string question = ComposeUninstallQuestion(m_editionBits, product, m_acadSetup.FoldersServedFrom(product));
  if (Tell(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  while (IsAcadRunning(m_platform.processes))
    if (Tell(kCloseAcadText, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY) return;
  const std::string temp = m_platform.files.GetTempPathA();
  const std::string copy =
      ansi::Format("%sVellmark-Uninstall-%u.exe", temp.c_str(), m_platform.processes.GetCurrentProcessId());
  const std::string parameters =
      ansi::Format("%s %u \"%s\"", kRemoveSwitch, m_platform.processes.GetCurrentProcessId(), product.c_str());
  // No temporary folder: never a copy in whatever the working folder is.
  if (!temp.empty() && m_platform.files.CopyFileA(program.c_str(), copy.c_str(), false) &&
      m_platform.processes.ShellExecuteExA("runas", copy.c_str(), parameters.c_str()))
    return;
  const std::uint32_t error = temp.empty() ? ERROR_PATH_NOT_FOUND : m_platform.files.GetLastError();
  if (!temp.empty()) m_platform.files.DeleteFileA(copy.c_str());
  Tell(error == static_cast<std::uint32_t>(ERROR_CANCELLED) ? kDeclinedText : ansi::Format(kNotStartedFormat, error),
       MB_OK | MB_ICONEXCLAMATION);
}

void CUninstaller::RunRemoval(std::uint32_t starter, const std::string& productFolder) {
  // Until it has ended, the uninstaller in the product folder cannot be deleted.
  m_platform.processes.WaitForProcessExit(starter, kStarterWaitMs);
  m_acadSetup.DiscoverReleases();
  const RemovalReport report = Remove(productFolder);
  Tell(ComposeClosingMessage(m_editionBits, report),
       MB_OK | (report.failures.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
  m_platform.files.MoveFileExA(ProgramPath(m_platform).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

RemovalReport CUninstaller::Remove(const std::string& productFolder) {
  // An installation key discovery could not read may hold keys of ours: then the removal cannot be called finished.
  RemovalReport report{{}, {}, m_acadSetup.DiscoveryFailures()};
  InstallRecord record;
  const std::string recordFile = productFolder + "\\" + layout::kRecordName;
  if (LoadRecord(m_platform.files, recordFile, record) == RecordRead::kUnreadable)
    Report(report.failures, Failure::kFileNotRead, recordFile, static_cast<long>(m_platform.files.GetLastError()));
  m_acadSetup.UnregisterFrom(productFolder, report);
  m_acadSetup.RemoveCreatedKeys(record, report);
  m_acadSetup.UntrustFolder(productFolder, record, report);
  m_acadSetup.RemoveSupportFiles(record, report);
  RemoveProductFiles(productFolder, record, report);
  // Only a removal of which nothing failed takes away what a second run needs.
  if (report.failures.empty()) RemoveWhatIsLeft(productFolder, report);
  return report;
}

void CUninstaller::RemoveProductFiles(const std::string& productFolder, const InstallRecord& record,
                                      RemovalReport& report) {
  unsigned removed = 0;
  for (const RecordEntry& entry : record.Entries()) {
    if (entry.kind != RecordEntry::kFile) continue;
    const std::string path = productFolder + "\\" + ansi::Narrow(entry.path);
    plat::FileInfo info;
    std::uint32_t error = 0;
    const Presence found = Look(m_platform.files, path, info, error);
    if (found == Presence::kUnknown) Report(report.failures, Failure::kFileNotRead, path, static_cast<long>(error));
    if (found != Presence::kFile) continue;  // gone already, or a folder the user put there
    if (info.size != entry.size || info.lastWrite != entry.lastWrite) {
      report.kept.push_back(path + "（安装后已被更改）");
      continue;
    }
    ClearReadOnly(m_platform.files, path);
    if (m_platform.files.DeleteFileA(path.c_str()))
      ++removed;
    else
      Report(report.failures, Failure::kFileNotDeleted, path, static_cast<long>(m_platform.files.GetLastError()));
  }
  if (removed != 0)
    report.removed.push_back(ansi::Format("安装文件夹 %s 中的 %u 个文件", productFolder.c_str(), removed));
}

// The uninstaller and the record, the folders once empty, and the entry, last (when it is this folder's: an
// installation into another folder took it over). What a second run would need goes only once nothing it could do
// is left.
void CUninstaller::RemoveWhatIsLeft(const std::string& productFolder, RemovalReport& report) {
  std::string location;
  const long found = EntryLocation(m_platform.registry, m_editionBits, location);
  if (found != ERROR_SUCCESS && found != ERROR_FILE_NOT_FOUND)
    return Report(report.failures, Failure::kValueNotRead, "HKEY_LOCAL_MACHINE\\" + EntryKey(m_editionBits), found);
  // The uninstaller first: should it still be held, the record stays beside it for the next run.
  for (const char* name : {layout::kUninstallerName, layout::kRecordName}) {
    const std::string path = productFolder + "\\" + name;
    if (!m_platform.files.DeleteFileA(path.c_str()) && !IsMissing(m_platform.files.GetLastError()))
      return Report(report.failures, Failure::kFileNotDeleted, path,
                    static_cast<long>(m_platform.files.GetLastError()));
  }
  // Nothing of ours is left in a folder that will not go: it is the user's to delete.
  if (RemoveFolder(productFolder, true, report)) RemoveFolder(ansi::FolderOf(productFolder), false, report);
  if (found != ERROR_SUCCESS || !ansi::EqualsNoCase(location, productFolder)) return;
  const std::size_t failures = report.failures.size();
  DeleteEntry(m_platform.registry, m_editionBits, report.failures);
  if (report.failures.size() == failures)
    report.removed.push_back("“应用和功能”中的 " + ComposeDisplayName(m_editionBits));
}

}  // namespace uninstall
