// Taking an installation back out of AutoCAD: its loader keys, the Applications
// keys it made, its support files. What another installation or application
// still uses, and what changed since, stays.
#include <algorithm>

#include "acad/AcadSetup.h"
#include "acad/RegistryValues.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"

namespace {

bool ListsNoCase(const std::vector<std::string>& texts, const std::string& text) {
  return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return ansi::EqualsNoCase(t, text); });
}

bool IsShapeFont(const std::string& name) {
  return std::any_of(std::begin(layout::kShapeFonts), std::end(layout::kShapeFonts),
                     [&](const char* font) { return ansi::EqualsNoCase(name, font); });
}

}  // namespace

struct CAcadSetup::Remaining {
  TextList assemblies;  // what the assembly keys left on the machine load
  TextList served;      // installation folders with a module key left
};

long CAcadSetup::ReadLoader(HKEY installKey, const std::string& subKey, std::string& loader) {
  plat::ScopedKey key(m_reg);
  const long rc = m_reg.RegOpenKeyExA(installKey, subKey.c_str(), 0, KEY_READ, key.out());
  return rc != ERROR_SUCCESS ? rc : ReadString(m_reg, key.get(), "LOADER", loader);
}

// The module key first tells whose the pair is; it goes last, so that a run that
// could not delete the assembly key leaves the next run what it needs to know.
void CAcadSetup::RemoveOwnKeys(HKEY installKey, const std::string& installPath, int keyYear, bool withAssembly,
                               const std::string& productFolder, RemovalReport& report) {
  const std::string module = ansi::Format("Applications\\Kavtor%d", keyYear);
  std::string loader;
  const long read = ReadLoader(installKey, module, loader);
  if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND)  // whose it is cannot be told
    Report(report.failures, Failure::kValueNotRead, HklmItem(installPath + module) + "\\LOADER", read);
  if (read != ERROR_SUCCESS || !ansi::EqualsNoCase(ansi::FolderOf(loader), productFolder)) return;
  for (const std::string& subKey : {withAssembly ? module + "DLL" : std::string(), module}) {
    if (subKey.empty()) continue;
    const long rc = m_reg.RegDeleteKeyA(installKey, subKey.c_str());
    if (rc == ERROR_FILE_NOT_FOUND) continue;
    if (rc != ERROR_SUCCESS)
      return Report(report.failures, Failure::kKeyNotDeleted, HklmItem(installPath + subKey), rc);
    report.removed.push_back(std::string(removed::kKey) + HklmItem(installPath + subKey));
  }
}

void CAcadSetup::UnregisterFrom(const std::string& productFolder, RemovalReport& report) {
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    const int year = acad::kFirstRelease + k;
    for (const std::string& path : m_arrInstallKeys[k]) {
      HKEY installKey = 0;
      const long rc = m_reg.RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &installKey);
      if (rc != ERROR_SUCCESS) {
        if (rc != ERROR_FILE_NOT_FOUND) Report(report.failures, Failure::kKeyNotOpened, HklmItem(path), rc);
        continue;
      }
      plat::ScopedKey owner(m_reg, installKey);
      RemoveOwnKeys(installKey, path, year, true, productFolder, report);
      if (acad::HasExtraModuleKey(m_editionBits, year))
        RemoveOwnKeys(installKey, path, acad::kExtraKeyModule, false, productFolder, report);
    }
  }
}

CAcadSetup::TextList CAcadSetup::FoldersServedFrom(const std::string& productFolder) {
  TextList folders;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    for (std::size_t i = 0; i < m_arrInstallKeys[k].size(); ++i) {
      plat::ScopedKey key(m_reg);
      std::string loader;
      if (m_reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_arrInstallKeys[k][i].c_str(), 0, KEY_READ, key.out()) !=
              ERROR_SUCCESS ||
          ReadLoader(key.get(), ansi::Format("Applications\\Kavtor%d", acad::kFirstRelease + k), loader) !=
              ERROR_SUCCESS)
        continue;
      if (ansi::EqualsNoCase(ansi::FolderOf(loader), productFolder) && !ListsNoCase(folders, m_arrInstallFolders[k][i]))
        folders.push_back(m_arrInstallFolders[k][i]);
    }
  }
  return folders;
}

void CAcadSetup::RemoveCreatedKeys(const InstallRecord& record, RemovalReport& report) {
  for (const RecordEntry& entry : record.Entries()) {
    if (entry.kind != RecordEntry::kKey) continue;
    const std::string path = ansi::Narrow(entry.path);
    plat::ScopedKey key(m_reg);
    long rc = m_reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.out());
    std::uint32_t subKeys = 1, values = 1;
    if (rc == ERROR_SUCCESS) rc = m_reg.RegQueryInfoKeyA(key.get(), &subKeys, nullptr, &values);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      Report(report.failures, Failure::kKeyNotListed, HklmItem(path), rc);
    if (rc != ERROR_SUCCESS || subKeys + values != 0) continue;  // gone with AutoCAD, or others' keys in it
    key.Close();
    rc = m_reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    if (rc == ERROR_SUCCESS)
      report.removed.push_back(std::string(removed::kKey) + HklmItem(path));
    else if (rc != ERROR_FILE_NOT_FOUND)
      Report(report.failures, Failure::kKeyNotDeleted, HklmItem(path), rc);
  }
}

// What the loader keys left on the machine still need; false, reported, when that cannot be told whole.
bool CAcadSetup::RemainingLoaders(Remaining& remaining, RemovalReport& report) {
  const std::size_t failures = report.failures.size();
  const auto read = [&](HKEY key, const std::string& path, const std::string& subKey, std::string& loader) {
    const long rc = ReadLoader(key, subKey, loader);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      Report(report.failures, Failure::kValueNotRead, HklmItem(path + subKey) + "\\LOADER", rc);
    return rc == ERROR_SUCCESS;
  };
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    const int year = acad::kFirstRelease + k;
    for (std::size_t i = 0; i < m_arrInstallKeys[k].size(); ++i) {
      const std::string& path = m_arrInstallKeys[k][i];
      plat::ScopedKey key(m_reg);
      const long rc = m_reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.out());
      if (rc != ERROR_SUCCESS) {
        if (rc != ERROR_FILE_NOT_FOUND) Report(report.failures, Failure::kKeyNotOpened, HklmItem(path), rc);
        continue;
      }
      std::string loader;
      if (read(key.get(), path, ansi::Format("Applications\\Kavtor%dDLL", year), loader))
        remaining.assemblies.push_back(loader);
      const bool extra = acad::HasExtraModuleKey(m_editionBits, year);
      if (read(key.get(), path, ansi::Format("Applications\\Kavtor%d", year), loader) ||
          (extra && read(key.get(), path, ansi::Format("Applications\\Kavtor%d", acad::kExtraKeyModule), loader)))
        remaining.served.push_back(m_arrInstallFolders[k][i]);
    }
  }
  return report.failures.size() == failures;
}

void CAcadSetup::RemoveSupportFile(const std::string& path, const RecordEntry& entry, const Remaining& remaining,
                                   RemovalReport& report) {
  plat::FileInfo info;
  std::uint32_t error = 0;
  const Presence found = Look(m_platform.files, path, info, error);
  if (found == Presence::kUnknown) Report(report.failures, Failure::kFileNotRead, path, static_cast<long>(error));
  if (found != Presence::kFile) return;  // gone already
  if (info.size != entry.size || info.lastWrite != entry.lastWrite)
    return report.kept.push_back(path + "（安装后已被更改）");
  const bool driver = ansi::EqualsNoCase(ansi::NameOf(path), layout::kPlotDriver);
  if (driver ? ListsNoCase(remaining.served, ansi::FolderOf(ansi::FolderOf(path)))
             : ListsNoCase(remaining.assemblies, path))
    return report.kept.push_back(path + "（另一处安装的 Vellmark 仍在使用）");
  const std::string original = path + layout::kOriginalSuffix;
  plat::FileInfo kept;
  const Presence keptOriginal = driver ? Look(m_platform.files, original, kept, error) : Presence::kNone;
  if (keptOriginal == Presence::kUnknown)
    return Report(report.failures, Failure::kFileNotRead, original, static_cast<long>(error));
  if (keptOriginal == Presence::kFile) {
    if (m_platform.files.MoveFileExA(original.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
      return report.removed.push_back(path + "（已恢复为 AutoCAD 原有的文件）");
    return Report(report.failures, Failure::kFileNotRestored, path, static_cast<long>(m_platform.files.GetLastError()));
  }
  ClearReadOnly(m_platform.files, path);
  if (m_platform.files.DeleteFileA(path.c_str())) return report.removed.push_back(std::string(removed::kFile) + path);
  Report(report.failures, Failure::kFileNotDeleted, path, static_cast<long>(m_platform.files.GetLastError()));
}

void CAcadSetup::RemoveSupportFiles(const InstallRecord& record, RemovalReport& report) {
  // Without knowing every installation and what its keys load, an assembly still in use could go: they wait for the
  // next run.
  Remaining remaining;
  if (!m_discoveryFailures.empty() || !RemainingLoaders(remaining, report)) return;
  bool fonts = false;
  for (const RecordEntry& entry : record.Entries()) {
    if (entry.kind != RecordEntry::kSupport) continue;
    const std::string path = ansi::Narrow(entry.path);
    if (IsShapeFont(ansi::NameOf(path))) {
      fonts = true;
      continue;
    }
    RemoveSupportFile(path, entry, remaining, report);
  }
  if (fonts)
    report.kept.push_back(
        ansi::Format("字体文件 %s、%s 留在各 AutoCAD 的 Fonts 文件夹中，用本工具箱绘制的图纸仍能正常显示文字",
                     layout::kShapeFonts[0], layout::kShapeFonts[1]));
}
