// Registering the add-on in AutoCAD's demand-load keys of every installation of
// the ticked releases.
#include "acad/AcadSetup.h"
#include "text/AnsiText.h"

namespace {

// AutoCAD loads the application when it starts.
constexpr std::uint32_t kLoadOnStartup = 2;
constexpr std::uint32_t kManagedAssembly = 1;
// The 64-bit AutoCAD 2009 also looks for the module under the 2008 name.
constexpr int kExtraKeyRelease = 2009;
constexpr int kExtraKeyModule = 2008;

std::string HklmItem(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }

}  // namespace

void CAcadSetup::WriteDword(plat::HKey key, const std::string& item, const char* name, std::uint32_t value,
                            FailureReport& report) {
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  const long rc = m_reg.RegSetValueExA(key, name, 0, plat::kRegDword, data, sizeof data);
  if (rc != plat::kErrorSuccess)
    report.push_back({Failure::kValueNotWritten, item + "\\" + name, static_cast<std::uint32_t>(rc)});
}

void CAcadSetup::WriteString(plat::HKey key, const std::string& item, const char* name, const std::string& text,
                             FailureReport& report) {
  const long rc = m_reg.RegSetValueExA(key, name, 0, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                       static_cast<std::uint32_t>(text.size() + 1));
  if (rc != plat::kErrorSuccess)
    report.push_back({Failure::kValueNotWritten, item + "\\" + name, static_cast<std::uint32_t>(rc)});
}

// Deletes and recreates `subKey` below the installation key, so it holds exactly
// what is written next. 0 (and a report line) when it cannot be created.
plat::HKey CAcadSetup::RecreateKey(plat::HKey installKey, const std::string& item, const std::string& subKey,
                                   FailureReport& report) {
  m_reg.RegDeleteKeyA(installKey, subKey.c_str());  // a key with subkeys stays and is overwritten
  plat::HKey key = 0;
  const long rc = m_reg.RegCreateKeyA(installKey, subKey.c_str(), &key);
  if (rc == plat::kErrorSuccess) return key;
  report.push_back({Failure::kKeyNotCreated, item, static_cast<std::uint32_t>(rc)});
  return 0;
}

void CAcadSetup::WriteModuleKey(plat::HKey installKey, const std::string& installPath, int keyYear, int module,
                                FailureReport& report) {
  const std::string subKey = ansi::Format("Applications\\Kavtor%d", keyYear);
  const std::string item = HklmItem(installPath + subKey);
  plat::ScopedKey key(m_reg, RecreateKey(installKey, item, subKey, report));
  if (!key) return;
  WriteDword(key.get(), item, "LOADCTRLS", kLoadOnStartup, report);
  WriteString(key.get(), item, "LOADER", ansi::Format("%s\\Kavtor%d.ARX", m_strTargetPath.c_str(), module), report);
}

void CAcadSetup::WriteAssemblyKey(plat::HKey installKey, const std::string& installPath, int year, int assembly,
                                  const std::string& installFolder, FailureReport& report) {
  const std::string subKey = ansi::Format("Applications\\Kavtor%dDLL", year);
  const std::string item = HklmItem(installPath + subKey);
  plat::ScopedKey key(m_reg, RecreateKey(installKey, item, subKey, report));
  if (!key) return;
  WriteDword(key.get(), item, "LOADCTRLS", kLoadOnStartup, report);
  WriteString(key.get(), item, "LOADER", ansi::Format("%s\\ACAD%d.dll", installFolder.c_str(), assembly), report);
  WriteDword(key.get(), item, "MANAGED", kManagedAssembly, report);
}

FailureReport CAcadSetup::RegisterRelease(int year) {
  FailureReport report;
  if (!acad::IsServedRelease(year)) return report;
  const acad::ReleaseInfo& release = acad::kReleases[acad::ReleaseIndex(year)];
  const TextList& keys = m_arrInstallKeys[acad::ReleaseIndex(year)];
  const TextList& folders = m_arrInstallFolders[acad::ReleaseIndex(year)];
  for (std::size_t i = 0; i < keys.size(); ++i) {
    plat::HKey installKey = 0;
    // The stored path ends with a backslash; the registry resolves it to the key itself.
    const long rc = m_reg.RegOpenKeyA(plat::kHKeyLocalMachine, keys[i].c_str(), &installKey);
    if (rc != plat::kErrorSuccess || installKey == 0) {
      report.push_back({Failure::kKeyNotOpened, HklmItem(keys[i]), static_cast<std::uint32_t>(rc)});
      continue;
    }
    plat::ScopedKey owner(m_reg, installKey);
    WriteModuleKey(installKey, keys[i], year, release.moduleNumber, report);
    if (m_editionBits == 64 && year == kExtraKeyRelease)
      WriteModuleKey(installKey, keys[i], kExtraKeyModule, kExtraKeyModule, report);
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
