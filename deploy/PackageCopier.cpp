#include "deploy/PackageCopier.h"

#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"
#include "text/Captions.h"

namespace {

constexpr const char* kNoPackageText =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";
constexpr const char* kCopyFailedFormat =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
constexpr const char* kUnreadableListingFormat =
    "无法读取安装文件所在的文件夹：\n\n%s\n\n请检查该文件夹后再执行SetUp.exe !";
constexpr const char* kTargetTooLongFormat = "安装路径过长：\n\n%s\n\n请选择较短的安装路径后重新安装 !";

// The setup program, the names of what the installation itself puts beside the
// package (a package's files of those names would be overwritten), and the shape
// fonts (those go to AutoCAD's Fonts folders).
constexpr const char* kSkipNames[] = {"SetUp.EXE", layout::kUninstallerName, layout::kRecordName,
                                      layout::kShapeFonts[0], layout::kShapeFonts[1]};

constexpr const char* kUnusableFolderFormat =
    "SetUp.exe所在的文件夹路径中含有系统无法处理的字符：\n\n%s\n\n请将解压后的文件夹移到只含英文或中文字符的路径下，"
    "再执行SetUp.exe !";

constexpr std::uint32_t kModuleBufferSize = 261;
// CreateDirectory takes a folder of at most MAX_PATH - 12 characters, room for
// an 8.3 name below it.
constexpr std::size_t kLongestFolder = 248;

// "." and ".." are folders too.
bool IsSkipped(const plat::FindData& entry) {
  if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
  for (const char* name : kSkipNames)
    if (ansi::EqualsNoCase(entry.fileName, name)) return true;
  return false;
}

}  // namespace

std::string ProgramPath(plat::Platform& platform, bool* lossy) {
  char16_t module[kModuleBufferSize] = {};
  const std::uint32_t length = platform.files.GetModuleFileNameW(module, kModuleBufferSize);
  if (lossy != nullptr) *lossy = false;
  return length < kModuleBufferSize ? ansi::Narrow(std::u16string(module, length), lossy) : "";
}

bool LocatePackageFolder(plat::Platform& platform, std::string& folder, HWND owner) {
  bool lossy = false;
  const std::string programPath = ProgramPath(platform, &lossy);
  const std::string programFolder = ansi::FolderOf(programPath);
  if (lossy) {
    // The ANSI calls would name it with question marks and find nothing.
    platform.shell.MessageBoxA(owner, ansi::Format(kUnusableFolderFormat, programFolder.c_str()).c_str(),
                               captions::kSetup, MB_OK);
    return false;
  }
  if (!programFolder.empty()) {
    if (GetPathKind(platform.files, programFolder + "\\Data") == PathKind::Folder) {
      folder = programFolder + "\\Data";
      return true;
    }
    if (GetPathKind(platform.files, programFolder + "\\Kavtor2010.arx") == PathKind::File) {
      folder = programFolder;
      return true;
    }
  }
  platform.shell.MessageBoxA(owner, kNoPackageText, captions::kSetup, MB_OK);
  return false;
}

bool ProductFolderFits(plat::Platform& platform, const std::string& packageFolder, const std::string& productFolder,
                       HWND owner) {
  // Not even a one-letter file name would fit below a folder longer than that.
  bool fits = ansi::CharCount(productFolder) <= kLongestFolder;
  plat::FindData entry;
  const std::string pattern = packageFolder + "\\*.*";
  plat::ScopedFind find(platform.files, platform.files.FindFirstFileA(pattern.c_str(), &entry));
  // A listing that cannot be read is the copy's to report.
  for (bool more = find.valid(); fits && more; more = platform.files.FindNextFileA(find.get(), &entry))
    fits = IsSkipped(entry) || ansi::FitsFileCalls(productFolder + "\\" + entry.fileName);
  if (!fits)
    platform.shell.MessageBoxA(owner, ansi::Format(kTargetTooLongFormat, productFolder.c_str()).c_str(),
                               captions::kSetup, MB_OK);
  return fits;
}

CPackageCopier::CPackageCopier(plat::Platform& platform, std::string targetFolder, fw::CProgressCtrl& progress,
                               HWND owner)
    : m_platform(platform), m_strTargetFolder(std::move(targetFolder)), m_progress(progress), m_owner(owner) {
  ansi::RemoveTrailingBackslash(m_strTargetFolder);
}

int CPackageCopier::Tell(const std::string& text, std::uint32_t type) {
  return m_platform.shell.MessageBoxA(m_owner, text.c_str(), captions::kSetup, type);
}

bool CPackageCopier::CopyPackage(const std::string& packageFolder) {
  if (!ProductFolderFits(m_platform, packageFolder, m_strTargetFolder, m_owner)) return false;
  m_platform.files.Mkdir(m_strTargetFolder.c_str());
  // The loose layout unpacked into the product folder itself: each copy would
  // be a file onto itself, which fails. Its files are where they belong.
  const bool inPlace = ansi::EqualsNoCase(packageFolder, m_strTargetFolder);

  plat::FindData entry;
  const std::string pattern = packageFolder + "\\*.*";
  plat::ScopedFind find(m_platform.files, m_platform.files.FindFirstFileA(pattern.c_str(), &entry));
  if (!find.valid()) {
    Tell(ansi::Format(kUnreadableListingFormat, packageFolder.c_str()), MB_OK);
    return false;
  }
  // One progress step per pass, sent before the pass looks at its entry; the
  // pass that finds the listing exhausted steps too.
  for (bool first = true;; first = false) {
    m_progress.StepIt();
    if (!first && !m_platform.files.FindNextFileA(find.get(), &entry)) {
      // Only the end of the listing ends the walk well; a listing that broke off
      // would leave files out of an installation that reports success.
      if (m_platform.files.GetLastError() == static_cast<std::uint32_t>(ERROR_NO_MORE_FILES)) break;
      Tell(ansi::Format(kUnreadableListingFormat, packageFolder.c_str()), MB_OK);
      return false;
    }
    if (IsSkipped(entry)) continue;
    if (inPlace)
      Remember(entry.fileName, m_strTargetFolder + "\\" + entry.fileName);
    else if (!CopyEntry(packageFolder, entry.fileName))
      return false;
  }
  return true;
}

bool CPackageCopier::CopyEntry(const std::string& packageFolder, const std::string& name) {
  const std::string source = ansi::Format("%s\\%s", packageFolder.c_str(), name.c_str());
  const std::string destination = ansi::Format("%s\\%s", m_strTargetFolder.c_str(), name.c_str());
  ClearReadOnly(m_platform.files, source);
  DeleteZoneIdentifier(m_platform.files, source);
  ClearReadOnly(m_platform.files, destination);
  while (!CopyOnce(source, destination)) {
    const std::uint32_t error = m_copyError;
    const int answer = Tell(ansi::Format(kCopyFailedFormat, destination.c_str()), MB_ABORTRETRYIGNORE);
    // A question that could not be shown stops the copy: retrying unasked could
    // go on for ever.
    if (answer == IDABORT || answer == 0) return false;
    if (answer == IDIGNORE) {
      Report(m_failures, Failure::kFileNotCopied, destination, static_cast<long>(error));
      ClearReadOnly(m_platform.files, destination);
      return true;
    }
  }
  ClearReadOnly(m_platform.files, destination);
  Remember(name, destination);
  return true;
}

void CPackageCopier::Remember(const std::string& name, const std::string& destination) {
  plat::FileInfo info;
  if (!m_platform.files.GetFileAttributesExA(destination.c_str(), &info))
    return Report(m_failures, Failure::kFileNotRead, destination, static_cast<long>(m_platform.files.GetLastError()));
  RecordEntry entry;
  entry.kind = RecordEntry::kFile;
  entry.path = ansi::Widen(name);
  entry.size = info.size;
  entry.lastWrite = info.lastWrite;
  m_record.Add(entry);
}

// A path too long for the ANSI calls is a file that cannot be copied: it is never
// cut down to a different name.
bool CPackageCopier::CopyOnce(const std::string& source, const std::string& destination) {
  m_copyError = ERROR_PATH_NOT_FOUND;
  if (!ansi::FitsFileCalls(source) || !ansi::FitsFileCalls(destination)) return false;
  if (m_platform.files.CopyFileA(source.c_str(), destination.c_str(), false)) return true;
  m_copyError = m_platform.files.GetLastError();
  return false;
}
