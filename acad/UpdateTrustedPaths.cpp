// Trusting the product folder in every AutoCAD profile of the current user.
// Names and lists go through the registry's wide calls: a profile named, or a
// folder trusted, with characters the ANSI code page lacks is neither skipped
// nor written back with question marks.
#include <vector>

#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "acad/RegistryBuffers.h"
#include "acad/TrustedPaths.h"
#include "text/AnsiText.h"
#include "text/CodePage.h"

namespace {

constexpr const char16_t* kAcadKey = u"SOFTWARE\\Autodesk\\AutoCAD";
constexpr const char16_t* kTrustedPaths = u"TRUSTEDPATHS";

// Appends `tail` to `path` after dropping one trailing backslash (the empty name
// that an unreadable subkey name yields leaves one).
std::u16string Below(std::u16string path, const char16_t* tail) {
  ansi::RemoveTrailingBackslash(path);
  return path + tail;
}

enum class ValueRead { kAbsent, kText, kUnusable };

// Reads TRUSTEDPATHS whole, of whatever length. A value that is not a string, or
// that cannot be read, is unusable: it will be left as it is.
ValueRead ReadTrustedPaths(plat::IRegistry& reg, HKEY key, std::u16string& text, long& error) {
  std::uint32_t type = REG_NONE, size = 0;
  error = reg.RegQueryValueExW(key, kTrustedPaths, &type, nullptr, &size);
  if (error == ERROR_FILE_NOT_FOUND) return ValueRead::kAbsent;
  for (int attempt = 0; attempt < 3 && (error == ERROR_SUCCESS || error == ERROR_MORE_DATA); ++attempt) {
    std::u16string data(size / 2 + 1, u'\0');
    std::uint32_t got = size;
    error = reg.RegQueryValueExW(key, kTrustedPaths, &type, reinterpret_cast<std::uint8_t*>(data.data()), &got);
    if (error == ERROR_MORE_DATA) {  // it grew in between: ask again
      size = got;
      continue;
    }
    if (error != ERROR_SUCCESS) break;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ValueRead::kUnusable;
    data.resize(got / 2);
    text = data.substr(0, data.find(u'\0'));
    return ValueRead::kText;
  }
  return ValueRead::kUnusable;
}

}  // namespace

// A key below HKEY_CURRENT_USER as the failure report names it.
std::string CAcadSetup::HkcuItem(const std::u16string& path) { return "HKEY_CURRENT_USER\\" + ansi::Narrow(path); }

// Opens `path` below `parent` for reading. A key that is not there is no
// failure (a product without profiles); one that is there and will not open is.
// `fullPath` names the key below HKEY_CURRENT_USER in the report.
bool CAcadSetup::OpenForListing(HKEY parent, const std::u16string& path, HKEY& key, FailureReport& report,
                                const std::u16string& fullPath) {
  const long rc = m_reg.RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key);
  if (rc == ERROR_SUCCESS) return true;
  if (rc != ERROR_FILE_NOT_FOUND) Report(report, Failure::kKeyNotOpened, HkcuItem(fullPath), rc);
  return false;
}

bool CAcadSetup::OpenHive(HKEY& hive, FailureReport& report) {
  const long rc = m_reg.RegOpenKeyA(HKEY_CURRENT_USER, nullptr, &hive);
  if (rc == ERROR_SUCCESS) return true;
  Report(report, Failure::kKeyNotOpened, "HKEY_CURRENT_USER", rc);
  return false;
}

std::vector<std::u16string> CAcadSetup::ListProfileRoots(FailureReport& report) {
  std::vector<std::u16string> roots;
  HKEY hive = 0;
  if (!OpenHive(hive, report)) return roots;
  plat::ScopedKey hiveOwner(m_reg, hive);
  HKEY acadKey = 0;
  if (!OpenForListing(hive, kAcadKey, acadKey, report, kAcadKey)) return roots;
  plat::ScopedKey acadOwner(m_reg, acadKey);
  // Each release is opened once, below: one that will not open is told there.
  for (const std::u16string& release : SubKeyNames<char16_t>(m_reg, acadKey, HkcuItem(kAcadKey), report)) {
    const std::u16string releasePath = std::u16string(kAcadKey) + u"\\" + release;
    HKEY releaseKey = 0;
    if (!OpenForListing(acadKey, release, releaseKey, report, releasePath)) continue;
    plat::ScopedKey releaseOwner(m_reg, releaseKey);
    std::vector<std::u16string> products;
    ListSubKeys(m_platform, releaseKey, products, HkcuItem(releasePath), report);
    for (const std::u16string& product : products) roots.push_back(Below(releasePath + u"\\" + product, u"\\Profiles"));
  }
  return roots;
}

std::vector<std::u16string> CAcadSetup::ListVariablesKeys(const std::vector<std::u16string>& profileRoots,
                                                          FailureReport& report) {
  std::vector<std::u16string> keys;
  HKEY hive = 0;
  // No roots: nothing to list, and a hive that would not open is told once.
  if (profileRoots.empty() || !OpenHive(hive, report)) return keys;
  plat::ScopedKey hiveOwner(m_reg, hive);
  for (const std::u16string& root : profileRoots) {
    HKEY rootKey = 0;
    if (!OpenForListing(hive, root, rootKey, report, root)) continue;
    plat::ScopedKey rootOwner(m_reg, rootKey);
    std::vector<std::u16string> profiles;
    ListSubKeys(m_platform, rootKey, profiles, HkcuItem(root), report);
    for (const std::u16string& profile : profiles) keys.push_back(Below(root + u"\\" + profile, u"\\Variables"));
  }
  return keys;
}

void CAcadSetup::TrustTargetIn(const std::u16string& variablesKey, FailureReport& report) {
  std::u16string current;
  HKEY key = 0;
  const long opened = m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, variablesKey.c_str(), 0, KEY_READ, &key);
  // What the uninstaller must know to leave the profile as it found it.
  std::uint32_t lacked = RecordEntry::kCreatedKey | RecordEntry::kCreatedValue;
  if (opened == ERROR_SUCCESS) {
    plat::ScopedKey owner(m_reg, key);
    long error = 0;
    const ValueRead read = ReadTrustedPaths(m_reg, key, current, error);
    lacked = read == ValueRead::kAbsent ? RecordEntry::kCreatedValue : 0;
    if (read == ValueRead::kUnusable) {
      Report(report, Failure::kValueNotRead, HkcuItem(variablesKey) + "\\TRUSTEDPATHS", error);
      return;
    }
  } else if (opened != ERROR_FILE_NOT_FOUND) {
    // The key is there but will not open: its list cannot be read, so it must
    // not be overwritten.
    Report(report, Failure::kKeyNotOpened, HkcuItem(variablesKey), opened);
    return;
  }
  const std::u16string folder = ansi::Widen(m_strTargetPath);
  const std::u16string composed = ComposeTrustedPaths(current, folder);
  HKEY created = 0;
  const long made = m_reg.RegCreateKeyW(HKEY_CURRENT_USER, variablesKey.c_str(), &created);
  if (made != ERROR_SUCCESS) {
    Report(report, Failure::kKeyNotCreated, HkcuItem(variablesKey), made);
    return;
  }
  plat::ScopedKey owner(m_reg, created);
  const long written =
      m_reg.RegSetValueExW(created, kTrustedPaths, 0, REG_SZ, reinterpret_cast<const std::uint8_t*>(composed.c_str()),
                           static_cast<std::uint32_t>((composed.size() + 1) * sizeof(char16_t)));
  if (written != ERROR_SUCCESS)
    return Report(report, Failure::kValueNotWritten, HkcuItem(variablesKey) + "\\TRUSTEDPATHS", written);
  // A profile that trusted the folder before keeps it when Vellmark goes.
  if (!ListsTrustedFolder(current, folder)) Remember(RecordEntry::kTrusted, variablesKey, report, lacked);
}

FailureReport CAcadSetup::UpdateTrustedPaths() {
  FailureReport report;
  const std::vector<std::u16string> variablesKeys = ListVariablesKeys(ListProfileRoots(report), report);
  for (const std::u16string& key : variablesKeys) TrustTargetIn(key, report);
  return report;
}

// Where the record says the installation added the folder: the entries naming it
// go, every other one stays as it is; a value or key it made goes too once
// nothing else is in it. A profile deleted since is not made again.
void CAcadSetup::UntrustFolder(const std::string& productFolder, const InstallRecord& record, RemovalReport& report) {
  const std::u16string folder = ansi::Widen(productFolder);
  for (const RecordEntry& entry : record.Entries()) {
    if (entry.kind != RecordEntry::kTrusted) continue;
    const std::string item = HkcuItem(entry.path);
    plat::ScopedKey key(m_reg);
    const long opened =
        m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, entry.path.c_str(), 0, KEY_READ | KEY_SET_VALUE, key.out());
    if (opened == ERROR_FILE_NOT_FOUND) continue;
    if (opened != ERROR_SUCCESS) {
      Report(report.failures, Failure::kKeyNotOpened, item, opened);
      continue;
    }
    std::u16string list;
    long error = 0;
    if (ReadTrustedPaths(m_reg, key.get(), list, error) == ValueRead::kUnusable) {
      Report(report.failures, Failure::kValueNotRead, item + "\\TRUSTEDPATHS", error);
      continue;
    }
    bool removed = false;
    const std::u16string left = RemoveTrustedFolder(list, folder, &removed);
    if (removed) {
      const long rc = left.empty() && (entry.flags & RecordEntry::kCreatedValue) != 0
                          ? m_reg.RegDeleteValueW(key.get(), kTrustedPaths)
                          : m_reg.RegSetValueExW(key.get(), kTrustedPaths, 0, REG_SZ,
                                                 reinterpret_cast<const std::uint8_t*>(left.c_str()),
                                                 static_cast<std::uint32_t>((left.size() + 1) * sizeof(char16_t)));
      if (rc != ERROR_SUCCESS) {
        Report(report.failures, Failure::kValueNotWritten, item + "\\TRUSTEDPATHS", rc);
        continue;
      }
      report.removed.push_back(std::string(removed::kTrusted) + item + "\\TRUSTEDPATHS");
    }
    if ((entry.flags & RecordEntry::kCreatedKey) == 0) continue;
    std::uint32_t subKeys = 1, values = 1;
    const long listed = m_reg.RegQueryInfoKeyA(key.get(), &subKeys, nullptr, &values);
    if (listed != ERROR_SUCCESS) Report(report.failures, Failure::kKeyNotListed, item, listed);
    if (listed != ERROR_SUCCESS || subKeys + values != 0) continue;  // AutoCAD keeps more in it now
    key.Close();
    const long rc = m_reg.RegDeleteKeyW(HKEY_CURRENT_USER, entry.path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Report(report.failures, Failure::kKeyNotDeleted, item, rc);
  }
}
