// Registering the add-on in AutoCAD's demand-load keys of every installation of
// the ticked releases.
#include "acad/AcadSetup.h"
#include "acad/RegistryValues.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"

namespace {

// AutoCAD loads the application when it starts.
constexpr std::uint32_t kLoadOnStartup = 2;
constexpr std::uint32_t kManagedAssembly = 1;

}  // namespace

void CAcadSetup::WriteModuleKey(HKEY installKey, const std::string& installPath, int keyYear, int module,
                                FailureReport& report) {
  const std::string subKey = ansi::Format("Applications\\Kavtor%d", keyYear);
  const std::string item = HklmItem(installPath + subKey);
  plat::ScopedKey key(m_reg, RecreateKey(m_reg, installKey, item, subKey, report));
  if (!key) return;
  WriteDword(m_reg, key.get(), item, "LOADCTRLS", kLoadOnStartup, report);
  WriteString(m_reg, key.get(), item, "LOADER", ansi::Format("%s\\Kavtor%d.ARX", m_strTargetPath.c_str(), module),
              report);
}

void CAcadSetup::WriteAssemblyKey(HKEY installKey, const std::string& installPath, int year, int assembly,
                                  const std::string& installFolder, FailureReport& report) {
  const std::string subKey = ansi::Format("Applications\\Kavtor%dDLL", year);
  const std::string item = HklmItem(installPath + subKey);
  plat::ScopedKey key(m_reg, RecreateKey(m_reg, installKey, item, subKey, report));
  if (!key) return;
  WriteDword(m_reg, key.get(), item, "LOADCTRLS", kLoadOnStartup, report);
  WriteString(m_reg, key.get(), item, "LOADER", ansi::Format("%s\\ACAD%d.dll", installFolder.c_str(), assembly),
              report);
  WriteDword(m_reg, key.get(), item, "MANAGED", kManagedAssembly, report);
}

FailureReport CAcadSetup::RegisterRelease(int year) {
  FailureReport report;
  if (!acad::IsServedRelease(year)) return report;
  const acad::ReleaseInfo& release = acad::kReleases[acad::ReleaseIndex(year)];
  const TextList& keys = m_arrInstallKeys[acad::ReleaseIndex(year)];
  const TextList& folders = m_arrInstallFolders[acad::ReleaseIndex(year)];
  for (std::size_t i = 0; i < keys.size(); ++i) {
    HKEY installKey = 0;
    // The stored path ends with a backslash; the registry resolves it to the key itself.
    const long rc = m_reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, keys[i].c_str(), &installKey);
    if (rc != ERROR_SUCCESS) {
      Report(report, Failure::kKeyNotOpened, HklmItem(keys[i]), rc);
      continue;
    }
    plat::ScopedKey owner(m_reg, installKey);
    // An Applications key that only this installation made goes again with it.
    plat::ScopedKey applications(m_reg);
    if (m_reg.RegOpenKeyExA(installKey, "Applications", 0, KEY_READ, applications.out()) == ERROR_FILE_NOT_FOUND)
      Remember(RecordEntry::kKey, ansi::Widen(keys[i] + "Applications"), report);
    applications.Close();
    WriteModuleKey(installKey, keys[i], year, release.moduleNumber, report);
    if (acad::HasExtraModuleKey(m_editionBits, year))
      WriteModuleKey(installKey, keys[i], acad::kExtraKeyModule, acad::kExtraKeyModule, report);
    WriteAssemblyKey(installKey, keys[i], year, release.assemblyNumber, folders[i], report);
  }
  return report;
}

FailureReport CAcadSetup::RegisterReleases(const ReleaseFlags& ticked) {
  FailureReport report;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    if (ticked[k] == 0) continue;
    const FailureReport release = RegisterRelease(acad::kFirstRelease + k);
    report.insert(report.end(), release.begin(), release.end());
  }
  const FailureReport trusted = UpdateTrustedPaths();
  report.insert(report.end(), trusted.begin(), trusted.end());
  return report;
}
