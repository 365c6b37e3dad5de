// Whether this user may write what the installation will write into each ticked
// AutoCAD installation, found out before anything is made: a standard user (UAC
// on, SetUp.exe started as it is) may do neither, and would be left with half an
// installation.
#include "acad/AcadSetup.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "text/AnsiText.h"

namespace {

void AddOnce(FailureReport& report, std::string item, std::uint32_t error) {
  for (const Failure& failure : report)
    if (failure.item == item) return;  // the i686 program finds a 32-bit AutoCAD 2008 twice
  Report(report, Failure::kNotWritable, std::move(item), static_cast<long>(error));
}

}  // namespace

void CAcadSetup::CheckKeyRights(const std::string& installKey, int year, FailureReport& report) {
  // The loader keys go below Applications when it is there, else Applications is made below the installation key.
  for (const std::string& key : {installKey, installKey + "Applications"}) {
    HKEY handle = 0;
    const long rc =
        m_reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &handle);
    plat::ScopedKey owner(m_reg, rc == ERROR_SUCCESS ? handle : 0);
    if (IsLackOfRights(static_cast<std::uint32_t>(rc)))
      AddOnce(report, ansi::Format("AutoCAD %d：HKEY_LOCAL_MACHINE\\%s", year, key.c_str()),
              static_cast<std::uint32_t>(rc));
  }
}

void CAcadSetup::CheckFolderRights(const std::string& folder, bool plotDriver, FailureReport& report) {
  const std::string fonts = folder + "\\" + layout::kFontsFolder, drivers = folder + "\\" + layout::kPlotDriverFolder;
  for (const std::string& target : {folder, fonts, plotDriver ? drivers : std::string()}) {
    // A folder that is not there is no matter of rights: the support files report it.
    if (target.empty() || GetPathKind(m_platform.files, target) != PathKind::Folder) continue;
    const std::uint32_t error = ProbeCreation(m_platform.files, target);
    if (IsLackOfRights(error)) AddOnce(report, target, error);
  }
}

FailureReport CAcadSetup::FindMissingRights(const ReleaseFlags& ticked) {
  FailureReport report;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    if (ticked[k] == 0) continue;
    const int year = acad::kFirstRelease + k;
    for (const std::string& key : m_arrInstallKeys[k]) CheckKeyRights(key, year, report);
    for (const std::string& folder : m_arrInstallFolders[k])
      CheckFolderRights(folder, year == acad::kPlotDriverRelease, report);
  }
  return report;
}
