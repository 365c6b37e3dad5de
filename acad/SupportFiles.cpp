// Support files that must lie inside each AutoCAD installation: two shape
// fonts, the managed assemblies the loader keys point to, and for AutoCAD 2008
// the plot driver file.
#include "acad/AcadSetup.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"

namespace {

constexpr int kFirstAssembly = 2007;
constexpr int kLastAssembly = 2050;

}  // namespace

// A file the package does not hold is no failure: most of the assembly numbers
// are there for releases to come. One it holds but cannot place is, and so is
// one whose presence could not be told.
void CAcadSetup::CopySupportFile(const std::string& source, const std::string& destination, FailureReport& report,
                                 bool keepOriginal) {
  const PathKind kind = GetPathKind(m_platform.files, source);
  if (kind == PathKind::Folder) return;
  if (kind == PathKind::Missing) {
    const std::uint32_t why = m_platform.files.GetLastError();
    if (why != static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND) &&
        why != static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND))
      Report(report, Failure::kFileNotCopied, destination, static_cast<long>(why));
    return;
  }
  if (keepOriginal && !KeepOriginal(destination, source, report)) return;
  bool copied = false;
  std::uint32_t error = ERROR_PATH_NOT_FOUND;
  if (ansi::FitsFileCalls(source) && ansi::FitsFileCalls(destination)) {
    copied = m_platform.files.CopyFileA(source.c_str(), destination.c_str(), false);
    if (!copied) error = m_platform.files.GetLastError();
  }
  if (!copied) return Report(report, Failure::kFileNotCopied, destination, static_cast<long>(error));
  Remember(RecordEntry::kSupport, ansi::Widen(destination), report);
}

// AutoCAD's own file is copied aside before the installation first replaces it,
// and a copy kept earlier is never overwritten: the uninstaller puts it back.
// A file of the size and time of `source` is an earlier copy of ours (a repeated
// installation, or the same installation found twice), not AutoCAD's: the copy
// keeps the time. False, reported, when it is there and cannot be kept: then it
// is not replaced.
bool CAcadSetup::KeepOriginal(const std::string& file, const std::string& source, FailureReport& report) {
  const std::string kept = file + layout::kOriginalSuffix;
  std::uint32_t error = 0;
  plat::FileInfo info, ours;
  const Presence original = Look(m_platform.files, file, info, error);
  if (original == Presence::kNone || original == Presence::kFolder) return true;  // nothing to keep
  if (original == Presence::kFile && m_platform.files.GetFileAttributesExA(source.c_str(), &ours) &&
      ours.size == info.size && ours.lastWrite == info.lastWrite)
    return true;
  if (original == Presence::kFile) {
    const Presence copy = Look(m_platform.files, kept, info, error);
    if (copy == Presence::kFile) return true;  // kept the first time
    if (copy != Presence::kUnknown) {
      error = ERROR_PATH_NOT_FOUND;
      if (ansi::FitsFileCalls(kept)) {
        if (m_platform.files.CopyFileA(file.c_str(), kept.c_str(), true)) return true;
        error = m_platform.files.GetLastError();
      }
      Report(report, Failure::kFileNotCopied, kept, static_cast<long>(error));
      return false;
    }
  }
  Report(report, Failure::kFileNotRead, original == Presence::kUnknown ? file : kept, static_cast<long>(error));
  return false;
}

void CAcadSetup::CopySupportFilesTo(std::string folder, bool plotDriver, const std::string& package,
                                    FailureReport& report) {
  const std::string fonts = ansi::Format("%s\\%s", folder.c_str(), layout::kFontsFolder);
  for (const char* font : layout::kShapeFonts)
    CopySupportFile(ansi::Format("%s\\%s", package.c_str(), font), ansi::Format("%s\\%s", fonts.c_str(), font), report);
  for (int n = kFirstAssembly; n <= kLastAssembly; ++n)
    CopySupportFile(ansi::Format("%s\\ACAD%d.dll", package.c_str(), n),
                    ansi::Format("%s\\ACAD%d.dll", folder.c_str(), n), report);
  if (!plotDriver) return;
  // The package's driver replaces AutoCAD 2008's own PDF plot driver.
  const std::string drivers = ansi::Format("%s\\%s", folder.c_str(), layout::kPlotDriverFolder);
  CopySupportFile(ansi::Format("%s\\Kavtor.prt5", package.c_str()),
                  ansi::Format("%s\\%s", drivers.c_str(), layout::kPlotDriver), report, true);
}

FailureReport CAcadSetup::CopySupportFiles(const ReleaseFlags& ticked, const std::string& package) {
  FailureReport report;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    if (ticked[k] == 0) continue;
    const TextList& folders = m_arrInstallFolders[k];
    for (const std::string& folder : folders)
      CopySupportFilesTo(folder, acad::kFirstRelease + k == acad::kPlotDriverRelease, package, report);
  }
  return report;
}
