// Discovery of the installed AutoCAD releases from the local machine's registry.
#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "acad/RegistryBuffers.h"
#include "acad/RegistryValues.h"
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
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && rc != ERROR_NO_MORE_ITEMS)
    Report(m_discoveryFailures, Failure::kKeyNotOpened, HklmItem(key), rc);
  return rc;
}

void CAcadSetup::ScanBranch(const char* acadKeyPath, const char* basePathFormat, int lastYear) {
  HKEY root = 0;
  if (Noted(m_reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, nullptr, &root), "") != ERROR_SUCCESS) return;
  plat::ScopedKey rootOwner(m_reg, root);
  HKEY acadKey = 0;
  if (Noted(m_reg.RegOpenKeyExA(root, acadKeyPath, 0, KEY_READ, &acadKey), acadKeyPath) != ERROR_SUCCESS) return;
  plat::ScopedKey acadOwner(m_reg, acadKey);

  for (const std::string& name : SubKeyNames<char>(m_reg, acadKey, HklmItem(acadKeyPath), m_discoveryFailures)) {
    const std::string basePath = ansi::Format(basePathFormat, name.c_str());
    HKEY releaseKey = 0;
    if (Noted(m_reg.RegOpenKeyExA(acadKey, name.c_str(), 0, KEY_READ, &releaseKey), basePath) != ERROR_SUCCESS)
      continue;
    plat::ScopedKey releaseOwner(m_reg, releaseKey);

    TextList locationPaths, locationFolders, namePaths, productNames;
    SearchRelease(releaseKey, basePath, "AcadLocation", locationPaths, locationFolders);
    SearchRelease(releaseKey, basePath, "ProductName", namePaths, productNames);
    JoinInstallations(locationPaths, locationFolders, namePaths, productNames, lastYear);
  }
}

void CAcadSetup::SearchRelease(HKEY releaseKey, const std::string& basePath, const char* valueName, TextList& paths,
                               TextList& texts) {
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

void CAcadSetup::SearchValue(HKEY parent, const std::string& subKey, std::string relativePath, std::string basePath) {
  HKEY current = 0;
  const std::string path = basePath + relativePath;
  if (Noted(m_reg.RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_READ, &current), path) != ERROR_SUCCESS) return;
  plat::ScopedKey currentOwner(m_reg, current);

  std::string text;
  long read = ERROR_SUCCESS;
  if (ReadShortValueText(m_reg, current, m_strValueName.c_str(), text, &read)) {
    m_arrFoundKeys.push_back(path);
    m_arrFoundValues.push_back(text);
    return;  // the subtree below a key that holds the value is not searched
  }
  if (read != ERROR_MORE_DATA) Noted(read, path);  // a value too long is no installation's
  for (const std::string& name : SubKeyNames<char>(m_reg, current, HklmItem(path), m_discoveryFailures))
    SearchValue(current, name, relativePath + name + "\\", basePath);
}
