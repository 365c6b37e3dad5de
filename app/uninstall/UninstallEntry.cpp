#include "app/uninstall/UninstallEntry.h"

#include "acad/RegistryValues.h"
#include "app/BuildConstants.h"
#include "app/Product.h"
#include "deploy/FileUtils.h"
#include "deploy/InstallLayout.h"
#include "text/AnsiText.h"

namespace uninstall {

std::string EntryKey(int editionBits) { return ansi::Format("%s\\VellmarkToolbox%d", kUninstallKey, editionBits); }

void WriteEntry(plat::IRegistry& reg, int editionBits, const std::string& productFolder, std::uint32_t sizeKb,
                FailureReport& report) {
  const std::string key = EntryKey(editionBits), item = HklmItem(key);
  plat::ScopedKey entry(reg, RecreateKey(reg, HKEY_LOCAL_MACHINE, item, key, report));
  if (!entry) return;
  const std::string uninstaller = productFolder + "\\" + layout::kUninstallerName;
  WriteString(reg, entry.get(), item, "DisplayName", ComposeDisplayName(editionBits), report);
  WriteString(reg, entry.get(), item, "DisplayVersion", kVersionText, report);
  WriteString(reg, entry.get(), item, "Publisher", VM_COMPANY_NAME, report);
  WriteString(reg, entry.get(), item, "InstallLocation", productFolder, report);
  WriteString(reg, entry.get(), item, "DisplayIcon", uninstaller, report);
  WriteString(reg, entry.get(), item, "UninstallString", "\"" + uninstaller + "\"", report);
  WriteDword(reg, entry.get(), item, "EstimatedSize", sizeKb, report);
  WriteDword(reg, entry.get(), item, "NoModify", 1, report);
  WriteDword(reg, entry.get(), item, "NoRepair", 1, report);
}

long EntryLocation(plat::IRegistry& reg, int editionBits, std::string& folder) {
  folder.clear();
  plat::ScopedKey entry(reg);
  const long rc = reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryKey(editionBits).c_str(), 0, KEY_READ, entry.out());
  if (rc != ERROR_SUCCESS) return rc;
  const long read = ReadString(reg, entry.get(), "InstallLocation", folder);
  return read == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : read;  // an entry naming no folder names none of ours
}

void DeleteEntry(plat::IRegistry& reg, int editionBits, FailureReport& report) {
  const std::string key = EntryKey(editionBits);
  const long rc = reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Report(report, Failure::kKeyNotDeleted, HklmItem(key), rc);
}

void CheckEntryRights(plat::IRegistry& reg, FailureReport& report) {
  std::string key = kUninstallKey;
  for (;;) {
    plat::ScopedKey handle(reg);
    const long rc = reg.RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_CREATE_SUB_KEY, handle.out());
    const std::size_t slash = key.rfind('\\');
    if (rc != ERROR_FILE_NOT_FOUND || slash == std::string::npos) {
      if (IsLackOfRights(static_cast<std::uint32_t>(rc))) Report(report, Failure::kNotWritable, HklmItem(key), rc);
      return;
    }
    key.resize(slash);  // every Windows has the key: a missing one is made with its parent's rights
  }
}

}  // namespace uninstall
