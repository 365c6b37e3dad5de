// Discovery of the installed AutoCAD releases from the local machine's registry.
#include "acad/AcadSetup.h"
#include "acad/RegistryBuffers.h"
#include "text/AnsiText.h"

void CAcadSetup::DiscoverReleases() {
  ScanWow6432Node();
  ScanBranch("SOFTWARE\\Autodesk\\AutoCAD", "SOFTWARE\\Autodesk\\AutoCAD\\%s\\", acad::kLastRelease);
}

void CAcadSetup::ScanWow6432Node() {
  ScanBranch("SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD", "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\%s\\",
             acad::kLastWow6432Release);
}

// What discovery could not read is passed over, as start-up has always done (a release it cannot see is not
// offered), and noted for the uninstaller, which must not call a removal finished that may have missed one.
long CAcadSetup::Noted(long rc, const std::string& key) {
  if (rc != plat::kErrorSuccess && rc != plat::kErrorFileNotFound && rc != plat::kErrorNoMoreItems)
    Report(m_discoveryFailures, Failure::kKeyNotOpened, "HKEY_LOCAL_MACHINE\\" + key, rc);
  return rc;
}

void CAcadSetup::ScanBranch(const char* acadKeyPath, const char* basePathFormat, int lastYear) {
  plat::HKey root = 0;
  if (Noted(m_reg.RegOpenKeyA(plat::kHKeyLocalMachine, nullptr, &root), "") != plat::kErrorSuccess) return;
  plat::ScopedKey rootOwner(m_reg, root);
  plat::HKey acadKey = 0;
  if (Noted(m_reg.RegOpenKeyExA(root, acadKeyPath, 0, plat::kKeyRead, &acadKey), acadKeyPath) != plat::kErrorSuccess)
    return;
  plat::ScopedKey acadOwner(m_reg, acadKey);

  const std::uint32_t releaseCount = NotedSubKeyCount(acadKey, acadKeyPath);
  for (std::uint32_t r = 0; r < releaseCount; ++r) {
    KeyNameBuffer name;
    if (Noted(m_reg.RegEnumKeyExA(acadKey, r, name.data(), name.size()), acadKeyPath) != plat::kErrorSuccess) continue;
    const std::string basePath = ansi::Format(basePathFormat, name.data());
    plat::HKey releaseKey = 0;
    if (Noted(m_reg.RegOpenKeyExA(acadKey, name.data(), 0, plat::kKeyRead, &releaseKey), basePath) !=
        plat::kErrorSuccess)
      continue;
    plat::ScopedKey releaseOwner(m_reg, releaseKey);

    TextList locationPaths, locationFolders, namePaths, productNames;
    SearchRelease(releaseKey, basePath, "AcadLocation", locationPaths, locationFolders);
    SearchRelease(releaseKey, basePath, "ProductName", namePaths, productNames);
    JoinInstallations(locationPaths, locationFolders, namePaths, productNames, lastYear);
  }
}

void CAcadSetup::SearchRelease(plat::HKey releaseKey, const std::string& basePath, const char* valueName,
                               TextList& paths, TextList& texts) {
  m_arrFoundKeys.clear();
  m_arrFoundValues.clear();
  m_strValueName = valueName;
  SearchValue(releaseKey, std::string(), std::string(), basePath);
  paths = m_arrFoundKeys;
  texts = m_arrFoundValues;
}

void CAcadSetup::JoinInstallations(const TextList& locationPaths, const TextList& locationFolders,
                                   const TextList& namePaths, const TextList& productNames, int lastYear) {
  for (std::size_t i = 0; i < locationPaths.size(); ++i) {
    for (std::size_t j = 0; j < namePaths.size(); ++j) {
      if (locationPaths[i] != namePaths[j]) continue;
      const int year = ClassifyProductName(productNames[j], lastYear);
      if (year == 0) continue;
      const int k = acad::ReleaseIndex(year);
      m_arrInstallKeys[k].push_back(locationPaths[i]);
      m_arrInstallFolders[k].push_back(locationFolders[i]);
    }
  }
}

void CAcadSetup::SearchValue(plat::HKey parent, const std::string& subKey, std::string relativePath,
                             std::string basePath) {
  plat::HKey current = 0;
  const std::string path = basePath + relativePath;
  if (Noted(m_reg.RegOpenKeyExA(parent, subKey.c_str(), 0, plat::kKeyRead, &current), path) != plat::kErrorSuccess)
    return;
  plat::ScopedKey currentOwner(m_reg, current);

  std::string text;
  long read = plat::kErrorSuccess;
  if (ReadShortValueText(m_reg, current, m_strValueName.c_str(), text, &read)) {
    m_arrFoundKeys.push_back(path);
    m_arrFoundValues.push_back(text);
    return;  // the subtree below a key that holds the value is not searched
  }
  if (read != plat::kErrorMoreData) Noted(read, path);  // a value too long is no installation's
  const std::uint32_t count = NotedSubKeyCount(current, path);
  for (std::uint32_t s = 0; s < count; ++s) {
    KeyNameBuffer name;
    if (Noted(m_reg.RegEnumKeyExA(current, s, name.data(), name.size()), path) != plat::kErrorSuccess) continue;
    SearchValue(current, name.data(), relativePath + name.data() + "\\", basePath);
  }
}

std::uint32_t CAcadSetup::NotedSubKeyCount(plat::HKey key, const std::string& path) {
  std::uint32_t count = 0;
  Noted(m_reg.RegQueryInfoKeyA(key, &count, nullptr, nullptr), path);  // a failed query leaves 0: no subkeys
  return count;
}
