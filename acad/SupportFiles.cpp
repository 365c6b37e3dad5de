// Support files that must lie inside each AutoCAD installation: two shape
// fonts, the managed assemblies the loader keys point to, and for AutoCAD 2008
// the plot driver file.
#include "acad/AcadSetup.h"
#include "deploy/FileUtils.h"
#include "deploy/PackageCopier.h"
#include "text/AnsiText.h"

namespace {

constexpr int kFirstAssembly = 2007;
constexpr int kLastAssembly = 2050;
constexpr int kPlotDriverRelease = 2008;

}  // namespace

// A file the package does not hold is no failure: most of the assembly numbers
// are there for releases to come. One it holds but cannot place is, and so is
// one whose presence could not be told.
void CAcadSetup::CopySupportFile(const std::string& source, const std::string& destination, FailureReport& report) {
  const PathKind kind = GetPathKind(m_platform.files, source);
  if (kind == PathKind::Folder) return;
  if (kind == PathKind::Missing) {
    const std::uint32_t why = m_platform.files.GetLastError();
    if (why != static_cast<std::uint32_t>(plat::kErrorFileNotFound) &&
        why != static_cast<std::uint32_t>(plat::kErrorPathNotFound))
      report.push_back({Failure::kFileNotCopied, destination, why});
    return;
  }
  bool copied = false;
  std::uint32_t error = plat::kErrorPathNotFound;
  if (ansi::CharCount(source) <= plat::kLongestPath && ansi::CharCount(destination) <= plat::kLongestPath) {
    copied = m_platform.files.CopyFileA(source.c_str(), destination.c_str(), false);
    if (!copied) error = m_platform.files.GetLastError();
  }
  if (!copied) report.push_back({Failure::kFileNotCopied, destination, error});
}

void CAcadSetup::CopySupportFilesTo(std::string folder, bool plotDriver, plat::HWnd owner, FailureReport& report) {
  std::string package;
  if (!LocatePackageFolder(m_platform, package, owner)) return;
  const std::string fonts = ansi::Format("%s\\Fonts", folder.c_str());
  for (const char* font : {"Kavtor_EN.shx", "Kavtor_HZ.shx"})
    CopySupportFile(ansi::Format("%s\\%s", package.c_str(), font), ansi::Format("%s\\%s", fonts.c_str(), font), report);
  for (int n = kFirstAssembly; n <= kLastAssembly; ++n)
    CopySupportFile(ansi::Format("%s\\ACAD%d.dll", package.c_str(), n),
                    ansi::Format("%s\\ACAD%d.dll", folder.c_str(), n), report);
  if (!plotDriver) return;
  // The package's driver replaces AutoCAD 2008's own PDF plot driver.
  const std::string drivers = ansi::Format("%s\\Drv", folder.c_str());
  CopySupportFile(ansi::Format("%s\\Kavtor.prt5", package.c_str()), ansi::Format("%s\\pdfplot9.hdi", drivers.c_str()),
                  report);
}

FailureReport CAcadSetup::CopySupportFiles(const ReleaseFlags& ticked, plat::HWnd owner) {
  FailureReport report;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    if (ticked[k] == 0) continue;
    const TextList& folders = m_arrInstallFolders[k];
    for (const std::string& folder : folders)
      CopySupportFilesTo(folder, acad::kFirstRelease + k == kPlotDriverRelease, owner, report);
  }
  return report;
}
